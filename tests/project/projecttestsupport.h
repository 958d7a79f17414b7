#pragma once
// Helpers shared by the project tests: a block stand-in, a segment with scripted virtuals,
// the list invariants.

#include "projectmanager.h"
#include "segment.h"
#include "segmentview.h"

#include <QFile>
#include <QtTest>

inline QByteArray readFile(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FakeSegmentView : public SegmentView
{
public:
  explicit FakeSegmentView(Segment *segment) : m_segment(segment) {}
  Segment *segment() const override { return m_segment; }
  void setActive(bool active, bool animated) override
  {
    if (active != isActive)
      ++changes;
    isActive = active;
    wasAnimated = animated;
  }
  bool isActive = true;
  bool wasAnimated = false;
  int changes = 0;

private:
  Segment *m_segment;
};

class ScriptedSegment : public Segment
{
public:
  ScriptedSegment(int track, float start, float duration) : Segment(nullptr)
  {
    setTrackId(track);
    setRangeStart(start);
    setDuration(duration);
  }
  quint32 audioPartId() const override { return audioPart; }
  bool isLoaded() const override { return loaded; }
  bool isLayer() const override { return layer; }
  QString fileName() const override { return file; }

  quint32 audioPart = 0;
  bool loaded = false;
  bool layer = false;
  QString file;
};

// Every block shows the segment at its index; with sorted, the list is ordered by track, then start.
inline bool checkProjectInvariants(ProjectManager &manager, bool sorted, QString *why)
{
  for (int i = 0; i < manager.segmentCount(); ++i) {
    SegmentView *widget = manager.segmentWidgetAt(i);
    if (widget && widget->segment() != manager.segmentAt(i)) {
      *why = QStringLiteral("block %1 shows another segment").arg(i);
      return false;
    }
    if (sorted && i > 0) {
      const Segment *a = manager.segmentAt(i - 1);
      const Segment *b = manager.segmentAt(i);
      if (a->trackId() > b->trackId() || (a->trackId() == b->trackId() && a->rangeStart() > b->rangeStart())) {
        *why = QStringLiteral("segment %1 (track %2, start %3) comes before (track %4, start %5)")
                   .arg(i - 1).arg(a->trackId()).arg(a->rangeStart()).arg(b->trackId()).arg(b->rangeStart());
        return false;
      }
    }
  }
  const ProjectHistory &h = manager.history();
  if (h.position() < -1 || h.position() > h.count() - 1) {
    *why = QStringLiteral("undo position %1 outside a history of %2").arg(h.position()).arg(h.count());
    return false;
  }
  return true;
}

#define CHECK_PROJECT(manager, sorted) \
  do { \
    QString why_; \
    QVERIFY2(checkProjectInvariants(manager, sorted, &why_), qPrintable(why_)); \
  } while (0)
