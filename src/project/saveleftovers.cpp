#include "saveleftovers.h"

#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace SaveLeftovers {

bool isProjectLeftover(const QString &fileName)
{
  static const QRegularExpression own(
      QStringLiteral("^(project\\.xml|properties\\.xml|layout\\.xml|media\\.config|drawingImage-[0-9]+\\.png)%1$")
          .arg(QRegularExpression::escape(WholeFile::temporarySuffix())));
  return own.match(fileName).hasMatch();
}

bool isHistoryLeftover(const QString &fileName)
{
  static const QRegularExpression own(QStringLiteral("^project[0-9]{3,}\\.xml%1$")
                                          .arg(QRegularExpression::escape(WholeFile::temporarySuffix())));
  return own.match(fileName).hasMatch();
}

namespace {

// The folder in which the media explorer puts its settings into their file's form.
bool _isScratchFolder(const QString &name)
{
  static const QRegularExpression own(QStringLiteral("^media\\.config%1-[A-Za-z0-9]{6}$")
                                          .arg(QRegularExpression::escape(WholeFile::temporarySuffix())));
  return own.match(name).hasMatch();
}

int _removeFiles(const QString &dir, bool (*leftover)(const QString &))
{
  int removed = 0;
  const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::Unsorted);
  for (const QFileInfo &entry : entries)
    if (leftover(entry.fileName()) && QFile::remove(entry.absoluteFilePath()))
      ++removed;
  return removed;
}

} // namespace

int removeProjectLeftovers(const QString &projectDir)
{
  if (projectDir.isEmpty())
    return 0;
  int removed = _removeFiles(projectDir, isProjectLeftover);
  const QFileInfo history(QDir(projectDir).filePath(QStringLiteral("history")));
  if (history.isDir() && !history.isSymLink())
    removed += _removeFiles(history.filePath(), isHistoryLeftover);
  const QFileInfoList folders = QDir(projectDir).entryInfoList(
      QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
  for (const QFileInfo &folder : folders)
    if (_isScratchFolder(folder.fileName()) && QDir(folder.absoluteFilePath()).removeRecursively())
      ++removed;
  return removed;
}

} // namespace SaveLeftovers
