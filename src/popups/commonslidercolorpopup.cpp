#include "commonslidercolorpopup.h"

#include "colorbutton.h"
#include "dialogprovider.h"
#include "popupcolormatrixwidget.h"
#include "popupform.h"
#include "popupsliderform.h"
#include "seekablesliderstyle.h"
#include "switchbutton.h"
#include "wheeleventblocker.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

namespace {
constexpr int releaseReportMs = 350;
constexpr int firstRepeatMs = 500;
constexpr int repeatMs = 50;

const char *const sliderStyle =
  "QSlider::groove:horizontal {background: transparent; height: 4px; border-radius: 2px;}"
  "QSlider::sub-page:horizontal {background: rgb(54,200,255); height: 4px; border-radius: 2px;}"
  "QSlider::add-page:horizontal {background: rgb(25,26,28); height: 4px; border-radius: 2px;}"
  "QSlider::handle:horizontal {background: white; width: 18px; margin-top: -7px; margin-bottom: -7px;"
  " border-radius: 9px;}"
  "QSlider::sub-page:horizontal:disabled {background: rgb(44,105,133);}"
  "QSlider::handle:horizontal:disabled {background: rgb(128,128,128);}";

const char *const stepButtonStyle =
  "QPushButton:pressed {background-color: rgb(25,26,28); margin: 10px; border: none; border-radius: 10px;}";

// The style sheet's knob is 18 px high (4 px groove, 7 px margins above and below).
constexpr int knobHeight = 18;

int thousandths(float value)
{
  return int(value * 1000.0f);
}

void setEnabledIf(QWidget *widget, bool enabled)
{
  if (widget)
    widget->setEnabled(enabled);
}
} // namespace

CommonSliderColorPopup::CommonSliderColorPopup(QWidget *parent) : CommonPopup(parent)
{
  _repeatTimer.setSingleShot(true);
  connect(&_repeatTimer, &QTimer::timeout, this, &CommonSliderColorPopup::_stepSliderWhileHeld);
  for (int row = 0; row < 3; ++row) {
    _releaseTimers[row].setSingleShot(true);
    _releaseTimers[row].setInterval(releaseReportMs);
    connect(&_releaseTimers[row], &QTimer::timeout, this, [this, row] { _rowReleased(row); });
  }
}


// --- Values ---

void CommonSliderColorPopup::_setRowRange(int row, float min, float max, float step)
{
  QSlider *slider = _rows[row].slider;
  if (!slider)
    return;
  slider->setRange(thousandths(min), thousandths(max));
  _rows[row].step = thousandths(step);
}

void CommonSliderColorPopup::setRange(float min, float max, float step)
{
  Q_ASSERT(_rows[0].slider);
  _setRowRange(0, min, max, step);
}

void CommonSliderColorPopup::setRange2(float min, float max, float step)
{
  _setRowRange(1, min, max, step);
}

void CommonSliderColorPopup::setRange3(float min, float max, float step)
{
  _setRowRange(2, min, max, step);
}

QString CommonSliderColorPopup::_rowText(int row, float value) const
{
  if (row > 0)
    return QString::asprintf("%.1f", value);
  if (_speedFormat)
    return QString::asprintf("%.2fX", 0.25 * value + 0.25);
  if (_percentFormat) {
    // Truncating value * 100 in float turns 0.53 into 52; whole thousandths of a percent first.
    return QString::asprintf("%d%%", int(qRound64(double(value) * 100000.0) / 1000));
  }
  return QString::asprintf(_rows[0].slider->maximum() / 1000 > 2 ? "%.1f" : "%.2f", value);
}

void CommonSliderColorPopup::_setRowValue(int row, float value)
{
  SliderRow &r = _rows[row];
  if (!r.slider)
    return;
  int i = thousandths(value);
  const bool outside = i < r.slider->minimum() || i > r.slider->maximum();
  // A silent set loads the owner's value: showing the row's nearest end is right, keeping
  // the previous owner's value is not.
  if (outside && !_silent)
    return;
  i = qBound(r.slider->minimum(), i, r.slider->maximum());
  r.reportedValue = i;
  r.slider->setValue(i);
  if (r.valueLabel)
    r.valueLabel->setText(_rowText(row, outside ? i / 1000.0f : value));
}

