#pragma once

#include <QLocalServer>
#include <QString>

// Where the single-instance channel lives. A bare name would be a socket in the shared temp
// folder, visible to every user and left behind by a crash: prefer the user's runtime folder.
namespace SingleInstance {

// A socket path in $XDG_RUNTIME_DIR when there is one, else the name plus the user id.
QString serverName(const QString &executableFileName);

// The runtime folder is private already; a socket in the temp folder is made user-only.
QLocalServer::SocketOptions serverOptions(const QString &serverName);

} // namespace SingleInstance
