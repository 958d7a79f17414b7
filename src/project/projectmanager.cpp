#include "projectmanager.h"

#include "exportframesize.h"
#include "segment.h"
#include "segmentview.h"
#include "util.h"

#include <QDebug>

namespace {

constexpr float kStartTolerance = 1.0f / 30.0f;

struct AspectEntry
{
  float width;
  float height;
};
// By resolution index; anything outside 1..5 is 4:3.
constexpr AspectEntry kAspects[] = {{4, 3}, {16, 9}, {1, 1}, {5, 4}, {19.5f, 9}, {21, 9}};

const char *const kInspectorAreaSize = "L1_InspectorAreaSize";
const char *const kMediaAreaHidden = "L1_MediaAreaHidden";
const char *const kMediaAreaSize = "L1_MediaAreaSize";
const char *const kPreviewAreaSize = "L1_PreviewAreaSize";
const char *const kPreviewQuality = "PreviewQuality";

} // namespace

ProjectManager::ProjectManager()
{
  ProjectContext::setCurrent(this);
}

ProjectManager::~ProjectManager()
{
  if (ProjectContext::current() == this)
    ProjectContext::setCurrent(nullptr);
  std::lock_guard<std::mutex> lock(m_mutex);
  qDeleteAll(m_segments);
  m_segments.clear();
  m_segmentWidgets.clear();
}

void ProjectManager::setModified(bool modified)
{
  if (m_modified.exchange(modified) != modified)
    qDebug("modified = %d", modified ? 1 : 0);
}

float ProjectManager::startTime()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return 0.0f;
}

int ProjectManager::_layoutValue(const char *name) const
{
  return m_layout.value(QLatin1String(name), -1);
}

int ProjectManager::inspectorAreaSize() const
{
  return _layoutValue(kInspectorAreaSize);
}

void ProjectManager::setInspectorAreaSize(int size)
{
  m_layout.insert(QLatin1String(kInspectorAreaSize), size);
}

bool ProjectManager::isMediaAreaHidden() const
{
  return m_layout.value(QLatin1String(kMediaAreaHidden), 0) != 0;
}

void ProjectManager::setMediaAreaHidden(bool hidden)
{
  m_layout.insert(QLatin1String(kMediaAreaHidden), hidden ? 1 : 0);
}

int ProjectManager::mediaAreaSize() const
{
  return _layoutValue(kMediaAreaSize);
}

void ProjectManager::setMediaAreaSize(int size)
{
  m_layout.insert(QLatin1String(kMediaAreaSize), size);
}

int ProjectManager::previewAreaSize() const
{
  return _layoutValue(kPreviewAreaSize);
}

void ProjectManager::setPreviewAreaSize(int size)
{
  m_layout.insert(QLatin1String(kPreviewAreaSize), size);
}

int ProjectManager::previewQuality() const
{
  return _layoutValue(kPreviewQuality);
}

void ProjectManager::setPreviewQuality(int quality)
{
  m_layout.insert(QLatin1String(kPreviewQuality), quality);
}

int ProjectManager::_insertIndex(int track, float start) const
{
  // The list is ordered by track, then start: the place is after the last segment that does
  // not come later, found by halving. Each probe parses the two values once.
  int low = 0;
  int high = m_segments.size();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    const Segment *s = m_segments.at(middle);
    const int t = s->trackId();
    if (t < track || (t == track && !(s->rangeStart() > start)))
      low = middle + 1;
    else
      high = middle;
  }
  return low;
}

void ProjectManager::insertSegment(Segment *segment, SegmentView *widget)
{
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int index = _insertIndex(segment->trackId(), segment->rangeStart());
    m_segments.insert(index, segment);
    m_segmentWidgets.insert(index, widget);
    // Those after it moved by one place: their entries are put right when next looked up.
    if (!m_indexOfId.isEmpty()) {
      m_indexOfId.insert(segment->id(), index);
      if (segment->audioPartId() != 0)
        m_indexOfId.insert(segment->audioPartId(), index);
    }
  }
  setModified(true);
}

