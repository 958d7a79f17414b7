#include "loopbackhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace {
constexpr int kMaxHeadBytes = 16 * 1024;
constexpr int kMaxConnections = 32;
constexpr int kIdleTimeoutMs = 10000;

QByteArray _reason(int status)
{
  switch (status) {
  case 200: return "OK";
  case 301: return "Moved Permanently";
  case 302: return "Found";
  case 403: return "Forbidden";
  case 404: return "Not Found";
  case 431: return "Request Header Fields Too Large";
  case 500: return "Internal Server Error";
  default: return "Status";
  }
}
} // namespace

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent)
{
  _server.setMaxPendingConnections(kMaxConnections);
  connect(&_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::_accept);
  if (!_server.listen(QHostAddress::LocalHost, 0))
    qWarning("LoopbackHttpServer: cannot listen on 127.0.0.1: %s", qPrintable(_server.errorString()));
}

LoopbackHttpServer::~LoopbackHttpServer()
{
  _server.close();
}

QUrl LoopbackHttpServer::url(const QString &path) const
{
  return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void LoopbackHttpServer::serve(const QString &path, const Response &response)
{
  _responses.insert(path, response);
}

void LoopbackHttpServer::serve(const QString &path, const QByteArray &body, const QByteArray &contentType)
{
  Response response;
  response.body = body;
  response.contentType = contentType;
  serve(path, response);
}

void LoopbackHttpServer::_accept()
{
  while (QTcpSocket *socket = _server.nextPendingConnection()) {
    socket->setParent(this);
    if (findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly).size() > kMaxConnections) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { _read(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kIdleTimeoutMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
  }
}

void LoopbackHttpServer::_read(QTcpSocket *socket)
{
  if (socket->property("answered").toBool())
    return;
  QByteArray head = socket->property("head").toByteArray() + socket->readAll();
  const int end = head.indexOf("\r\n\r\n");
  if (end < 0) {
    if (head.size() > kMaxHeadBytes) {
      Response tooLarge;
      tooLarge.status = 431;
      _answer(socket, tooLarge);
    } else {
      socket->setProperty("head", head);
    }
    return;
  }
  // "GET /path?query HTTP/1.1"
  const QList<QByteArray> request = head.left(head.indexOf("\r\n")).split(' ');
  const QString target = request.size() >= 2 ? QString::fromUtf8(request.at(1)) : QString();
  _requests << target;
  emit requested(target);
  if (_held) {
    socket->setProperty("answered", true);
    _waiting.append({socket, target});
    return;
  }
  const Response response = _responseFor(target);
  const int delay = qMin(qMax(response.delayMs, _defaultDelayMs), kIdleTimeoutMs / 2);
  if (delay > 0) {
    socket->setProperty("answered", true);
    QTimer::singleShot(delay, socket, [this, socket, response] { _answer(socket, response); });
  } else {
    _answer(socket, response);
  }
}

void LoopbackHttpServer::releaseAnswers()
{
  _held = false;
  const auto waiting = std::exchange(_waiting, {});
  for (const auto &entry : waiting)
    if (entry.first)
      _answer(entry.first, _responseFor(entry.second));
}

LoopbackHttpServer::Response LoopbackHttpServer::_responseFor(const QString &target) const
{
  if (_responses.contains(target))
    return _responses.value(target);
  const QString path = target.section('?', 0, 0);
  if (_responses.contains(path))
    return _responses.value(path);
  Response missing;
  missing.status = 404;
  missing.contentType = "text/plain";
  missing.body = "not found";
  return missing;
}

void LoopbackHttpServer::_answer(QTcpSocket *socket, const Response &response)
{
  socket->setProperty("answered", true);
  if (response.resetConnection) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + _reason(response.status) + "\r\n";
  reply += "Content-Type: " + response.contentType + "\r\n";
  // A chunked body has no length (the two together leave the client to pick one).
  const bool chunked = std::any_of(response.headers.begin(), response.headers.end(), [](const auto &header) {
    return header.first.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0;
  });
  if (!chunked)
    reply += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
  for (const auto &header : response.headers)
    reply += header.first + ": " + header.second + "\r\n";
  reply += "Connection: close\r\n\r\n" + response.body;
  socket->write(reply);
  socket->disconnectFromHost();
}
