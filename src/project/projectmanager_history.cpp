// ProjectManager: the undo history as snapshot files of the whole segment list.
#include "projectmanager.h"

#include "saveleftovers.h"
#include "segment.h"
#include "segmentxml.h"
#include "xmlfile.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamWriter>

#include <algorithm>
#include <unordered_map>

#include <sys/stat.h>

namespace {

void _setFailed(bool *failed, bool value)
{
  if (failed)
    *failed = value;
}

// Undo at the newest entry writes the current state and reads the one before; a redo then
// reads the current state back: three files cover an edit, its undo and its redo.
constexpr int kKeptSnapshots = 3;

// The identity of a file as it is now; all zero when it is not a file.
std::array<qint64, 6> _fileStamp(const QString &path)
{
  struct stat status;
  if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
    return {};
  return {qint64(status.st_ino), qint64(status.st_size), qint64(status.st_mtim.tv_sec), qint64(status.st_mtim.tv_nsec),
          qint64(status.st_ctim.tv_sec), qint64(status.st_ctim.tv_nsec)};
}

// Where each segment was in the last snapshot. An edit keeps the order of most segments, so
// the place after the last one found is tried first; a segment made since has a higher id
// than any there.
template <typename Written>
class LastPlaces
{
public:
  explicit LastPlaces(const std::vector<Written> &written) : m_written(written)
  {
    for (const Written &segment : written)
      m_highest = std::max(m_highest, segment.id);
  }

  // The size of the written list when the segment was not there.
  size_t of(quint32 id)
  {
    if (m_next < m_written.size() && m_written[m_next].id == id)
      return m_next++;
    if (id > m_highest)
      return m_written.size();
    if (m_places.empty()) {
      m_places.reserve(m_written.size());
      for (size_t i = 0; i < m_written.size(); ++i)
        m_places.emplace(m_written[i].id, i);
    }
    const auto found = m_places.find(id);
    if (found == m_places.cend())
      return m_written.size();
    m_next = found->second + 1;
    return found->second;
  }

private:
  const std::vector<Written> &m_written;
  quint32 m_highest = 0;
  size_t m_next = 0;
  std::unordered_map<quint32, size_t> m_places;
};

// A segment whose texts are longer goes straight into each snapshot file instead of being
// kept as bytes too: a pasted text of megabytes is not held once more.
constexpr int kLongestKeptElement = 1 << 16;

int _textLength(const PropertyMap &map)
{
  int length = 0;
  for (const QString &text : map.texts())
    length += text.size();
  return length;
}

// Maps that share their texts with the originals.
template <typename Maps>
std::unique_ptr<PropertyMapList> _copyOf(const Maps &maps)
{
  auto copy = std::make_unique<PropertyMapList>();
  copy->reserve(maps.size());
  for (const auto &map : maps)
    copy->push_back(std::make_unique<PropertyMap>(*map));
  return copy;
}

// The snapshot files this program writes into the history folder.
bool _isSnapshotName(const QString &name)
{
  static const QRegularExpression pattern(QStringLiteral("^project[0-9]{3,}\\.xml$"));
  return pattern.match(name).hasMatch();
}

} // namespace

int ProjectManager::_writeSnapshot(const QString &name, const QString &folder, int number, QString *path)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  const QString dir = historyDirectory(name, folder);
  // Snapshots are written inside the project folder only: a link in the history folder's
  // place, or in a snapshot's, is taken away (the link, never what it points to).
  if (dir.isEmpty() || (QFileInfo(dir).isSymLink() && !QFile::remove(dir)) || !QDir().mkpath(dir))
    return -1;
  *path = historyFilePath(name, folder, number);
  if (QFileInfo(*path).isSymLink() && !QFile::remove(*path))
    return -1;
  // A segment unchanged since the last snapshot keeps its map and its element's bytes from
  // it: an edit copies and writes out only the segments it changed. The copies share the
  // texts with the segments: a long text is not copied.
  auto maps = std::make_shared<SnapshotMaps>();
  std::vector<WrittenSegment> written;
  maps->reserve(size_t(m_segments.size()));
  written.reserve(size_t(m_segments.size()));
  // Each changed segment's element is written into bytes of its own, then into the file.
  QBuffer element;
  QXmlStreamWriter writer(&element);
  LastPlaces<WrittenSegment> last(m_lastWritten);
  // The history goes with the project's session: it need not wait for the disk. It holds the
  // segments, not the elements kept unread.
  const int result = saveXmlFile(
      *path, false,
      [&](QXmlStreamWriter &file) {
        file.writeStartElement(QStringLiteral("Project"));
        // Closes the start tag: the elements go in as they are.
        file.writeCharacters(QString());
        for (const Segment *segment : qAsConst(m_segments)) {
          const PropertyMap &properties = *segment->properties();
          const size_t place = maps ? last.of(segment->id()) : m_lastWritten.size();
          WrittenSegment now{segment->id(), nullptr, QByteArray()};
          if (place < m_lastWritten.size() && isWrittenFrom(*m_lastWritten[place].map, properties))
            now = m_lastWritten[place];
          if (now.element.isNull() && _textLength(properties) <= kLongestKeptElement) {
            element.setBuffer(&now.element);
            element.open(QIODevice::WriteOnly);
            segment->writeXml(writer);
            element.close();
            element.setBuffer(nullptr);
          }
          if (now.element.isNull())
            segment->writeXml(file);
          else
            file.device()->write(now.element);
          if (!maps)
            continue;
          if (!now.map) {
            auto copy = std::make_shared<PropertyMap>();
            if (!writtenSegmentProperties(properties, copy.get())) {
              maps.reset();
              continue;
            }
            now.map = std::move(copy);
          }
          maps->push_back(now.map);
          written.push_back(std::move(now));
        }
        file.writeEndElement();
        return true;
      },
      "Undo project segments save error", nullptr, false);
  if (result != 0)
    return result;
  m_lastWritten = maps ? std::move(written) : std::vector<WrittenSegment>();
  _keepSnapshot(*path, std::move(maps));
  return 0;
}