void ProjectManager::appendSegment(Segment *segment, SegmentView *widget)
{
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_segments.append(segment);
    m_segmentWidgets.append(widget);
  }
  setModified(true);
}

void ProjectManager::removeSegment(Segment *segment)
{
  int index;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    index = m_segments.indexOf(segment);
    if (index < 0)
      return;
    m_segments.removeAt(index);
    m_segmentWidgets.removeAt(index);
    m_indexOfId.clear();
  }
  setModified(true);
}

void ProjectManager::removeSegmentAt(int index)
{
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= m_segments.size())
      return;
    m_segments.removeAt(index);
    m_segmentWidgets.removeAt(index);
    m_indexOfId.clear();
  }
  setModified(true);
}

void ProjectManager::clearSegments()
{
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_segments.clear();
    m_segmentWidgets.clear();
    m_indexOfId.clear();
  }
  setModified(true);
}

void ProjectManager::setSegmentWidgetAt(SegmentView *widget, int index)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index >= 0 && index < m_segmentWidgets.size())
    m_segmentWidgets[index] = widget;
}

void ProjectManager::resetTrackIds()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (Segment *segment : qAsConst(m_segments))
    segment->setTrackId(0);
}

int ProjectManager::segmentCount()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_segments.size();
}

Segment *ProjectManager::segmentAt(int index)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_segments.value(index, nullptr);
}

SegmentView *ProjectManager::segmentWidgetAt(int index)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_segmentWidgets.value(index, nullptr);
}

SegmentView *ProjectManager::segmentWidgetOf(Segment *segment)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_segmentWidgets.value(m_segments.indexOf(segment), nullptr);
}

Segment *ProjectManager::firstSegment() const
{
  return m_segments.isEmpty() ? nullptr : m_segments.first();
}

int ProjectManager::indexOfSegmentId(quint32 id)
{
  // Thousands of segments report their loading one by one: a scan per report would cost the
  // square of the count.
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto matches = [this, id](int i) {
    const Segment *s = m_segments.at(i);
    return s->id() == id || (s->audioPartId() != 0 && s->audioPartId() == id);
  };
  const auto found = m_indexOfId.find(id);
  if (found != m_indexOfId.end()) {
    // Inserts since the entry was made moved the segment by as many places at most: look
    // outwards from where it was.
    const int was = found.value();
    for (int distance = 0; distance <= m_segments.size(); ++distance) {
      for (const int i : {was + distance, was - distance}) {
        if (i >= 0 && i < m_segments.size() && matches(i)) {
          found.value() = i;
          return i;
        }
      }
    }
    // The search above saw every place: the segment is gone.
    m_indexOfId.erase(found);
    return -1;
  }
  if (m_indexOfId.isEmpty() && !m_segments.isEmpty()) {
    for (int i = m_segments.size() - 1; i >= 0; --i) {
      const Segment *s = m_segments.at(i);
      m_indexOfId.insert(s->id(), i);
      if (s->audioPartId() != 0)
        m_indexOfId.insert(s->audioPartId(), i);
    }
    const int index = m_indexOfId.value(id, -1);
    if (index >= 0 && matches(index))
      return index;
  }
  // An id learnt since (a movie's sound part), or none of this project.
  for (int i = 0; i < m_segments.size(); ++i) {
    if (matches(i)) {
      m_indexOfId.insert(id, i);
      return i;
    }
  }
  return -1;
}

int ProjectManager::indexOfSegmentUId(const QString &uid)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < m_segments.size(); ++i)
    if (m_segments.at(i)->uid() == uid)
      return i;
  return -1;
}

int ProjectManager::segmentCountOnTrack(int track)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  int count = 0;
  for (const Segment *segment : qAsConst(m_segments))
    count += segment->trackId() == track ? 1 : 0;
  return count;
}

