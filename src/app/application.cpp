#include "application.h"

#include "singleinstance.h"
#include "util.h"

#include <QDebug>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRectF>
#include <QWidget>
#include <csignal>

Application::Application(int &argc, char **argv)
  : QApplication(argc, argv)
  , m_serverName(QFileInfo(applicationFilePath()).fileName())
{
  // Past the user's file-size limit a write then fails with "File too large", which a save
  // reports, instead of ending the process and the unsaved edits with it.
  std::signal(SIGXFSZ, SIG_IGN);
  checkSingleInstance();
}

QString Application::channelName() const
{
  return SingleInstance::serverName(m_serverName);
}

QRect Application::startWindowGeometry(const QRect &available)
{
  const int inset = int(float(available.height()) * 0.2f * 0.5f);
  const QRectF fitted = Util::fitRectWithAspectRatio(4, 3, QRectF(available.adjusted(inset, inset, -inset, -inset)));
  return QRect(int(fitted.x()), int(fitted.y()), int(fitted.width()), int(fitted.height()));
}

void Application::checkSingleInstance()
{
  if (_forwardToRunningInstance()) {
    m_running = true;
    return;
  }
  const QString name = channelName();
  m_localServer = new QLocalServer(this);
  m_localServer->setSocketOptions(SingleInstance::serverOptions(name));
  connect(m_localServer, &QLocalServer::newConnection, this, &Application::newLocalConnectioin);
  if (m_localServer->listen(name) || m_localServer->serverError() != QAbstractSocket::AddressInUseError)
    return;
  // Only a socket nobody answers on is stale; another start may have won the race.
  if (_forwardToRunningInstance()) {
    m_running = true;
    delete m_localServer;
    m_localServer = nullptr;
    return;
  }
  QLocalServer::removeServer(name);
  m_localServer->listen(name);
}

bool Application::_forwardToRunningInstance()
{
  QLocalSocket socket;
  socket.connectToServer(channelName(), QIODevice::ReadWrite);
  if (!socket.waitForConnected(500))
    return false;
  const QStringList args = arguments();
  // The other process has its own working folder: a relative path would name another file there.
  const QString file = args.size() > 1 && !args.last().isEmpty() ? QFileInfo(args.last()).absoluteFilePath() : QString();
  // Exactly the UTF-8 text of one path, no framing: the end of the connection ends it.
  socket.write(file.toUtf8());
  socket.flush();
  socket.waitForBytesWritten(30000);
  socket.disconnectFromServer();
  return true;
}

void Application::newLocalConnectioin()
{
  QLocalSocket *socket = m_localServer ? m_localServer->nextPendingConnection() : nullptr;
  if (!socket)
    return;
  // A long path can come in several pieces: read until the sender hangs up or falls silent.
  QByteArray bytes;
  for (;;) {
    bytes += socket->readAll();
    if (socket->state() != QLocalSocket::ConnectedState || !socket->waitForReadyRead(1000)) {
      bytes += socket->readAll();
      break;
    }
  }
  delete socket;
  const QString text = QString::fromUtf8(bytes);
  qDebug().noquote() << "Another instance started with" << text;

  if (!m_mainWindow)
    return;
  m_mainWindow->raise();
  m_mainWindow->activateWindow();
  m_mainWindow->setWindowState((m_mainWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  m_mainWindow->show();
  if (!text.isEmpty())
    emit openExternalFile(text);
}

bool Application::event(QEvent *e)
{
  if (e->type() == QEvent::FileOpen) {
    const QString file = static_cast<QFileOpenEvent *>(e)->file();
    qDebug().noquote() << "Open file from external" << file;
    emit openExternalFile(file);
  }
  return QApplication::event(e);
}
