// Files, folders, pictures and media probing.
#include "util.h"

#include "avpicturefile.h"
#include "avreadbound.h"
#include "desktopservices.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QUrl>

#include <cmath>
#include <memory>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Only paths written the Windows way ("C:..." or "\\server...") get their backslashes turned
// into slashes: on Linux a backslash is an ordinary file-name character.
bool isWindowsForm(const QString &path)
{
  if (path.startsWith('\\'))
    return true;
  return path.size() >= 2 && path.at(1) == ':' && path.at(0).unicode() < 128 && path.at(0).isLetter();
}

QString withForwardSlashes(const QString &path)
{
  return isWindowsForm(path) ? QString(path).replace('\\', '/') : path;
}

// The path with symbolic links and "." / ".." resolved, also for a path that does not exist yet
// (then its parent is resolved).
QString resolvedPath(const QString &path)
{
  const QFileInfo info(QDir::cleanPath(path));
  if (info.exists())
    return info.canonicalFilePath();
  const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
  return parent.isEmpty() ? info.absoluteFilePath() : parent + '/' + info.fileName();
}

// True when both name one existing file, however they are spelled. Copying a file onto
// itself with overwrite would remove it before the copy.
bool isSameExistingFile(const QString &a, const QString &b)
{
  const QString canonical = QFileInfo(a).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool copyDirEntries(const QString &sourceDir, const QString &destinationDir, bool overwrite)
{
  QDir destination(destinationDir);
  if (!destination.exists() && !QDir().mkdir(destination.absolutePath()))
    return false;
  const QFileInfoList entries = QDir(sourceDir).entryInfoList();
  for (const QFileInfo &entry : entries) {
    const QString name = entry.fileName();
    if (name == QLatin1String(".") || name == QLatin1String(".."))
      continue;
    const QString target = destination.filePath(name);
    if (entry.isDir()) {
      if (!copyDirEntries(entry.filePath(), target, overwrite))
        return false;
      continue;
    }
    if (overwrite && QFileInfo::exists(target))
      QFile::remove(target);
    if (!QFile::copy(entry.filePath(), target))
      return false;
  }
  return true;
}

struct FormatContextCloser
{
  void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;

QString audioCodecName(AVCodecID id)
{
  switch (id) {
  case AV_CODEC_ID_AAC:
    return QStringLiteral("AAC");
  case AV_CODEC_ID_OPUS:
    return QStringLiteral("Opus");
  default:
    return Util::tr("Unknown codec");
  }
}

// ProRes 4444 is told from 422 by its full-width chroma, whatever the pixel format's
// number in the linked FFmpeg.
bool hasFullChroma(int pixelFormat)
{
  const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(AVPixelFormat(pixelFormat));
  return descriptor && descriptor->nb_components >= 3 && descriptor->log2_chroma_w == 0;
}

QString videoCodecName(const AVCodecParameters *parameters)
{
  switch (parameters->codec_id) {
  case AV_CODEC_ID_H264:
    return QStringLiteral("H.264");
  case AV_CODEC_ID_HEVC:
    return QStringLiteral("HEVC");
  case AV_CODEC_ID_VP9:
    return QStringLiteral("VP9");
  case AV_CODEC_ID_PRORES:
    return hasFullChroma(parameters->format) ? QStringLiteral("Apple ProRes 4444")
                                             : QStringLiteral("Apple ProRes 422");
  default:
    return Util::tr("Unknown codec");
  }
}

QString channelsName(int channels)
{
  if (channels == 2)
    return Util::tr("Stereo");
  return channels > 2 ? Util::tr("%1 channels").arg(channels) : Util::tr("Mono");
}

// A picture turned a quarter (a phone held upright) is shown with its stored sides swapped.
bool turnedAQuarter(const AVStream *stream)
{
  double angle = 0;
  size_t size = 0;
  if (const AVDictionaryEntry *tag = av_dict_get(stream->metadata, "rotate", nullptr, 0))
    angle = QString::fromUtf8(tag->value).toDouble();
  else if (const uint8_t *matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
           matrix && size >= 9 * sizeof(int32_t))
    angle = av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
  return std::isfinite(angle) && std::lround(angle / 90) % 2 != 0;
}

} // namespace

bool Util::copyFile(const QString &source, const QString &destination, bool overwrite)
{
  const QString from = withForwardSlashes(source);
  const QString to = withForwardSlashes(destination);
  if (from == to || isSameExistingFile(from, to))
    return true;
  if (!QFileInfo::exists(from))
    return false;
  if (overwrite && QFileInfo::exists(to))
    QFile::remove(to);
  return QFile::copy(from, to);
}

bool Util::copyDirRecursively(const QString &sourceDir, const QString &destinationDir, bool overwrite)
{
  // A folder copied onto itself is already there; one copied into itself would never end
  // (each level copies the level just made).
  const QString from = resolvedPath(sourceDir);
  const QString to = resolvedPath(destinationDir);
  if (from == to)
    return true;
  if (to.startsWith(from + '/'))
    return false;
  return copyDirEntries(sourceDir, destinationDir, overwrite);
}

void Util::showFileInExplorer(const QString &path)
{
  const QFileInfo info(path);
  if (path.isEmpty() || !info.exists())
    return;
  DesktopServices *desktop = DesktopServices::instance();
  if (!desktop->showItems({QUrl::fromLocalFile(info.absoluteFilePath())}))
    desktop->openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

QImage Util::readImageScaledToFit(const QString &path, int maxSide)
{
  // Also on the GUI thread: the file's bound keeps a picture of endless zeros short.
  AVPictureFile picture(path);
  if (!picture.openForReading())
    return QImage();
  QImageReader reader(&picture);
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > maxSide || size.height() > maxSide)) {
    // Truncated like the fitted size itself, but never to nothing for a very thin picture.
    QSize fitted(maxSide, maxSide);
    if (size.width() >= size.height())
      fitted.setHeight(qMax(1, int(double(maxSide) * size.height() / size.width())));
    else
      fitted.setWidth(qMax(1, int(double(maxSide) * size.width() / size.height())));
    reader.setScaledSize(fitted);
  }
  const QImage image = reader.read();
  return picture.stopped() ? QImage() : image;
}

