#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
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

// The file a save replaces: a link is followed to the file it names, which is written and
// stays named by the link. Empty when the links go round in a loop.
QString _finalPath(const QString &path)
{
  QFileInfo info(path);
  for (int depth = 0; info.isSymLink(); ++depth) {
    if (depth == 40)
      return QString();
    info.setFile(info.symLinkTarget());
  }
  return info.filePath();
}

// A file its owner made read-only is kept. Root passes every permission check, so the owner's
// write permission is looked at as well as what the system lets this process do.
bool _isProtected(const QString &path)
{
  struct stat status;
  const QByteArray name = QFile::encodeName(path);
  if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
    return false;
  return !(status.st_mode & S_IWUSR) || ::access(name.constData(), W_OK) != 0;
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
  const QString target = _finalPath(path);
  if (target.isEmpty()) {
    why = QStringLiteral("%1: %2").arg(path, qt_error_string(ELOOP));
    return fail(CannotCreate);
  }
  if (_isProtected(target)) {
    why = QStringLiteral("Existing file %1 is not writable").arg(QDir::toNativeSeparators(target));
    return fail(CannotCreate);
  }
  const QString temporary = target + temporarySuffix();
  // Whatever stands in the temporary's place (a killed write's file, a link) goes: a link is
  // never written through, and the file written is always a new one.
  QFile::remove(temporary);
  QFile file(temporary);
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    why = file.errorString();
    return fail(CannotCreate);
  }
  const QFileInfo old(target);
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
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
    why = QStringLiteral("cannot replace %1: %2").arg(target, qt_error_string(errno));
    QFile::remove(temporary);
    return fail(CannotReplace);
  }
  // The new file is in place: a folder that cannot be synced only leaves the rename to the
  // system's own time.
  if (synced && !_syncFolder(old.absolutePath(), &why))
    qWarning("Saved %s, but its folder could not be synced: %s", qPrintable(QDir::toNativeSeparators(target)),
             qPrintable(why));
  return Written;
}

} // namespace WholeFile
