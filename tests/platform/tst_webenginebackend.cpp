// The engine over Qt WebEngine, on pages from a loopback server: the script bridge's
// promises, the page's own title, and what a page may not do.

#include "loopbackhttpserver.h"
#include "testenv.h"
#include "webenginebackend.h"
#include "webviewbridge.h"

#include <QClipboard>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// Browser loads under software rendering on a busy machine are slow.
constexpr int kLoadTimeoutMs = 60000;

const QByteArray kPlainPage = "<!DOCTYPE html><html><head><title>Guide</title></head><body><p>Guide</p></body></html>";
const QByteArray kUntitledPage = "<!DOCTYPE html><html><head></head><body><p>No title</p></body></html>";

// A shown backend with a "report" function that collects what page scripts send it.
struct Browser
{
  WebEngineBackend engine;
  QList<QByteArray> reports;

  Browser()
  {
    engine.bind("report", WebViewEngine::SyncFunction([this](const std::string &params) {
                  reports << QByteArray::fromStdString(params);
                  return std::string("null");
                }));
    engine.widget()->resize(640, 480);
    engine.widget()->show();
  }
  QWebEnginePage *page() const { return static_cast<QWebEngineView *>(engine.widget())->page(); }

  bool load(const QString &url)
  {
    QSignalSpy finished(page(), &QWebEnginePage::loadFinished);
    engine.navigate(url);
    return finished.wait(kLoadTimeoutMs) && finished.last().value(0).toBool();
  }
  // Runs the script once the page reported it can (the bridge shim connects on its own).
  bool reportsArrive(int count) { return QTest::qWaitFor([&] { return reports.size() >= count; }, kLoadTimeoutMs); }
};
} // namespace

class TestWebEngineBackend : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void emptyAddressShowsBlankPage();
  void documentTitle();
  void promises();
  void unboundCallStaysPending();
  void noClipboard();

private:
  LoopbackHttpServer _server;
};

void TestWebEngineBackend::initTestCase()
{
  QVERIFY(_server.isListening());
  _server.serve("/guide.html", kPlainPage);
  _server.serve("/untitled.html", kUntitledPage);
  // The browser's data stays in the test's own home.
  QVERIFY(WebEngineBackend::dataFolder().startsWith(TestEnv::homePath()));
}

void TestWebEngineBackend::emptyAddressShowsBlankPage()
{
  Browser browser;
  QVERIFY(browser.engine.isReady());
  QVERIFY(browser.load(_server.url("/guide.html").toString()));
  QVERIFY(browser.load(QString()));
  QCOMPARE(browser.engine.url(), QString("about:blank"));
  QCOMPARE(browser.engine.title(), QString());
  QVERIFY(browser.engine.canGoBack());
  QVERIFY(!browser.engine.canGoForward());
}

void TestWebEngineBackend::documentTitle()
{
  Browser browser;
  QVERIFY(browser.load(_server.url("/guide.html").toString()));
  QCOMPARE(browser.engine.title(), QString("Guide"));
  // The browser shows the address for a page without a title; the engine reports none.
  QVERIFY(browser.load(_server.url("/untitled.html").toString()));
  QVERIFY(!browser.page()->title().isEmpty());
  QCOMPARE(browser.engine.title(), QString());
}

void TestWebEngineBackend::promises()
{
  Browser browser;
  QStringList sequences, params;
  browser.engine.bind("fetchTopic", [&](const std::string &sequence, const std::string &request) {
    sequences << QString::fromStdString(sequence);
    params << QString::fromStdString(request);
  });
  QVERIFY(browser.load(_server.url("/guide.html").toString()));
  browser.engine.eval("var first = fetchTopic('a', 1), second = fetchTopic('b');"
                      "first.then(function(v) { report('first', v); }, function(e) { report('first rejected', e); });"
                      "second.then(function(v) { report('second', v); }, function(e) { report('second rejected', e); });");
  QVERIFY(QTest::qWaitFor([&] { return sequences.size() == 2; }, kLoadTimeoutMs));
  QCOMPARE(sequences, QStringList({"1", "2"}));
  QCOMPARE(params, QStringList({R"(["a",1])", R"(["b"])"}));

  // Settled in the other order: each promise has its own answer.
  browser.engine.resolve("2", 0, "[]");
  QVERIFY(browser.reportsArrive(1));
  browser.engine.resolve("1", 7, "\"no such topic\"");
  QVERIFY(browser.reportsArrive(2));
  QCOMPARE(browser.reports, (QList<QByteArray>{R"(["second",[]])", R"(["first rejected","no such topic"])"}));
}

void TestWebEngineBackend::unboundCallStaysPending()
{
  Browser browser;
  QVERIFY(browser.load(_server.url("/guide.html").toString()));
  // A page function whose name the native side never bound.
  browser.engine.eval(QString::fromStdString(WebViewBridge::bindScript("ghost")));
  // Messages are handled in order: once the later call is answered, the earlier one got nothing.
  browser.engine.eval("var settled = false;"
                      "ghost(1).then(function() { settled = true; }, function() { settled = true; });"
                      "report('after').then(function() { report(settled, 1 in window._rpc); });");
  QVERIFY(browser.reportsArrive(2));
  QCOMPARE(browser.reports, (QList<QByteArray>{R"(["after"])", "[false,true]"}));
}

void TestWebEngineBackend::noClipboard()
{
  QGuiApplication::clipboard()->setText("secret from the clipboard");
  Browser browser;
  QVERIFY(browser.load(_server.url("/guide.html").toString()));
  browser.engine.widget()->activateWindow();
  browser.engine.widget()->setFocus();
  browser.engine.eval("var area = document.createElement('textarea'); document.body.appendChild(area); area.focus();"
                      "var pasted = document.execCommand('paste');"
                      "report('paste', pasted, area.value);"
                      "var read = navigator.clipboard ? navigator.clipboard.readText() : Promise.reject('none');"
                      "var late = new Promise(function(resolve) { setTimeout(function() { resolve('pending'); }, 3000); });"
                      "Promise.race([read, late]).then(function(t) { report('read', t); },"
                      " function(e) { report('refused', String(e)); });");
  QVERIFY(browser.reportsArrive(2));
  QCOMPARE(browser.reports.first(), QByteArray(R"(["paste",false,""])"));
  QVERIFY2(!browser.reports.last().contains("secret"), browser.reports.last().constData());
}

TAVO_TEST_MAIN(TestWebEngineBackend)
#include "tst_webenginebackend.moc"