float CommonSliderColorPopup::_boundToRow(int row, float value) const
{
  const QSlider *slider = _rows[row].slider;
  return slider ? qBound(slider->minimum() / 1000.0f, value, slider->maximum() / 1000.0f) : value;
}

void CommonSliderColorPopup::setValue(float value)
{
  _setRowValue(0, value);
}

void CommonSliderColorPopup::setValue2(float value)
{
  _setRowValue(1, value);
}

void CommonSliderColorPopup::setValue3(float value)
{
  _setRowValue(2, value);
}

void CommonSliderColorPopup::_silently(const std::function<void()> &set)
{
  _silent = true;
  set();
  _silent = false;
}

void CommonSliderColorPopup::setValueSilently(float value)
{
  _silently([this, value] { setValue(_boundToRow(0, value)); });
}

void CommonSliderColorPopup::setValue2Silently(float value)
{
  _silently([this, value] { setValue2(_boundToRow(1, value)); });
}

void CommonSliderColorPopup::setValue3Silently(float value)
{
  _silently([this, value] { setValue3(_boundToRow(2, value)); });
}

float CommonSliderColorPopup::value() const
{
  return _rows[0].slider ? _rows[0].slider->value() / 1000.0f : 0.0f;
}

float CommonSliderColorPopup::value2() const
{
  return _rows[1].slider ? _rows[1].slider->value() / 1000.0f : 0.0f;
}

float CommonSliderColorPopup::value3() const
{
  return _rows[2].slider ? _rows[2].slider->value() / 1000.0f : 0.0f;
}

void CommonSliderColorPopup::setColor(const QColor &color)
{
  if (_colorButton)
    _colorButton->setColor(color);
}

QColor CommonSliderColorPopup::color() const
{
  return _colorButton ? _colorButton->color() : QColor();
}

void CommonSliderColorPopup::setLabelText2(const QString &text)
{
  if (_rows[1].rowLabel)
    _rows[1].rowLabel->setText(text);
}

void CommonSliderColorPopup::setLabelText3(const QString &text)
{
  if (_rows[2].rowLabel)
    _rows[2].rowLabel->setText(text);
}

void CommonSliderColorPopup::setSwitchLabelText(const QString &text)
{
  if (_switchLabel)
    _switchLabel->setText(text);
}

void CommonSliderColorPopup::setSwitchValue(bool value)
{
  if (_switchButton)
    _switchButton->setValue(value);
}

// --- Enabled state ---

void CommonSliderColorPopup::setMainValueActive(bool active)
{
  _mainValueActive = active;
  setPopupEnabled(isPopupEnabled());
}

void CommonSliderColorPopup::setSwitchActive(bool active)
{
  _switchActive = active;
  setPopupEnabled(isPopupEnabled());
}

void CommonSliderColorPopup::updateDependentControls()
{
  _mainValueActive = _rows[0].slider ? _rows[0].slider->value() / 1000.0f > 0 : true;
  setPopupEnabled(isPopupEnabled());
  _switchActive = _switchButton ? _switchButton->value() : true;
  setPopupEnabled(isPopupEnabled());
}

