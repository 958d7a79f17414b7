#include "popupcolorsscrollwidget.h"

#include "animationswitch.h"
#include "popupcolorsscrollwidgetoneslideritemwidget.h"
#include "popupform.h"
#include "util.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
constexpr int collapsedHeight = 45;
constexpr int expandedHeight = 95;
constexpr int scrollBarRoom = 20;
constexpr int scrollIntoViewMs = 200;

using ValueSignal = void (PopupColorsScrollWidget::*)(PopupColorsScrollWidget *, int);

const ValueSignal changingSignals[PopupColorsScrollWidget::correctionCount] = {
  &PopupColorsScrollWidget::saturationChanging, &PopupColorsScrollWidget::brightnessChanging,
  &PopupColorsScrollWidget::contrastChanging,   &PopupColorsScrollWidget::whiteBalanceChanging,
  &PopupColorsScrollWidget::exposureChanging,   &PopupColorsScrollWidget::hueChanging,
  &PopupColorsScrollWidget::redChanging,        &PopupColorsScrollWidget::greenChanging,
  &PopupColorsScrollWidget::blueChanging};

const ValueSignal changedSignals[PopupColorsScrollWidget::correctionCount] = {
  &PopupColorsScrollWidget::saturationChanged, &PopupColorsScrollWidget::brightnessChanged,
  &PopupColorsScrollWidget::contrastChanged,   &PopupColorsScrollWidget::whiteBalanceChanged,
  &PopupColorsScrollWidget::exposureChanged,   &PopupColorsScrollWidget::hueChanged,
  &PopupColorsScrollWidget::redChanged,        &PopupColorsScrollWidget::greenChanged,
  &PopupColorsScrollWidget::blueChanged};

const char *const rowTitles[PopupColorsScrollWidget::correctionCount] = {
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Saturation"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Brightness"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Contrast"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Temperature"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Exposure"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Hue"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Red"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Green"),
  QT_TRANSLATE_NOOP("PopupColorsScrollWidget", "Blue")};
} // namespace

PopupColorsScrollWidget::PopupColorsScrollWidget(QWidget *parent) : CommonPopup(parent)
{
  _buildForm();
  _builtInSchemes = QStringList{"[None]", "[Mono]", "[Cold]", "[Warm]", "[Yellow]"};
}

void PopupColorsScrollWidget::_buildForm()
{
  setWindowTitle("Form");
  resize(413, 495);
  auto *mainWidget = new QWidget(this);
  mainWidget->setObjectName("mainWidget");
  _verticalLayout = new QVBoxLayout(mainWidget);
  _verticalLayout->setSpacing(10);
  auto *titleLabel = new QLabel("Title", mainWidget);
  titleLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  titleLabel->setAlignment(Qt::AlignCenter);
  _scrollArea = new QScrollArea(mainWidget);
  _scrollArea->setWidgetResizable(true);
  _scrollAreaWidget = new QWidget;
  _scrollArea->setWidget(_scrollAreaWidget);
  _verticalLayout->addWidget(titleLabel);
  _verticalLayout->addWidget(_scrollArea);
  setForm(mainWidget, titleLabel);
}

void PopupColorsScrollWidget::_storeValues(const Values &values)
{
  _values = values;
  for (int i = 0; i < correctionCount; ++i)
    _expanded[size_t(i)] = values[size_t(i)] != 0;
}

void PopupColorsScrollWidget::embedWithValues(QWidget *container, int saturation, int brightness, int contrast,
                                              int whiteBalance, int exposure, int hue, int red, int green, int blue)
{
  _storeValues({saturation, brightness, contrast, whiteBalance, exposure, hue, red, green, blue});
  embedInWidget(container, tr("Colors"));
}

void PopupColorsScrollWidget::showPopupWithValues(QWidget *parent, const QPoint &anchor, int saturation,
                                                  int brightness, int contrast, int whiteBalance, int exposure,
                                                  int hue, int red, int green, int blue)
{
  _storeValues({saturation, brightness, contrast, whiteBalance, exposure, hue, red, green, blue});
  showPopup(parent, tr("Colors"), anchor);
}

void PopupColorsScrollWidget::setValues(int saturation, int brightness, int contrast, int whiteBalance,
                                        int exposure, int hue, int red, int green, int blue)
{
  _setValues({saturation, brightness, contrast, whiteBalance, exposure, hue, red, green, blue});
}

void PopupColorsScrollWidget::_setValues(const Values &values)
{
  _storeValues(values);
  for (PopupColorsScrollWidgetOneSliderItemWidget *row : qAsConst(_sliderItems)) {
    row->setExpanded(_expanded[size_t(row->index)]);
    row->setValueSilently(_values[size_t(row->index)]);
  }
  _layoutRows(0);
}

int PopupColorsScrollWidget::widgetFitHeight()
{
  return _scrollAreaWidget->height() + _titleLabel->height() + 34;
}

void PopupColorsScrollWidget::initialize()
{
  CommonPopup::initialize();
  _scrollArea->setStyleSheet("QScrollArea {background: transparent; border: none;}");
  _scrollAreaWidget->setStyleSheet(QString());
  _scrollArea->viewport()->setAutoFillBackground(false);
  _scrollAreaWidget->setAutoFillBackground(false);
  Util::applyScrollBarStyleSheet(_scrollArea->verticalScrollBar());
  _createRows();
  _createOptionsButton();
}

void PopupColorsScrollWidget::setPopupEnabled(bool enabled)
{
  _mainWidget->setEnabled(enabled);
}

