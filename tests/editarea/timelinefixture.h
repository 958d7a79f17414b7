#pragma once
// A stand-in editor window for the timeline tests: a QMainWindow whose object name contains
// "MainWindow" (dragged blocks and rows lift into its central widget), holding an edit
// area with its content widget, and segments of every type made without an engine.

#include "editscrollarea.h"
#include "segment.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class TrackWidget;
class SegmentWidget;

struct TimelineWindow
{
  QMainWindow window;
  EditScrollArea *area = nullptr;
  std::vector<std::unique_ptr<Segment>> segments;

  explicit TimelineWindow(int width = 1000, int height = 400);

  // S: the screen's short side, by which rows overhang the content.
  static int screenSide();
  // A segment of the type ("MOVIE", "IMAGE", "TEXT", "DRAWING", "MUSIC", "VOICE") at start
  // for duration timeline seconds, owned by the window; nothing loads.
  Segment *makeSegment(const QString &type, float start, float duration, float speed = 1.0f);
  // A row holding blocks for the segments, scaled and connected to the area.
  TrackWidget *addTrack(const QList<Segment *> &segments, float duration = 10);
  // A row holding one block for a new segment; the block.
  SegmentWidget *addBlock(const QString &type, float start, float duration, float speed = 1.0f);
  // The block's rectangle in the area's viewport.
  static QRect rectInViewport(SegmentWidget *block, EditScrollArea *area);
};
