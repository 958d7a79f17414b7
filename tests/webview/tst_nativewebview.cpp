// The web view widget: the engine's events as signals, loading and the slots, the road
// without an engine, and (with Qt WebEngine) real pages from a loopback server.

#include "fakewebviewengine.h"
#include "loopbackhttpserver.h"
#include "qnativewebview.h"
#include "scripteddialogprovider.h"
#include "testenv.h"
#include "webviewbridge.h"
#include "webviewsignallog.h"

#include <QDesktopServices>
#include <QTemporaryFile>
#ifdef TAVO_WEBENGINE
#include "webenginebackend.h"
#include <QWebEngineView>
#endif

namespace {

// Browser loads under software rendering on a busy machine are slow.
constexpr int kLoadTimeoutMs = 60000;
constexpr int kScriptTimeoutMs = 10000;

// Captures what would go to the desktop's browser.
class UrlCatcher : public QObject
{
  Q_OBJECT
public:
  UrlCatcher() { QDesktopServices::setUrlHandler("http", this, "open"); }
  ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
  QList<QUrl> opened;
public slots:
  void open(const QUrl &url) { opened << url; }
};

QByteArray page(const QByteArray &title, const QByteArray &body = "<p>Help</p>")
{
  const QByteArray head = title.isNull() ? QByteArray() : "<title>" + title + "</title>";
  return "<!DOCTYPE html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

} // namespace

class TestNativeWebView : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void bindsThePageLoadedCall();
  void engineEvents_data();
  void engineEvents();
  void load_data();
  void load();
  void navigationSlots_data();
  void navigationSlots();
  void withoutEngine_data();
  void withoutEngine();
#ifdef TAVO_WEBENGINE
  void pageLoad();
  void scrollbarStylePerLoad();
  void backWithoutHistory();
  void stopEndsTheLoad();
  void makerTitleArrivesEmpty();
  void unreachablePage();
  void quitDropsThePage();
#endif

private:
#ifdef TAVO_WEBENGINE
  QVariant _run(QNativeWebView &view, const QString &script);
  bool _waitForLoad(WebViewSignalLog &log);
#endif
  LoopbackHttpServer _server;
};

void TestNativeWebView::initTestCase()
{
  QVERIFY(_server.isListening());
  _server.serve("/guide.html", page("Guide"));
  _server.serve("/other.html", page("Other"));
  _server.serve("/maker.html", page("Tavo REN help - tarnholm.com"));
}

void TestNativeWebView::bindsThePageLoadedCall()
{
  FakeWebViewEngine::Installer fakes;
  QNativeWebView view;
  QVERIFY(view.hasEngine());
  // Bound before the listener is registered, so every document defines qtInit before it is used.
  const QStringList inits = fakes.last()->inits;
  QCOMPARE(inits, QStringList({QString::fromStdString(WebViewBridge::bindScript("qtInit")),
                               "addEventListener('DOMContentLoaded', qtInit)"}));
}

void TestNativeWebView::engineEvents_data()
{
  QTest::addColumn<QString>("event");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("expected");

  QTest::newRow("navigation starting") << "starting" << "" << QStringList{"loadStarted"};
  QTest::newRow("source changed") << "source" << "" << QStringList{"loadStarted"};
  QTest::newRow("content loading") << "content" << "" << QStringList{"loadProgress(50)"};
  QTest::newRow("navigation completed") << "completed" << "" << QStringList{"loadFinished(true)"};
  QTest::newRow("navigation failed") << "failed" << "" << QStringList{"loadFinished(false)"};
  QTest::newRow("title") << "title" << "Guide" << QStringList{"titleChanged(Guide)"};
  QTest::newRow("title with the maker's domain") << "title" << "Help - tarnholm.com" << QStringList{"titleChanged()"};
  QTest::newRow("domain in capitals kept") << "title" << "TARNHOLM.COM" << QStringList{"titleChanged(TARNHOLM.COM)"};
  QTest::newRow("page loaded") << "loaded" << "Guide"
                               << QStringList{"urlChanged(http://127.0.0.1:9/guide.html)", "titleChanged(Guide)",
                                              "loadProgress(100)", "loadFinished(true)"};
  QTest::newRow("page loaded, maker's title") << "loaded" << "www.tarnholm.com"
                                              << QStringList{"urlChanged(http://127.0.0.1:9/guide.html)",
                                                             "titleChanged()", "loadProgress(100)",
                                                             "loadFinished(true)"};
}

