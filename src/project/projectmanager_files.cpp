// ProjectManager: project folders and the files of a project folder.
#include "projectmanager.h"

#include "segment.h"
#include "segmentfile.h"
#include "segmentxml.h"
#include "xmlfile.h"

#include <QColor>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <functional>

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

// Copies the element the reader stands at, with all it holds, token by token: its attributes,
// text and white space reach the writer as they were read.
void _copyElement(QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
  int depth = 0;
  do {
    if (reader.isStartElement())
      ++depth;
    else if (reader.isEndElement())
      --depth;
    writer.writeCurrentToken(reader);
  } while (depth > 0 && !reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid);
}

// The Project element: a segment by writeSegment for each of count positions, and the unread
// elements (when given) back at their old positions, or after the last segment when the list
// has become shorter.
bool _writeProject(QXmlStreamWriter &writer, int count, const std::function<void(int)> &writeSegment,
                   const QMap<int, QString> *unread)
{
  writer.writeStartElement(QStringLiteral("Project"));
  const QMap<int, QString> none;
  if (!unread)
    unread = &none;
  auto element = unread->cbegin();
  int position = 0;
  auto writeUnread = [&](bool all) {
    for (; element != unread->cend() && (all || element.key() <= position); ++element, ++position) {
      QXmlStreamReader reader(element.value());
      while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
      }
      _copyElement(reader, writer);
    }
  };
  for (int i = 0; i < count; ++i) {
    writeUnread(false);
    if (writer.hasError())
      return false;
    writeSegment(i);
    ++position;
  }
  writeUnread(true);
  writer.writeEndElement();
  return true;
}

// No folder holds a name longer than a whole path may be: a longer last component names no file.
constexpr int kLongestName = 4096;

// The last path component of a value, as SegmentFile::fileName gives it, without copying a
// long text.
QStringView _lastComponent(QStringView value)
{
  for (int i = value.size() - 1; i >= 0; --i)
    if (value[i] == QLatin1Char('/') || value[i] == QLatin1Char('\\'))
      return value.mid(i + 1);
  return value;
}

using ValueVisitor = std::function<void(QStringView)>;

// Every value the reader meets: attributes and text that is not white space. False when the
// XML cannot be read whole or cancelled was set.
bool _visitValues(QXmlStreamReader &reader, const ValueVisitor &visit, const std::atomic<bool> *cancelled = nullptr)
{
  for (int token = 0; !reader.atEnd(); ++token) {
    if (cancelled && token % 4096 == 0 && *cancelled)
      return false;
    reader.readNext();
    if (reader.isStartElement())
      for (const QXmlStreamAttribute &attribute : reader.attributes())
        visit(attribute.value());
    else if (reader.isCharacters() && !reader.isWhitespace())
      visit(reader.text());
  }
  return !reader.hasError();
}

// Every text of a map and of the records and sets it holds.
void _visitTexts(const PropertyMap &map, const ValueVisitor &visit)
{
  for (auto it = map.texts().cbegin(); it != map.texts().cend(); ++it)
    visit(it.value());
  if (const TransitionList *list = map.transitions())
    for (const auto &record : *list)
      _visitTexts(*record, visit);
  for (bool begin : {true, false})
    if (const PropertyMap *set = map.values(begin))
      _visitTexts(*set, visit);
}

// The values the Segment element written for map gives back when read. A text XML cannot carry
// as it is comes back otherwise: that element is written out and read. False when it would not
// read back at all.
bool _visitWrittenValues(const PropertyMap &map, const ValueVisitor &visit)
{
  PropertyMap written;
  if (writtenSegmentProperties(map, &written)) {
    _visitTexts(written, visit);
    return true;
  }
  QString xml;
  QXmlStreamWriter writer(&xml);
  writeSegmentXml(map, writer);
  QXmlStreamReader reader(xml);
  return _visitValues(reader, visit);
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

int ProjectManager::_writeSegmentsFile(const QString &path, bool indent, bool withUnread, const char *warning,
                                       QString *error, bool synced) const
{
  return saveXmlFile(
      path, indent,
      [this, withUnread](QXmlStreamWriter &writer) {
        return _writeProject(
            writer, m_segments.size(), [&](int i) { m_segments.at(i)->writeXml(writer); },
            withUnread ? &m_unreadSegments : nullptr);
      },
      warning, error, synced);
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
  return saveSegments(name, folder, copySegments());
}

ProjectManager::SegmentsCopy ProjectManager::copySegments()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  auto maps = std::make_shared<PropertyMapList>();
  maps->reserve(size_t(m_segments.size()));
  for (const Segment *segment : qAsConst(m_segments))
    maps->push_back(std::make_unique<PropertyMap>(*segment->properties()));
  return {std::move(maps), m_unreadSegments};
}

