#include "soundsegment.h"

#include "segmentfile.h"
#include "segmentlistener.h"
#include "trimmededges.h"

#include <QFileInfo>

namespace {

const QString kFile = QStringLiteral("File");
const QString kTrimStart = QStringLiteral("TrimStart");
const QString kTrimDuration = QStringLiteral("TrimDuration");

} // namespace

SoundSegment::SoundSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : Segment(other, rangeStart, listener)
{
}

SoundSegment::SoundSegment(SegmentListener *listener) : Segment(listener) {}

SoundSegment::SoundSegment(PropertyMap *properties, SegmentListener *listener) : Segment(properties, listener) {}

FileSoundSegment::FileSoundSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : SoundSegment(other, rangeStart, listener)
{
}

FileSoundSegment::FileSoundSegment(SegmentListener *listener) : SoundSegment(listener) {}

FileSoundSegment::FileSoundSegment(PropertyMap *properties, SegmentListener *listener)
    : SoundSegment(properties, listener)
{
}

FileSoundSegment::~FileSoundSegment()
{
  m_loader.shutdown();
}

void FileSoundSegment::startLoading()
{
  m_loader.startLater([this] { m_loader.queue(createLoadingTask()); });
}

float FileSoundSegment::trimStart() const
{
  return floatValue(*properties(), kTrimStart, 0);
}

void FileSoundSegment::setTrimStart(float seconds)
{
  setFloatValue(*properties(), kTrimStart, seconds);
}

float FileSoundSegment::trimDuration() const
{
  return floatValue(*properties(), kTrimDuration, 0);
}

void FileSoundSegment::setTrimDuration(float seconds)
{
  setFloatValue(*properties(), kTrimDuration, seconds);
}

float FileSoundSegment::speedScaledTrimStart() const
{
  return trimStart() / speed();
}

void FileSoundSegment::loadStatusUpdated(quint32, int status, int, int)
{
  if (state() != SegmentLoading)
    return;
  const float length = status == 0 && listener() ? listener()->audioDuration(this) : 0;
  if (status != 0) {
    setError(QFileInfo::exists(filePath()) ? SegmentLoadError : SegmentFileMissing);
  } else if (!(length > 0)) {
    // Opened, but no length could be found: nothing would play, and a new block would have no width.
    setError(SegmentLoadError);
  } else {
    m_mediaLength = length;
    // Set again even when unchanged: the listener hears of the range.
    setDuration(duration() == 0 ? m_mediaLength : duration());
    if (trimDuration() == 0)
      setTrimDuration(m_mediaLength);
  }
  loadReported(error() == SegmentNoError);
  setState(SegmentReady);
}

float FileSoundSegment::mediaDuration() const
{
  return m_mediaLength == 0 ? duration() : m_mediaLength / speed();
}

bool FileSoundSegment::moveLeftEdge(float *time)
{
  TrimmedEdges::Trim trim{trimStart(), trimDuration()};
  const bool taken = TrimmedEdges::moveLeft(*this, time, trim);
  setTrimDuration(trim.duration);
  setTrimStart(trim.start);
  return taken;
}

bool FileSoundSegment::moveRightEdge(float *time)
{
  TrimmedEdges::Trim trim{trimStart(), trimDuration()};
  const bool taken = TrimmedEdges::moveRight(*this, time, trim, m_mediaLength);
  setTrimDuration(trim.duration);
  return taken;
}

QString FileSoundSegment::storedFile() const
{
  return properties()->contains(kFile) ? properties()->text(kFile) : QString();
}

QString FileSoundSegment::fileName() const
{
  return SegmentFile::fileName(storedFile());
}

void FileSoundSegment::setFile(const QString &path)
{
  setStringValue(*properties(), kFile, SegmentFile::storedForm(listener(), path));
}

QString FileSoundSegment::filePath() const
{
  const QString stored = storedFile();
  return stored.isEmpty() ? QString() : SegmentFile::absolutePath(listener(), stored);
}

bool FileSoundSegment::paintErrorOrNothing(QPainter *painter, const QRect &rect) const
{
  if (error() != SegmentNoError) {
    if (listener())
      paintMessage(painter, rect,
                   error() == SegmentFileMissing ? listener()->fileNotFoundText() : listener()->loadErrorText());
    return true;
  }
  return isPaintingSuppressed() || !rect.isValid();
}