void TestNativeWebView::engineEvents()
{
  QFETCH(QString, event);
  QFETCH(QString, text);
  QFETCH(QStringList, expected);

  FakeWebViewEngine::Installer fakes;
  QNativeWebView view;
  FakeWebViewEngine *engine = fakes.last();
  WebViewSignalLog log(&view);
  const QByteArray params = R"([{"isTrusted":true}])";
  if (event == "starting")
    engine->notifyNavigationStarting();
  else if (event == "source")
    engine->notifySourceChanged();
  else if (event == "content")
    engine->notifyContentLoading();
  else if (event == "completed" || event == "failed")
    engine->notifyNavigationCompleted(event == "completed");
  else if (event == "title")
    engine->notifyTitleChanged(text);
  else if (event == "loaded") {
    engine->pageUrl = "http://127.0.0.1:9/guide.html";
    engine->pageTitle = text;
    engine->onMessage(R"({"id":1,"method":"qtInit","params":)" + params.toStdString() + "}");
  }
  QCOMPARE(log.entries, expected);

  if (event == "title" || event == "loaded")
    QCOMPARE(view.title(), expected.filter("titleChanged").first().mid(13).chopped(1));
  if (event == "loaded") {
    QCOMPARE(view.url(), QUrl(engine->pageUrl));
    // The page's promise resolves with its own arguments, through the event loop.
    QTRY_COMPARE(engine->evals.last(), QString::fromStdString(WebViewBridge::resolveScript("1", 0, params.toStdString())));
  }
  // Each completed navigation gets the scrollbar style, failed or not.
  const bool styled = !engine->evals.filter("css.id = 'scrollbarStyle';").isEmpty();
  QCOMPARE(styled, event == "completed" || event == "failed");
}

void TestNativeWebView::load_data()
{
  QTest::addColumn<QString>("address");
  QTest::addColumn<bool>("loads");
  QTest::newRow("address") << "http://127.0.0.1:9/guide.html?topic=start" << true;
  QTest::newRow("tolerant") << "http://127.0.0.1:9/a b.html?q=\u00e9" << true;
  QTest::newRow("empty") << "" << false;
  QTest::newRow("invalid") << "http://[::1/guide.html" << false;
}

void TestNativeWebView::load()
{
  QFETCH(QString, address);
  QFETCH(bool, loads);
  FakeWebViewEngine::Installer fakes;
  QNativeWebView view;
  view.load(QUrl("http://127.0.0.1:9/before.html"));
  WebViewSignalLog log(&view);
  view.load(address);
  const QUrl expected = loads ? QUrl(address, QUrl::TolerantMode) : QUrl("http://127.0.0.1:9/before.html");
  QCOMPARE(view.url(), expected);
  QCOMPARE(fakes.last()->navigations.last(), expected.toString(QUrl::FullyEncoded));
  QCOMPARE(fakes.last()->navigations.size(), loads ? 2 : 1);
  QCOMPARE(log.entries, loads ? QStringList({"loadStarted", "loadProgress(0)"}) : QStringList());
}

void TestNativeWebView::navigationSlots_data()
{
  QTest::addColumn<QString>("slot");
  QTest::addColumn<bool>("history");
  QTest::addColumn<QStringList>("expected");
  QTest::addColumn<QStringList>("actions");
  const QStringList starting{"loadStarted", "loadProgress(0)"};
  QTest::newRow("back without history") << "back" << false << starting << QStringList();
  QTest::newRow("back") << "back" << true << starting << QStringList{"back"};
  QTest::newRow("forward without history") << "forward" << false << starting << QStringList();
  QTest::newRow("forward") << "forward" << true << starting << QStringList{"forward"};
  QTest::newRow("reload") << "reload" << false << starting << QStringList{"reload"};
  QTest::newRow("stop") << "stop" << false << QStringList{"loadProgress(100)", "loadFinished(true)"}
                        << QStringList{"stop"};
}

void TestNativeWebView::navigationSlots()
{
  QFETCH(QString, slot);
  QFETCH(bool, history);
  QFETCH(QStringList, expected);
  QFETCH(QStringList, actions);
  FakeWebViewEngine::Installer fakes;
  QNativeWebView view;
  fakes.last()->backPossible = fakes.last()->forwardPossible = history;
  WebViewSignalLog log(&view);
  QVERIFY(QMetaObject::invokeMethod(&view, slot.toLatin1()));
  QCOMPARE(log.entries, expected);
  QCOMPARE(fakes.last()->actions, actions);
}

