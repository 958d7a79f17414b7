#include "webviewengine.h"

#include "webviewbridge.h"
#ifdef TAVO_WEBENGINE
#include "webenginebackend.h"
#endif

#include <QDebug>
#include <QMetaObject>

namespace {
WebViewEngine::Factory &_factory()
{
  static WebViewEngine::Factory factory;
  return factory;
}
} // namespace

WebViewEngine::WebViewEngine() = default;

WebViewEngine::~WebViewEngine() = default;

void WebViewEngine::dispatch(std::function<void()> function)
{
  QMetaObject::invokeMethod(&_dispatchContext, std::move(function), Qt::QueuedConnection);
}

void WebViewEngine::bind(const std::string &name, NativeFunction function)
{
  if (!WebViewBridge::isBindableName(name)) {
    qWarning() << "web view: refused to bind" << QString::fromStdString(name);
    return;
  }
  const QString script = QString::fromStdString(WebViewBridge::bindScript(name));
  init(script);
  eval(script);
  _bindings[name] = std::move(function);
}

void WebViewEngine::bind(const std::string &name, SyncFunction function)
{
  bind(name, NativeFunction([this, function](const std::string &sequence, const std::string &params) {
         resolve(sequence, 0, function(params));
       }));
}

void WebViewEngine::resolve(const std::string &sequence, int status, const std::string &result)
{
  const QString script = QString::fromStdString(WebViewBridge::resolveScript(sequence, status, result));
  dispatch([this, script] { eval(script); });
}

void WebViewEngine::onMessage(const std::string &message)
{
  const std::string sequence = WebViewBridge::extract(message, "id");
  const std::string method = WebViewBridge::extract(message, "method");
  const std::string params = WebViewBridge::extract(message, "params");
  // The id goes back into the page as script text: only a number may.
  if (!WebViewBridge::isSequenceId(sequence))
    return;
  const auto binding = _bindings.find(method);
  if (binding != _bindings.end())
    binding->second(sequence, params);
}

std::unique_ptr<WebViewEngine> WebViewEngine::create()
{
  if (_factory())
    return _factory()();
#ifdef TAVO_WEBENGINE
  return std::make_unique<WebEngineBackend>();
#else
  return nullptr;
#endif
}

void WebViewEngine::setFactory(Factory factory)
{
  _factory() = std::move(factory);
}

void WebViewEngine::notifyTitleChanged(const QString &title)
{
  if (_titleListener)
    _titleListener->documentTitleChanged(title.toStdString());
}

void WebViewEngine::notifyNavigationStarting()
{
  if (_startingListener)
    _startingListener->navigationStarting();
}

void WebViewEngine::notifyNavigationCompleted(bool success)
{
  if (_completedListener)
    _completedListener->navigationCompleted(success);
}

void WebViewEngine::notifySourceChanged()
{
  if (_sourceListener)
    _sourceListener->sourceChanged();
}

void WebViewEngine::notifyContentLoading()
{
  if (_contentListener)
    _contentListener->contentLoading();
}
