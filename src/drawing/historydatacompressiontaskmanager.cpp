#include "historydatacompressiontaskmanager.h"

#include "datacompressiontask.h"
#include "util.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

namespace {

std::unique_ptr<QLockFile> _folderLock(const QString &folder)
{
  auto lock = std::make_unique<QLockFile>(folder + ".lock");
  // Held only as long as its process lives: never taken over for its age.
  lock->setStaleLockTime(0);
  return lock;
}

} // namespace

HistoryDataCompressionTaskManager::HistoryDataCompressionTaskManager(QObject *parent) : QThreadPool(parent)
{
  setMaxThreadCount(1);
  const QString cache = Util::cacheLocation();
  _sharedFolder = QDir(cache).filePath("DrawingHistory");
  // Each history has its own folder: another canvas's snapshots are never touched.
  if (QDir().mkpath(_sharedFolder) && _makeOwnFolder()) {
    _folder = QDir(_ownFolder);
    _removeAbandonedFolders();
  } else {
    QDir().mkpath(cache);
    _folder = QDir(cache);
  }
}

HistoryDataCompressionTaskManager::~HistoryDataCompressionTaskManager()
{
  waitForDone();
  for (const QString &path : qAsConst(_files))
    QFile::remove(path);
  if (!_ownFolder.isEmpty())
    QDir(_ownFolder).removeRecursively();
  _lock.reset();
  // Only succeeds when no other history keeps its folder there.
  QDir().rmdir(_sharedFolder);
}

bool HistoryDataCompressionTaskManager::_makeOwnFolder()
{
  // The lock first: a folder is never without it, so no other history takes it for abandoned.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const QString name = QString::number(QRandomGenerator::global()->generate64(), 36);
    const QString folder = QDir(_sharedFolder).filePath(name);
    std::unique_ptr<QLockFile> lock = _folderLock(folder);
    if (!lock->tryLock(0))
      continue;
    if (QDir(_sharedFolder).mkdir(name)) {
      _ownFolder = folder;
      _lock = std::move(lock);
      return true;
    }
  }
  return false;
}

void HistoryDataCompressionTaskManager::_removeAbandonedFolders()
{
  const QFileInfoList folders =
      QDir(_sharedFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
  for (const QFileInfo &entry : folders) {
    if (entry.fileName() == QFileInfo(_ownFolder).fileName())
      continue;
    const QString folder = entry.absoluteFilePath();
    // Taken only when its history's process is gone (or it never had a lock).
    std::unique_ptr<QLockFile> lock = _folderLock(folder);
    if (lock->tryLock(0))
      QDir(folder).removeRecursively();
  }
}

void HistoryDataCompressionTaskManager::push(const QPixmap &picture)
{
  // Two pushes within one millisecond still get two files.
  const QString name =
      QString::number(QDateTime::currentMSecsSinceEpoch()) + "_" + QString::number(++_counter);
  const QString path = _folder.absoluteFilePath(name);
  _files.append(path);
  ++_pending;
  // The pool's thread only posts back; the call is dropped when this history is gone.
  auto finished = [self = this] {
    std::lock_guard<std::mutex> posting(DataCompressionTask::handOverLock());
    QMetaObject::invokeMethod(
        self,
        [self] {
          { std::lock_guard<std::mutex> posted(DataCompressionTask::handOverLock()); }
          self->_writeFinished();
        },
        Qt::QueuedConnection);
  };
  start(new DataCompressionTask(picture.toImage(), path, finished));
}

void HistoryDataCompressionTaskManager::_writeFinished()
{
  if (--_pending == 0)
    emit historyIdle();
}

QPixmap HistoryDataCompressionTaskManager::takeSnapshot()
{
  if (_files.isEmpty())
    return QPixmap();
  const QString path = _files.takeLast();
  QPixmap picture;
  picture.load(path, "PNG");
  QFile::remove(path);
  return picture;
}