void TestNativeWebView::withoutEngine_data()
{
  QTest::addColumn<QString>("road");
  QTest::addColumn<bool>("box");
  QTest::newRow("built without an engine") << "none" << false;
  QTest::newRow("engine failed to start") << "failed" << true;
#ifdef TAVO_WEBENGINE
  QTest::newRow("browser data folder cannot be made") << "no data folder" << true;
#else
  QTest::newRow("built without Qt WebEngine") << "built in" << false;
#endif
}

void TestNativeWebView::withoutEngine()
{
  QFETCH(QString, road);
  QFETCH(bool, box);
  ScriptedDialogProvider dialogs;
  UrlCatcher catcher;
  std::unique_ptr<FakeWebViewEngine::Installer> fakes;
  if (road != "no data folder" && road != "built in")
    fakes = std::make_unique<FakeWebViewEngine::Installer>(road != "failed", road == "none");
  // A plain file where the data folder would be made.
  QTemporaryFile blocker;
  QVERIFY(blocker.open());
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  if (road == "no data folder")
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName()));
  QNativeWebView view;
  qputenv("XDG_DATA_HOME", dataHome);

  QVERIFY(!view.hasEngine());
  if (box) {
    QCOMPARE(dialogs.kinds(), QStringList{"messageBox"});
    QCOMPARE(dialogs.calls.first().title, QCoreApplication::applicationName());
    QVERIFY2(dialogs.calls.first().text.startsWith("Cannot initialize webview\n"),
             qPrintable(dialogs.calls.first().text));
    QCOMPARE(dialogs.calls.first().buttons, QStringList{"OK"});
  } else {
    QVERIFY(dialogs.calls.isEmpty());
  }

  WebViewSignalLog log(&view);
  const QUrl address("http://127.0.0.1:9/guide.html");
  view.load(address);
  view.load(QUrl());
  QCOMPARE(catcher.opened, QList<QUrl>{address});
  QCOMPARE(view.url(), address);
  for (const char *slot : {"back", "forward", "reload", "stop"})
    QVERIFY(QMetaObject::invokeMethod(&view, slot));
  QVERIFY(log.entries.isEmpty());
  // Shown once, at construction.
  QCOMPARE(dialogs.calls.size(), box ? 1 : 0);
}

#ifdef TAVO_WEBENGINE

QVariant TestNativeWebView::_run(QNativeWebView &view, const QString &script)
{
  auto *browser = view.findChild<QWebEngineView *>();
  auto result = std::make_shared<QVariant>();
  auto done = std::make_shared<bool>(false);
  browser->page()->runJavaScript(script, [result, done](const QVariant &value) {
    *result = value;
    *done = true;
  });
  (void)QTest::qWaitFor([done] { return *done; }, kScriptTimeoutMs);
  return *result;
}

// Until the page's DOM has loaded and its navigation has completed.
bool TestNativeWebView::_waitForLoad(WebViewSignalLog &log)
{
  return QTest::qWaitFor(
    [&] { return log.entries.contains("loadProgress(100)") && log.entries.count("loadFinished(true)") >= 2; },
    kLoadTimeoutMs);
}

void TestNativeWebView::pageLoad()
{
  QNativeWebView view;
  view.resize(640, 480);
  view.show();
  WebViewSignalLog log(&view);
  const QUrl address = _server.url("/guide.html");
  view.load(address);
  QVERIFY2(_waitForLoad(log), qPrintable(log.entries.join(", ")));
  const QStringList &entries = log.entries;
  QCOMPARE(entries.mid(0, 2), QStringList({"loadStarted", "loadProgress(0)"}));
  QVERIFY2(entries.contains("loadProgress(50)"), qPrintable(entries.join(", ")));
  // Once the DOM has loaded, in this order.
  const QStringList loaded{"urlChanged(" + address.toString() + ")", "titleChanged(Guide)", "loadProgress(100)",
                           "loadFinished(true)"};
  const int at = entries.indexOf(loaded.first());
  QVERIFY2(at > 0 && entries.mid(at, 4) == loaded, qPrintable(entries.join(", ")));
  // Only loading and title events besides.
  for (const QString &entry : entries)
    QVERIFY2(entry.startsWith("load") || entry.startsWith("titleChanged(") || loaded.contains(entry), qPrintable(entry));
  QCOMPARE(view.url(), address);
  QCOMPARE(view.title(), QString("Guide"));

  // Invalid addresses change nothing.
  log.entries.clear();
  view.load(QUrl());
  view.load(QString("http://[::1/guide.html"));
  QCOMPARE(view.url(), address);
  QCOMPARE(_run(view, "document.title").toString(), QString("Guide"));
  QVERIFY2(log.entries.isEmpty(), qPrintable(log.entries.join(", ")));
}