bool PopupColorsScrollWidget::isPopupEnabled()
{
  return _mainWidget->isEnabled();
}

// --- Rows ---

void PopupColorsScrollWidget::_createRows()
{
  const QPixmap expand = QPixmap(":/images/expand_triangle")
                           .scaledToWidth(int(20 * devicePixelRatioF()), Qt::SmoothTransformation);
  const QPixmap expandDisabled(":/images/expand_triangle_disabled");
  for (int i = 0; i < correctionCount; ++i) {
    auto *row = new PopupColorsScrollWidgetOneSliderItemWidget(expand, expandDisabled, _scrollAreaWidget);
    row->setTitle(tr(rowTitles[i]));
    row->setValueAndRange(_values[size_t(i)], -100, 100);
    row->setExpanded(_expanded[size_t(i)]);
    row->index = i;
    row->show();
    connect(row, &PopupColorsScrollWidgetOneSliderItemWidget::valueChanging, this,
            &PopupColorsScrollWidget::onSliderItemWidgetValueChanging);
    connect(row, &PopupColorsScrollWidgetOneSliderItemWidget::valueDidChange, this,
            &PopupColorsScrollWidget::onSliderItemWidgetValueChanged);
    connect(row, &PopupColorsScrollWidgetOneSliderItemWidget::itemPressed, this,
            &PopupColorsScrollWidget::onSliderItemWidgetPressed);
    _sliderItems.append(row);
  }
  if (_embedded)
    _sliderItems.last()->hideSeparator();
}

void PopupColorsScrollWidget::_deleteRows()
{
  qDeleteAll(_sliderItems);
  _sliderItems.clear();
}

int PopupColorsScrollWidget::_rowWidth() const
{
  return _scrollArea->width() - (_embedded ? 0 : scrollBarRoom);
}

void PopupColorsScrollWidget::_layoutRows(int from)
{
  if (_sliderItems.isEmpty())
    return;
  const int w = _rowWidth();
  int y = from < _sliderItems.size() ? _sliderItems[from]->y() : 0;
  for (int i = from; i < _sliderItems.size(); ++i) {
    const int h = _expanded[size_t(i)] ? expandedHeight : collapsedHeight;
    _sliderItems[i]->setGeometry(0, y, w, h);
    y += h;
  }
  _setListHeight(from < _sliderItems.size() ? y : 0);
}

void PopupColorsScrollWidget::_setListHeight(int height)
{
  _scrollAreaWidget->setFixedHeight(height);
  if (height == _listHeight)
    return;
  _listHeight = height;
  if (_embedded)
    emit widgetFitHeightChanged(this);
}

// Rows, scheme items and the button beside the title, after the panel changed size.
void PopupColorsScrollWidget::_layoutAll()
{
  if (_mainWidget->layout())
    _mainWidget->layout()->activate();
  _layoutRows(0);
  _layoutEditItems();
  _placeButton(_optionsButton);
  _placeButton(_doneButton);
}

void PopupColorsScrollWidget::layoutAt(const QPoint &anchor)
{
  CommonPopup::layoutAt(anchor);
  _layoutAll();
}

void PopupColorsScrollWidget::resizeEvent(QResizeEvent *event)
{
  CommonPopup::resizeEvent(event);
  if (!_embedded)
    return;
  _layoutAll();
  // The owner answers a new fit height by resizing us from inside this event; while we are
  // hidden Qt drops the event of that nested resize, so the panel would keep the old height.
  if (_mainWidget->size() != size()) {
    _mainWidget->setGeometry(rect());
    _layoutAll();
  }
}

void PopupColorsScrollWidget::_reportPendingValues()
{
  for (PopupColorsScrollWidgetOneSliderItemWidget *row : qAsConst(_sliderItems))
    row->reportPendingValue();
}

bool PopupColorsScrollWidget::onEscapeKeyPressed()
{
  if (PopupForm::userCloses(this))
    _reportPendingValues();
  return CommonPopup::onEscapeKeyPressed();
}

void PopupColorsScrollWidget::mousePressEvent(QMouseEvent *event)
{
  if (PopupForm::userCloses(this, event->pos()))
    _reportPendingValues();
  CommonPopup::mousePressEvent(event);
}

void PopupColorsScrollWidget::onSliderItemWidgetValueChanging(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget,
                                                              int value)
{
  _values[size_t(itemWidget->index)] = value;
  emit(this->*changingSignals[itemWidget->index])(this, value);
}

void PopupColorsScrollWidget::onSliderItemWidgetValueChanged(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget,
                                                             int value)
{
  _values[size_t(itemWidget->index)] = value;
  emit(this->*changedSignals[itemWidget->index])(this, value);
}

void PopupColorsScrollWidget::onSliderItemWidgetPressed(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget)
{
  const int i = itemWidget->index;
  _expanded[size_t(i)] = !_expanded[size_t(i)];
  itemWidget->setExpanded(_expanded[size_t(i)]);
  _layoutRows(i);
  _scrollRowIntoView(itemWidget);
}

void PopupColorsScrollWidget::_scrollRowIntoView(QWidget *row)
{
  QScrollBar *bar = _scrollArea->verticalScrollBar();
  const int bottom = row->geometry().bottom() + 1;
  const int h = _scrollArea->height();
  if (bottom <= bar->value() + h)
    return;
  const int target = bottom + 10 - h;
  if (!isAnimationEnabled()) {
    bar->setValue(target);
    return;
  }
  auto *animation = new QPropertyAnimation(bar, "value", this);
  animation->setDuration(scrollIntoViewMs);
  animation->setEndValue(target);
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}
