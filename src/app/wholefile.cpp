#include "wholefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace WholeFile {

namespace {

// The rename into a folder lasts through a crash of the system only once the folder reached
// the disk too. A file system that cannot sync a folder (EINVAL) keeps no such state.
bool _syncFolder(const QString &folder, QString *why)
{
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = fd >= 0 && (::fsync(fd) == 0 || errno == EINVAL);
  if (!synced)
    *why = qt_error_string(errno);
  if (fd >= 0)
    ::close(fd);
  return synced;
}

} // namespace

QString temporarySuffix()
{
  return QStringLiteral(".part");
}

Result write(const QString &path, const std::function<bool(QFileDevice &)> &body, bool synced, QString *error)
{
  QString why;
  auto fail = [&](Result result) {
    if (error)
      *error = why;
    return result;
  };
  const QString temporary = path + temporarySuffix();
  // Whatever stands in the temporary's place (a killed write's file, a link) goes: a link is
  // never written through, and the file written is always a new one.
  QFile::remove(temporary);
  QFile file(temporary);
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    why = file.errorString();
    return fail(CannotCreate);
  }
  const QFileInfo old(path);
  if (old.isFile())
    file.setPermissions(old.permissions());
  // A full disk shows only when the buffer is flushed: check it and the error state before
  // the old file is replaced.
  bool written = body(file) && file.flush() && file.error() == QFileDevice::NoError;
  why = file.errorString();
  if (written && synced && ::fsync(file.handle()) != 0) {
    why = qt_error_string(errno);
    written = false;
  }
  file.close();
  if (written && file.error() != QFileDevice::NoError) {
    why = file.errorString();
    written = false;
  }
  if (!written) {
    QFile::remove(temporary);
    return fail(WriteFailed);
  }
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
    why = QStringLiteral("cannot replace %1: %2").arg(path, qt_error_string(errno));
    QFile::remove(temporary);
    return fail(CannotReplace);
  }
  if (synced && !_syncFolder(old.absolutePath(), &why))
    return fail(CannotReplace);
  return Written;
}

} // namespace WholeFile
