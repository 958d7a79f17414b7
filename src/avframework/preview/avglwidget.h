#pragma once
// The preview: an OpenGL widget whose context the playback and export threads share. It paints
// a background (a colour, or a checkerboard when the colour is fully transparent) and lets the
// playback controller draw the latest frame over it. It holds the composition's renderer lock
// from the start of Qt's composing until the frame is swapped, so the video thread never
// redraws the texture on screen.

#include "avglglue.h"

#include <QBrush>
#include <QColor>
#include <QOpenGLWidget>

class AVRender;
class AVExporter;

class AVGLWidget : public QOpenGLWidget, public AVGLHost
{
  Q_OBJECT

public:
  explicit AVGLWidget(QWidget *parent = nullptr);
  ~AVGLWidget() override;

  // Whether the display makes a context of the requested format at OpenGL 3.2 or later: asked
  // before waiting for the widget's own context, which on a busy machine may come late but does
  // come.
  static bool displayOffersOpenGL();

  void setRender(AVRender *render) { _render = render; }
  AVRender *render() const { return _render; }
  void setExporter(AVExporter *exporter) { _exporter = exporter; }
  AVExporter *exporter() const { return _exporter; }
  void setBackgroundColor(const QColor &colour);
  QColor backgroundColor() const { return _background; }
  void connectFrameSignals();
  // Whether a paint waits for the frame being composed. Without waiting, the picture shown
  // stays until that frame is done; it then asks for its own paint.
  void setWaitsForFrames(bool wait) { _waitsForFrames = wait; }

  // The GL host the rendering threads share with.
  QOpenGLContext *rootContext() override { return context(); }
  bool makeRootCurrent() override;
  void doneRootCurrent() override;
  uint32_t defaultFramebuffer() override { return defaultFramebufferObject(); }
  AVComposition *composition() override;
  AVGLContextOwner *playbackOwner() override;
  AVGLContextOwner *exportOwner() override;

public slots:
  void onAboutToCompose();
  void onFrameSwapped();

protected:
  void paintGL() override;
  void resizeGL(int w, int h) override;

private:
  AVRender *_render = nullptr;
  AVExporter *_exporter = nullptr;
  QColor _background = Qt::black;
  QBrush _checkerboard;
  // Whether onAboutToCompose took the lock: the swap releases exactly what was taken.
  bool _composeLocked = false;
  bool _waitsForFrames = true;
  // Whether the framebuffer holds a whole picture of this size and background.
  bool _pictureKept = false;
};
