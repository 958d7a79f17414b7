#include "popupslidercolorshadowwidget.h"

#include "popupsliderform.h"
#include "util.h"

#include <QCoreApplication>
#include <QGraphicsDropShadowEffect>
#include <QIcon>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int offsetReportMs = 350;
// The square's centre stays this far inside the panel.
constexpr int edgeInset = 10;

const char *const moveButtonStyle =
  "QPushButton:pressed {background-color: rgb(25,26,28); border: none; border-radius: 10px;}";
const char *const backStyle = "QWidget {background-color: rgb(54,200,255);}";
const char *const squareStyle =
  "QWidget {background-color: white;} QWidget:disabled {background-color: rgb(128,128,128);}";

QWidget *shadowPart(const char *name, QWidget *parent)
{
  auto *widget = new QWidget(parent);
  widget->setObjectName(name);
  widget->setFixedSize(100, 80);
  widget->setAttribute(Qt::WA_StyledBackground, true);
  return widget;
}
} // namespace

PopupSliderColorShadowWidget::PopupSliderColorShadowWidget(QWidget *parent)
  : CommonSliderColorPopup(parent), _form(new PopupSliderForm)
{
  _form->setupUi(this, "PopupSliderColorShadowWidget", 4);
  _form->addRow(0, true, 0);
  _form->addRow(1, false, 0);
  _buildPad();
  adoptForm(*_form);
  _offsetReportTimer.setSingleShot(true);
  _offsetReportTimer.setInterval(offsetReportMs);
  connect(&_offsetReportTimer, &QTimer::timeout, this, [this] { emit shadowOffsetChanged(this, shadowOffset()); });
}

PopupSliderColorShadowWidget::~PopupSliderColorShadowWidget() = default;

void PopupSliderColorShadowWidget::_buildPad()
{
  _pad = new QWidget(_form->mainWidget);
  _pad->setObjectName("shadowPanelWidget");
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setVerticalStretch(3);
  _pad->setSizePolicy(policy);
  _form->verticalLayout->addWidget(_pad);

  _back = shadowPart("shadowBackWidget", _pad);
  _back->hide();
  const struct
  {
    const char *name, *icon;
    QSize size;
  } buttons[] = {{"shadowMoveUpButton", ":/images/move_up", {40, 30}},
                 {"shadowMoveDownButton", ":/images/move_down", {40, 30}},
                 {"shadowMoveLeftButton", ":/images/move_left", {30, 40}},
                 {"shadowMoveRightButton", ":/images/move_right", {30, 40}}};
  for (int i = 0; i < 4; ++i) {
    auto *button = new QPushButton(_pad);
    button->setObjectName(buttons[i].name);
    button->setFixedSize(buttons[i].size);
    button->setFlat(true);
    button->setIcon(QIcon(buttons[i].icon));
    button->setIconSize(QSize(24, 24));
    _moveButtons[i] = button;
  }
  // On the panel rather than the pad, so it can go anywhere and lies above the controls.
  _square = shadowPart("shadowTopWidget", _form->mainWidget);
  _square->raise();
  _padShadow = new QGraphicsDropShadowEffect(_square);
  _padShadow->setColor(QColor(54, 200, 255, 255));
  _square->setGraphicsEffect(_padShadow);
}

// --- Values ---

void PopupSliderColorShadowWidget::_setValues(float value, const QColor &color, const QSizeF &offset, float min,
                                              float max, float step, const QString &label2, float value2, float min2,
                                              float max2, float step2)
{
  setRowValues({value, min, max, step}, color, {label2, value2, min2, max2, step2});
  setShadowOffset(offset);
  setSwitchActive(true);
}

void PopupSliderColorShadowWidget::embedWithValues(QWidget *container, const QString &title, float value,
                                                   const QColor &color, const QSizeF &offset, float min, float max,
                                                   float step, const QString &label2, float value2, float min2,
                                                   float max2, float step2)
{
  _setValues(value, color, offset, min, max, step, label2, value2, min2, max2, step2);
  embedInWidget(container, title);
}

