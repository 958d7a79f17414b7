#include "avglwidget.h"

#include "avexporter.h"
#include "avrender.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QPixmap>

namespace {
// The drawing checkerboard, or a plain one should the picture fail to load.
QPixmap _checkerboardPixmap()
{
  QPixmap pixmap(QStringLiteral(":/images/drawing/hollow_back"));
  if (!pixmap.isNull())
    return pixmap;
  pixmap = QPixmap(16, 16);
  pixmap.fill(QColor(0xcc, 0xcc, 0xcc));
  QPainter painter(&pixmap);
  painter.fillRect(0, 0, 8, 8, Qt::white);
  painter.fillRect(8, 8, 8, 8, Qt::white);
  return pixmap;
}
} // namespace

AVGLWidget::AVGLWidget(QWidget *parent) : QOpenGLWidget(parent), _checkerboard(_checkerboardPixmap())
{
  // Every paint covers the whole framebuffer; kept between paints, it still shows the last
  // picture when a paint leaves it alone.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
}

bool AVGLWidget::displayOffersOpenGL()
{
  // The display does not change while the program runs: one probe context, not one per window.
  static const bool offered = [] {
    QOpenGLContext probe;
    probe.setFormat(QSurfaceFormat::defaultFormat());
    return probe.create() && probe.format().version() >= qMakePair(3, 2);
  }();
  return offered;
}

AVGLWidget::~AVGLWidget()
{
  if (_composeLocked && _render)
    _render->unlockRenderer();
}

void AVGLWidget::setBackgroundColor(const QColor &colour)
{
  _background = colour;
  _pictureKept = false;
  update();
}

void AVGLWidget::connectFrameSignals()
{
  connect(this, &QOpenGLWidget::aboutToCompose, this, &AVGLWidget::onAboutToCompose, Qt::UniqueConnection);
  connect(this, &QOpenGLWidget::frameSwapped, this, &AVGLWidget::onFrameSwapped, Qt::UniqueConnection);
}

void AVGLWidget::onAboutToCompose()
{
  if (!_composeLocked && _render && _render->renderer()) {
    _render->lockRenderer();
    _composeLocked = true;
  }
}

void AVGLWidget::onFrameSwapped()
{
  // The renderer may have come or gone between the two signals.
  if (_composeLocked) {
    _composeLocked = false;
    if (_render)
      _render->unlockRenderer();
  }
}

bool AVGLWidget::makeRootCurrent()
{
  makeCurrent();
  return context() != nullptr;
}

void AVGLWidget::doneRootCurrent()
{
  doneCurrent();
}

AVComposition *AVGLWidget::composition()
{
  if (AVComposition *playing = _render ? _render->composition() : nullptr)
    return playing;
  // During an export the playback controller lets go of the composition.
  return _exporter ? _exporter->composition() : nullptr;
}

AVGLContextOwner *AVGLWidget::playbackOwner()
{
  return _render ? _render->contextOwner() : nullptr;
}

AVGLContextOwner *AVGLWidget::exportOwner()
{
  return _exporter ? _exporter->contextOwner() : nullptr;
}

void AVGLWidget::paintGL()
{
  // Without waiting, a busy renderer leaves the picture shown, or only the background on a new
  // framebuffer: the frame being composed asks for the next paint.
  bool drawFrame = _render && _render->renderer();
  if (drawFrame && !_waitsForFrames) {
    drawFrame = _render->tryLockRenderer();
    if (drawFrame)
      _render->unlockRenderer();
    else if (_pictureKept)
      return;
  }
  _pictureKept = drawFrame;
  QOpenGLFunctions *gl = context()->functions();
  if (_background.alpha() == 255) {
    // An opaque background is a clear: a painter on this context would build its own shader
    // programs first, which a software renderer takes long over while the window waits.
    gl->glClearColor(float(_background.redF()), float(_background.greenF()), float(_background.blueF()), 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    if (drawFrame)
      _render->paint();
    return;
  }
  // A background that lets through is laid over nothing, not over the last picture.
  gl->glClearColor(0, 0, 0, 0);
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  QPainter painter(this);
  if (_background.alpha() != 0)
    painter.fillRect(rect(), _background);
  else
    painter.fillRect(rect(), _checkerboard);
  painter.beginNativePainting();
  if (drawFrame)
    _render->paint();
  painter.endNativePainting();
}

void AVGLWidget::resizeGL(int w, int h)
{
  _pictureKept = false;
  if (!_render)
    return;
  const qreal ratio = devicePixelRatioF();
  _render->setSize(uint32_t(w * ratio), uint32_t(h * ratio));
  _render->step(1);
}
