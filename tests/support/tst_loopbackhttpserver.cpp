// The test HTTP server: what it answers per path and query, and its bounds.

#include "loopbackhttpserver.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>

class TestLoopbackHttpServer : public QObject
{
  Q_OBJECT
private slots:
  void answers_data();
  void answers();
  void oversizedHead();
  void heldAnswers();
};

void TestLoopbackHttpServer::answers_data()
{
  QTest::addColumn<QString>("target");
  QTest::addColumn<int>("status");
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<int>("minimumMs");
  QTest::newRow("served path") << "/help/start.html" << 200 << QByteArray("<p>start</p>") << 0;
  QTest::newRow("any query of a path") << "/help/start.html?lang=de" << 200 << QByteArray("<p>start</p>") << 0;
  QTest::newRow("query served on its own") << "/v1/search?q=cat" << 200 << QByteArray("{\"data\":[1]}") << 0;
  QTest::newRow("other query") << "/v1/search?q=dog" << 200 << QByteArray("{\"data\":[]}") << 0;
  QTest::newRow("missing") << "/nothing" << 404 << QByteArray("not found") << 0;
  QTest::newRow("redirect") << "/old" << 302 << QByteArray() << 0;
  QTest::newRow("delayed") << "/slow" << 200 << QByteArray("late") << 300;
  // No status at all: the connection closes without an answer.
  QTest::newRow("dropped connection") << "/drop" << 0 << QByteArray() << 0;
}

void TestLoopbackHttpServer::answers()
{
  QFETCH(QString, target);
  QFETCH(int, status);
  QFETCH(QByteArray, body);
  QFETCH(int, minimumMs);
  LoopbackHttpServer server;
  QVERIFY(server.isListening());
  QCOMPARE(server.url("/x").host(), QString("127.0.0.1"));
  server.serve("/help/start.html", "<p>start</p>");
  server.serve("/v1/search", "{\"data\":[]}", "application/json");
  server.serve("/v1/search?q=cat", "{\"data\":[1]}", "application/json");
  LoopbackHttpServer::Response moved;
  moved.status = 302;
  moved.headers = {{"Location", "/help/start.html"}};
  server.serve("/old", moved);
  LoopbackHttpServer::Response slow;
  slow.body = "late";
  slow.delayMs = 300;
  server.serve("/slow", slow);
  LoopbackHttpServer::Response dropped;
  dropped.resetConnection = true;
  server.serve("/drop", dropped);

  QNetworkAccessManager network;
  QNetworkRequest request(server.url(target));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QNetworkReply> reply(network.get(request));
  QSignalSpy finished(reply.get(), &QNetworkReply::finished);
  QVERIFY(finished.wait(10000));
  QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
  QCOMPARE(reply->readAll(), body);
  QVERIFY(clock.elapsed() >= minimumMs);
  QCOMPARE(reply->error() != QNetworkReply::NoError, status == 0 || status >= 400);
  // A dropped connection may be tried once more by the client.
  QVERIFY(!server.requests().isEmpty());
  QCOMPARE(server.requests().count(target), server.requests().size());
  if (status == 302)
    QCOMPARE(reply->rawHeader("Location"), QByteArray("/help/start.html"));
}

void TestLoopbackHttpServer::oversizedHead()
{
  LoopbackHttpServer server;
  QTcpSocket socket;
  socket.connectToHost("127.0.0.1", server.port());
  QVERIFY(socket.waitForConnected(5000));
  socket.write("GET / HTTP/1.1\r\nX-Filler: " + QByteArray(20 * 1024, 'a'));
  QTRY_VERIFY_WITH_TIMEOUT(socket.bytesAvailable() > 0 || socket.state() != QAbstractSocket::ConnectedState, 10000);
  QVERIFY(socket.readAll().startsWith("HTTP/1.1 431 "));
  QVERIFY(server.requests().isEmpty());
}

void TestLoopbackHttpServer::heldAnswers()
{
  LoopbackHttpServer server;
  server.serve("/v", "2.4.0");
  server.holdAnswers();
  QNetworkAccessManager network;
  std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(server.url("/v"))));
  QSignalSpy finished(reply.get(), &QNetworkReply::finished);
  QTRY_COMPARE(server.requests(), QStringList{"/v"});
  QVERIFY(!finished.wait(300));
  server.releaseAnswers();
  QVERIFY(finished.wait(10000));
  QCOMPARE(reply->readAll(), QByteArray("2.4.0"));
}

TAVO_TEST_CORE_MAIN(TestLoopbackHttpServer)
#include "tst_loopbackhttpserver.moc"