void CommonSliderColorPopup::setPopupEnabled(bool enabled)
{
  const SliderRow &main = _rows[0];
  for (QWidget *w : {static_cast<QWidget *>(main.slider), static_cast<QWidget *>(main.valueLabel),
                     static_cast<QWidget *>(main.upButton), static_cast<QWidget *>(main.downButton)})
    setEnabledIf(w, enabled);
  const bool dependent = enabled && _mainValueActive && _switchActive;
  for (int row = 1; row < 3; ++row) {
    const SliderRow &r = _rows[row];
    if (!r.rowLabel || !r.valueLabel || !r.slider)
      continue;
    for (QWidget *w : {static_cast<QWidget *>(r.rowLabel), static_cast<QWidget *>(r.valueLabel),
                       static_cast<QWidget *>(r.slider), static_cast<QWidget *>(r.upButton),
                       static_cast<QWidget *>(r.downButton)})
      setEnabledIf(w, dependent);
  }
  setEnabledIf(_colorButton, enabled);
  if (_switchLabel && _switchButton) {
    _switchLabel->setEnabled(enabled && _mainValueActive);
    _switchButton->setEnabled(enabled && _mainValueActive);
  }
}

bool CommonSliderColorPopup::isPopupEnabled()
{
  return _rows[0].slider && _rows[0].slider->isEnabled();
}

// --- Wiring ---

void CommonSliderColorPopup::_wireRow(int row)
{
  SliderRow &r = _rows[row];
  applyLabelStyle(r.rowLabel);
  applyLabelStyle(r.valueLabel);
  if (r.slider) {
    auto *style = new SeekableSliderStyle;
    style->setParent(r.slider);
    r.slider->setStyle(style);
    r.slider->setStyleSheet(sliderStyle);
    // Keys would move it without a Changed report (there is no gesture to end); the keyboard
    // stays with the popup's key handling instead.
    r.slider->setFocusPolicy(Qt::NoFocus);
    // The sheet leaves the slider at its plain height, which cuts the round knob flat.
    r.slider->setMinimumHeight(qMax(r.slider->minimumHeight(), knobHeight));
    void (CommonSliderColorPopup::*changed[])(int) = {&CommonSliderColorPopup::onSliderValueChanged,
                                                      &CommonSliderColorPopup::onSlider2ValueChanged,
                                                      &CommonSliderColorPopup::onSlider3ValueChanged};
    void (CommonSliderColorPopup::*released[])() = {&CommonSliderColorPopup::onSliderReleased,
                                                    &CommonSliderColorPopup::onSlider2Released,
                                                    &CommonSliderColorPopup::onSlider3Released};
    connect(r.slider, &QSlider::valueChanged, this, changed[row]);
    connect(r.slider, &QSlider::sliderReleased, this, released[row]);
    // Inside the inspector the wheel scrolls the panel, not the value.
    if (_embedded)
      r.slider->installEventFilter(new WheelEventBlocker(r.slider));
  }
  // Row 1 steps only with both buttons; rows 2 and 3 wire what they have.
  if (row == 0 && !(r.upButton && r.downButton))
    return;
  for (int direction : {1, -1}) {
    QPushButton *button = direction > 0 ? r.upButton : r.downButton;
    if (!button)
      continue;
    button->setStyleSheet(stepButtonStyle);
    addDisabledIcon(button);
    connect(button, &QPushButton::pressed, this, [this, row, direction] { _stepPressed(row, direction); });
    connect(button, &QPushButton::released, this, [this, row] { _stepReleased(row); });
  }
}

void CommonSliderColorPopup::initialize()
{
  CommonPopup::initialize();
  for (int row = 0; row < 3; ++row)
    _wireRow(row);
  if (_colorButton)
    connect(_colorButton, &QPushButton::clicked, this, &CommonSliderColorPopup::onColorButtonClicked);
  applyLabelStyle(_switchLabel);
  if (_switchButton) {
    _switchButton->setOnColor(QColor(54, 200, 255));
    _switchButton->setOffColor(QColor(25, 26, 28));
    _switchButton->setKnobColor(QColor(255, 255, 255));
    _switchButton->setDisabledOnColor(QColor(44, 105, 133));
    _switchButton->setDisabledOffColor(QColor(25, 26, 28));
    _switchButton->setDisabledKnobColor(QColor(128, 128, 128));
    connect(_switchButton, &SwitchButton::valueChanged, this, &CommonSliderColorPopup::onSwitchValueChanged);
  }
}

// --- User changes ---