bool ProjectManager::holdsSegments(const SegmentsCopy &copy)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!copy.maps || copy.maps->size() != size_t(m_segments.size()) || copy.unread != m_unreadSegments)
    return false;
  // Texts still shared with the copy compare at once.
  for (int i = 0; i < m_segments.size(); ++i)
    if (*copy.maps->at(size_t(i)) != *m_segments.at(i)->properties())
      return false;
  return true;
}

int ProjectManager::saveSegments(const QString &name, const QString &folder, const SegmentsCopy &copy)
{
  std::lock_guard<std::mutex> saving(m_saveMutex);
  QString error = QCoreApplication::translate("ProjectManager", "the project folder cannot be made");
  int result = -1;
  const QString projects = projectsDirectory();
  QDir dir(projects);
  // The group folder must exist already; the project folder is made on first save.
  if (!projects.isEmpty() && !name.isEmpty() && (folder.isEmpty() || dir.cd(folder))
      && (dir.exists(name) || dir.mkpath(name))) {
    error.clear();
    const PropertyMapList &maps = *copy.maps;
    result = saveXmlFile(
        projectFilePath(name, folder), true,
        [&](QXmlStreamWriter &writer) {
          return _writeProject(
              writer, int(maps.size()), [&](int i) { writeSegmentXml(*maps.at(size_t(i)), writer); }, &copy.unread);
        },
        "Project segments save error", &error);
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  m_saveError = error;
  if (result == 0)
    m_written = copy;
  return result;
}

int ProjectManager::keepUnreadSegments(const QList<int> &positions)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  QFile file(projectFilePath(m_name, m_folder));
  if (positions.isEmpty() || file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
    return 0;
  QXmlStreamReader reader(&file);
  int kept = 0;
  for (int position = 0; !reader.atEnd();) {
    reader.readNext();
    if (!reader.isStartElement() || reader.name() != QLatin1String("Segment"))
      continue;
    if (positions.contains(position)) {
      QString text;
      QXmlStreamWriter writer(&text);
      _copyElement(reader, writer);
      m_unreadSegments.insert(position, text);
      ++kept;
    } else {
      reader.skipCurrentElement();
    }
    ++position;
  }
  return kept;
}

bool ProjectManager::readNamedFiles(const QString &name, const QString &folder, const std::atomic<bool> &cancelled)
{
  QFile file(projectFilePath(name, folder));
  if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
    return false;
  QSet<QString> names;
  QXmlStreamReader reader(&file);
  const bool whole = _visitValues(
      reader,
      [&names](QStringView value) {
        const QStringView last = _lastComponent(value);
        if (last.size() <= kLongestName)
          names.insert(last.toString());
      },
      &cancelled);
  std::lock_guard<std::mutex> lock(m_mutex);
  // A save meanwhile has replaced the file that was read.
  if (!m_written.maps) {
    m_namesRead = std::move(names);
    m_namesReadWhole = whole;
  }
  return whole;
}

bool ProjectManager::namedFiles(const QSet<QString> &candidates, QSet<QString> *named)
{
  SegmentsCopy written;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_written.maps) {
      if (!m_namesReadWhole)
        return false;
      for (const QString &candidate : candidates)
        if (m_namesRead.contains(candidate))
          named->insert(candidate);
      return true;
    }
    // Looked through without the lock: the copy does not change.
    written = m_written;
  }
  int longest = 0;
  for (const QString &candidate : candidates)
    longest = std::max(longest, candidate.size());
  const ValueVisitor visit = [&](QStringView value) {
    const QStringView last = _lastComponent(value);
    if (last.size() <= longest) {
      const QString name = QString::fromRawData(last.data(), int(last.size()));
      if (candidates.contains(name))
        named->insert(last.toString());
    }
  };
  for (const auto &map : *written.maps)
    if (!_visitWrittenValues(*map, visit))
      return false;
  for (const QString &element : qAsConst(written.unread)) {
    QXmlStreamReader reader(element);
    if (!_visitValues(reader, visit))
      return false;
  }
  return true;
}

int ProjectManager::loadSegments(PropertyMapList &list, const QString &name, const QString &folder)
{
  return _readSegmentsFile(projectFilePath(name, folder), list, "Project segments load error: ");
}

int ProjectManager::saveProperties(const QString &name, const QString &folder)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  m_saveError.clear();
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
      "Project properties save error", &m_saveError);
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
