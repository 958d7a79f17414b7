#include "musicsegment.h"

#include "segmentlistener.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

const QString kTitle = QStringLiteral("Title");
const QString kArtist = QStringLiteral("Artist");
const QString kUrl = QStringLiteral("URL");

} // namespace

MusicSegment::MusicSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : FileSoundSegment(other, rangeStart, listener)
{
  _updateTitleFlag();
  startLoading();
}

MusicSegment::MusicSegment(const QString &filePath, float rangeStart, const QString &title, const QString &artist,
                           SegmentListener *listener)
    : FileSoundSegment(listener)
{
  setType(QStringLiteral("MUSIC"));
  setRangeStart(rangeStart);
  setFile(filePath);
  if (!title.isEmpty())
    setStringValue(*properties(), kTitle, title);
  if (!artist.isEmpty())
    setStringValue(*properties(), kArtist, artist);
  _updateTitleFlag();
  startLoading();
}

MusicSegment::MusicSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : FileSoundSegment(properties, listener)
{
  setIsNewlyCreated(isNew);
  _updateTitleFlag();
  startLoading();
}

MusicSegment::~MusicSegment()
{
  loader().shutdown();
}

void MusicSegment::setProperties(PropertyMap *properties)
{
  FileSoundSegment::setProperties(properties);
  _updateTitleFlag();
}

void MusicSegment::_updateTitleFlag()
{
  m_hasTitle.store(properties()->contains(kTitle));
}

QString MusicSegment::title() const
{
  return stringValue(*properties(), kTitle, QString());
}

QString MusicSegment::artist() const
{
  return stringValue(*properties(), kArtist, QString());
}

QString MusicSegment::storedFile() const
{
  const QString file = FileSoundSegment::storedFile();
  if (!file.isEmpty() || properties()->contains(QStringLiteral("File")))
    return file;
  return properties()->text(kUrl);
}

void MusicSegment::loadReported(bool)
{
  // Also after a failure: the task then finds nothing to decode.
  if (!m_plotData && !m_plotQueued && listener()) {
    const float pixels = listener()->pixelsForDuration(mediaLength());
    const int count = int(qMin(std::trunc(double(pixels)), double(AudioPlotData::kMaxPoints)));
    m_plotQueued = true;
    loader().queue(new PlotDataGeneratingTask(this, filePath(), count));
  }
  if (m_titleIsFileName && listener()) {
    const QString fileTitle = listener()->audioTitle(this);
    const QString fileArtist = listener()->audioArtist(this);
    if (!fileTitle.isEmpty())
      setStringValue(*properties(), kTitle, fileTitle);
    if (!fileArtist.isEmpty())
      setStringValue(*properties(), kArtist, fileArtist);
    m_titleIsFileName = false;
    _updateTitleFlag();
  }
  m_loadReported.store(true);
}

void PlotDataGeneratingTask::work()
{
  auto data = std::make_shared<AudioPlotData>(m_desiredCount);
  // A segment deleted meanwhile need not wait for the whole file.
  data->generate(m_path, [this] { return isCancelled(); });
  MusicSegment *segment = m_segment;
  post([segment, data] { segment->_applyPlotData(data); });
}

void MusicSegment::_applyPlotData(std::shared_ptr<const AudioPlotData> data)
{
  if (m_plotData)
    return;
  m_plotData = std::move(data);
  if (m_plotData->isReady() && listener())
    listener()->segmentAudioPlotDataDidReady(this);
}

void MusicSegment::paintBlock(QPainter *painter, const QRect &rect, const QRect &, float pixelsPerSecond)
{
  if (paintErrorOrNothing(painter, rect))
    return;
  painter->save();
  if (m_plotData && m_plotData->isReady()) {
    painter->save();
    painter->translate(rect.left() - trimStart() * pixelsPerSecond, rect.top());
    m_plotData->draw(painter, int(std::trunc(mediaDuration() * pixelsPerSecond)), rect.height());
    painter->restore();
  }
  SegmentListener *l = listener();
  const int margin = l ? int(l->titleMargin()) : 0;
  const QRect textRect = rect.adjusted(margin, 0, -margin, 0);
  if (!l || !textRect.isValid()) {
    painter->restore();
    return;
  }
  QString text = title();
  if (text.isEmpty())
    text = l->musicPlaceholderTitle();
  else if (!artist().isEmpty())
    text += QStringLiteral(" - ") + artist();

  QFont font;
  int size = qMax(1, int(l->titleFontSize()));
  font.setPixelSize(size);
  // Shrinks to fit, but never below a quarter of the block's height.
  while (QFontMetricsF(font).horizontalAdvance(text) > textRect.width()) {
    if (size - 1 <= rect.height() * 0.25 || size - 1 < 1)
      break;
    --size;
    font.setPixelSize(size);
  }
  const QFontMetricsF metrics(font);
  const QString elided = metrics.elidedText(text, Qt::ElideRight, textRect.width());
  const QPointF at(textRect.left(), rect.top() + metrics.height());
  painter->setFont(font);
  const float offset = l->titleShadowOffset();
  painter->save();
  painter->translate(-offset, -offset);
  painter->setPen(QColor::fromRgba(l->titleShadowColor()));
  painter->drawText(at, elided);
  painter->restore();
  painter->setPen(QColor::fromRgba(l->titleTextColor()));
  painter->drawText(at, elided);
  painter->restore();
}

void MusicSegment::paintOverlay(QPainter *painter, const QRect &rect, const QRect &, float)
{
  if (error() != SegmentNoError || isPaintingSuppressed() || !rect.isValid())
    return;
  if (!m_plotData || !m_plotData->isReady())
    return;
  painter->save();
  painter->translate(rect.topLeft());
  m_plotData->draw(painter, rect.width(), rect.height());
  painter->restore();
}
