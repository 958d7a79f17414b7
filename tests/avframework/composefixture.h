#pragma once
// A composition (160x90 unless asked otherwise) composed on a headless host, for tests that look at composed frames
// and reach into the compose renderer.

#include "avcomposition.h"
#include "avglglue.h"
#include "avheadlessrenderer.h"
#include "avpixelbuffer.h"

#include <QImage>
#include <QOpenGLFunctions_3_2_Core>
#include <memory>

class ComposeFixture
{
public:
  // Once per test case, on the GUI thread.
  bool startHost()
  {
    _host = std::make_unique<AVHeadlessGLHost>();
    return _host->isValid();
  }
  // A fresh composition over the background colour with its renderer.
  bool startComposition(vec4 background, int width = 160, int height = 90)
  {
    _composition = std::make_unique<AVComposition>(width, height, 44100, 2, nullptr);
    _composition->setBackgroundColor(background);
    _renderer = std::make_unique<AVHeadlessRenderer>(_host.get(), _composition.get());
    return _renderer->isValid();
  }
  void stopComposition()
  {
    _renderer.reset();
    _composition.reset();
  }
  AVComposition *composition() const { return _composition.get(); }
  QImage compose(double time) { return _renderer->compose(time); }
  // Runs f(renderer) with the compose renderer's context current.
  template <typename F> void withRenderer(F f)
  {
    AVGLRenderer *renderer = _renderer->renderer();
    makeRendererCurrent(renderer);
    f(renderer);
    doneRendererCurrent(renderer);
  }

  // The first GL error the compose renderer's context recorded since the last call, 0 for none.
  unsigned glError()
  {
    unsigned error = 0;
    withRenderer([&error](AVGLRenderer *) { error = avGL()->glGetError(); });
    return error;
  }

private:
  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVHeadlessRenderer> _renderer;
};
