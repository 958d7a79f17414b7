#include "historydatacompressiontaskmanager.h"

#include "datacompressiontask.h"
#include "util.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

HistoryDataCompressionTaskManager::HistoryDataCompressionTaskManager(QObject *parent) : QThreadPool(parent)
{
  setMaxThreadCount(1);
  const QString cache = Util::cacheLocation();
  _sharedFolder = QDir(cache).filePath("DrawingHistory");
  // Each history has its own folder: another canvas's snapshots are never touched.
  if (QDir().mkpath(_sharedFolder)) {
    _ownFolder = std::make_unique<QTemporaryDir>(_sharedFolder + "/XXXXXX");
    if (!_ownFolder->isValid())
      _ownFolder.reset();
  }
  if (_ownFolder) {
    _folder = QDir(_ownFolder->path());
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
  _ownFolder.reset();
  // Only succeeds when no other history keeps its folder there.
  QDir().rmdir(_sharedFolder);
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
    QMetaObject::invokeMethod(self, [self] { self->_writeFinished(); }, Qt::QueuedConnection);
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