void PopupSliderColorShadowWidget::showPopupWithValues(QWidget *parent, const QString &title, const QPoint &anchor,
                                                       float value, const QColor &color, const QSizeF &offset,
                                                       float min, float max, float step, const QString &label2,
                                                       float value2, float min2, float max2, float step2)
{
  _setValues(value, color, offset, min, max, step, label2, value2, min2, max2, step2);
  showPopup(parent, title, anchor);
}

void PopupSliderColorShadowWidget::setShadowOffset(const QSizeF &offset)
{
  _padShadow->setOffset(offset.width(), offset.height());
  if (_embedded)
    _postResize();
}

QSizeF PopupSliderColorShadowWidget::shadowOffset() const
{
  const QPointF offset = _padShadow->offset();
  return QSizeF(offset.x(), offset.y());
}

void PopupSliderColorShadowWidget::_setOpacity(float value)
{
  QColor color = _padShadow->color();
  color.setAlphaF(value);
  _padShadow->setColor(color);
}

void PopupSliderColorShadowWidget::_setBlurRadius(float value)
{
  _padShadow->setBlurRadius(8 * value);
}

void PopupSliderColorShadowWidget::setValue(float value)
{
  CommonSliderColorPopup::setValue(value);
  _setOpacity(value);
}

void PopupSliderColorShadowWidget::setValue2(float value)
{
  CommonSliderColorPopup::setValue2(value);
  _setBlurRadius(value);
}

void PopupSliderColorShadowWidget::onShadowOpacityValueChanging(CommonSliderColorPopup *, float value)
{
  _setOpacity(value);
}

void PopupSliderColorShadowWidget::onShadowOpacityValueChanged(CommonSliderColorPopup *, float value)
{
  _setOpacity(value);
}

void PopupSliderColorShadowWidget::onShadowBlurRadiusValueChanging(CommonSliderColorPopup *, float value)
{
  _setBlurRadius(value);
}

void PopupSliderColorShadowWidget::onShadowBlurRadiusValueChanged(CommonSliderColorPopup *, float value)
{
  _setBlurRadius(value);
}

void PopupSliderColorShadowWidget::setPopupEnabled(bool enabled)
{
  CommonSliderColorPopup::setPopupEnabled(enabled);
  const bool padEnabled = enabled && isMainValueActive() && isSwitchActive();
  for (QPushButton *button : _moveButtons)
    button->setEnabled(padEnabled);
  _square->setEnabled(padEnabled);
}

void PopupSliderColorShadowWidget::initialize()
{
  CommonSliderColorPopup::initialize();
  _back->setStyleSheet(backStyle);
  _square->setStyleSheet(squareStyle);
  void (PopupSliderColorShadowWidget::*handlers[])() = {&PopupSliderColorShadowWidget::onShadowMoveUpButtonClicked,
                                                     &PopupSliderColorShadowWidget::onShadowMoveDownButtonClicked,
                                                     &PopupSliderColorShadowWidget::onShadowMoveLeftButtonClicked,
                                                     &PopupSliderColorShadowWidget::onShadowMoveRightButtonClicked};
  for (int i = 0; i < 4; ++i) {
    _moveButtons[i]->setStyleSheet(moveButtonStyle);
    addDisabledIcon(_moveButtons[i]);
    connect(_moveButtons[i], &QPushButton::clicked, this, handlers[i], Qt::UniqueConnection);
  }
  connect(this, &CommonSliderColorPopup::sliderColorPopupValueChanging, this,
          &PopupSliderColorShadowWidget::onShadowOpacityValueChanging, Qt::UniqueConnection);
  connect(this, &CommonSliderColorPopup::sliderColorPopupValueChanged, this,
          &PopupSliderColorShadowWidget::onShadowOpacityValueChanged, Qt::UniqueConnection);
  connect(this, &CommonSliderColorPopup::sliderColorPopupValue2Changing, this,
          &PopupSliderColorShadowWidget::onShadowBlurRadiusValueChanging, Qt::UniqueConnection);
  connect(this, &CommonSliderColorPopup::sliderColorPopupValue2Changed, this,
          &PopupSliderColorShadowWidget::onShadowBlurRadiusValueChanged, Qt::UniqueConnection);
}

