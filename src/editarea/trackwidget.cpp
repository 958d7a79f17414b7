#include "trackwidget.h"

#include "animationswitch.h"
#include "moviesegmentwidget.h"
#include "musicsegmentwidget.h"
#include "segment.h"
#include "segmentdraggingframewidget.h"
#include "timelinegeometry.h"
#include "usersettings.h"
#include "voicesegmentwidget.h"

#include <QDebug>
#include <QGraphicsOpacityEffect>
#include <QPaintEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>

namespace {
const char SelectedStyle[] = "QPushButton { background-color: rgba(255,255,0,76); }";
const char UnselectedStyle[] = "background-color: transparent";
} // namespace

TrackWidget::TrackWidget(const QRect &geometry, float zoom, QWidget *parent) : QWidget(parent), _zoom(zoom)
{
  setGeometry(geometry);
}

TrackWidget::~TrackWidget()
{
  // A block lifted out for a drag is no child of the row now, but still the row's.
  for (SegmentWidget *block : qAsConst(_segmentWidgets)) {
    if (block->parentWidget() != this) {
      block->hide();
      block->deleteLater();
    }
  }
  qDebug().nospace() << "TrackWidget[" << _tag << "] deleted";
}

SegmentWidget *TrackWidget::addSegment(Segment *segment)
{
  if (!segment)
    return nullptr;
  const QRect geometry(int(Timeline::xForTime(segment->rangeStart(), _zoom) + float(Timeline::screenShortSide())), 0,
                       0, height());
  const QString type = segment->type();
  SegmentWidget *block = nullptr;
  if (type == QLatin1String("MOVIE")) {
    block = new MovieSegmentWidget(geometry, this);
  } else if (type == QLatin1String("MUSIC")) {
    block = new MusicSegmentWidget(geometry, this);
    block->setBackgroundColor(QColor(64, 64, 40));
  } else if (type == QLatin1String("VOICE")) {
    block = new VoiceSegmentWidget(geometry, this);
    block->setBackgroundColor(QColor(37, 44, 63));
  } else {
    block = new SegmentWidget(geometry, this);
    if (type == QLatin1String("TEXT"))
      block->setBackgroundColor(QColor(65, 45, 46));
  }
  block->setSegment(segment);
  block->setLocked(_locked);
  _segmentWidgets.append(block);
  block->show();
  return block;
}

