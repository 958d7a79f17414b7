#include "tempprojectfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TempProjectFolder::TempProjectFolder(const QString &projectName)
  : m_root(QDir::tempPath() + "/tavo-test-projects-XXXXXX")
  , m_name(projectName)
{
  m_path = m_root.path() + '/' + projectName;
  m_valid = m_root.isValid() && QDir().mkpath(m_path);
}

QString TempProjectFolder::filePath(const QString &relativePath) const
{
  return m_path + '/' + relativePath;
}

bool TempProjectFolder::writeFile(const QString &relativePath, const QByteArray &content) const
{
  const QString target = filePath(relativePath);
  if (!QDir().mkpath(QFileInfo(target).absolutePath()))
    return false;
  QFile file(target);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray TempProjectFolder::readFile(const QString &relativePath) const
{
  QFile file(filePath(relativePath));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TempProjectFolder::files() const
{
  QStringList result;
  const QDir base(m_path);
  QDirIterator it(m_path, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext())
    result << base.relativeFilePath(it.next());
  result.sort();
  return result;
}