// --- Pad layout ---

void PopupSliderColorShadowWidget::_layoutPad()
{
  // The panel's layout may not have run yet for its current size (hidden, or just resized).
  if (QLayout *layout = _form->mainWidget->layout())
    layout->setGeometry(_form->mainWidget->rect());
  const QRect r = _pad->geometry();
  const QPoint c(r.width() / 2, r.height() / 2 - 20);
  Util::moveWidgetCenterTo(_back, c);
  const QRect b = _back->geometry();
  Util::moveWidgetCenterTo(_moveButtons[2], c.x() - 15, b.bottom() + 15 + 20);
  Util::moveWidgetCenterTo(_moveButtons[3], c.x() + 15, b.bottom() + 15 + 20);
  Util::moveWidgetCenterTo(_moveButtons[0], b.right() + 15 + 20, c.y() - 15);
  Util::moveWidgetCenterTo(_moveButtons[1], b.right() + 15 + 20, c.y() + 15);
}

void PopupSliderColorShadowWidget::_placeSquare()
{
  const QPointF offset = _padShadow->offset();
  const QPoint p(int(_back->x() - offset.x()), int(_back->y() - offset.y()));
  _square->move(_pad->mapTo(_form->mainWidget, p));
}

void PopupSliderColorShadowWidget::_postResize()
{
  QCoreApplication::postEvent(this, new QResizeEvent(size(), size()));
}

void PopupSliderColorShadowWidget::layoutAt(const QPoint &anchor)
{
  CommonSliderColorPopup::layoutAt(anchor);
  _layoutPad();
  _placeSquare();
  _postResize();
}

void PopupSliderColorShadowWidget::resizeEvent(QResizeEvent *event)
{
  CommonSliderColorPopup::resizeEvent(event);
  if (_embedded)
    _layoutPad();
  _placeSquare();
}

// --- Moving the square ---

void PopupSliderColorShadowWidget::_moveSquareTo(QPoint p)
{
  const QSize panel = _form->mainWidget->size();
  const int w = _square->width(), h = _square->height();
  if (p.x() + w / 2 < edgeInset)
    p.setX(edgeInset - w / 2);
  if (p.x() + w / 2 > panel.width() - edgeInset)
    p.setX(panel.width() - edgeInset - w / 2);
  if (p.y() + h / 2 < edgeInset)
    p.setY(edgeInset - h / 2);
  if (p.y() + h / 2 > panel.height() - edgeInset)
    p.setY(panel.height() - edgeInset - h / 2);
  _square->move(p);
  const QPoint q = _pad->mapTo(_form->mainWidget, _back->pos());
  const QSizeF offset(q.x() - p.x(), q.y() - p.y());
  setShadowOffset(offset);
  emit shadowOffsetChanging(this, offset);
}

void PopupSliderColorShadowWidget::_nudge(int dx, int dy)
{
  _moveSquareTo(_square->pos() + QPoint(dx, dy));
  _offsetReportTimer.start();
}

void PopupSliderColorShadowWidget::reportPendingValues()
{
  CommonSliderColorPopup::reportPendingValues();
  if (_offsetReportTimer.isActive()) {
    _offsetReportTimer.stop();
    emit shadowOffsetChanged(this, shadowOffset());
  }
}

void PopupSliderColorShadowWidget::mousePressEvent(QMouseEvent *event)
{
  const QPoint inPanel = _form->mainWidget->mapFromGlobal(event->globalPos());
  if (event->button() == Qt::LeftButton && _square->isEnabled() && _square->geometry().contains(inPanel)) {
    _pressPoint = event->globalPos();
    _startPosition = _square->pos();
    _dragging = true;
    event->accept();
    return;
  }
  CommonSliderColorPopup::mousePressEvent(event);
}

void PopupSliderColorShadowWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_dragging) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  _moveSquareTo(_startPosition + (event->globalPos() - _pressPoint));
  event->accept();
}

void PopupSliderColorShadowWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_dragging) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  _dragging = false;
  emit shadowOffsetChanged(this, shadowOffset());
  event->accept();
}
