#pragma once

#include "propertymap.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QThread>
#include <QVariant>

#include <atomic>
#include <mutex>

class QSaveFile;

// What an ArchiveExporter reports through onMessage. Every run ends with exactly one of 3 to 8
// or 100; runs that pass the space check send 1 first.
enum ArchiveExporterMessage {
  ExportStarted = 1,
  ExportProgress = 2, // payload: percent of the estimate written
  ExportCreateFailed = 3, // the archive file cannot be created
  ExportProjectUnreadable = 4, // "project.xml" cannot be read
  ExportNoSpace = 5, // payload: qint64, the bytes missing
  ExportFileFailed = 6, // a file cannot be copied into the archive
  ExportProjectXmlFailed = 7, // the rewritten "project.xml" cannot be written
  ExportCancelled = 8,
  ExportFinished = 100, // payload: the archive's path
};

// Writes one project as a ".tavorenproject" archive in the destination folder: the project
// folder's own files, the media it uses from elsewhere under new bare names, and last a
// "project.xml" that names those media by their new names. The archive is written under a
// temporary name and appears only when complete.
class ArchiveExporter : public QThread
{
  Q_OBJECT

public:
  ArchiveExporter(const QString &projectName, const QString &folder, const QString &destinationFolder,
                  QObject *parent = nullptr);
  ~ArchiveExporter() override;

signals:
  void onMessage(ArchiveExporter *exporter, int message, QVariant data);

public slots:
  void cancel() { m_cancelled = true; }

protected:
  void run() override
  {
    std::lock_guard<std::mutex> running(m_runLock);
    writeProjectArchive();
  }

private:
  enum AppendResult : qint64 { AppendOpenFailed = -1, AppendCopyFailed = -2, AppendCancelled = -3 };

  void writeProjectArchive();
  // Copies one file in as an entry: its size, or an AppendResult.
  qint64 appendArchiveFile(const QString &sourcePath, qint64 size, QSaveFile &archive, const QString &entryName);
  // Reads the segments and sums what the archive will carry; false when "project.xml" is unreadable.
  bool _estimate(const QString &projectDir, PropertyMapList &maps, qint64 *total) const;
  // The steps after the header; 0 or the message that ends the run.
  int _writeEntries(QSaveFile &archive, const QString &projectDir, PropertyMapList &maps);
  int _writeProjectXml(QSaveFile &archive, const PropertyMapList &maps);
  QString _archivePath() const;
  // A name "sharing<Kind>-N.suffix" free in the project folder and among the entries.
  QString _sharingName(const QString &projectDir, const QString &type, const QString &path) const;
  void _sendProgress();

  QString m_projectName;
  QString m_folder;
  QString m_destinationFolder;
  std::atomic<bool> m_cancelled{false};
  // Held by the thread for its whole run and taken by the destructor after waiting: the thread's
  // end is invisible to the race checker, this lock is not.
  std::mutex m_runLock;
  qint64 m_totalBytes = 0;
  qint64 m_writtenBytes = 0;
  QSet<QString> m_entryNames;
  QByteArray m_buffer;
};
