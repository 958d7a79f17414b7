#include "archiveimporter.h"

#include "projectarchive.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

using namespace ProjectArchive;

namespace {

// Longest name field read at all; the name itself must fit a file name (255 bytes).
constexpr qint32 kMaxNameField = 4096;
constexpr int kMaxNameBytes = 255;

qint64 _bytesLeft(const QFile &archive)
{
  return qMax<qint64>(0, archive.size() - archive.pos());
}

bool _entryExists(const QString &path)
{
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

} // namespace

ArchiveImporter::ArchiveImporter(const QString &archivePath, const QString &destinationFolder, QObject *parent)
  : QThread(parent)
  , m_archivePath(archivePath)
  , m_destinationFolder(destinationFolder)
{
}

ArchiveImporter::~ArchiveImporter()
{
  cancel();
  wait();
  std::lock_guard<std::mutex> ran(m_runLock);
  qDebug("ArchiveImporter deleted");
}

QString ArchiveImporter::safeFileName(QString name)
{
  name.replace(QLatin1Char('\r'), QLatin1Char('_'));
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
    return QString();
  for (const QChar c : qAsConst(name))
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
      return QString();
  return name.toUtf8().size() > kMaxNameBytes ? QString() : name;
}

bool ArchiveImporter::_readName(QFile &archive, QString *name)
{
  const QByteArray lengthBytes = archive.read(4);
  if (lengthBytes.size() != 4)
    return false;
  const qint32 length = int32FromBytes(lengthBytes);
  if (length < 1 || length > kMaxNameField || length > _bytesLeft(archive)) {
    qWarning("Archive name length %d refused", length);
    return false;
  }
  QByteArray bytes = archive.read(length);
  if (bytes.size() != length)
    return false;
  const int nul = bytes.indexOf('\0');
  if (nul >= 0)
    bytes.truncate(nul);
  *name = QString::fromUtf8(bytes);
  return true;
}

QString ArchiveImporter::_makeWorkFolder() const
{
  // Made with mkdir so the folder gets the user's usual permissions when it becomes the project.
  const QDir destination(m_destinationFolder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString name =
        QStringLiteral(".tavoren-import-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    if (_entryExists(destination.filePath(name)) || !destination.mkdir(name))
      continue;
    // The folder must be a real folder directly inside the destination.
    const QString path = QFileInfo(destination.filePath(name)).canonicalFilePath();
    if (!path.isEmpty() && QFileInfo(path).dir().canonicalPath() == destination.canonicalPath())
      return path;
    qWarning().noquote() << "Import folder outside its destination: " + destination.filePath(name);
    return QString();
  }
  return QString();
}

QString ArchiveImporter::_installWorkFolder(const QString &projectName) const
{
  const QDir destination(m_destinationFolder);
  QString name = projectName;
  for (int n = 1;; ++n) {
    const QString target = destination.filePath(name);
    // Making the folder claims the name; the rename then replaces it, empty, at once.
    if (!_entryExists(target) && destination.mkdir(name)) {
      if (::rename(QFile::encodeName(m_work).constData(), QFile::encodeName(target).constData()) == 0)
        return target;
      destination.rmdir(name);
      return QString();
    }
    if (!_entryExists(target))
      return QString();
    name = QStringLiteral("%1 (%2)").arg(projectName).arg(n);
  }
}

ArchiveImporter::Entry ArchiveImporter::extractArchiveFile(QFile &archive)
{
  const QByteArray lengthBytes = archive.peek(4);
  if (lengthBytes.isEmpty())
    return Entry::End;
  QString rawName;
  if (!_readName(archive, &rawName))
    return Entry::Failed;
  const QByteArray sizeBytes = archive.read(8);
  if (sizeBytes.size() != 8)
    return Entry::Failed;
  const quint64 size = uint64FromBytes(sizeBytes);
  qDebug().noquote() << "Create media file name: " + rawName + " size: " + QString::number(size);
  const QString name = safeFileName(rawName);
  if (name.isEmpty()) {
    qWarning().noquote() << "Archive entry name refused: " + rawName;
    return Entry::Failed;
  }
  if (size > quint64(_bytesLeft(archive))) {
    qWarning("Archive entry data runs past the end of the archive");
    return Entry::Failed;
  }
  const QString path = m_work + QLatin1Char('/') + name;
  if (QFileInfo(path).isSymLink() || QFileInfo(path).absolutePath() != m_work)
    return Entry::Failed;
  // A later entry of the same name replaces the earlier one.
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return Entry::Failed;
  if (m_buffer.isEmpty())
    m_buffer.resize(int(kChunkSize));
  quint64 copied = 0;
  do {
    const qint64 chunk = qint64(qMin(quint64(kChunkSize), size - copied));
    if (archive.read(m_buffer.data(), chunk) != chunk || out.write(m_buffer.constData(), chunk) != chunk)
      return Entry::Failed;
    copied += quint64(chunk);
    m_writtenBytes += chunk;
    emit onMessage(this, ImportProgress, percent(m_writtenBytes, m_totalBytes));
  } while (!m_cancelled && copied < size);
  // A full disk may show only when the buffered bytes go out.
  if (!out.flush() || out.error() != QFileDevice::NoError)
    return Entry::Failed;
  out.close();
  return copied < size ? Entry::Cancelled : Entry::Next;
}

void ArchiveImporter::readProjectArchive()
{
  const QFileInfo info(m_archivePath);
  if (!info.exists()) {
    emit onMessage(this, ImportArchiveMissing, QVariant());
    return;
  }
  const qint64 size = info.size();
  // A destination that is no folder passes: the project folder cannot be made there, which is
  // reported after the start like every other failure of an accepted job.
  const qint64 missing = missingSpace("Import archive need space: ", size, m_destinationFolder);
  if (missing > 0) {
    emit onMessage(this, ImportNoSpace, QVariant(missing));
    return;
  }
  m_totalBytes = size;
  m_writtenBytes = 0;
  emit onMessage(this, ImportStarted, QVariant());

  QFile archive(m_archivePath);
  if (!info.isFile() || !archive.open(QIODevice::ReadOnly)) {
    emit onMessage(this, ImportOpenFailed, QVariant());
    return;
  }
  if (archive.read(kMagicSize) != QByteArray(kMagic, kMagicSize)) {
    emit onMessage(this, ImportBadMagic, QVariant());
    return;
  }
  const QByteArray version = archive.read(4);
  if (version.size() == 4 && int32FromBytes(version) > kVersion) {
    emit onMessage(this, ImportHigherVersion, QVariant());
    return;
  }
  QString projectName;
  if (!_readName(archive, &projectName) || safeFileName(projectName).isEmpty()) {
    emit onMessage(this, ImportBadName, QVariant());
    return;
  }
  projectName = safeFileName(projectName);
  qDebug().noquote() << "Import project name: " + projectName;
  m_work = _makeWorkFolder();
  if (m_work.isEmpty()) {
    emit onMessage(this, ImportFolderFailed, QVariant());
    return;
  }

  QElapsedTimer timer;
  timer.start();
  Entry result = Entry::Next;
  for (bool first = true; result == Entry::Next; first = false) {
    if (!first && m_cancelled)
      break;
    result = extractArchiveFile(archive);
  }
  archive.close();
  // The progress dialog stays up for at least a moment.
  if (timer.elapsed() < 1000)
    msleep(1000);

  int message = m_cancelled ? ImportCancelled : result == Entry::Failed ? ImportDamaged : ImportFinished;
  if (message == ImportFinished) {
    const QString target = _installWorkFolder(projectName);
    if (target.isEmpty())
      message = ImportFolderFailed;
    else
      qDebug().noquote() << "Imported project folder: " + target;
  }
  if (message != ImportFinished)
    QDir(m_work).removeRecursively();
  emit onMessage(this, message, QVariant());
}