void TestNativeWebView::scrollbarStylePerLoad()
{
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.load(_server.url("/guide.html"));
  QVERIFY(_waitForLoad(log));
  const QString count = "document.querySelectorAll('style#scrollbarStyle').length";
  QTRY_COMPARE_WITH_TIMEOUT(_run(view, count).toInt(), 1, kLoadTimeoutMs);
  const QString rules = _run(view, "document.getElementById('scrollbarStyle').innerText").toString();
  for (const char *rule :
       {"::-webkit-scrollbar-thumb { border: 2px solid transparent; background-clip: padding-box;"
        " background-color: #6b6b6b; border-radius: 9999px; transition: background .2s cubic-bezier(.34,.69,.1,1);"
        " -webkit-transition: background .2s cubic-bezier(.34,.69,.1,1); }",
        "::-webkit-scrollbar { border-radius: 9999px; width: 12px; height: 12px; background-color: #2A2929; }",
        "::-webkit-scrollbar-button { display: none; }", "::-webkit-scrollbar-corner { background: transparent; }",
        "::-webkit-scrollbar-track { background: transparent; }",
        "::-webkit-scrollbar-thumb:hover { background-color: #6b6b6b!important; }",
        "::-webkit-scrollbar:hover { width: 12px; height: 12px; }"})
    QVERIFY2(rules.contains(rule), qPrintable(rules));

  // The next page gets its own.
  log.entries.clear();
  view.load(_server.url("/other.html"));
  QVERIFY(_waitForLoad(log));
  QTRY_COMPARE_WITH_TIMEOUT(_run(view, count).toInt(), 1, kLoadTimeoutMs);
  QCOMPARE(_run(view, "document.title").toString(), QString("Other"));
}

void TestNativeWebView::backWithoutHistory()
{
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.back();
  QCOMPARE(log.entries, QStringList({"loadStarted", "loadProgress(0)"}));
  QCOMPARE(view.url(), QUrl());
}

void TestNativeWebView::stopEndsTheLoad()
{
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.load(_server.url("/other.html"));
  view.stop();
  QCOMPARE(log.entries.mid(log.entries.size() - 2), QStringList({"loadProgress(100)", "loadFinished(true)"}));
}

void TestNativeWebView::makerTitleArrivesEmpty()
{
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.load(_server.url("/maker.html"));
  QVERIFY(_waitForLoad(log));
  QCOMPARE(view.title(), QString());
  const QStringList titles = log.entries.filter("titleChanged");
  QVERIFY(!titles.isEmpty());
  for (const QString &title : titles)
    QCOMPARE(title, QString("titleChanged()"));
}

void TestNativeWebView::unreachablePage()
{
  quint16 closedPort = 0;
  {
    LoopbackHttpServer gone;
    closedPort = gone.port();
  }
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.load(QUrl(QString("http://127.0.0.1:%1/help.html").arg(closedPort)));
  QVERIFY2(QTest::qWaitFor([&] { return log.entries.contains("loadFinished(false)"); }, kLoadTimeoutMs),
           qPrintable(log.entries.join(", ")));
  QCOMPARE(log.entries.mid(0, 2), QStringList({"loadStarted", "loadProgress(0)"}));
}

// On quit the page goes before the browser shuts down; the view stays usable.
void TestNativeWebView::quitDropsThePage()
{
  QNativeWebView view;
  view.show();
  WebViewSignalLog log(&view);
  view.load(_server.url("/guide.html"));
  QVERIFY(_waitForLoad(log));
  QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
  QVERIFY(!view.findChild<QWebEngineView *>());
  view.load(_server.url("/other.html"));
  view.back();
  view.stop();
  QCOMPARE(log.entries.mid(log.entries.size() - 2), QStringList({"loadProgress(100)", "loadFinished(true)"}));
}

#endif

TAVO_TEST_MAIN(TestNativeWebView)
#include "tst_nativewebview.moc"
