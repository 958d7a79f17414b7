#include "segmentwidget.h"

#include "animatedlabel.h"
#include "animationswitch.h"
#include "segment.h"
#include "segmenteditingstatebackgroundwidget.h"
#include "timelinegeometry.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QVariantAnimation>

#include <cmath>

namespace {
constexpr int InactiveAlpha = 128;
constexpr int DragAlpha = 77;

quint32 withAlpha(QRgb rgb, int alpha)
{
  return (quint32(alpha) << 24) | (rgb & 0x00FFFFFFu);
}
} // namespace

SegmentWidget::SegmentWidget(const QRect &geometry, QWidget *parent) : QWidget(parent)
{
  static const bool registered = [] {
    qRegisterMetaType<Segment *>();
    qRegisterMetaType<SegmentWidget *>();
    return true;
  }();
  Q_UNUSED(registered)
  setGeometry(geometry);
  _holdTimer.setSingleShot(true);
  _holdTimer.setInterval(300);
  connect(&_holdTimer, &QTimer::timeout, this, &SegmentWidget::_onHoldTimeout);
}

SegmentWidget::~SegmentWidget()
{
  // The background lives in the row; without this the darkened strip would outlive the block.
  delete _background;
}

void SegmentWidget::setTransitionId(int transitionId)
{
  _transitionId = transitionId;
  emit segmentWidgetTransitionIdChanged(this, transitionId);
}

void SegmentWidget::setSelected(bool selected)
{
  _selected = selected;
  update();
}

void SegmentWidget::setBackgroundColor(const QColor &color)
{
  _backgroundColor = color;
  update();
}

void SegmentWidget::_animateTint(quint32 *tint, QRgb rgb, QPointer<QVariantAnimation> &animation, int from, int to,
                                 int ms)
{
  if (animation)
    animation->stop();
  auto *a = new QVariantAnimation(this);
  a->setDuration(ms);
  a->setStartValue(from);
  a->setEndValue(to);
  connect(a, &QVariantAnimation::valueChanged, this, [this, tint, rgb](const QVariant &value) {
    *tint = withAlpha(rgb, value.toInt());
    update();
  });
  animation = a;
  *tint = withAlpha(rgb, from);
  a->start(QAbstractAnimation::DeleteWhenStopped);
}

void SegmentWidget::setActive(bool active, bool animated)
{
  if (active == _active)
    return;
  _active = active;
  if (_inactiveAnimation)
    _inactiveAnimation->stop();
  if (animated && isAnimationEnabled()) {
    _animateTint(&_inactiveTint, qRgb(0, 0, 0), _inactiveAnimation, active ? InactiveAlpha : 0, active ? 0 : InactiveAlpha, 200);
    return;
  }
  _inactiveTint = active ? 0 : withAlpha(qRgb(0, 0, 0), InactiveAlpha);
  update();
}

void SegmentWidget::showLoadingIndicator()
{
  if (_loadingIndicator)
    return;
  _loadingIndicator = new AnimatedLabel(this, QStringLiteral(":/images/loading_hud_dark_small"));
  const int side = height() - 10;
  _loadingIndicator->setGeometry(5, 5, side, side);
  _loadingIndicator->show();
  _loadingIndicator->start(0);
}

void SegmentWidget::hideLoadingIndicator()
{
  delete _loadingIndicator;
  _loadingIndicator = nullptr;
}

QRect SegmentWidget::transitionRect(int transitionId) const
{
  if (!_segment || _segment->duration() <= 0)
    return QRect();
  const float scale = float(width()) / _segment->duration();
  return QRect(qRound(_segment->transitionStart(transitionId) * scale), 0,
               qRound(_segment->transitionDuration(transitionId) * scale), height());
}

float SegmentWidget::widthForDuration(float seconds, float zoom)
{
  return Timeline::widthForDuration(seconds, zoom);
}

QString SegmentWidget::_speedText() const
{
  const float speed = _segment->speed();
  if (speed == 1.0f)
    return QString();
  const int k = int(speed * 100);
  if (k % 100 == 0)
    return QString::asprintf("%dX", int(speed));
  if (k % 50 == 0)
    return QString::asprintf("%.1fX", double(speed));
  return QString::asprintf("%.2fX", double(speed));
}

void SegmentWidget::setScale(float zoom, bool animated)
{
  _zoom = zoom;
  // A media file whose length could not be found has none: its block is drawn at a stand-in
  // length, so that the load error is seen and the block can be selected and removed. The
  // segment keeps its length of 0, and the project file with it.
  constexpr float StandInLength = 2.0f;
  const float length = _segment && _segment->duration() <= 0 && _segment->error() != SegmentNoError
                         ? StandInLength
                         : (_segment ? _segment->duration() : 0.0f);
  const QRect target = _segment ? Timeline::spanRectInRow(_segment->rangeStart(), length, zoom, height()) : QRect();
  if (target != geometry()) {
    _paintWidth = target.width();
    // A move off screen all the way is not animated: a long row would start hundreds of
    // animations nobody sees. One still running would carry the block back to its old place.
    if (animated && isAnimationEnabled() && _rowRectInView().intersects(geometry().united(target))) {
      auto *animation = new QPropertyAnimation(this, "geometry", this);
      animation->setDuration(300);
      animation->setEndValue(target);
      animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
      if (animated)
        for (QPropertyAnimation *running : findChildren<QPropertyAnimation *>(QString(), Qt::FindDirectChildrenOnly))
          running->stop();
      setGeometry(target);
    }
  }
  if (!_segment)
    return;
  _speedLabel = _speedText();
  if (_repaintOnScale && _segment->isTimelineContentReady())
    update();
}