void CommonSliderColorPopup::onSliderValueChanged(int value)
{
  QSlider *slider = _rows[0].slider;
  // A speed slider rests on whole step indices, moving on from three quarters of the way.
  if (_speedFormat) {
    const int index = int(value / 1000.0 + 0.25) * 1000;
    if (index != value) {
      slider->setValue(index); // runs this handler again with the resting value
      return;
    }
  }
  if (_snapEnabled && !_snapSuspended && qAbs(value - _snapValue) <= _snapTolerance && int(_snapValue) != value) {
    slider->setValue(int(_snapValue));
    return;
  }
  _rowValueChanged(0, slider->value());
}

void CommonSliderColorPopup::onSlider2ValueChanged(int value)
{
  _rowValueChanged(1, value);
}

void CommonSliderColorPopup::onSlider3ValueChanged(int value)
{
  _rowValueChanged(2, value);
}

void CommonSliderColorPopup::_rowValueChanged(int row, int value)
{
  const float v = value / 1000.0f;
  if (_rows[row].valueLabel)
    _rows[row].valueLabel->setText(_rowText(row, v));
  if (_silent)
    return;
  if (row == 0)
    emit sliderColorPopupValueChanging(this, v);
  else if (row == 1)
    emit sliderColorPopupValue2Changing(this, v);
  else
    emit sliderColorPopupValue3Changing(this, v);
}

void CommonSliderColorPopup::onSliderReleased()
{
  _rowReleased(0);
}

void CommonSliderColorPopup::onSlider2Released()
{
  _rowReleased(1);
}

void CommonSliderColorPopup::onSlider3Released()
{
  _rowReleased(2);
}

void CommonSliderColorPopup::_rowReleased(int row)
{
  SliderRow &r = _rows[row];
  if (!r.slider || r.slider->value() == r.reportedValue)
    return;
  const int s = r.slider->value();
  const float v = s / 1000.0f;
  if (row == 0) {
    _mainValueActive = v > 0;
    setPopupEnabled(isPopupEnabled());
  }
  if (!_silent) {
    if (row == 0)
      emit sliderColorPopupValueChanged(this, v);
    else if (row == 1)
      emit sliderColorPopupValue2Changed(this, v);
    else
      emit sliderColorPopupValue3Changed(this, v);
  }
  r.reportedValue = s;
}

// --- Press-and-hold stepping ---

void CommonSliderColorPopup::_stepPressed(int row, int direction)
{
  _heldButton = direction > 0 ? 1 : 2;
  _repeatDelay = 0;
  if (row == 0)
    _snapSuspended = true;
  _stepRow = row;
  _stepDelta = direction * _rows[row].step;
  _releaseTimers[row].stop();
  _stepSliderWhileHeld();
}

void CommonSliderColorPopup::_stepReleased(int row)
{
  _heldButton = 0;
  _repeatTimer.stop();
  if (row == 0)
    _snapSuspended = false;
  // A new press and release within the delay restarts it: one report per burst of clicks.
  _releaseTimers[row].start();
}

void CommonSliderColorPopup::_stepSliderWhileHeld()
{
  QSlider *slider = _rows[_stepRow].slider;
  const int d = _stepDelta;
  // A row without a step (no range set) does not step.
  if (!slider || d == 0 || _heldButton == 0 || QGuiApplication::mouseButtons() == Qt::NoButton)
    return;
  const int v = slider->value();
  int t = v + d;
  // Land on the step's grid whatever the start: round up to the next multiple of |d|.
  const int m = qAbs(d);
  const int remainder = ((t % m) + m) % m;
  if (remainder != 0)
    t += m - remainder;
  t = qBound(slider->minimum(), t, slider->maximum());
  if (t == v)
    return;
  slider->setValue(t);
  _repeatDelay = _repeatDelay == 0 ? firstRepeatMs : repeatMs;
  _repeatTimer.start(_repeatDelay);
}

// --- Snapping ---

