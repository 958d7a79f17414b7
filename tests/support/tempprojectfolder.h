#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away working folder holding one project folder, removed with the object:
//   root()/               the working folder (what UserSettings::workingDir names)
//   root()/<name>/        path(), the project folder
class TempProjectFolder
{
public:
  explicit TempProjectFolder(const QString &projectName = QStringLiteral("Project 1"));

  bool isValid() const { return m_valid; }
  QString root() const { return m_root.path(); }
  QString path() const { return m_path; }
  QString name() const { return m_name; }
  // A path inside the project folder (the file need not exist).
  QString filePath(const QString &relativePath) const;
  // Writes a file inside the project folder, making its sub-folders.
  bool writeFile(const QString &relativePath, const QByteArray &content) const;
  QByteArray readFile(const QString &relativePath) const;
  // Every file below the project folder as a sorted list of relative paths ("a/b.png").
  QStringList files() const;

private:
  QTemporaryDir m_root;
  QString m_name;
  QString m_path;
  bool m_valid = false;
};
