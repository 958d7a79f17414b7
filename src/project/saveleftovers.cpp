#include "saveleftovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace SaveLeftovers {

namespace {

bool _isRandomSuffix(const QStringRef &letters)
{
  // QSaveFile draws six letters of either case. A word in one case, or capitalised
  // ("backup", "Backup"), is a name the user gave.
  if (letters.size() != 6)
    return false;
  bool lower = false, upperAfterFirst = false;
  for (int i = 0; i < letters.size(); ++i) {
    const QChar c = letters.at(i);
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
      lower = true;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
      upperAfterFirst = upperAfterFirst || i > 0;
    else
      return false;
  }
  return lower && upperAfterFirst;
}

} // namespace

QString savedName(const QString &fileName)
{
  static const QString part = QStringLiteral(".part");
  if (fileName.endsWith(part))
    return fileName.left(fileName.size() - part.size());
  const int dot = fileName.size() - 7;
  if (dot > 0 && fileName.at(dot) == QLatin1Char('.') && _isRandomSuffix(fileName.midRef(dot + 1)))
    return fileName.left(dot);
  return QString();
}

bool isProjectLeftover(const QString &fileName)
{
  static const QRegularExpression own(
      QStringLiteral("^(project\\.xml|properties\\.xml|layout\\.xml|media\\.config|drawingImage-[0-9]+\\.png)$"));
  const QString saved = savedName(fileName);
  return !saved.isEmpty() && own.match(saved).hasMatch();
}

int removeProjectLeftovers(const QString &projectDir)
{
  if (projectDir.isEmpty())
    return 0;
  int removed = 0;
  const QFileInfoList entries =
      QDir(projectDir).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::Unsorted);
  for (const QFileInfo &entry : entries)
    if (isProjectLeftover(entry.fileName()) && QFile::remove(entry.absoluteFilePath()))
      ++removed;
  return removed;
}

} // namespace SaveLeftovers
