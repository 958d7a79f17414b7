#pragma once

#include "webviewengine.h"

#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

// The engine over Qt WebEngine. Browser data lives in the user's data folder, in a folder
// named after the executable; pages get no clipboard access. The bridge's page side posts
// through a web channel.
class WebEngineBackend : public WebViewEngine
{
public:
  WebEngineBackend();
  ~WebEngineBackend() override;

  bool isReady() const override;
  QWidget *widget() const override;

  void navigate(const QString &url) override;
  void init(const QString &script) override;
  void eval(const QString &script) override;
  QString url() const override;
  QString title() const override;
  void setBackgroundColor(const QColor &color) override;
  void back() override;
  void forward() override;
  void reload() override;
  void stop() override;
  bool canGoBack() const override;
  bool canGoForward() const override;

  // Where browser data is kept; empty when that folder cannot be made.
  static QString dataFolder();

private:
  void _connectPage();
  void _installBridge();
  void _dropPage();

  QPointer<QWebEngineView> _view;
  QPointer<QWebEnginePage> _page;
  QSharedPointer<QWebEngineProfile> _profile;
  // Context of the page connections, cut before the page goes.
  QObject _context;
  // Content loading is reported once per navigation, at its first progress.
  bool _contentLoading = false;
  QStringList _initScripts;
};