int ProjectManager::layerSegmentIds(quint32 *out)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  int count = 0;
  for (const Segment *segment : qAsConst(m_segments))
    if (segment->isLayer())
      out[count++] = segment->id();
  return count;
}

bool ProjectManager::isFileUsedByOtherSegment(const QString &fileName, Segment *except)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const Segment *segment : qAsConst(m_segments))
    if (segment != except && segment->fileName() == fileName)
      return true;
  return false;
}

void ProjectManager::setSegmentWidgetsActive(bool active, Segment *except, bool animated)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (SegmentView *widget : qAsConst(m_segmentWidgets))
    if (widget && widget->segment() != except)
      widget->setActive(active, animated);
}

SegmentView *ProjectManager::segmentWidgetAtTime(float time, int track)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < m_segments.size(); ++i) {
    const Segment *s = m_segments.at(i);
    const float start = s->rangeStart();
    if (s->trackId() == track && start <= time && time < start + s->duration())
      return m_segmentWidgets.at(i);
  }
  return nullptr;
}

// Forward lookups start from the project duration, backward ones from -1. Inclusive ones
// accept a start at the time and keep the last of equal starts; strict ones the first.
Segment *ProjectManager::_nearestStart(float time, int track, bool forward, bool inclusive) const
{
  const int sign = forward ? 1 : -1;
  float best = forward ? m_duration : -1.0f;
  Segment *found = nullptr;
  for (Segment *segment : m_segments) {
    if (track != 0 && segment->trackId() != track)
      continue;
    const float start = segment->rangeStart();
    const bool candidate = sign * Util::compareWithTolerance(start, time, kStartTolerance) >= (inclusive ? 0 : 1);
    const bool better = sign * Util::compareWithTolerance(start, best, kStartTolerance) <= (inclusive ? 0 : -1);
    if (candidate && better) {
      best = start;
      found = segment;
    }
  }
  return found;
}

Segment *ProjectManager::segmentStartingAtOrAfter(float time, int track) const
{
  return _nearestStart(time, track, true, true);
}

Segment *ProjectManager::segmentStartingAfter(float time, int track) const
{
  return _nearestStart(time, track, true, false);
}

Segment *ProjectManager::segmentStartingAtOrBefore(float time, int track) const
{
  return _nearestStart(time, track, false, true);
}

Segment *ProjectManager::segmentStartingBefore(float time, int track) const
{
  return _nearestStart(time, track, false, false);
}

void ProjectManager::updateDuration()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  float end = 0;
  for (const Segment *segment : qAsConst(m_segments)) {
    const float duration = segment->duration();
    const float e = segment->rangeStart() + duration;
    if (duration > 0 && e > end)
      end = e;
  }
  m_duration = end;
}

bool ProjectManager::allSegmentsLoaded(QPoint *counts)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  int ready = 0;
  for (const Segment *segment : qAsConst(m_segments))
    ready += segment->isLoaded() ? 1 : 0;
  if (counts)
    *counts = QPoint(ready, m_segments.size());
  return ready >= m_segments.size();
}

QSizeF ProjectManager::aspectSize() const
{
  const AspectEntry entry = kAspects[m_resolution >= 1 && m_resolution <= 5 ? m_resolution : 0];
  return m_direction ? QSizeF(entry.width, entry.height) : QSizeF(entry.height, entry.width);
}

float ProjectManager::aspectRatio() const
{
  const QSizeF size = aspectSize();
  return float(size.width()) / float(size.height());
}

QSize ProjectManager::previewVideoSize(int quality) const
{
  const QSizeF size = aspectSize();
  return exportFrameSize(float(size.width()), float(size.height()), quality >= 0 && quality <= 3 ? quality : 1);
}

QSize ProjectManager::outputVideoSize(int index) const
{
  const QSizeF size = aspectSize();
  return exportFrameSize(float(size.width()), float(size.height()), index);
}
