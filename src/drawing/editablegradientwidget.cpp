#include "editablegradientwidget.h"

#include "dialogprovider.h"
#include "popupcolormatrixwidget.h"
#include "util.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

EditableGradientWidget::EditableGradientWidget(QColor startColor, QColor endColor, QPointF startLocation,
                                               QPointF endLocation, bool radial, QWidget *parent)
    : QWidget(parent), _startColor(startColor), _endColor(endColor), _startLocation(startLocation),
      _endLocation(endLocation), _radial(radial)
{
  _startHandle = _makeHandle();
  _endHandle = _makeHandle();
  _checkerBrush = QBrush(QPixmap(":/images/drawing/hollow_back"));
  _checkerBrush.setTransform(QTransform::fromScale(0.5, 0.5));
}

QLabel *EditableGradientWidget::_makeHandle()
{
  auto *handle = new QLabel(this);
  handle->resize(30, 30);
  handle->setScaledContents(true);
  handle->setPixmap(QPixmap(":/images/drawing/gradientPoint"));
  handle->setStyleSheet("background: transparent;");
  // The widget itself finds the handle under a press, with a margin around it.
  handle->setAttribute(Qt::WA_TransparentForMouseEvents);
  return handle;
}

void EditableGradientWidget::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  painter.fillRect(rect(), _checkerBrush);
  const QPointF s(width() * _startLocation.x(), height() * _startLocation.y());
  const QPointF e(width() * _endLocation.x(), height() * _endLocation.y());
  QGradient gradient = _radial ? QGradient(QRadialGradient(s, QLineF(s, e).length())) : QGradient(QLinearGradient(s, e));
  gradient.setColorAt(0, _startColor);
  gradient.setColorAt(1, _endColor);
  painter.fillRect(rect(), gradient);
}

void EditableGradientWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _placeHandles();
}

void EditableGradientWidget::_placeHandles()
{
  Util::moveWidgetCenterTo(_startHandle, qRound(width() * _startLocation.x()), qRound(height() * _startLocation.y()));
  Util::moveWidgetCenterTo(_endHandle, qRound(width() * _endLocation.x()), qRound(height() * _endLocation.y()));
}

void EditableGradientWidget::_updateLocation(QLabel *handle)
{
  const QPoint center = Util::widgetCenter(handle);
  const QPointF location(qreal(center.x()) / width(), qreal(center.y()) / height());
  (handle == _startHandle ? _startLocation : _endLocation) = location;
}

void EditableGradientWidget::mousePressEvent(QMouseEvent *event)
{
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPoint pos = event->pos();
  const auto grabs = [pos](QLabel *handle) { return handle->geometry().adjusted(-10, -10, 10, 10).contains(pos); };
  _draggedHandle = grabs(_startHandle) ? _startHandle : grabs(_endHandle) ? _endHandle : nullptr;
  if (!_draggedHandle)
    return;
  _pressCenter = Util::widgetCenter(_draggedHandle);
  _pressGlobalPos = event->globalPos();
  _moved = false;
}

void EditableGradientWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_draggedHandle)
    return;
  const QPoint target = _pressCenter + (event->globalPos() - _pressGlobalPos);
  const QPoint center(qBound(0, target.x(), width()), qBound(0, target.y(), height()));
  _moved = true;
  Util::moveWidgetCenterTo(_draggedHandle, center);
  _updateLocation(_draggedHandle);
  update();
}

void EditableGradientWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_draggedHandle || event->button() != Qt::LeftButton)
    return;
  QLabel *handle = _draggedHandle;
  _draggedHandle = nullptr;
  _updateLocation(handle);
  update();
  if (_moved)
    _emitChange();
  else
    _openHandleMenu(handle);
}

void EditableGradientWidget::_emitChange()
{
  emit editableGradientWidgetValueDidChange(this, _startColor, _endColor, _startLocation, _endLocation);
}

QColor &EditableGradientWidget::_colorOf(QLabel *handle)
{
  return handle == _startHandle ? _startColor : _endColor;
}

QColor &EditableGradientWidget::_otherColorOf(QLabel *handle)
{
  return handle == _startHandle ? _endColor : _startColor;
}

void EditableGradientWidget::_openHandleMenu(QLabel *handle)
{
  _menuHandle = handle;
  QMenu menu(this);
  menu.setWindowFlags(menu.windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu.setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(&menu);
  QAction *choose = menu.addAction(tr("Choose Color"));
  QAction *none = menu.addAction(tr("No Color"));
  choose->setShortcut(QKeySequence());
  none->setShortcut(QKeySequence());
  QAction *chosen = DialogProvider::instance()->execMenu(&menu, mapToGlobal(Util::widgetCenter(handle)));
  if (chosen == none) {
    // A fade to transparent in the other end's hue.
    QColor color = _otherColorOf(handle);
    color.setAlpha(0);
    _colorOf(handle) = color;
    update();
    _emitChange();
  } else if (chosen == choose) {
    _chooseColor();
  }
}

void EditableGradientWidget::_chooseColor()
{
  QWidget *parent = nullptr;
  emit editableGradientWidgetGetPopupParent(this, parent);
  if (!parent)
    parent = window();
  if (_colorPopup)
    _colorPopup->dismiss();
  _colorPopup = new PopupColorMatrixWidget(parent);
  connect(_colorPopup, &CommonPopup::dismissed, this, &EditableGradientWidget::onPopupColorMatrixWidgetDismissed);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupColorSelected, this,
          &EditableGradientWidget::onPopupColorMatrixWidgetColorSelected);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupMoreColorNeeded, this,
          &EditableGradientWidget::onPopupColorMatrixWidgetMoreColorNeeded);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupColorPickingImageNeeded, this,
          &EditableGradientWidget::onPopupColorMatrixWidgetColorPickingImageNeeded);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupGetPlaybackAreaFrame, this,
          &EditableGradientWidget::onPopupColorMatrixWidgetGetPlaybackAreaFrame);
  const QPoint anchor = parent->mapFromGlobal(mapToGlobal(Util::widgetCenter(_menuHandle)));
  _colorPopup->showPopupAt(parent, anchor, true);
}

void EditableGradientWidget::onPopupColorMatrixWidgetDismissed(CommonPopup *popup)
{
  if (popup == _colorPopup)
    _colorPopup = nullptr;
}

void EditableGradientWidget::onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *, QColor color)
{
  _applyChosenColor(color);
}

void EditableGradientWidget::onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup)
{
  if (!_menuHandle)
    return;
  const QColor color = DialogProvider::instance()->getColor(_colorOf(_menuHandle), this, QString());
  if (!color.isValid())
    return;
  if (popup)
    popup->pushRecentColor(color);
  _applyChosenColor(color);
}

void EditableGradientWidget::_applyChosenColor(const QColor &color)
{
  if (!_menuHandle)
    return;
  _colorOf(_menuHandle) = color;
  // A transparent end follows the hue of the other.
  QColor &other = _otherColorOf(_menuHandle);
  if (other.alpha() == 0) {
    other = color;
    other.setAlpha(0);
  }
  update();
  if (_colorPopup) {
    PopupColorMatrixWidget *popup = _colorPopup;
    _colorPopup = nullptr;
    popup->dismiss();
  }
  _emitChange();
}

void EditableGradientWidget::onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *, QImage *image)
{
  emit editableGradientWidgetColorPickingImageNeeded(this, image);
}

void EditableGradientWidget::onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *, QRect *rect)
{
  emit editableGradientWidgetGetPlaybackAreaFrameInWidget(this, rect, this);
}
