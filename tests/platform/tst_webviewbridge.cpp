// The script bridge without a browser: reading the page's messages, the scripts written
// into the page, and the engine's handling of calls.

#include "fakewebviewengine.h"
#include "testenv.h"
#include "webviewbridge.h"

class TestWebViewBridge : public QObject
{
  Q_OBJECT
private slots:
  void extract_data();
  void extract();
  void bindScript();
  void resolveScript();
  void names_data();
  void names();
  void calls();
  void dispatchDiesWithTheEngine();
};

void TestWebViewBridge::extract_data()
{
  QTest::addColumn<QByteArray>("json");
  QTest::addColumn<QByteArray>("key");
  QTest::addColumn<int>("index");
  QTest::addColumn<QByteArray>("expected");

  const QByteArray call = R"({"id":12,"method":"qtInit","params":[{"isTrusted":true}]})";
  QTest::newRow("number") << call << QByteArray("id") << 0 << QByteArray("12");
  QTest::newRow("string") << call << QByteArray("method") << 0 << QByteArray("qtInit");
  QTest::newRow("array, raw") << call << QByteArray("params") << 0 << QByteArray(R"([{"isTrusted":true}])");
  QTest::newRow("missing key") << call << QByteArray("result") << 0 << QByteArray();
  QTest::newRow("nested member ignored") << QByteArray(R"({"a":{"id":5},"b":[{"id":6}],"id":7})") << QByteArray("id") << 0
                                         << QByteArray("7");
  QTest::newRow("only nested") << QByteArray(R"({"a":{"id":5}})") << QByteArray("id") << 0 << QByteArray();
  QTest::newRow("key matched whole") << QByteArray(R"({"idx":1,"id":2})") << QByteArray("id") << 0 << QByteArray("2");
  QTest::newRow("value text is no key") << QByteArray(R"({"a":"id","id":3})") << QByteArray("id") << 0
                                        << QByteArray("3");
  QTest::newRow("blanks and new lines") << QByteArray("{ \"id\" :\t4 ,\r\n \"x\": null }") << QByteArray("id") << 0
                                        << QByteArray("4");
  QTest::newRow("position") << QByteArray(R"([1,"two",[3,4],{"k":5}])") << QByteArray() << 1 << QByteArray("two");
  QTest::newRow("position of nested") << QByteArray(R"([1,"two",[3,4],{"k":5}])") << QByteArray() << 2
                                      << QByteArray("[3,4]");
  QTest::newRow("position past the end") << QByteArray(R"([1,"two"])") << QByteArray() << 2 << QByteArray();
  QTest::newRow("literals") << QByteArray(R"([true,false,null])") << QByteArray() << 2 << QByteArray("null");
  QTest::newRow("fraction and exponent") << QByteArray(R"({"n":-1.5E+3,"id":8})") << QByteArray("id") << 0
                                         << QByteArray("8");
  QTest::newRow("escapes") << QByteArray(R"({"s":"a\"b\\c\/d\b\f\n\r\t"})") << QByteArray("s") << 0
                           << QByteArray("a\"b\\c/d\b\f\n\r\t");
  QTest::newRow("\\u makes the value unreadable") << QByteArray(R"({"s":"\u0041","t":"x"})") << QByteArray("s") << 0
                                                  << QByteArray();
  QTest::newRow("\\u leaves other keys") << QByteArray(R"({"s":"\u0041","t":"x"})") << QByteArray("t") << 0
                                         << QByteArray("x");
  QTest::newRow("other escape fails all") << QByteArray(R"({"s":"\q","t":"x"})") << QByteArray("t") << 0
                                          << QByteArray();
  QTest::newRow("utf-8") << QByteArray("{\"s\":\"gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x98\x80\"}")
                         << QByteArray("s") << 0 << QByteArray("gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x98\x80");
  QTest::newRow("broken utf-8 elsewhere") << QByteArray("{\"s\":\"\xff\",\"t\":\"x\"}") << QByteArray("t") << 0
                                          << QByteArray();
  QTest::newRow("cut utf-8") << QByteArray("{\"t\":\"x\",\"s\":\"\xe2\x82\"}") << QByteArray("t") << 0
                             << QByteArray();
  QTest::newRow("overlong utf-8") << QByteArray("{\"t\":\"x\",\"s\":\"\xc0\xaf\"}") << QByteArray("t") << 0
                                  << QByteArray();
  QTest::newRow("surrogate in utf-8") << QByteArray("{\"t\":\"x\",\"s\":\"\xed\xa0\x80\"}") << QByteArray("t") << 0
                                      << QByteArray();
  QTest::newRow("ends in a string") << QByteArray(R"({"id":1,"s":"abc)") << QByteArray("id") << 0 << QByteArray();
  QTest::newRow("ends in an escape") << QByteArray(R"({"id":1,"s":"abc\)") << QByteArray("id") << 0 << QByteArray();
  QTest::newRow("ends unclosed") << QByteArray(R"({"id":1)") << QByteArray("id") << 0 << QByteArray();
  QTest::newRow("stray byte") << QByteArray(R"({"id":1;})") << QByteArray("id") << 0 << QByteArray();
  QTest::newRow("empty text") << QByteArray() << QByteArray("id") << 0 << QByteArray();
}

