#include "fakesegmentlistener.h"

#include "segment.h"

QList<QPair<Segment *, int>> FakeSegmentListener::stateChanges() const
{
  QMutexLocker lock(&m_mutex);
  return m_stateChanges;
}

QList<int> FakeSegmentListener::statesOf(const Segment *segment) const
{
  QMutexLocker lock(&m_mutex);
  QList<int> states;
  for (const auto &change : m_stateChanges)
    if (change.first == segment)
      states.append(change.second);
  return states;
}

void FakeSegmentListener::segmentStateChanged(Segment *segment, int state)
{
  QMutexLocker lock(&m_mutex);
  m_stateChanges.append({segment, state});
}

void FakeSegmentListener::segmentAudioPlotDataDidReady(Segment *segment)
{
  QMutexLocker lock(&m_mutex);
  plotReady.append(segment);
}

int FakeSegmentListener::videoThumbnailCount(Segment *segment)
{
  return segment->type() == QLatin1String("MOVIE") ? engineThumbnails.value(segment->id()).size() : 0;
}

QPixmap *FakeSegmentListener::videoThumbnail(Segment *segment, int index)
{
  const QList<QPixmap> thumbnails = engineThumbnails.value(segment->id());
  if (segment->type() != QLatin1String("MOVIE") || index < 0 || index >= thumbnails.size())
    return nullptr;
  return new QPixmap(thumbnails.at(index));
}

float FakeSegmentListener::videoDuration(Segment *segment)
{
  return segment->type() == QLatin1String("MOVIE") ? videoDurations.value(segment->id()) : 0;
}

float FakeSegmentListener::audioDuration(Segment *segment)
{
  const QString type = segment->type();
  if (type == QLatin1String("MOVIE"))
    return audioDurations.value(segment->audioPartId());
  if (type == QLatin1String("MUSIC") || type == QLatin1String("VOICE"))
    return audioDurations.value(segment->id());
  return 0;
}

QSizeF FakeSegmentListener::videoSize(Segment *segment)
{
  if (segment->type() != QLatin1String("MOVIE"))
    return QSizeF();
  return videoSizes.value(segment->id(), QSizeF());
}

QString FakeSegmentListener::audioTitle(Segment *segment)
{
  return segment->type() == QLatin1String("MUSIC") ? titles.value(segment->id()) : QString();
}

QString FakeSegmentListener::audioArtist(Segment *segment)
{
  return segment->type() == QLatin1String("MUSIC") ? artists.value(segment->id()) : QString();
}

void FakeSegmentListener::setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap)
{
  if (segment->type() == QLatin1String("MOVIE"))
    thumbnailCache[segment->uid()].insert(index, pixmap);
}

QPixmap *FakeSegmentListener::cachedVideoThumbnail(Segment *segment, int index)
{
  if (segment->type() != QLatin1String("MOVIE"))
    return nullptr;
  auto set = thumbnailCache.find(segment->uid());
  if (set == thumbnailCache.end())
    return nullptr;
  auto it = set->find(index);
  return it == set->end() ? nullptr : &it.value();
}

int FakeSegmentListener::cachedVideoThumbnailCount(Segment *segment)
{
  return segment->type() == QLatin1String("MOVIE") ? thumbnailCache.value(segment->uid()).size() : 0;
}
