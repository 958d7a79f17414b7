#pragma once

#include "engineloadingtask.h"
#include "soundsegment.h"

#include <QList>

// A microphone recording, drawn from the level-meter values taken while it was recorded.
class VoiceSegment : public FileSoundSegment
{
public:
  VoiceSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  VoiceSegment(const QString &filePath, float rangeStart, const QList<float> &meterValues,
               SegmentListener *listener);
  VoiceSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);

  void setProperties(PropertyMap *properties) override;
  bool isLoaded() const override { return true; }
  bool isTimelineContentReady() const override { return !meterValues().isEmpty(); }
  void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;
  void paintOverlay(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;

  // "MeterValues" split at ','; an unreadable part reads 0, an empty text no values.
  QList<float> meterValues() const;
  void setMeterValues(const QList<float> &values);

protected:
  LoadingTask *createLoadingTask() override { return new VoiceLoadingTask(this); }

private:
  void _paintShape(QPainter *painter, int width, int height) const;

  mutable QList<float> m_meterValues;
};
