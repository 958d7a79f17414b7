#pragma once
// A web view engine without a browser (header only: include it in tests that link
// tavo_webview_engine). It records what it is asked to do and lets the test play the
// page's events and bridge messages.
//
//   FakeWebViewEngine::Installer fakes;   // WebViewEngine::create() now makes fakes
//   QNativeWebView view;
//   fakes.last()->pageTitle = "Guide";
//   fakes.last()->notifyTitleChanged("Guide");

#include "webviewengine.h"

#include <QPointer>
#include <QStringList>

class FakeWebViewEngine : public WebViewEngine
{
public:
  bool ready = true;
  QString pageUrl;
  QString pageTitle;
  bool backPossible = false;
  bool forwardPossible = false;
  QStringList navigations, inits, evals;
  // "back", "forward", "reload", "stop" as they were asked for.
  QStringList actions;

  bool isReady() const override { return ready; }
  QWidget *widget() const override { return nullptr; }
  void navigate(const QString &url) override { navigations << url; }
  void init(const QString &script) override { inits << script; }
  void eval(const QString &script) override { evals << script; }
  QString url() const override { return pageUrl; }
  QString title() const override { return pageTitle; }
  void back() override { actions << "back"; }
  void forward() override { actions << "forward"; }
  void reload() override { actions << "reload"; }
  void stop() override { actions << "stop"; }
  bool canGoBack() const override { return backPossible; }
  bool canGoForward() const override { return forwardPossible; }

  using WebViewEngine::notifyContentLoading;
  using WebViewEngine::notifyNavigationCompleted;
  using WebViewEngine::notifyNavigationStarting;
  using WebViewEngine::notifySourceChanged;
  using WebViewEngine::notifyTitleChanged;

  // Makes WebViewEngine::create() hand out fakes (or nothing) while it lives.
  class Installer
  {
  public:
    explicit Installer(bool ready = true, bool none = false)
    {
      WebViewEngine::setFactory([this, ready, none]() -> std::unique_ptr<WebViewEngine> {
        if (none)
          return nullptr;
        auto engine = std::make_unique<FakeWebViewEngine>();
        engine->ready = ready;
        made << engine.get();
        return engine;
      });
    }
    ~Installer() { WebViewEngine::setFactory(nullptr); }
    FakeWebViewEngine *last() const { return made.isEmpty() ? nullptr : made.last(); }
    QList<FakeWebViewEngine *> made;
  };
};
