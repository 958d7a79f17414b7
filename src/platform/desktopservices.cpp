#include "desktopservices.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QStringList>

namespace {
DesktopServices *g_installed = nullptr;

// Long enough for a file manager started on demand by the bus.
constexpr int kShowItemsTimeoutMs = 5000;
} // namespace

bool DesktopServices::openUrl(const QUrl &url)
{
  return QDesktopServices::openUrl(url);
}

bool DesktopServices::showItems(const QList<QUrl> &files)
{
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected())
    return false;
  QStringList uris;
  for (const QUrl &file : files)
    uris << file.toString(QUrl::FullyEncoded);
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                     "/org/freedesktop/FileManager1",
                                                     "org.freedesktop.FileManager1", "ShowItems");
  call << uris << QString();
  const QDBusMessage reply = bus.call(call, QDBus::Block, kShowItemsTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

DesktopServices *DesktopServices::instance()
{
  static DesktopServices desktop;
  return g_installed ? g_installed : &desktop;
}

void DesktopServices::setInstance(DesktopServices *services)
{
  g_installed = services;
}
