#include "qnativewebview.h"

#include "dialogprovider.h"
#include "endpoints.h"
#include "util.h"
#include "webviewengine.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace {

// The maker's own pages carry the product name in their titles; the opener's title reads better.
QString _filterTitle(const QString &title)
{
  return title.contains(Endpoints::makerDomain(), Qt::CaseSensitive) ? QString() : title;
}

const char *kScrollbarStyle =
  "::-webkit-scrollbar-thumb { border: 2px solid transparent; background-clip: padding-box;"
  " background-color: #6b6b6b; border-radius: 9999px;"
  " transition: background .2s cubic-bezier(.34,.69,.1,1);"
  " -webkit-transition: background .2s cubic-bezier(.34,.69,.1,1); }"
  " ::-webkit-scrollbar { border-radius: 9999px; width: 12px; height: 12px; background-color: #2A2929; }"
  " ::-webkit-scrollbar-button { display: none; }"
  " ::-webkit-scrollbar-corner { background: transparent; }"
  " ::-webkit-scrollbar-track { background: transparent; }"
  " ::-webkit-scrollbar-thumb:hover { background-color: #6b6b6b!important; }"
  " ::-webkit-scrollbar:hover { width: 12px; height: 12px; }";

} // namespace

QNativeWebView::QNativeWebView(QWidget *parent) : QWidget(parent), _engine(WebViewEngine::create())
{
  if (!_engine)
    return;
  if (!_engine->isReady()) {
    _engine.reset();
    DialogProvider::instance()->messageBox(
      this, QMessageBox::Critical, QCoreApplication::applicationName(),
      tr("Cannot initialize webview\nInstall Qt WebEngine (the package libqt5webenginewidgets5) and start "
         "the program again."),
      QMessageBox::Ok);
    return;
  }

  _engine->bind("qtInit", WebViewEngine::SyncFunction([this](const std::string &params) { return _pageLoaded(params); }));
  _engine->init("addEventListener('DOMContentLoaded', qtInit)");

  _engine->setTitleChangeListener(this);
  _engine->setNavigationStartingListener(this);
  _engine->setSourceChangedListener(this);
  _engine->setNavigationCompletedListener(this);
  _engine->setContentLoadingListener(this);

  _engine->setBackgroundColor(QColor(31, 32, 35));

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  if (QWidget *page = _engine->widget())
    layout->addWidget(page);
}

QNativeWebView::~QNativeWebView()
{
  if (!_engine)
    return;
  _engine->stop();
  _engine->setTitleChangeListener(nullptr);
  _engine->setNavigationStartingListener(nullptr);
  _engine->setSourceChangedListener(nullptr);
  _engine->setNavigationCompletedListener(nullptr);
  _engine->setContentLoadingListener(nullptr);
  _engine.reset();
}

void QNativeWebView::load(const QUrl &url)
{
  if (!url.isValid())
    return;
  _url = url;
  if (!_engine) {
    Util::openUrl(url.toString(QUrl::FullyEncoded));
    return;
  }
  _startLoading();
  _engine->navigate(url.toString(QUrl::FullyEncoded));
}

void QNativeWebView::load(const QString &url)
{
  load(QUrl(url, QUrl::TolerantMode));
}

void QNativeWebView::_startLoading()
{
  emit loadStarted();
  emit loadProgress(0);
}

void QNativeWebView::back()
{
  if (!_engine)
    return;
  _startLoading();
  if (_engine->canGoBack())
    _engine->back();
}

void QNativeWebView::forward()
{
  if (!_engine)
    return;
  _startLoading();
  if (_engine->canGoForward())
    _engine->forward();
}

void QNativeWebView::reload()
{
  if (!_engine)
    return;
  _startLoading();
  _engine->reload();
}

void QNativeWebView::stop()
{
  if (!_engine)
    return;
  _engine->stop();
  emit loadProgress(100);
  emit loadFinished(true);
}

void QNativeWebView::documentTitleChanged(const std::string &title)
{
  _title = _filterTitle(QString::fromStdString(title));
  emit titleChanged(_title);
}

void QNativeWebView::navigationStarting()
{
  emit loadStarted();
}

void QNativeWebView::sourceChanged()
{
  emit loadStarted();
}

void QNativeWebView::contentLoading()
{
  emit loadProgress(50);
}

void QNativeWebView::navigationCompleted(bool success)
{
  _injectScrollbarStyle();
  emit loadFinished(success);
}

std::string QNativeWebView::_pageLoaded(const std::string &params)
{
  _url = QUrl(_engine->url());
  _title = _filterTitle(_engine->title());
  emit urlChanged(_url);
  emit titleChanged(_title);
  emit loadProgress(100);
  emit loadFinished(true);
  return params;
}

void QNativeWebView::_injectScrollbarStyle()
{
  _engine->eval(QStringLiteral("(function() {"
                               "    css = document.createElement('style');"
                               "    css.type = 'text/css';"
                               "    css.id = '%1';"
                               "    document.head.appendChild(css);"
                               "    css.innerText = '%2';"
                               "})()\n")
                  .arg(QStringLiteral("scrollbarStyle"), QString::fromLatin1(kScrollbarStyle)));
}
