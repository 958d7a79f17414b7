#pragma once

#include <QByteArray>
#include <QString>
#include <QThread>
#include <QVariant>

#include <atomic>
#include <mutex>

class QFile;

// What an ArchiveImporter reports through onMessage. Every run ends with exactly one of 4 to
// 12 or 100; runs that pass the space check send 1 first and 2 after every chunk.
enum ArchiveImporterMessage {
  ImportStarted = 1,
  ImportProgress = 2, // payload: percent of the archive's size written
  ImportArchiveMissing = 4,
  ImportNoSpace = 5, // payload: qint64, the bytes missing
  ImportOpenFailed = 6,
  ImportBadMagic = 7,
  ImportHigherVersion = 8,
  ImportBadName = 9, // the project name is missing, empty or not a usable folder name
  ImportFolderFailed = 10, // the project folder cannot be made, or the complete one cannot take its name
  ImportCancelled = 11, // the new folder has been removed
  ImportDamaged = 12, // a damaged or truncated entry, or a file that could not be written; folder removed
  ImportFinished = 100,
};

// Unpacks a project archive into a new folder of the destination folder, on its own thread.
// Archives come from elsewhere, so every field is checked before it is used: names must be
// plain file names, lengths are bounded by the bytes left, data is streamed through one
// buffer, and an archive that does not end exactly after an entry is refused and leaves
// nothing behind.
class ArchiveImporter : public QThread
{
  Q_OBJECT

public:
  ArchiveImporter(const QString &archivePath, const QString &destinationFolder, QObject *parent = nullptr);
  ~ArchiveImporter() override;

  // The name as a file name of its own: carriage returns become "_"; empty when it is
  // empty, "." or "..", holds a separator or another control character, or is longer than
  // 255 bytes.
  static QString safeFileName(QString name);

signals:
  void onMessage(ArchiveImporter *importer, int message, QVariant data);

public slots:
  void cancel() { m_cancelled = true; }

protected:
  void run() override
  {
    std::lock_guard<std::mutex> running(m_runLock);
    readProjectArchive();
  }

private:
  enum class Entry { Next, End, Failed, Cancelled };

  void readProjectArchive();
  Entry extractArchiveFile(QFile &archive);
  // Entries are unpacked into a hidden work folder of the destination, which takes the
  // project's name only once complete, so no half-imported project is ever listed.
  QString _makeWorkFolder() const;
  // Moves the work folder to the project name, or "name (n)"; its path, empty on failure.
  QString _installWorkFolder(const QString &projectName) const;
  // Reads a name field (length, then UTF-8 up to the first NUL) bounded by the bytes left;
  // false when damaged.
  static bool _readName(QFile &archive, QString *name);

  QString m_archivePath;
  QString m_destinationFolder;
  std::atomic<bool> m_cancelled{false};
  // Held by the thread for its whole run and taken by the destructor after waiting: the thread's
  // end is invisible to the race checker, this lock is not.
  std::mutex m_runLock;
  qint64 m_writtenBytes = 0;
  qint64 m_totalBytes = 0;
  QString m_work;
  QByteArray m_buffer;
};