void CommonSliderColorPopup::setSnapValue(float value, float tolerance)
{
  _snapValue = value * 1000;
  _snapTolerance = qAbs(tolerance) * 1000;
  _snapEnabled = true;
  QSlider *slider = _rows[0].slider;
  if (!_snapMarker && slider && slider->parentWidget()) {
    _snapMarker = new QWidget(slider->parentWidget());
    _snapMarker->setStyleSheet("background-color: rgba(255,255,255,32);");
    _snapMarker->setAttribute(Qt::WA_StyledBackground, true);
    _snapMarker->lower();
    _snapMarker->show();
    // Set before the popup is laid out, the slider has not found its place yet.
    slider->installEventFilter(this);
  }
  _placeSnapMarker();
}

void CommonSliderColorPopup::_placeSnapMarker()
{
  if (!_snapMarker || !_rows[0].slider)
    return;
  // The middle of the track, whatever the snap value: its only user snaps to the middle.
  const QPoint c = _rows[0].slider->geometry().center();
  _snapMarker->setGeometry(c.x() - 1, c.y() - 25, 3, 50);
}

bool CommonSliderColorPopup::eventFilter(QObject *watched, QEvent *event)
{
  // The slider's own events pass untouched; only its geometry is of interest.
  if (watched == _rows[0].slider) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
      _placeSnapMarker();
    return false;
  }
  return CommonPopup::eventFilter(watched, event);
}

void CommonSliderColorPopup::resizeEvent(QResizeEvent *event)
{
  CommonPopup::resizeEvent(event);
  _placeSnapMarker();
  if (_embedded && _colorPopup)
    _placeSubPopup();
}

// --- Form ---

// A disabled button shows its icon in the grey of disabled labels; the style's own disabled
// mode keeps a white icon nearly white.
void CommonSliderColorPopup::addDisabledIcon(QPushButton *button)
{
  QIcon icon = button->icon();
  if (icon.isNull())
    return;
  QList<QSize> sizes = icon.availableSizes();
  if (sizes.isEmpty())
    sizes << button->iconSize();
  for (const QSize &size : sizes) {
    QPixmap grey = icon.pixmap(size);
    QPainter p(&grey);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(grey.rect(), QColor(128, 128, 128));
    p.end();
    icon.addPixmap(grey, QIcon::Disabled);
  }
  button->setIcon(icon);
}

void CommonSliderColorPopup::adoptForm(const PopupSliderForm &form)
{
  setForm(form.mainWidget, form.titleLabel);
  for (int row = 0; row < 3; ++row) {
    const PopupSliderForm::Row &f = form.rows[row];
    SliderRow &r = _rows[row];
    r.slider = f.slider;
    r.valueLabel = f.valueLabel;
    r.downButton = f.downButton;
    r.upButton = f.upButton;
    r.rowLabel = f.caption;
  }
  _colorButton = form.colorButton;
  _switchLabel = form.switchLabel;
  _switchButton = form.switchButton;
}

void CommonSliderColorPopup::setRowValues(const RowValues &main, const QColor &color,
                                          const CaptionedRowValues &row2, const CaptionedRowValues &row3)
{
  setLabelText2(row2.caption);
  setLabelText3(row3.caption);
  setRange(main.min, main.max, main.step);
  setRange2(row2.min, row2.max, row2.step);
  setRange3(row3.min, row3.max, row3.step);
  setValue(main.value);
  setValue2(row2.value);
  setValue3(row3.value);
  setColor(color);
  setMainValueActive(main.value > 0);
}

// --- Switch ---

void CommonSliderColorPopup::onSwitchValueChanged(bool value)
{
  _switchActive = value;
  setPopupEnabled(isPopupEnabled());
  emit sliderColorPopupSwitchValueChanged(this, value);
}

// --- Colour sub-popup ---

