#include "webenginebackend.h"

#include "webchannelport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Defines window.nativeBridge.invoke in every document. Messages sent before the channel
// is connected wait in a queue, so calls made while the page is still loading are kept.
const char *kBridgeShim = R"(
(function() {
  var queue = [], send = null;
  window.nativeBridge = {invoke: function(message) {
    if (send) send(String(message)); else queue.push(String(message));
  }};
  var tries = 0;
  function connect() {
    if (typeof qt === 'undefined' || !qt.webChannelTransport) {
      // No channel in this document: give up after a few seconds rather than poll forever.
      if (++tries < 300) setTimeout(connect, 10);
      return;
    }
    new QWebChannel(qt.webChannelTransport, function(channel) {
      var port = channel.objects.nativeBridgePort;
      send = function(message) { port.post(message); };
      queue.forEach(send);
      queue = [];
    });
  }
  connect();
})();
)";

// One profile for all pages alive: browsers sharing one data folder must share it. It goes
// with the last page, as the browser wants, also when a window outlives the application.
QSharedPointer<QWebEngineProfile> _sharedProfile(const QString &folder)
{
  static QWeakPointer<QWebEngineProfile> shared;
  QSharedPointer<QWebEngineProfile> profile = shared.toStrongRef();
  if (!profile) {
    profile.reset(new QWebEngineProfile(QStringLiteral("WebView")));
    profile->setPersistentStoragePath(folder);
    profile->setCachePath(folder + "/Cache");
    // Pages may not read (or write) the clipboard.
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    shared = profile;
  }
  return profile;
}

} // namespace

WebEngineBackend::WebEngineBackend()
{
  // Qt WebEngine needs a widget application that shares its OpenGL contexts.
  if (!qobject_cast<QApplication *>(QCoreApplication::instance()) ||
      !QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts))
    return;
  const QString folder = dataFolder();
  if (folder.isEmpty())
    return;

  _profile = _sharedProfile(folder);
  _view = new QWebEngineView;
  _page = new QWebEnginePage(_profile.data(), _view);
  _view->setPage(_page);
  _connectPage();
  _installBridge();
  // Pages must go before the browser shuts down with the application.
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &_context, [this] { _dropPage(); });
}

WebEngineBackend::~WebEngineBackend()
{
  _dropPage();
}

void WebEngineBackend::_dropPage()
{
  // Nothing the page reports on its way out reaches the listeners.
  if (_page)
    QObject::disconnect(_page, nullptr, &_context, nullptr);
  delete _view;
}

QString WebEngineBackend::dataFolder()
{
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  if (base.isEmpty() || name.isEmpty())
    return {};
  const QString folder = QDir(base).filePath(name);
  return QDir().mkpath(folder) && QFileInfo(folder).isDir() ? folder : QString();
}

bool WebEngineBackend::isReady() const
{
  return _view;
}

QWidget *WebEngineBackend::widget() const
{
  return _view;
}

void WebEngineBackend::_connectPage()
{
  QObject::connect(_page, &QWebEnginePage::loadStarted, &_context, [this] {
    _contentLoading = false;
    notifyNavigationStarting();
  });
  QObject::connect(_page, &QWebEnginePage::urlChanged, &_context, [this] { notifySourceChanged(); });
  QObject::connect(_page, &QWebEnginePage::loadProgress, &_context, [this](int progress) {
    if (progress > 0 && !_contentLoading) {
      _contentLoading = true;
      notifyContentLoading();
    }
  });
  QObject::connect(_page, &QWebEnginePage::loadFinished, &_context,
                   [this](bool ok) { notifyNavigationCompleted(ok); });
  QObject::connect(_page, &QWebEnginePage::titleChanged, &_context, [this] { notifyTitleChanged(title()); });
}

void WebEngineBackend::_installBridge()
{
  auto *port = new WebChannelPort([this](const QString &message) { onMessage(message.toStdString()); }, _page);
  auto *channel = new QWebChannel(_page);
  channel->registerObject(QStringLiteral("nativeBridgePort"), port);
  _page->setWebChannel(channel);

  QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  channelScript.open(QIODevice::ReadOnly);
  init(QString::fromUtf8(channelScript.readAll()) + QString::fromUtf8(kBridgeShim));
}

void WebEngineBackend::navigate(const QString &url)
{
  if (_page)
    _page->load(QUrl(url.isEmpty() ? QStringLiteral("about:blank") : url));
}

void WebEngineBackend::init(const QString &script)
{
  if (!_page)
    return;
  // The browser does not keep the order of scripts of one injection point, and later ones
  // rely on earlier ones (a listener on a bound function): all run as one script, in turn,
  // each on its own so that one failing does not stop the others.
  _initScripts << script;
  QString source;
  for (const QString &part : qAsConst(_initScripts))
    source += QStringLiteral("try {\n%1\n} catch (e) { console.error(e); }\n").arg(part);
  QWebEngineScript userScript;
  userScript.setName(QStringLiteral("init"));
  userScript.setSourceCode(source);
  userScript.setInjectionPoint(QWebEngineScript::DocumentCreation);
  userScript.setWorldId(QWebEngineScript::MainWorld);
  userScript.setRunsOnSubFrames(false);
  QWebEngineScriptCollection &scripts = _page->scripts();
  for (const QWebEngineScript &old : scripts.findScripts(userScript.name()))
    scripts.remove(old);
  scripts.insert(userScript);
}

void WebEngineBackend::eval(const QString &script)
{
  if (_page)
    _page->runJavaScript(script);
}

QString WebEngineBackend::url() const
{
  return _page ? _page->url().toString() : QString();
}

QString WebEngineBackend::title() const
{
  // The page's own title stands in the URL for a document without one; the history
  // entry keeps the document's title as it is.
  return _page ? _page->history()->currentItem().title() : QString();
}

void WebEngineBackend::setBackgroundColor(const QColor &color)
{
  if (_page)
    _page->setBackgroundColor(color);
}

void WebEngineBackend::back()
{
  if (_page)
    _page->triggerAction(QWebEnginePage::Back);
}

void WebEngineBackend::forward()
{
  if (_page)
    _page->triggerAction(QWebEnginePage::Forward);
}

void WebEngineBackend::reload()
{
  if (_page)
    _page->triggerAction(QWebEnginePage::Reload);
}

void WebEngineBackend::stop()
{
  if (_page)
    _page->triggerAction(QWebEnginePage::Stop);
}

bool WebEngineBackend::canGoBack() const
{
  return _page && _page->history()->canGoBack();
}

bool WebEngineBackend::canGoForward() const
{
  return _page && _page->history()->canGoForward();
}
