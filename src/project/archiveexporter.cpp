#include "archiveexporter.h"

#include "projectarchive.h"
#include "projectmanager.h"
#include "saveleftovers.h"
#include "segmentxml.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <algorithm>

using namespace ProjectArchive;

namespace {

constexpr qint64 kProgressStep = 10 * kChunkSize;

// The media file a segment uses: "File" of movies and images; of music "File", else "URL".
QString _mediaPath(const PropertyMap &map)
{
  const QString type = map.text(QStringLiteral("Type"));
  if (type == QLatin1String("MOVIE") || type == QLatin1String("IMAGE"))
    return map.text(QStringLiteral("File"));
  if (type == QLatin1String("MUSIC"))
    return map.contains(QStringLiteral("File")) ? map.text(QStringLiteral("File")) : map.text(QStringLiteral("URL"));
  return QString();
}

// A bare name lies in the project folder; anything with a separator lies elsewhere.
bool _isExternal(const QString &path)
{
  return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

// The folder's files, less what an interrupted save or export left: a stale copy of a project
// file, a cut-off movie.
QFileInfoList _projectFiles(const QString &projectDir)
{
  QFileInfoList files = QDir(projectDir).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  const auto leftover = [&projectDir](const QFileInfo &file) {
    return SaveLeftovers::isFolderLeftover(projectDir, file.fileName());
  };
  files.erase(std::remove_if(files.begin(), files.end(), leftover), files.end());
  return files;
}

bool _writeAll(QSaveFile &file, const QByteArray &bytes)
{
  return file.write(bytes) == bytes.size();
}

QByteArray _entryHeader(const QString &name, qint64 size)
{
  const QByteArray utf8 = name.toUtf8();
  return int32Bytes(qint32(utf8.size())) + utf8 + int64Bytes(size);
}

} // namespace

ArchiveExporter::ArchiveExporter(const QString &projectName, const QString &folder,
                                 const QString &destinationFolder, QObject *parent)
  : QThread(parent)
  , m_projectName(projectName)
  , m_folder(folder)
  , m_destinationFolder(destinationFolder)
{
}

ArchiveExporter::~ArchiveExporter()
{
  cancel();
  wait();
  std::lock_guard<std::mutex> ran(m_runLock);
}

void ArchiveExporter::_sendProgress()
{
  emit onMessage(this, ExportProgress, percent(m_writtenBytes, m_totalBytes));
}

bool ArchiveExporter::_estimate(const QString &projectDir, PropertyMapList &maps, qint64 *total) const
{
  if (projectDir.isEmpty() || ProjectManager::loadSegments(maps, m_projectName, m_folder) != 0)
    return false;
  qint64 sum = 0;
  for (const QFileInfo &file : _projectFiles(projectDir))
    sum += file.size();
  QSet<QString> counted;
  for (const auto &map : maps) {
    const QString path = _mediaPath(*map);
    if (!_isExternal(path) || counted.contains(path))
      continue;
    counted.insert(path);
    sum += QFileInfo(path).size();
  }
  *total = sum;
  return true;
}

QString ArchiveExporter::_archivePath() const
{
  QString path = QStringLiteral("%1/%2.%3").arg(m_destinationFolder, m_projectName, extension());
  for (int n = 1; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
    path = QStringLiteral("%1/%2 (%3).%4").arg(m_destinationFolder, m_projectName).arg(n).arg(extension());
  return path;
}

QString ArchiveExporter::_sharingName(const QString &projectDir, const QString &type, const QString &path) const
{
  const QString kind = type == QLatin1String("MOVIE") ? QStringLiteral("Movie")
                       : type == QLatin1String("IMAGE") ? QStringLiteral("Image")
                                                        : QStringLiteral("Music");
  const QString fileName = path.mid(qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1);
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  const QString suffix = dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
  const QDir dir(projectDir);
  for (int n = 1;; ++n) {
    const QString name = QStringLiteral("sharing%1-%2.%3").arg(kind).arg(n).arg(suffix);
    if (!m_entryNames.contains(name) && !dir.exists(name))
      return name;
  }
}

qint64 ArchiveExporter::appendArchiveFile(const QString &sourcePath, qint64 size, QSaveFile &archive,
                                          const QString &entryName)
{
  QFile source(sourcePath);
  if (!source.open(QIODevice::ReadOnly))
    return AppendOpenFailed;
  if (!_writeAll(archive, _entryHeader(entryName, size)))
    return AppendCopyFailed;
  m_entryNames.insert(entryName);
  if (m_buffer.isEmpty())
    m_buffer.resize(int(kChunkSize));
  // Never more than the size written in the header, so a file that grew since it was
  // measured still leaves a readable archive.
  qint64 copied = 0;
  while (copied < size) {
    if (m_cancelled)
      return AppendCancelled;
    const qint64 wanted = qMin(kChunkSize, size - copied);
    const qint64 got = source.read(m_buffer.data(), wanted);
    if (got <= 0)
      break;
    if (archive.write(m_buffer.constData(), got) != got)
      return AppendCopyFailed;
    copied += got;
    m_writtenBytes += got;
    if (copied % kProgressStep == 0)
      _sendProgress();
    if (got < wanted)
      break;
  }
  if (copied != size) {
    qDebug() << "Write file error:" << copied << size;
    return AppendCopyFailed;
  }
  _sendProgress();
  return size;
}

int ArchiveExporter::_writeProjectXml(QSaveFile &archive, const PropertyMapList &maps)
{
  QByteArray document;
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  QXmlStreamWriter writer(&buffer);
  writer.setAutoFormatting(true);
  writer.setAutoFormattingIndent(4);
  writer.writeStartDocument();
  writer.writeStartElement(QStringLiteral("Project"));
  for (const auto &map : maps) {
    if (writer.hasError())
      break;
    writeSegmentXml(*map, writer);
  }
  writer.writeEndElement();
  writer.writeEndDocument();
  if (writer.hasError())
    return ExportProjectXmlFailed;
  if (!_writeAll(archive, _entryHeader(QStringLiteral("project.xml"), document.size())) || !_writeAll(archive, document))
    return ExportProjectXmlFailed;
  return 0;
}

int ArchiveExporter::_writeEntries(QSaveFile &archive, const QString &projectDir, PropertyMapList &maps)
{
  auto failure = [](qint64 result) { return result == AppendCancelled ? ExportCancelled : ExportFileFailed; };
  static const QStringList notCarried = {QStringLiteral("project.xml"), QStringLiteral("project.plist"),
                                         QStringLiteral("properties.plist")};
  for (const QFileInfo &file : _projectFiles(projectDir)) {
    if (notCarried.contains(file.fileName()) || file.size() == 0)
      continue;
    const qint64 result = appendArchiveFile(file.filePath(), file.size(), archive, file.fileName());
    if (result < 0)
      return failure(result);
  }

  QSet<QString> handled;
  for (const auto &map : maps) {
    const QString path = _mediaPath(*map);
    if (!_isExternal(path) || handled.contains(path))
      continue;
    handled.insert(path);
    const QString name = _sharingName(projectDir, map->text(QStringLiteral("Type")), path);
    const qint64 result = appendArchiveFile(path, QFileInfo(path).size(), archive, name);
    if (result < 0)
      return failure(result);
    // Every segment that used the file now names it under "File", which the segments
    // prefer, also music that named it by "URL" and segments of another type.
    for (const auto &other : maps)
      if (_mediaPath(*other) == path)
        other->setText(QStringLiteral("File"), name);
  }
  return m_cancelled ? ExportCancelled : _writeProjectXml(archive, maps);
}

void ArchiveExporter::writeProjectArchive()
{
  const QString projectDir = ProjectManager::projectDirectory(m_projectName, m_folder);
  PropertyMapList maps;
  qint64 estimate = 0;
  if (!_estimate(projectDir, maps, &estimate)) {
    emit onMessage(this, ExportProjectUnreadable, QVariant());
    return;
  }
  // A destination that is no folder passes: the archive cannot be created there, which is
  // reported after the start like every other failure of an accepted job.
  const qint64 missing = missingSpace("Export archive need space: ", estimate, m_destinationFolder);
  if (missing > 0) {
    emit onMessage(this, ExportNoSpace, QVariant(missing));
    return;
  }
  m_totalBytes = estimate;
  m_writtenBytes = 0;
  m_entryNames.clear();
  emit onMessage(this, ExportStarted, QVariant());

  const QString path = _archivePath();
  qDebug().noquote() << "Output archive file " + path;
  QSaveFile archive(path);
  const QByteArray name = m_projectName.toUtf8();
  if (!archive.open(QIODevice::WriteOnly) ||
      !_writeAll(archive, QByteArray(kMagic, kMagicSize) + int32Bytes(kVersion) + int32Bytes(qint32(name.size())) + name)) {
    emit onMessage(this, ExportCreateFailed, QVariant());
    return;
  }
  int result = _writeEntries(archive, projectDir, maps);
  // A full disk may show only when the last buffered bytes go out.
  if (result == 0 && (!archive.flush() || archive.error() != QFileDevice::NoError))
    result = ExportProjectXmlFailed;
  if (result == 0 && m_cancelled)
    result = ExportCancelled;
  if (result == 0 && !archive.commit())
    result = ExportCreateFailed;
  if (result != 0) {
    archive.cancelWriting();
    emit onMessage(this, result, QVariant());
    return;
  }
  emit onMessage(this, ExportFinished, path);
}
