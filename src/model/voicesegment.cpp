#include "voicesegment.h"

#include "audioplotdata.h"

#include <QPainter>
#include <QStringList>

namespace {

const QString kMeterValues = QStringLiteral("MeterValues");

} // namespace

VoiceSegment::VoiceSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : FileSoundSegment(other, rangeStart, listener)
{
  startLoading();
}

VoiceSegment::VoiceSegment(const QString &filePath, float rangeStart, const QList<float> &meterValues,
                           SegmentListener *listener)
    : FileSoundSegment(listener)
{
  setType(QStringLiteral("VOICE"));
  setRangeStart(rangeStart);
  setFile(filePath);
  setMeterValues(meterValues);
  startLoading();
}

VoiceSegment::VoiceSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : FileSoundSegment(properties, listener)
{
  setIsNewlyCreated(isNew);
  startLoading();
}

void VoiceSegment::setProperties(PropertyMap *properties)
{
  FileSoundSegment::setProperties(properties);
  m_meterValues.clear(); // the new bag may name other values
}

QList<float> VoiceSegment::meterValues() const
{
  if (!m_meterValues.isEmpty())
    return m_meterValues;
  const QString text = stringValue(*properties(), kMeterValues, QString());
  if (text.isEmpty())
    return m_meterValues;
  const QStringList parts = text.split(QLatin1Char(','));
  for (const QString &part : parts) {
    bool ok = false;
    const float value = part.toFloat(&ok);
    m_meterValues.append(ok ? value : 0.0f);
  }
  return m_meterValues;
}

void VoiceSegment::setMeterValues(const QList<float> &values)
{
  m_meterValues = values;
  QStringList parts;
  parts.reserve(values.size());
  for (float value : values)
    parts.append(QString::number(double(value), 'g', 6));
  setStringValue(*properties(), kMeterValues, parts.join(QLatin1Char(',')));
}

void VoiceSegment::_paintShape(QPainter *painter, int width, int height) const
{
  const QList<float> values = meterValues();
  QVector<float> reach;
  reach.reserve(values.size());
  for (float value : values)
    reach.append(height * value / 2);
  AudioPlotData::fillShape(painter, width, height, reach, reach, QColor(17, 95, 131));
}

void VoiceSegment::paintBlock(QPainter *painter, const QRect &rect, const QRect &, float pixelsPerSecond)
{
  if (paintErrorOrNothing(painter, rect))
    return;
  painter->save();
  painter->translate(rect.left() - trimStart() * pixelsPerSecond, rect.top());
  _paintShape(painter, int(mediaDuration() * pixelsPerSecond), rect.height());
  painter->restore();
}

void VoiceSegment::paintOverlay(QPainter *painter, const QRect &rect, const QRect &, float)
{
  if (error() != SegmentNoError || isPaintingSuppressed() || !rect.isValid())
    return;
  painter->save();
  painter->translate(rect.topLeft());
  _paintShape(painter, rect.width(), rect.height());
  painter->restore();
}
