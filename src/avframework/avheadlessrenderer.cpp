#include "avheadlessrenderer.h"

#include "avcomposition.h"
#include "avglresources.h"

#include <QOpenGLFunctions_3_2_Core>
#include <QThread>
#include <cstdlib>

AVHeadlessRenderer::AVHeadlessRenderer(AVHeadlessGLHost *host, AVComposition *composition)
  : _host(host), _composition(composition)
{
  host->setComposition(composition);
  host->setPlaybackOwner(&_owner);
  if (createSharedOffscreenContext(&_owner, host, QThread::currentThread()))
    setUpRendererOnThread(&_owner);
}

AVHeadlessRenderer::~AVHeadlessRenderer()
{
  if (_owner.renderer)
    tearDownRendererOnThread(&_owner);
  destroySharedOffscreenContext(&_owner);
  if (_host->playbackOwner() == &_owner)
    _host->setPlaybackOwner(nullptr);
}

QImage AVHeadlessRenderer::compose(double time, bool exporting)
{
  _composition->update(time, false, true, 2, false, exporting);
  return readBack();
}

QImage AVHeadlessRenderer::readBack()
{
  AVGLRenderer *renderer = _owner.renderer;
  if (!renderer)
    return QImage();
  _composition->lockRenderer();
  QImage image;
  makeRendererCurrent(renderer);
  AVFrameBuffer *output = _composition->outputFrameBuffer();
  if (avGL() && output) {
    avGL()->glBindFramebuffer(GL_FRAMEBUFFER, output->framebuffer);
    uint32_t stride = 0;
    uint8_t *pixels = readTexturePixels(frameBufferTexture(output), &stride);
    if (pixels) {
      // B, G, R, A bytes are QImage's ARGB32 on a little-endian machine.
      image = QImage(pixels, frameBufferWidth(output), frameBufferHeight(output), int(stride),
                     QImage::Format_ARGB32_Premultiplied, free, pixels);
    }
  }
  doneRendererCurrent(renderer);
  _composition->unlockRenderer();
  return image;
}
