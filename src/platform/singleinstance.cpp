#include "singleinstance.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace SingleInstance {

QString serverName(const QString &executableFileName)
{
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
    const QString path = runtime + "/" + executableFileName + ".instance";
    // sun_path holds 108 bytes
    if (QFile::encodeName(path).size() < 100)
      return path;
  }
  return executableFileName + "-" + QString::number(::getuid());
}

QLocalServer::SocketOptions serverOptions(const QString &serverName)
{
  return serverName.startsWith('/') ? QLocalServer::NoOptions : QLocalServer::UserAccessOption;
}

} // namespace SingleInstance
