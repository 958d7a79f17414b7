// Copies of segments for splits, and the absolute transition times that survive a trim.

#include "mainwindow.h"

#include "avengine.h"
#include "drawingsegment.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "textsegment.h"
#include "voicesegment.h"

#include <QFile>
#include <QFileInfo>

Segment *MainWindow::_cloneSegment(Segment *segment, float start)
{
  if (!segment)
    return nullptr;
  const QString type = segment->type();
  if (type == QLatin1String("MOVIE"))
    return new MovieSegment(segment, start, this);
  if (type == QLatin1String("MUSIC"))
    return new MusicSegment(segment, start, this);
  if (type == QLatin1String("VOICE"))
    return new VoiceSegment(segment, start, this);
  if (type == QLatin1String("IMAGE")) {
    auto *copy = new ImageSegment(segment, static_cast<ImageSegment *>(segment)->filePath(), start, this);
    copy->setDuration(segment->duration());
    return copy;
  }
  if (type == QLatin1String("TEXT")) {
    auto *copy = new TextSegment(segment, start, this);
    copy->setDuration(segment->duration());
    return copy;
  }
  if (type == QLatin1String("DRAWING")) {
    // Each drawing owns its file: editing one piece must not repaint the other.
    const QString source = static_cast<DrawingSegment *>(segment)->filePath();
    const QString target = DrawingSegment::newDrawingImagePath(QFileInfo(source).path());
    if (target.isEmpty() || !QFile::copy(source, target))
      return nullptr;
    auto *copy = new DrawingSegment(segment, target, start, this);
    copy->setDuration(segment->duration());
    return copy;
  }
  return nullptr;
}

QList<QPair<float, float>> MainWindow::_absoluteTransitionTimes(Segment *segment)
{
  QList<QPair<float, float>> times;
  const int count = segment->transitionCount();
  for (int id = 1; id <= count; ++id)
    times.append({segment->rangeStart() + segment->transitionStart(id), segment->transitionDuration(id)});
  return times;
}

void MainWindow::_updateTransitionTimes(const QList<QPair<float, float>> &times, Segment *segment)
{
  const float length = segment->duration();
  if (length <= 0)
    return;
  const int count = qMin(times.size(), segment->transitionCount());
  for (int id = 1; id <= count; ++id) {
    // Times are stored as fractions of the length: put them back where they were on the
    // timeline, kept inside what is left of the segment.
    const float start = qBound(0.0f, times.at(id - 1).first - segment->rangeStart(), length);
    const float duration = qBound(0.0f, times.at(id - 1).second, length - start);
    segment->setTransitionStart(id, start);
    segment->setTransitionDuration(id, duration);
    // The engine holds fractions of the old length: without this it plays them elsewhere.
    _sendTransitionTimesToEngine(segment, id);
  }
}

void MainWindow::_sendTransitionTimesToEngine(Segment *segment, int transitionId)
{
  const float length = segment->duration();
  if (!_engine || length <= 0)
    return;
  const float start = segment->transitionStart(transitionId) / length;
  const float duration = segment->transitionDuration(transitionId) / length;
  for (quint32 id : {segment->id(), segment->audioPartId()}) {
    if (!id)
      continue;
    _engine->setTransitionStart(id, uint32_t(transitionId), start);
    _engine->setTransitionDuration(id, uint32_t(transitionId), duration);
  }
}