void TrackWidget::removeSegment(Segment *segment, bool animated)
{
  SegmentWidget *block = segmentWidgetForSegment(segment);
  if (!block)
    return;
  if (!animated || !isAnimationEnabled()) {
    _segmentWidgets.removeOne(block);
    delete block;
    return;
  }
  auto *effect = new QGraphicsOpacityEffect(block);
  block->setGraphicsEffect(effect);
  auto *fade = new QPropertyAnimation(effect, "opacity", block);
  fade->setDuration(200);
  fade->setEndValue(0.0);
  QPointer<SegmentWidget> guarded(block);
  connect(fade, &QPropertyAnimation::finished, this, [this, guarded] {
    if (!guarded)
      return;
    _segmentWidgets.removeOne(guarded.data());
    guarded->hide();
    guarded->deleteLater();
  });
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void TrackWidget::clear()
{
  const QList<SegmentWidget *> blocks = _segmentWidgets;
  _segmentWidgets.clear();
  qDeleteAll(blocks);
}

void TrackWidget::removeSegmentWidgetsExcept(const QSet<SegmentWidget *> &keep)
{
  for (int i = _segmentWidgets.size() - 1; i >= 0; --i) {
    SegmentWidget *block = _segmentWidgets.at(i);
    if (keep.contains(block))
      continue;
    _segmentWidgets.removeAt(i);
    delete block;
  }
}

SegmentWidget *TrackWidget::segmentWidgetAt(int index) const
{
  return _segmentWidgets.value(index, nullptr);
}

SegmentWidget *TrackWidget::segmentWidgetForSegment(Segment *segment) const
{
  for (SegmentWidget *block : _segmentWidgets)
    if (block->segment() == segment)
      return block;
  return nullptr;
}

void TrackWidget::setScale(float zoom, bool animated)
{
  _zoom = zoom;
  for (SegmentWidget *block : qAsConst(_segmentWidgets))
    block->setScale(zoom, animated);
}

void TrackWidget::setLocked(bool locked, SegmentWidget *except)
{
  _locked = locked;
  for (SegmentWidget *block : qAsConst(_segmentWidgets))
    if (block != except)
      block->setLocked(locked);
}

float TrackWidget::contentDuration() const
{
  float end = 0;
  for (SegmentWidget *block : _segmentWidgets)
    if (Segment *s = block->segment())
      end = qMax(end, s->rangeStart() + s->duration());
  return end;
}

float TrackWidget::alignTime(float time, Segment *except) const
{
  if (!UserSettings::instance()->autoDragDropAlign())
    return time;
  const float tolerance = 0.25f / _zoom;
  for (SegmentWidget *block : _segmentWidgets) {
    Segment *s = block->segment();
    if (!s || s == except)
      continue;
    const float start = s->rangeStart();
    const float end = start + s->duration();
    if (start - tolerance <= time && time <= start + tolerance)
      return start;
    if (end - tolerance <= time && time <= end + tolerance)
      return end;
  }
  return time;
}

void TrackWidget::showDraggingFrame(Segment *segment, float *time, float duration, const OtherRowsAlign &otherRowsAlign)
{
  float t = *time;
  // A drop at the very start stays there.
  if (t != 0.0f) {
    const float a = alignTime(t, segment);
    const float b = alignTime(t + duration, segment);
    if (a != t) {
      t = a;
    } else if (b != t + duration) {
      t = b - duration;
    } else if (otherRowsAlign) {
      const float c = otherRowsAlign(t, segment, this);
      if (c != t) {
        t = c;
      } else {
        const float d = otherRowsAlign(t + duration, segment, this);
        if (d != t + duration)
          t = d - duration;
      }
    }
  }
  *time = t;
  const QRect frame = Timeline::spanRectInRow(t, duration, _zoom, height());
  if (!_draggingFrame) {
    _draggingFrame = new SegmentDraggingFrameWidget(QColor(255, 255, 0, 204), this);
    _draggingFrame->setStyleSheet(QStringLiteral("QWidget{ background-color: transparent; }"));
    _draggingFrame->show();
  }
  _draggingFrame->setGeometry(frame);
}

void TrackWidget::hideDraggingFrame()
{
  delete _draggingFrame;
  _draggingFrame = nullptr;
}

void TrackWidget::setSelectionRange(float start, float duration)
{
  if (_segmentWidgets.isEmpty())
    return;
  if (!_selectionButton) {
    _selectionButton = new QPushButton(this);
    _selectionButton->setFlat(true);
    _selectionButton->setProperty("tag", 1);
    _selectionButton->setStyleSheet(QString::fromLatin1(SelectedStyle));
    _selectionButton->show();
    connect(_selectionButton, &QPushButton::clicked, this, &TrackWidget::onSelectionWidgetClicked);
  }
  _selectionButton->setGeometry(Timeline::spanRectInRow(start, duration, _zoom, height()));
}

bool TrackWidget::hasSelection() const
{
  return _selectionButton && _selectionButton->property("tag").toInt() == 1;
}

void TrackWidget::removeSelection()
{
  delete _selectionButton;
  _selectionButton = nullptr;
}

void TrackWidget::onSelectionWidgetClicked()
{
  if (!_selectionButton)
    return;
  const int tag = _selectionButton->property("tag").toInt() == 1 ? 0 : 1;
  _selectionButton->setProperty("tag", tag);
  _selectionButton->setStyleSheet(QString::fromLatin1(tag == 1 ? SelectedStyle : UnselectedStyle));
}

void TrackWidget::setBackgroundPixmap(QPixmap *pixmap)
{
  _backgroundPixmap = pixmap;
  update();
}

void TrackWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  if (_backgroundPixmap && !_backgroundPixmap->isNull())
    painter.fillRect(event->rect(), QBrush(*_backgroundPixmap));
  else
    painter.fillRect(event->rect(), Qt::black);
}
