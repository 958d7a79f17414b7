#pragma once
// Composes a composition offscreen on the calling thread and reads frames back, on a
// headless GL host: for tests, benchmarks and tools without a window.

#include "avglglue.h"

#include <QImage>

class AVHeadlessRenderer
{
public:
  // Create on the GUI thread; the calling thread renders. The host must outlive this object.
  AVHeadlessRenderer(AVHeadlessGLHost *host, AVComposition *composition);
  ~AVHeadlessRenderer();
  AVHeadlessRenderer(const AVHeadlessRenderer &) = delete;
  AVHeadlessRenderer &operator=(const AVHeadlessRenderer &) = delete;

  bool isValid() const { return _owner.renderer != nullptr; }
  AVGLRenderer *renderer() const { return _owner.renderer; }
  // Composes the frame at time and returns the output framebuffer, top row first.
  QImage compose(double time, bool exporting = false);
  // The last composed frame.
  QImage readBack();

private:
  AVHeadlessGLHost *_host;
  AVComposition *_composition;
  AVGLContextOwner _owner;
};
