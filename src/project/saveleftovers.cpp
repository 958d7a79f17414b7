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