bool SegmentWidget::event(QEvent *event)
{
  // Each block shown asks for its repaint later; a row showing thousands at once would leave
  // as many repaints, each weighed against all the row's blocks. The row repaints the place.
  if (event->type() == QEvent::UpdateLater && parentWidget()) {
    parentWidget()->update(geometry());
    return true;
  }
  return QWidget::event(event);
}

// The part of the row its ancestors leave in view. Not visibleRegion(): that weighs every
// sibling block, and a row closing up moves hundreds of them.
QRect SegmentWidget::_rowRectInView() const
{
  const QWidget *row = parentWidget();
  if (!row || !row->isVisible())
    return QRect();
  QRect rect = row->rect();
  QPoint offset;
  for (const QWidget *w = row; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
    offset += w->pos();
    rect &= w->parentWidget()->rect().translated(-offset);
  }
  return rect;
}

void SegmentWidget::setScaleQuietly(float zoom)
{
  _repaintOnScale = false;
  setScale(zoom, false);
  _repaintOnScale = true;
}

void SegmentWidget::setEditingState(bool editing, bool)
{
  if (editing == _editing)
    return;
  _editing = editing;
  emit segmentWidgetEditingStateChanged(this, editing);
}

void SegmentWidget::toggleEditing()
{
  _doubleClick(nullptr);
}

void SegmentWidget::_showEditingBackground(const QRect &mediaRect, bool animated)
{
  _hideEditingBackground(false);
  _background = new SegmentEditingStateBackgroundWidget(mediaRect, _segment, _zoom, parentWidget());
  if (animated && isAnimationEnabled()) {
    auto *effect = new QGraphicsOpacityEffect(_background);
    effect->setOpacity(0.0);
    _background->setGraphicsEffect(effect);
    _background->show();
    raise();
    auto *fade = new QPropertyAnimation(effect, "opacity", _background);
    fade->setDuration(200);
    fade->setEndValue(1.0);
    connect(fade, &QPropertyAnimation::finished, effect, [effect] { effect->setEnabled(false); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
    return;
  }
  _background->show();
  raise();
}

void SegmentWidget::_hideEditingBackground(bool animated)
{
  if (!_background)
    return;
  if (!animated || !isAnimationEnabled()) {
    delete _background;
    return;
  }
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(_background->graphicsEffect());
  if (!effect) {
    effect = new QGraphicsOpacityEffect(_background);
    effect->setOpacity(1.0);
    _background->setGraphicsEffect(effect);
  }
  effect->setEnabled(true);
  auto *fade = new QPropertyAnimation(effect, "opacity", _background);
  fade->setDuration(200);
  fade->setEndValue(0.0);
  QWidget *background = _background;
  connect(fade, &QPropertyAnimation::finished, background, &QObject::deleteLater);
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

SegmentEditingStateBackgroundWidget *SegmentWidget::_editingBackground() const
{
  return _background;
}

void SegmentWidget::_updateEditingBackground(const QRect &mediaRect)
{
  if (!_background)
    return;
  _background->setScale(_zoom);
  _background->setGeometry(mediaRect);
  _background->update();
}

void SegmentWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  painter.save();
  painter.setOpacity(_dragging && _lift.detached ? 0.4 : 1.0);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect r(0, 0, _paintWidth, height());
  if (_segment && _segment->isTimelineContentReady()) {
    QPainterPath clip;
    clip.addRoundedRect(QRectF(r), 3.0, 3.0);
    painter.setClipPath(clip);
    painter.fillRect(r, _backgroundColor);
    _segment->paintBlock(&painter, r, event->rect(), Timeline::widthForDuration(1.0f, _zoom));
    _paintTransitionBars(painter, r);
    _paintSpeedLabel(painter);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(r), 3.0, 3.0);
  } else {
    painter.fillRect(r, _backgroundColor);
    _paintTransitionBars(painter, r);
  }
  if (_dragging) {
    painter.fillRect(r, QColor::fromRgba(_dragTint));
  } else if (_selected) {
    QPen pen(QColor(255, 255, 0), 4.0);
    if (_inactiveTint != 0) {
      pen.setCapStyle(Qt::FlatCap);
      pen.setDashPattern({0.5, 0.5});
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(r), 3.0, 3.0);
  }
  if (_inactiveTint != 0)
    painter.fillRect(r, QColor::fromRgba(_inactiveTint));
  painter.restore();
}

void SegmentWidget::_paintTransitionBars(QPainter &painter, const QRect &r)
{
  if (!_segment || _segment->duration() <= 0)
    return;
  painter.save();
  painter.setPen(QColor(0, 0, 0, 77));
  painter.setBrush(QColor(27, 190, 243, 52));
  const float scale = float(r.width()) / _segment->duration();
  for (int i = 0; i < _segment->transitionCount(); ++i) {
    const int id = _segment->transitionIdAt(i);
    painter.drawRect(QRect(qRound(_segment->transitionStart(id) * scale), r.y(),
                           qRound(_segment->transitionDuration(id) * scale), r.height()));
  }
  painter.restore();
}

void SegmentWidget::_paintSpeedLabel(QPainter &painter)
{
  if (_segment->speed() == 1.0f || _speedLabel.isEmpty())
    return;
  QFont font = painter.font();
  font.setBold(true);
  font.setItalic(true);
  font.setPixelSize(qMax(1, int(std::floor(height() / 34.0 * 9))));
  painter.setFont(font);
  painter.setPen(QColor(0, 0, 0, 192));
  painter.drawText(QPointF(4, height() - 5), _speedLabel);
  painter.setPen(QColor(255, 255, 255, 192));
  painter.drawText(QPointF(5, height() - 5), _speedLabel);
}