double Util::gifDuration(const QString &path)
{
  AVPictureFile picture(path);
  if (!picture.openForReading())
    return 0;
  QImageReader reader(&picture);
  const int frames = reader.imageCount();
  qint64 totalMs = 0;
  for (int i = 0; i < frames; ++i) {
    if (reader.read().isNull())
      break;
    totalMs += qMax(0, reader.nextImageDelay());
  }
  return totalMs / 1000.0;
}

bool Util::probeMediaInfo(const QString &path, QString &videoText, QString &audioText, double &seconds)
{
  // A file no real medium could be (gigabytes of zeros) is given up after a bounded read; a
  // FIFO would hold the open until someone writes to it.
  AVReadBound bound;
  AVFormatContext *raw = nullptr;
  if (!QFileInfo(path).isFile() || bound.open(&raw, path.toUtf8().constData()) != AVReadBound::kOpened)
    return false;
  FormatContextPtr context(raw);

  const int audio = av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (audio >= 0) {
    const AVCodecParameters *parameters = context->streams[audio]->codecpar;
    audioText = QStringLiteral("%1, %2, %3 Hz")
                  .arg(audioCodecName(parameters->codec_id), channelsName(parameters->ch_layout.nb_channels))
                  .arg(parameters->sample_rate);
  }
  const int video = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  // A song's cover picture is no video.
  if (video >= 0 && !(context->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
    const AVCodecParameters *parameters = context->streams[video]->codecpar;
    const bool turned = turnedAQuarter(context->streams[video]);
    videoText = QStringLiteral("%1, %2 x %3")
                  .arg(videoCodecName(parameters))
                  .arg(turned ? parameters->height : parameters->width)
                  .arg(turned ? parameters->width : parameters->height);
  }
  // A container that does not know its length (a single picture, a live stream) reads as 0.
  seconds = context->duration == AV_NOPTS_VALUE ? 0.0 : context->duration / 1000000.0;
  return true;
}