void CommonSliderColorPopup::_placeSubPopup()
{
  if (!_colorPopup)
    return;
  if (_embedded && _colorButton)
    _colorPopup->moveToAnchor(_colorButton->mapTo(window(), QPoint(_colorButton->width() / 2, 0)));
  else if (_mainWidget)
    _colorPopup->moveToAnchor(mapTo(parentWidget(), _mainWidget->geometry().center()));
}

PopupColorMatrixWidget *CommonSliderColorPopup::colorSubPopup() const
{
  return _colorPopup;
}

void CommonSliderColorPopup::onColorButtonClicked()
{
  if (_colorPopup)
    return;
  QWidget *parent;
  QPoint anchor;
  if (_embedded) {
    parent = window();
    anchor = _colorButton->mapTo(parent, QPoint(_colorButton->width() / 2, 0));
  } else {
    parent = parentWidget();
    anchor = mapTo(parent, _mainWidget->geometry().center());
  }
  _colorPopup = new PopupColorMatrixWidget(parent);
  connect(_colorPopup, &CommonPopup::dismissed, this, &CommonSliderColorPopup::onPopupColorMatrixWidgetDismissed);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupColorSelected, this,
          &CommonSliderColorPopup::onPopupColorMatrixWidgetColorSelected);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupMoreColorNeeded, this,
          &CommonSliderColorPopup::onPopupColorMatrixWidgetMoreColorNeeded);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupColorPickingImageNeeded, this,
          &CommonSliderColorPopup::onPopupColorMatrixWidgetColorPickingImageNeeded);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupGetPlaybackAreaFrame, this,
          &CommonSliderColorPopup::onPopupColorMatrixWidgetGetPlaybackAreaFrame);
  _colorPopup->showPopupAt(parent, anchor, true);
}

void CommonSliderColorPopup::_closeSubPopup()
{
  if (PopupColorMatrixWidget *popup = _colorPopup) {
    _colorPopup = nullptr;
    popup->dismiss();
  }
}

void CommonSliderColorPopup::onPopupColorMatrixWidgetDismissed(CommonPopup *)
{
  _colorPopup = nullptr;
}

void CommonSliderColorPopup::onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *, QColor color)
{
  setColor(color);
  _closeSubPopup();
  emit sliderColorPopupColorChanged(this, color);
}

void CommonSliderColorPopup::onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup)
{
  const QColor chosen = DialogProvider::instance()->getColor(color(), nullptr, QString());
  if (!chosen.isValid())
    return;
  setColor(chosen);
  popup->addRecentColor(chosen);
  _closeSubPopup();
  emit sliderColorPopupColorChanged(this, chosen);
}

void CommonSliderColorPopup::onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *, QImage *image)
{
  emit sliderColorPopupNeedColorPickingImage(this, image);
}

void CommonSliderColorPopup::onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *popup, QRect *rect)
{
  emit sliderColorPopupGetPlaybackAreaFrame(this, rect, popup);
}

void CommonSliderColorPopup::dismissSubPopup()
{
  _closeSubPopup();
}

void CommonSliderColorPopup::reportPendingValues()
{
  // A button still held when the popup goes never sees its release.
  if (_heldButton != 0)
    _stepReleased(_stepRow);
  for (int row = 0; row < 3; ++row) {
    if (_releaseTimers[row].isActive()) {
      _releaseTimers[row].stop();
      _rowReleased(row);
    }
  }
}

bool CommonSliderColorPopup::onEscapeKeyPressed()
{
  if (PopupForm::userCloses(this))
    reportPendingValues();
  return CommonPopup::onEscapeKeyPressed();
}

void CommonSliderColorPopup::mousePressEvent(QMouseEvent *event)
{
  if (PopupForm::userCloses(this, event->pos()))
    reportPendingValues();
  CommonPopup::mousePressEvent(event);
}

void CommonSliderColorPopup::dismiss()
{
  _closeSubPopup();
  CommonPopup::dismiss();
}

void CommonSliderColorPopup::moveToAnchor(const QPoint &anchor)
{
  CommonPopup::moveToAnchor(anchor);
  if (_colorPopup && !_embedded)
    _placeSubPopup();
}
