#pragma once

#include "webviewlisteners.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QWidget;

// One browser page behind a small interface of our own: navigation, scripts, the page's
// events for the listeners, and a script bridge through which page scripts call bound
// native functions and get promises back. Backends supply the browser operations; the
// bridge, the listener hooks and dispatch are common. GUI thread only, except dispatch.
class WebViewEngine
{
public:
  // Called with the call's sequence id and the JSON text of its arguments; the call's
  // promise stays pending until `resolve` is called with that id.
  using NativeFunction = std::function<void(const std::string &sequence, const std::string &params)>;
  // Called with the JSON text of the arguments; returns the JSON value that resolves the call.
  using SyncFunction = std::function<std::string(const std::string &params)>;
  using Factory = std::function<std::unique_ptr<WebViewEngine>()>;

  WebViewEngine();
  virtual ~WebViewEngine();
  WebViewEngine(const WebViewEngine &) = delete;
  WebViewEngine &operator=(const WebViewEngine &) = delete;

  // False when the browser failed to start; such an engine shows nothing.
  virtual bool isReady() const = 0;
  // The widget that shows the page, for the owner's layout.
  virtual QWidget *widget() const = 0;

  // An empty address loads "about:blank".
  virtual void navigate(const QString &url) = 0;
  // A script run in every future document before the document's own scripts.
  virtual void init(const QString &script) = 0;
  // A script run in the current document; its result is not reported.
  virtual void eval(const QString &script) = 0;
  virtual QString url() const = 0;
  // The document's own title, empty for a page without one.
  virtual QString title() const = 0;
  // Fits the page to its host; backends whose page is a widget follow their layout.
  virtual void resize() {}
  virtual void setBackgroundColor(const QColor &) {}
  virtual void back() = 0;
  virtual void forward() = 0;
  virtual void reload() = 0;
  virtual void stop() = 0;
  virtual bool canGoBack() const = 0;
  virtual bool canGoForward() const = 0;

  // Runs the function later on the GUI thread through its event loop (from any thread).
  // Dropped when the engine is gone by then.
  void dispatch(std::function<void()> function);

  // Defines window[name] in the current and every future document (replacing an earlier
  // binding of that name). Names must be plain script identifiers; others are refused.
  void bind(const std::string &name, NativeFunction function);
  void bind(const std::string &name, SyncFunction function);
  // Settles call `sequence` in the page: resolved with `result` (a JSON value) for status
  // 0, rejected otherwise. Safe from any thread.
  void resolve(const std::string &sequence, int status, const std::string &result);
  // A message from the page's bridge: {"id", "method", "params"}. Unbound methods, and
  // messages without a numeric id, get no reply.
  void onMessage(const std::string &message);

  void setTitleChangeListener(WebViewTitleChangeListener *listener) { _titleListener = listener; }
  void setNavigationStartingListener(WebViewNavigationStartingListener *listener) { _startingListener = listener; }
  void setNavigationCompletedListener(WebViewNavigationCompletedListener *listener) { _completedListener = listener; }
  void setSourceChangedListener(WebViewSourceChangedListener *listener) { _sourceListener = listener; }
  void setContentLoadingListener(WebViewContentLoadingListener *listener) { _contentListener = listener; }

  // The built-in backend, or none when the program was built without one.
  static std::unique_ptr<WebViewEngine> create();
  // Replaces what `create` makes (tests); an empty factory restores the built-in one.
  static void setFactory(Factory factory);

protected:
  // Backends report the page's events through these; each reaches its listener when set.
  void notifyTitleChanged(const QString &title);
  void notifyNavigationStarting();
  void notifyNavigationCompleted(bool success);
  void notifySourceChanged();
  void notifyContentLoading();

private:
  std::map<std::string, NativeFunction> _bindings;
  // Queued calls are posted to this object, so they die with the engine.
  QObject _dispatchContext;
  WebViewTitleChangeListener *_titleListener = nullptr;
  WebViewNavigationStartingListener *_startingListener = nullptr;
  WebViewNavigationCompletedListener *_completedListener = nullptr;
  WebViewSourceChangedListener *_sourceListener = nullptr;
  WebViewContentLoadingListener *_contentListener = nullptr;
};
