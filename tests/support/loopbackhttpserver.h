#pragma once
// A small HTTP/1.1 server for tests, on 127.0.0.1 only (never another interface). It serves
// given bytes per path, answers 404 for anything else, records the requests and closes
// every connection after one answer. An answer can be delayed, or replaced by a dropped
// connection. Bounded: request heads over 16 KiB get 431, at most 32
// connections are open at once, and a connection silent for 10 s is dropped.
//
//   LoopbackHttpServer server;
//   server.serve("/help/start.html", "<title>Start</title>...");
//   view.load(server.url("/help/start.html"));

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

class LoopbackHttpServer : public QObject
{
  Q_OBJECT
public:
  struct Response
  {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    // Extra header lines, e.g. {"Location", "/other"} for a redirect.
    QList<QPair<QByteArray, QByteArray>> headers;
    // Answer this long after the request (kept below the idle timeout).
    int delayMs = 0;
    // Drop the connection instead of answering.
    bool resetConnection = false;
  };

  // Listens on a free port of 127.0.0.1 at once.
  explicit LoopbackHttpServer(QObject *parent = nullptr);
  ~LoopbackHttpServer() override;

  bool isListening() const { return _server.isListening(); }
  quint16 port() const { return _server.serverPort(); }
  // http://127.0.0.1:<port><path>
  QUrl url(const QString &path = "/") const;

  // A request for `path` (with its query when one is given here, else any query) gets this.
  void serve(const QString &path, const Response &response);
  void serve(const QString &path, const QByteArray &body, const QByteArray &contentType = "text/html; charset=utf-8");

  // While held, requests are recorded but left unanswered until releaseAnswers() (tests that
  // need something to happen between a request and its reply).
  void holdAnswers() { _held = true; }
  void releaseAnswers();
  // Every later answer waits this long first (a slow service).
  void setDefaultDelay(int milliseconds) { _defaultDelayMs = milliseconds; }

  // The paths (with query) requested so far, in order.
  QStringList requests() const { return _requests; }

signals:
  void requested(const QString &path);

private:
  void _accept();
  void _read(QTcpSocket *socket);
  void _answer(QTcpSocket *socket, const Response &response);
  Response _responseFor(const QString &target) const;

  QTcpServer _server;
  QHash<QString, Response> _responses;
  QStringList _requests;
  bool _held = false;
  QList<QPair<QPointer<QTcpSocket>, QString>> _waiting;
  int _defaultDelayMs = 0;
};
