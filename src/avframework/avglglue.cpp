#include "avglglue.h"

#include "avcommon.h"
#include "avcomposition.h"
#include "avglrenderer.h"

#include <QDebug>
#include <QFile>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_2_Core>
#include <QThread>
#include <cstring>
#include <vector>

namespace {
thread_local QOpenGLFunctions_3_2_Core *t_functions = nullptr;

// The owner whose context renders now: the playback controller while it has a renderer,
// else the exporter.
AVGLContextOwner *_activeOwner(AVGLRenderer *renderer)
{
  AVGLHost *host = renderer->host;
  if (!host)
    return nullptr;
  AVGLContextOwner *playback = host->playbackOwner();
  if (playback && playback->renderer)
    return playback;
  return host->exportOwner();
}

bool _makeOwnerCurrent(AVGLContextOwner *owner)
{
  if (!owner || !owner->context || !owner->surface)
    return false;
  // A context made for an engine thread waits without a thread until that thread takes it.
  if (!owner->context->thread())
    owner->context->moveToThread(QThread::currentThread());
  return owner->context->makeCurrent(owner->surface);
}
} // namespace

AVHeadlessGLHost::AVHeadlessGLHost()
{
  _surface = new QOffscreenSurface;
  _surface->setFormat(QSurfaceFormat::defaultFormat());
  _surface->create();
  _context = new QOpenGLContext;
  _context->setFormat(QSurfaceFormat::defaultFormat());
  if (!_context->create())
    avPrint("headless GL host: context creation failed\n");
}

AVHeadlessGLHost::~AVHeadlessGLHost()
{
  delete _context;
  delete _surface;
}

bool AVHeadlessGLHost::isValid() const
{
  return _context->isValid() && _surface->isValid();
}

QOpenGLContext *AVHeadlessGLHost::rootContext()
{
  return _context;
}

bool AVHeadlessGLHost::makeRootCurrent()
{
  return _context->makeCurrent(_surface);
}

void AVHeadlessGLHost::doneRootCurrent()
{
  _context->doneCurrent();
}

QOpenGLFunctions_3_2_Core *avGL()
{
  return t_functions;
}

void setGLFunctionsFromCurrent()
{
  QOpenGLContext *context = QOpenGLContext::currentContext();
  t_functions = context ? context->versionFunctions<QOpenGLFunctions_3_2_Core>() : nullptr;
  if (t_functions && !t_functions->initializeOpenGLFunctions())
    t_functions = nullptr;
}

void clearGLFunctions()
{
  t_functions = nullptr;
}

void makeRendererCurrent(AVGLRenderer *renderer)
{
  if (!renderer)
    return;
  _makeOwnerCurrent(_activeOwner(renderer));
  setGLFunctionsFromCurrent();
}

void doneRendererCurrent(AVGLRenderer *renderer)
{
  if (!renderer)
    return;
  clearGLFunctions();
  AVGLContextOwner *owner = _activeOwner(renderer);
  if (owner && owner->context)
    owner->context->doneCurrent();
}

void flushRenderer(AVGLRenderer *renderer, bool finish)
{
  if (!renderer || !avGL())
    return;
  if (finish)
    avGL()->glFinish();
  else
    avGL()->glFlush();
}

uint32_t defaultFramebuffer(AVGLRenderer *renderer)
{
  return renderer && renderer->host ? renderer->host->defaultFramebuffer() : 0;
}

bool createSharedOffscreenContext(AVGLContextOwner *owner, AVGLHost *host, QThread *thread)
{
  owner->host = host;
  owner->thread = thread;
  host->makeRootCurrent();
  QOpenGLContext *root = host->rootContext();
  auto *surface = new QOffscreenSurface(nullptr, host->surfaceParent());
  surface->setFormat(root->format());
  surface->create();
  host->doneRootCurrent();

  auto *context = new QOpenGLContext;
  context->setFormat(root->format());
  context->setShareContext(root);
  const bool created = context->create();
  context->moveToThread(thread);
  owner->context = context;
  owner->surface = surface;
  return created && surface->isValid();
}

void destroySharedOffscreenContext(AVGLContextOwner *owner)
{
  delete owner->surface;
  delete owner->context;
  owner->surface = nullptr;
  owner->context = nullptr;
}

bool setUpRendererOnThread(AVGLContextOwner *owner)
{
  if (!_makeOwnerCurrent(owner))
    return false;
  setGLFunctionsFromCurrent();
  AVGLRenderer *renderer = avGL() ? createRenderer(owner->host) : nullptr;
  owner->renderer = renderer;
  if (AVComposition *composition = owner->host->composition())
    composition->setRenderer(renderer);
  clearGLFunctions();
  owner->context->doneCurrent();
  return renderer != nullptr;
}

void tearDownRendererOnThread(AVGLContextOwner *owner)
{
  _makeOwnerCurrent(owner);
  setGLFunctionsFromCurrent();
  AVComposition *composition = owner->host->composition();
  if (composition)
    composition->releaseGLResources();
  destroyRenderer(owner->renderer);
  clearGLFunctions();
  if (owner->context)
    owner->context->doneCurrent();
  owner->renderer = nullptr;
  if (composition)
    composition->setRenderer(nullptr);
}

// The shader resources live in this static library: register them before the first read.
static void _initShaderResources()
{
  Q_INIT_RESOURCE(avshaders);
}

int readShaderSource(const char *name, char *destination, int capacity)
{
  static const bool registered = (_initShaderResources(), true);
  (void)registered;
  QFile file(QStringLiteral(":/shaders/shaders/%1").arg(QString::fromUtf8(name)));
  if (!file.open(QIODevice::ReadOnly)) {
    qDebug() << "Cannot open shader " << name;
    return 0;
  }
  const QString text = QString::fromLatin1(file.readAll());
  if (text.isEmpty()) {
    qDebug() << "Read shader failed " << name;
    return 0;
  }
  if (text.length() >= capacity) {
    qDebug() << "Shader is too long " << name;
    return 0;
  }
  const QByteArray bytes = text.toLatin1();
  const int size = decodeBase64Xor(bytes.constData(), bytes.size(), nullptr, nullptr);
  std::vector<unsigned char> decoded(size_t(size) + 1);
  const int written = decodeBase64Xor(bytes.constData(), bytes.size(), decoded.data(), nullptr);
  // The measured size can exceed what decodes; the written count is the source length.
  if (written >= capacity)
    return 0;
  decoded[size_t(written)] = 0;
  memcpy(destination, decoded.data(), size_t(written) + 1);
  return written;
}
