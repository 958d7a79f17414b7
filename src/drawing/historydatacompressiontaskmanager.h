#pragma once

#include <QDir>
#include <QPixmap>
#include <QStringList>
#include <QThreadPool>

#include <memory>

class QLockFile;

// The canvas's undo steps as PNG files in a folder of its own under "DrawingHistory" in
// the cache, written on one background thread and read back newest first. A lock file
// beside the folder marks it as in use; folders nobody holds (left by a session that
// crashed) are removed when a history starts.
class HistoryDataCompressionTaskManager : public QThreadPool
{
  Q_OBJECT
public:
  explicit HistoryDataCompressionTaskManager(QObject *parent = nullptr);
  // Waits for the writes, then removes this history's folder (and "DrawingHistory" when
  // no other history uses it).
  ~HistoryDataCompressionTaskManager() override;

  void push(const QPixmap &picture);
  bool hasSnapshots() const { return !_files.isEmpty(); }
  // A snapshot is still being written.
  bool isBusy() const { return _pending > 0; }
  // The newest snapshot, its file removed; null when there is none or it cannot be read.
  QPixmap takeSnapshot();

  QString folderPath() const { return _folder.absolutePath(); }
  const QStringList &files() const { return _files; }

signals:
  // Every pushed snapshot is on disk.
  void historyIdle();

private:
  void _writeFinished();
  bool _makeOwnFolder();
  void _removeAbandonedFolders();

  QStringList _files;
  QDir _folder;
  QString _ownFolder;
  std::unique_ptr<QLockFile> _lock;
  QString _sharedFolder;
  int _pending = 0;
  quint64 _counter = 0;
};
