#include "projectloader.h"

#include "plistconverter.h"
#include "projectmanager.h"
#include "saveleftovers.h"

#include <QDebug>
#include <QFile>
#include <QPoint>

#include <thread>

namespace {

constexpr int kErrorTextSize = 1024;

// Converts a keyed-archive property list into its XML file; false with the text on failure.
bool _convert(int (*convert)(const char16_t *, const char16_t *, char *, int), const QString &plist,
              const QString &xml, QString *error)
{
  char text[kErrorTextSize] = {};
  if (convert(reinterpret_cast<const char16_t *>(plist.utf16()), reinterpret_cast<const char16_t *>(xml.utf16()),
              text, kErrorTextSize) == 0)
    return true;
  text[kErrorTextSize - 1] = '\0';
  *error = QString::fromUtf8(text);
  return false;
}

// A thread that is joined when it goes out of scope, on every way out.
struct JoinedThread
{
  explicit JoinedThread(std::thread started) : thread(std::move(started)) {}
  ~JoinedThread()
  {
    if (thread.joinable())
      thread.join();
  }
  std::thread thread;
};

} // namespace

ProjectLoader::ProjectLoader(const QString &name, const QString &folder, ProjectManager *manager, QObject *parent)
  : QThread(parent)
  , m_name(name)
  , m_folder(folder)
  , m_manager(manager)
{
}

ProjectLoader::~ProjectLoader()
{
  // Whoever deletes a running loader has not waited for it: stop it first.
  cancel();
  wait();
  std::lock_guard<std::mutex> ran(m_runLock);
  qDebug("ProjectLoader deleted");
}

int ProjectLoader::loadProperties(const QString &name, const QString &folder, ProjectManager *manager,
                                  QString *error)
{
  const QString xml = ProjectManager::propertiesFilePath(name, folder);
  if (xml.isEmpty() || !QFile::exists(xml)) {
    const QString plist = ProjectManager::propertiesPlistPath(name, folder);
    if (plist.isEmpty() || !QFile::exists(plist))
      return 12;
    QString text;
    if (!_convert(convertPropertiesPlist, plist, xml, &text)) {
      qDebug().noquote() << "Convert properties from Plist to XML failed " + text;
      if (error)
        *error = text;
      return 11;
    }
  }
  if (manager->loadProperties(name, folder) != 0)
    return 12;
  return manager->version() > 5.0f ? 13 : 0;
}

PropertyMapList ProjectLoader::takeSegments()
{
  std::lock_guard<std::mutex> lock(m_segmentsLock);
  return std::move(m_segments);
}

TrackPlacement::Result ProjectLoader::placement()
{
  std::lock_guard<std::mutex> lock(m_segmentsLock);
  return m_placement;
}

template <typename Done> bool ProjectLoader::_waitUntil(int stepMs, Done done)
{
  while (!m_cancelled) {
    if (done())
      return true;
    msleep(stepMs);
  }
  return false;
}

bool ProjectLoader::_migrateChromaKey(PropertyMap &map)
{
  static const QString oldSensitivity = QStringLiteral("FxGreenScreenSensitivity");
  static const QString oldSmooth = QStringLiteral("FxGreenScreenSmooth");
  if (!map.contains(oldSensitivity))
    return false;
  const QString sensitivity = map.text(oldSensitivity);
  if (sensitivity.toInt() > 0) {
    map.setText(QStringLiteral("KeyEnabled"), QStringLiteral("1"));
    map.setText(QStringLiteral("KeySensitivity"), sensitivity);
    map.setText(QStringLiteral("KeyColor"), QStringLiteral("#ff00ff00"));
    map.remove(oldSensitivity);
    if (map.contains(oldSmooth)) {
      map.setText(QStringLiteral("KeySmoothing"), map.text(oldSmooth));
      map.remove(oldSmooth);
    }
  }
  return true;
}

void ProjectLoader::run()
{
  std::lock_guard<std::mutex> running(m_runLock);
  // A kill during an earlier save may have left a temporary copy beside a file.
  SaveLeftovers::removeProjectLeftovers(ProjectManager::projectDirectory(m_name, m_folder));
  bool converted = false;
  const QString xml = ProjectManager::projectFilePath(m_name, m_folder);
  if (xml.isEmpty() || !QFile::exists(xml)) {
    const QString plist = ProjectManager::projectPlistPath(m_name, m_folder);
    if (plist.isEmpty() || !QFile::exists(plist)) {
      emit onMessage(this, LoaderProjectDamaged, QVariant());
      return;
    }
    QString text;
    if (!_convert(convertProjectPlist, plist, xml, &text)) {
      qDebug().noquote() << "Convert project from Plist to XML failed " + text;
      emit onMessage(this, LoaderConvertFailed, text);
      return;
    }
    converted = true;
  }

  // What the file names is read beside the segments, on a core of its own: the closing
  // clean-up asks it then, and must not read a large file on the window's thread.
  JoinedThread names(std::thread([this] { m_manager->readNamedFiles(m_name, m_folder, m_cancelled); }));

  PropertyMapList list;
  if (ProjectManager::loadSegments(list, m_name, m_folder) != 0) {
    emit onMessage(this, LoaderProjectDamaged, QVariant());
    return;
  }
  bool modified = m_manager->version() < 3.0f;
  if (converted)
    for (const auto &map : list)
      modified = _migrateChromaKey(*map) || modified;

  // Tens of thousands of segments take a good part of a turn to place: not the window's.
  const TrackPlacement::Result placement = TrackPlacement::place(list, m_defaultLengths);

  emit onMessage(this, LoaderBackgroundColor, int(m_manager->backgroundColor()));
  {
    std::lock_guard<std::mutex> lock(m_segmentsLock);
    m_segments = std::move(list);
    m_placement = placement;
  }
  emit onMessage(this, LoaderSegmentsRead, QVariant());

  if (!_waitUntil(100, [this] { return m_layoutCompleted.load(); }))
    return;
  m_manager->setModified(false);
  if (modified)
    m_manager->setModified(true);

  QPoint counts;
  for (int poll = 1;; ++poll) {
    int slept = 0;
    if (!_waitUntil(100, [&slept] { return (slept += 100) > 1000; }))
      return;
    if (poll >= 5 && counts.y() >= 1)
      emit onMessage(this, LoaderProgress, counts);
    if (m_manager->allSegmentsLoaded(&counts))
      break;
  }
  names.thread.join();
  if (m_cancelled)
    return;
  emit onMessage(this, LoaderFinished, QVariant());
}
