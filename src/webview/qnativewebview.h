#pragma once

#include "iqwebview.h"
#include "webviewlisteners.h"

#include <QWidget>
#include <memory>

class WebViewEngine;

// A widget showing web pages in the program through the web view engine. It reports the
// page's loading, address and title as signals and gives pages a dark scrollbar style.
// Without an engine (none built in, or one that failed to start) `load` opens the address
// in the desktop's browser, the slots do nothing and no signal is emitted.
class QNativeWebView : public QWidget,
                       public IQWebView,
                       public WebViewTitleChangeListener,
                       public WebViewNavigationStartingListener,
                       public WebViewNavigationCompletedListener,
                       public WebViewSourceChangedListener,
                       public WebViewContentLoadingListener
{
  Q_OBJECT
public:
  explicit QNativeWebView(QWidget *parent = nullptr);
  ~QNativeWebView() override;

  QUrl url() const override { return _url; }
  QString title() const override { return _title; }
  // An invalid address is ignored.
  void load(const QUrl &url) override;
  void load(const QString &url);

  bool hasEngine() const { return _engine != nullptr; }

signals:
  void loadFinished(bool ok);
  void loadProgress(int progress);
  void loadStarted();
  void titleChanged(QString title);
  void urlChanged(QUrl url);

public slots:
  void back();
  void forward();
  void reload();
  void stop();

private:
  void documentTitleChanged(const std::string &title) override;
  void navigationStarting() override;
  void navigationCompleted(bool success) override;
  void sourceChanged() override;
  void contentLoading() override;

  // Called by every document once its DOM has loaded; answers with its own arguments.
  std::string _pageLoaded(const std::string &params);
  void _injectScrollbarStyle();
  void _startLoading();

  std::unique_ptr<WebViewEngine> _engine;
  QUrl _url;
  QString _title;
};