void ProjectManager::_keepSnapshot(const QString &path, std::shared_ptr<const SnapshotMaps> maps) const
{
  for (int i = m_keptSnapshots.size() - 1; i >= 0; --i)
    if (m_keptSnapshots.at(i).path == path)
      m_keptSnapshots.removeAt(i);
  const std::array<qint64, 6> stamp = _fileStamp(path);
  if (!maps || stamp == std::array<qint64, 6>{})
    return;
  m_keptSnapshots.prepend({path, stamp, std::move(maps)});
  while (m_keptSnapshots.size() > kKeptSnapshots)
    m_keptSnapshots.removeLast();
}

std::unique_ptr<PropertyMapList> ProjectManager::_keptSnapshot(const QString &path) const
{
  for (const KeptSnapshot &kept : qAsConst(m_keptSnapshots)) {
    if (kept.path != path)
      continue;
    // A file changed since (or gone) is read again.
    if (_fileStamp(path) != kept.stamp)
      return nullptr;
    return _copyOf(*kept.maps);
  }
  return nullptr;
}

int ProjectManager::recordOperation(const QString &name, const QString &folder)
{
  return _record(name, folder, false);
}

int ProjectManager::recordCurrentState(const QString &name, const QString &folder)
{
  return _record(name, folder, true);
}

int ProjectManager::_record(const QString &name, const QString &folder, bool current)
{
  QString path;
  const int result = _writeSnapshot(name, folder, m_history.nextNumber(), &path);
  if (result == 0)
    current ? m_history.pushCurrent(path) : m_history.push(path);
  else if (!current)
    m_history.markUnrecordedEdit();
  return result;
}

std::unique_ptr<PropertyMapList> ProjectManager::_readSnapshot(const QString &path) const
{
  if (auto kept = _keptSnapshot(path))
    return kept;
  auto list = std::make_unique<PropertyMapList>();
  if (_readSegmentsFile(path, *list, "Undo project segments load error: ") != 0)
    return nullptr;
  auto kept = std::make_shared<SnapshotMaps>();
  kept->reserve(list->size());
  for (const auto &map : *list)
    kept->push_back(std::make_shared<const PropertyMap>(*map));
  _keepSnapshot(path, std::move(kept));
  return list;
}

// The steps run on a copy of the history, which replaces the real one only when the
// snapshot was read and, at the newest entry, the current state was written: a failure
// changes neither the position nor any file.
std::unique_ptr<PropertyMapList> ProjectManager::undo(bool *failed)
{
  _setFailed(failed, false);
  ProjectHistory trial = m_history;
  const bool atNewest = trial.count() > 0 && trial.position() == trial.count() - 1;
  const int currentNumber = trial.nextNumber();
  const QString currentPath = historyFilePath(m_name, m_folder, currentNumber);
  if (atNewest) {
    // The unsaved current state becomes the entry that redo returns to.
    trial.pushCurrent(currentPath);
    trial.stepBack();
  } else if (trial.lastStepWasRedo()) {
    // After a redo the position is the current state itself.
    trial.stepBack();
  }
  const QString path = trial.stepBack();
  if (path.isEmpty())
    return nullptr;
  auto list = _readSnapshot(path);
  if (!list) {
    _setFailed(failed, true);
    return nullptr;
  }
  // Nothing to write when the current state is already pending (pushCurrent kept the old one).
  if (atNewest && m_history.pending().isEmpty()) {
    QString written;
    if (_writeSnapshot(m_name, m_folder, currentNumber, &written) != 0) {
      _setFailed(failed, true);
      return nullptr;
    }
  }
  m_history = trial;
  return list;
}

std::unique_ptr<PropertyMapList> ProjectManager::redo(bool *failed)
{
  _setFailed(failed, false);
  ProjectHistory trial = m_history;
  const QString path = trial.stepForward();
  if (path.isEmpty())
    return nullptr;
  auto list = _readSnapshot(path);
  if (!list) {
    _setFailed(failed, true);
    return nullptr;
  }
  m_history = trial;
  return list;
}

void ProjectManager::discardLastOperation()
{
  const QString path = m_history.dropNewest();
  if (!path.isEmpty() && !QFileInfo(QFileInfo(path).path()).isSymLink())
    QFile::remove(path);
  _keepSnapshot(path, nullptr);
}

void ProjectManager::removeHistory(const QString &name, const QString &folder)
{
  // Only what the snapshots made goes: the snapshot files of a real folder and what a killed
  // snapshot left, then the folder when nothing else is left in it. A link or a file in the
  // folder's place is not ours.
  // An empty path would name the current directory.
  const QString dir = historyDirectory(name, folder);
  const QFileInfo info(dir);
  bool removed = !dir.isEmpty();
  if (removed && info.isDir() && !info.isSymLink()) {
    QDir history(dir);
    const QFileInfoList entries = history.entryInfoList(QDir::Files | QDir::System | QDir::Hidden, QDir::Unsorted);
    for (const QFileInfo &entry : entries)
      if (_isSnapshotName(entry.fileName()) || SaveLeftovers::isHistoryLeftover(entry.fileName()))
        removed = QFile::remove(entry.absoluteFilePath()) && removed;
    removed = history.rmdir(dir) && removed;
  }
  if (!removed)
    qWarning("Remove history directory failed");
  m_history.clear();
  m_keptSnapshots.clear();
  m_lastWritten.clear();
}

void ProjectManager::deletePropertyList(PropertyMapList *list)
{
  delete list;
}