void TestWebViewBridge::extract()
{
  QFETCH(QByteArray, json);
  QFETCH(QByteArray, key);
  QFETCH(int, index);
  QFETCH(QByteArray, expected);
  QCOMPARE(QByteArray::fromStdString(WebViewBridge::extract(json.toStdString(), key.toStdString(), index)), expected);
}

void TestWebViewBridge::bindScript()
{
  const QString script = QString::fromStdString(WebViewBridge::bindScript("openTopic"));
  QVERIFY2(script.startsWith("(function() { var name = 'openTopic';"), qPrintable(script));
  // One counter per document, from 1, shared by every bound function.
  QVERIFY(script.contains("window._rpc = window._rpc || {nextSeq: 1}"));
  QVERIFY(script.contains("var seq = rpc.nextSeq++;"));
  QVERIFY(script.contains("rpc[seq] = {resolve: resolve, reject: reject};"));
  QVERIFY(script.contains("window.nativeBridge.invoke(JSON.stringify({"
                          "   id: seq, method: name, params: Array.prototype.slice.call(arguments)}));"));
  QVERIFY(script.contains("return promise;"));
}

void TestWebViewBridge::resolveScript()
{
  QCOMPARE(QString::fromStdString(WebViewBridge::resolveScript("3", 0, "[]")),
           QString("window._rpc[3].resolve([]); delete window._rpc[3]"));
  QCOMPARE(QString::fromStdString(WebViewBridge::resolveScript("4", 1, "\"failed\"")),
           QString("window._rpc[4].reject(\"failed\"); delete window._rpc[4]"));
  QCOMPARE(QString::fromStdString(WebViewBridge::resolveScript("5", -2, "null")),
           QString("window._rpc[5].reject(null); delete window._rpc[5]"));
}

void TestWebViewBridge::names_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("bindable");
  QTest::addColumn<bool>("sequence");
  QTest::newRow("identifier") << "qtInit" << true << false;
  QTest::newRow("underscore, dollar, digits") << "_a$1" << true << false;
  QTest::newRow("leading digit") << "1a" << false << false;
  QTest::newRow("quote") << "a';alert(1);'" << false << false;
  QTest::newRow("dot") << "a.b" << false << false;
  QTest::newRow("empty") << "" << false << false;
  QTest::newRow("number") << "42" << false << true;
  QTest::newRow("negative") << "-1" << false << false;
  QTest::newRow("script") << "1]);alert(1);//" << false << false;
  QTest::newRow("too long") << "1234567890123456" << false << false;
}

void TestWebViewBridge::names()
{
  QFETCH(QString, text);
  QFETCH(bool, bindable);
  QFETCH(bool, sequence);
  QCOMPARE(WebViewBridge::isBindableName(text.toStdString()), bindable);
  QCOMPARE(WebViewBridge::isSequenceId(text.toStdString()), sequence);
}

void TestWebViewBridge::calls()
{
  FakeWebViewEngine engine;
  QList<QPair<QString, QString>> received;
  engine.bind("open", [&](const std::string &sequence, const std::string &params) {
    received.append({QString::fromStdString(sequence), QString::fromStdString(params)});
  });
  engine.bind("twice", WebViewEngine::SyncFunction([](const std::string &params) { return params + params; }));
  engine.bind("bad'name", [&](const std::string &, const std::string &) { QFAIL("refused name was called"); });
  // Each binding reaches the current document and every later one.
  const QString openScript = QString::fromStdString(WebViewBridge::bindScript("open"));
  QCOMPARE(engine.inits.count(openScript), 1);
  QCOMPARE(engine.evals.count(openScript), 1);
  QCOMPARE(engine.inits.size(), 2);
  engine.evals.clear();

  engine.onMessage(R"({"id":1,"method":"open","params":["start"]})");
  engine.onMessage(R"({"id":2,"method":"missing","params":[]})");
  engine.onMessage(R"({"id":"1]);x();//","method":"open","params":[]})");
  engine.onMessage(R"({"method":"open","params":[]})");
  engine.onMessage(R"({"id":3,"method":"bad'name","params":[]})");
  engine.onMessage(R"({"id":4,"method":"twice","params":[1]})");
  QCOMPARE(received, (QList<QPair<QString, QString>>{{"1", R"(["start"])"}}));
  // The answer goes through the event loop, not from inside the message.
  QVERIFY(engine.evals.isEmpty());
  QTRY_COMPARE(engine.evals, QStringList{"window._rpc[4].resolve([1][1]); delete window._rpc[4]"});

  // A later binding of the same name replaces the earlier one.
  int replaced = 0;
  engine.bind("open", [&](const std::string &, const std::string &) { ++replaced; });
  engine.onMessage(R"({"id":5,"method":"open","params":[]})");
  QCOMPARE(replaced, 1);
  QCOMPARE(received.size(), 1);
}

void TestWebViewBridge::dispatchDiesWithTheEngine()
{
  bool ran = false;
  {
    FakeWebViewEngine engine;
    engine.dispatch([&] { ran = true; });
  }
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  QVERIFY(!ran);
  FakeWebViewEngine engine;
  engine.dispatch([&] { ran = true; });
  QTRY_VERIFY(ran);
}

TAVO_TEST_CORE_MAIN(TestWebViewBridge)
#include "tst_webviewbridge.moc"
