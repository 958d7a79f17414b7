// ProjectManager: project folders and the files of a project folder.
#include "projectmanager.h"

#include "segment.h"
#include "segmentxml.h"
#include "xmlfile.h"

#include <QColor>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString kProductFolder = QStringLiteral("Tavo REN");
const QString kProjectsFolder = QStringLiteral("Projects");

QString s_workingDirectory;

QString _join(const QString &a, const QString &b)
{
  return a + QDir::separator() + b;
}

// A file of a project folder; empty when the folder is unknown.
QString _projectFile(const QString &name, const QString &folder, const QString &file)
{
  const QString dir = ProjectManager::projectDirectory(name, folder);
  return dir.isEmpty() ? QString() : _join(dir, file);
}

bool _flag(const QStringRef &text)
{
  return text.toInt() == 1;
}

} // namespace

QString ProjectManager::workingDirectory()
{
  if (!s_workingDirectory.isEmpty())
    return s_workingDirectory;
  const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  // An empty location would make QDir fall back to the current directory. The user's Movies
  // folder itself need not exist on every system: make it first.
  QDir dir(movies);
  if (movies.isEmpty() || !dir.mkpath(QStringLiteral(".")) ||
      (!dir.exists(kProductFolder) && !dir.mkdir(kProductFolder)) || !dir.cd(kProductFolder)) {
    qWarning().noquote() << "Cannot create product directory: " + kProductFolder + " in " + movies;
    return QString();
  }
  s_workingDirectory = dir.absolutePath();
  return s_workingDirectory;
}

void ProjectManager::setWorkingDirectory(const QString &path)
{
  s_workingDirectory = path;
}

QString ProjectManager::projectsDirectory()
{
  const QString working = workingDirectory();
  if (working.isEmpty())
    return QString();
  QDir dir(working);
  if ((!dir.exists(kProjectsFolder) && !dir.mkpath(kProjectsFolder)) || !dir.cd(kProjectsFolder)) {
    qWarning().noquote() << "Cannot create project directory: " + kProjectsFolder + " in " + working;
    return QString();
  }
  return dir.absolutePath();
}

QString ProjectManager::projectDirectory(const QString &name, const QString &folder)
{
  const QString projects = projectsDirectory();
  if (projects.isEmpty() || name.isEmpty())
    return QString();
  return folder.isEmpty() ? _join(projects, name) : _join(_join(projects, folder), name);
}

QString ProjectManager::projectFilePath(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("project.xml"));
}

QString ProjectManager::propertiesFilePath(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("properties.xml"));
}

QString ProjectManager::layoutFilePath(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("layout.xml"));
}

QString ProjectManager::projectPlistPath(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("project.plist"));
}

QString ProjectManager::propertiesPlistPath(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("properties.plist"));
}

QString ProjectManager::historyDirectory(const QString &name, const QString &folder)
{
  return _projectFile(name, folder, QStringLiteral("history"));
}

QString ProjectManager::historyFilePath(const QString &name, const QString &folder, int number)
{
  const QString dir = historyDirectory(name, folder);
  return dir.isEmpty() ? QString() : _join(dir, QString::asprintf("project%03d.xml", number));
}

int ProjectManager::_writeSegmentsFile(const QString &path, bool indent, const char *warning) const
{
  return saveXmlFile(
      path, indent,
      [this](QXmlStreamWriter &writer) {
        writer.writeStartElement(QStringLiteral("Project"));
        for (const Segment *segment : m_segments) {
          if (writer.hasError())
            return false;
          segment->writeXml(writer);
        }
        writer.writeEndElement();
        return true;
      },
      warning);
}

int ProjectManager::_readSegmentsFile(const QString &path, PropertyMapList &list, const char *warning)
{
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
    return -1;
  QXmlStreamReader reader(&file);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == QLatin1String("Segment")) {
      list.push_back(std::make_unique<PropertyMap>());
      if (readSegmentXml(*list.back(), reader) != 0)
        break;
    }
  }
  if (!reader.hasError())
    return 0;
  qWarning().noquote() << QString::fromLatin1(warning) + reader.errorString();
  return int(reader.error());
}

int ProjectManager::saveSegments(const QString &name, const QString &folder)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  const QString projects = projectsDirectory();
  if (projects.isEmpty() || name.isEmpty())
    return -1;
  QDir dir(projects);
  // The group folder must exist already; the project folder is made on first save.
  if (!folder.isEmpty() && !dir.cd(folder))
    return -1;
  if (!dir.exists(name) && !dir.mkpath(name))
    return -1;
  return _writeSegmentsFile(projectFilePath(name, folder), true, "Project segments save error");
}

