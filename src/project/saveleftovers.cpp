#include "saveleftovers.h"

#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <functional>

namespace SaveLeftovers {

bool isProjectLeftover(const QString &fileName)
{
  static const QRegularExpression own(
      QStringLiteral("^(project\\.xml|properties\\.xml|layout\\.xml|media\\.config|shot\\.jpg|"
                     "drawingImage-[0-9]+\\.png)%1$")
          .arg(QRegularExpression::escape(WholeFile::temporarySuffix())));
  return own.match(fileName).hasMatch();
}

bool isExportLeftover(const QString &projectName, const QString &fileName)
{
  const QRegularExpression own(QStringLiteral("^%1_(360p|540p|720p|1080p|4k|Unknown_Resolution)_[^.]+_\\d+fps"
                                              "\\.partial\\.(mp4|webm|mov)$")
                                   .arg(QRegularExpression::escape(projectName)));
  return own.match(fileName).hasMatch();
}

bool isFolderLeftover(const QString &projectDir, const QString &fileName)
{
  return isProjectLeftover(fileName) || isExportLeftover(QFileInfo(projectDir).fileName(), fileName);
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

int _removeFiles(const QString &dir, const std::function<bool(const QString &)> &leftover)
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
  int removed =
      _removeFiles(projectDir, [&projectDir](const QString &file) { return isFolderLeftover(projectDir, file); });
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
