#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
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

// Where the last "/" splits an absolute path. Qt's own split folds ".." as text.
int _lastSlash(const QString &absolute)
{
  return absolute.lastIndexOf(QLatin1Char('/'));
}

// The folder holding path, as the system resolves it: every link on the way followed.
QString _realFolder(const QString &path, int *code)
{
  const QString absolute = path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
  const int slash = _lastSlash(absolute);
  char *real = ::realpath(QFile::encodeName(slash == 0 ? QStringLiteral("/") : absolute.left(slash)).constData(),
                          nullptr);
  if (!real) {
    *code = errno;
    return QString();
  }
  const QString resolved = QFile::decodeName(real);
  ::free(real);
  return resolved;
}

// The file a save replaces: a link is followed to the file it names, which is written and
// stays named by the link. A relative link names a file from its folder as the system finds
// that folder, through any links on the way, so ".." leaves the folder's real parent; the
// text of the path is never folded. Empty, with *code set, when the links go round in a loop
// or a folder cannot be resolved.
QString _finalPath(const QString &path, int *code)
{
  QString current = path;
  for (int depth = 0;; ++depth) {
    const QByteArray name = QFile::encodeName(current);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
      break;
    if (depth == 40) {
      *code = ELOOP;
      return QString();
    }
    QByteArray target(int(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, Qt::Uninitialized);
    const ssize_t size = ::readlink(name.constData(), target.data(), size_t(target.size()));
    if (size < 0 || size >= target.size()) {
      *code = size < 0 ? errno : ENAMETOOLONG;
      return QString();
    }
    target.truncate(int(size));
    const QString folder = target.startsWith('/') ? QString() : _realFolder(current, code);
    if (!target.startsWith('/') && folder.isEmpty())
      return QString();
    current = folder.isEmpty() ? QFile::decodeName(target) : QDir(folder).filePath(QFile::decodeName(target));
  }
  // Named from its real folder, where that folder exists, so messages give the file's own path.
  int ignored = 0;
  const QString folder = current == path ? QString() : _realFolder(current, &ignored);
  return folder.isEmpty() ? current : QDir(folder).filePath(current.mid(_lastSlash(current) + 1));
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

// A write the disk cut short after some bytes got through comes back from Qt without the
// system's reason ("Unknown error"): one more byte at the end of the temporary, which goes
// anyway, asks the system again, so a full disk or quota says so.
QString _whyNotWritten(QFile &file)
{
  const int fd = file.handle();
  if (fd >= 0 && ::lseek(fd, 0, SEEK_END) >= 0 && ::write(fd, "", 1) < 0)
    return qt_error_string(errno);
  return file.errorString();
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
  int code = 0;
  const QString target = _finalPath(path, &code);
  if (target.isEmpty()) {
    why = QStringLiteral("%1: %2").arg(path, qt_error_string(code));
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
  if (!written)
    why = _whyNotWritten(file);
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