int ProjectManager::loadSegments(PropertyMapList &list, const QString &name, const QString &folder)
{
  return _readSegmentsFile(projectFilePath(name, folder), list, "Project segments load error: ");
}

int ProjectManager::saveProperties(const QString &name, const QString &folder)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return saveXmlFile(
      propertiesFilePath(name, folder), true,
      [this](QXmlStreamWriter &writer) {
        writer.writeEmptyElement(QStringLiteral("Properties"));
        writer.writeAttribute(QStringLiteral("version"), floatText(double(m_version)));
        writer.writeAttribute(QStringLiteral("direction"), QString::number(m_direction ? 1 : 0));
        writer.writeAttribute(QStringLiteral("resolution"), QString::number(m_resolution));
        writer.writeAttribute(QStringLiteral("frameRate"), floatText(double(m_frameRate)));
        writer.writeAttribute(QStringLiteral("duration"), floatText(double(m_duration)));
        writer.writeAttribute(QStringLiteral("fixCoverImage"), QString::number(m_fixCoverImage ? 1 : 0));
        writer.writeAttribute(QStringLiteral("imageScale"), floatText(double(m_imageScale)));
        writer.writeAttribute(QStringLiteral("edit"), QString::number(m_edit ? 1 : 0));
        writer.writeAttribute(QStringLiteral("backgroundColor"), colorText(m_backgroundColor));
        writer.writeAttribute(QStringLiteral("segmentMode"), QString::number(m_segmentMode));
        return true;
      },
      "Project properties save error");
}

int ProjectManager::loadProperties(const QString &name, const QString &folder)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  QFile file(propertiesFilePath(name, folder));
  if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
    return -1;
  QXmlStreamReader reader(&file);
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement() || reader.name() != QLatin1String("Properties"))
      continue;
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
      const QStringRef key = attribute.name();
      const QStringRef value = attribute.value();
      if (key == QLatin1String("version")) {
        m_version = value.toFloat();
      } else if (key == QLatin1String("direction")) {
        m_direction = _flag(value);
      } else if (key == QLatin1String("resolution")) {
        m_resolution = value.toInt();
      } else if (key == QLatin1String("frameRate")) {
        m_frameRate = value.toFloat();
      } else if (key == QLatin1String("duration")) {
        m_duration = value.toFloat();
      } else if (key == QLatin1String("fixCoverImage")) {
        m_fixCoverImage = _flag(value);
      } else if (key == QLatin1String("imageScale")) {
        m_imageScale = qBound(0.125f, value.toFloat(), 1.0f);
      } else if (key == QLatin1String("edit")) {
        m_edit = _flag(value);
      } else if (key == QLatin1String("backgroundColor")) {
        if (!value.isEmpty() && !parseColorText(value.toString(), &m_backgroundColor))
          m_backgroundColor = QColor().rgba();
      } else if (key == QLatin1String("segmentMode")) {
        const int mode = value.toInt();
        m_segmentMode = mode == 0 || mode == 1 ? mode : 0;
      }
    }
  }
  if (!reader.hasError())
    return 0;
  qWarning().noquote() << "Project properties load error: " + reader.errorString();
  return int(reader.error());
}

int ProjectManager::saveLayout()
{
  return saveXmlFile(
      layoutFilePath(m_name, m_folder), true,
      [this](QXmlStreamWriter &writer) {
        writer.writeEmptyElement(QStringLiteral("Layout"));
        for (auto it = m_layout.cbegin(); it != m_layout.cend(); ++it)
          writer.writeAttribute(it.key(), QString::number(it.value()));
        return true;
      },
      "Layout parameters save error");
}

int ProjectManager::loadLayout()
{
  QFile file(layoutFilePath(m_name, m_folder));
  if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
    return -1;
  QXmlStreamReader reader(&file);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == QLatin1String("Layout"))
      for (const QXmlStreamAttribute &attribute : reader.attributes())
        m_layout.insert(attribute.name().toString(), attribute.value().toInt());
  }
  if (!reader.hasError())
    return 0;
  qWarning().noquote() << "Layout parameters load error: " + reader.errorString();
  return int(reader.error());
}
