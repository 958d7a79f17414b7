#include "popupchromakeywidget.h"

#include "colorbutton.h"
#include "dialogprovider.h"
#include "popupformparts.h"
#include "switchbutton.h"
#include "util.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
const QColor defaultKeyColor = QColor::fromRgba(0xFF00FF00);
constexpr int defaultSensitivity = 40;
constexpr int defaultSmoothing = 10;
} // namespace

PopupChromaKeyWidget::PopupChromaKeyWidget(QWidget *parent) : CommonSliderColorPopup(parent)
{
  _buildForm();
}

void PopupChromaKeyWidget::_buildForm()
{
  setWindowTitle("Form");
  resize(400, 454);
  auto *mainWidget = new QWidget(this);
  mainWidget->setObjectName("mainWidget");
  auto *verticalLayout = new QVBoxLayout(mainWidget);
  verticalLayout->setObjectName("verticalLayout");
  QMargins margins = verticalLayout->contentsMargins();
  margins.setRight(12);
  verticalLayout->setContentsMargins(margins);

  auto *titleLabel = new QLabel("Title", mainWidget);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setMinimumHeight(18);
  titleLabel->setAlignment(Qt::AlignCenter);
  verticalLayout->addWidget(titleLabel);

  auto *panel4Widget = new QWidget(mainWidget);
  panel4Widget->setObjectName("panel4Widget");
  auto *horizontalLayout5 = new QHBoxLayout(panel4Widget);
  horizontalLayout5->setObjectName("horizontalLayout_5");
  horizontalLayout5->setSpacing(15);
  horizontalLayout5->setContentsMargins(0, 10, 0, 10);
  _switchLabel = new QLabel("Switch", panel4Widget);
  _switchLabel->setObjectName("switchLabel");
  _switchButton = new SwitchButton(panel4Widget);
  _switchButton->setObjectName("switchButton");
  _switchButton->setFixedSize(50, 26);
  _optionsButton = new QPushButton(panel4Widget);
  _optionsButton->setObjectName("optionsButton");
  _optionsButton->setFixedSize(30, 30);
  _optionsButton->setFlat(true);
  _optionsButton->setIcon(QIcon(":/images/project_menu"));
  _optionsButton->setIconSize(QSize(20, 20));
  horizontalLayout5->addWidget(_switchLabel);
  horizontalLayout5->addWidget(_switchButton);
  horizontalLayout5->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  horizontalLayout5->addWidget(_optionsButton);
  verticalLayout->addWidget(panel4Widget);

  for (int row = 1; row < 3; ++row) {
    SliderRow &r = _rows[row];
    // The form numbers its rows 2 and 3.
    const QString n = QString::number(row + 1);
    r.rowLabel = new QLabel("Title" + n, mainWidget);
    r.rowLabel->setObjectName("titleLabel" + n);
    auto *panel = new QWidget(mainWidget);
    panel->setObjectName(QString("panel%1Widget").arg(n));
    auto *layout = new QHBoxLayout(panel);
    layout->setObjectName("horizontalLayout_" + n);
    layout->setSpacing(0);
    layout->setContentsMargins(5, 0, 5, 0);
    r.slider = new QSlider(Qt::Horizontal, panel);
    r.slider->setObjectName("slider" + n);
    r.slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    r.downButton = PopupFormParts::stepButton(":/images/value_decrease", panel);
    r.downButton->setObjectName("valueDownButton" + n);
    r.valueLabel = new QLabel("0.00", panel);
    r.valueLabel->setObjectName("valueLabel" + n);
    r.valueLabel->setMinimumWidth(36);
    r.valueLabel->setAlignment(Qt::AlignCenter);
    r.upButton = PopupFormParts::stepButton(":/images/value_increase", panel);
    r.upButton->setObjectName("valueUpButton" + n);
    layout->addWidget(r.slider);
    layout->addWidget(r.downButton);
    layout->addWidget(r.valueLabel);
    layout->addWidget(r.upButton);
    verticalLayout->addWidget(r.rowLabel);
    verticalLayout->addWidget(panel);
  }

  auto *panelWidget = new QWidget(mainWidget);
  panelWidget->setObjectName("panelWidget");
  auto *horizontalLayout = new QHBoxLayout(panelWidget);
  horizontalLayout->setObjectName("horizontalLayout");
  horizontalLayout->setSpacing(0);
  margins = horizontalLayout->contentsMargins();
  margins.setRight(5);
  horizontalLayout->setContentsMargins(margins);
  _titleLabel4 = new QLabel("Title4", panelWidget);
  _titleLabel4->setObjectName("titleLabel4");
  _titleLabel4->setMinimumWidth(36);
  _titleLabel4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  _colorButton = new ColorButton(panelWidget);
  _colorButton->setObjectName("colorButton");
  _colorButton->setFixedSize(34, 34);
  horizontalLayout->addWidget(_titleLabel4);
  horizontalLayout->addWidget(_colorButton);
  verticalLayout->addWidget(panelWidget);

  setForm(mainWidget, titleLabel);
}

void PopupChromaKeyWidget::_setValues(bool enabled, int sensitivity, int smoothing, const QColor &color)
{
  setLabelText2(tr("Sensitivity"));
  setLabelText3(tr("Smoothing"));
  setSwitchLabelText(tr("On/Off"));
  _titleLabel4->setText(tr("Key Color"));
  setRange2(0, 100, 1);
  setRange3(0, 100, 1);
  setValue2(float(sensitivity));
  setValue3(float(smoothing));
  setColor(color);
  setSwitchValue(enabled);
  setMainValueActive(true);
  setSwitchActive(enabled);
}

void PopupChromaKeyWidget::embedWithValues(QWidget *container, bool enabled, int sensitivity, int smoothing,
                                           const QColor &color)
{
  _setValues(enabled, sensitivity, smoothing, color);
  embedInWidget(container, tr("Chroma Key"));
}

void PopupChromaKeyWidget::showPopupWithValues(QWidget *parent, const QPoint &anchor, bool enabled, int sensitivity,
                                               int smoothing, const QColor &color)
{
  _setValues(enabled, sensitivity, smoothing, color);
  showPopup(parent, tr("Chroma Key"), anchor);
}

void PopupChromaKeyWidget::initialize()
{
  CommonSliderColorPopup::initialize();
  applyLabelStyle(_titleLabel4);
  _optionsButton->setStyleSheet(PopupFormParts::optionsButtonStyle());
  connect(_optionsButton, &QPushButton::clicked, this, &PopupChromaKeyWidget::onOptionsButtonPressed);
}

// The switch alone decides; the key has no main value.
void PopupChromaKeyWidget::setPopupEnabled(bool enabled)
{
  _switchLabel->setEnabled(enabled);
  _switchButton->setEnabled(enabled);
  const bool keyed = enabled && _switchButton->value();
  for (int row = 1; row < 3; ++row) {
    const SliderRow &r = _rows[row];
    for (QWidget *w : {static_cast<QWidget *>(r.rowLabel), static_cast<QWidget *>(r.slider),
                       static_cast<QWidget *>(r.valueLabel), static_cast<QWidget *>(r.downButton),
                       static_cast<QWidget *>(r.upButton)})
      w->setEnabled(keyed);
  }
  _titleLabel4->setEnabled(keyed);
  _colorButton->setEnabled(keyed);
  _optionsButton->setEnabled(keyed);
}

bool PopupChromaKeyWidget::isPopupEnabled()
{
  return _switchButton->isEnabled();
}

void PopupChromaKeyWidget::onOptionsButtonPressed()
{
  _optionsButton->setIcon(QIcon(":/images/project_menu_selected"));
  auto *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  if (_embedded)
    menu->setStyleSheet("QMenu {background-color: rgba(25,26,28,230); color: white; padding: 10px;"
                        " border-radius: 10px;}"
                        "QMenu::icon {margin: 5px;}"
                        "QMenu::item {padding: 8px 10px;}"
                        "QMenu::item:selected {background-color: rgb(44,46,50);}");
  else
    Util::applyPopupMenuStyleSheet(menu);
  QAction *restore = menu->addAction(tr("Restore default values"));

  const QPoint at = _optionsButton->mapToGlobal(_optionsButton->rect().center());
  QPointer<PopupChromaKeyWidget> alive(this);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, at);
  if (!alive)
    return;
  delete menu;
  _optionsButton->setIcon(QIcon(":/images/project_menu"));
  if (chosen == restore)
    _restoreDefaults();
}

void PopupChromaKeyWidget::_restoreDefaults()
{
  setColor(defaultKeyColor);
  setValue2(float(defaultSensitivity));
  setValue3(float(defaultSmoothing));
  emit valuesChanged(this, int(value2()), int(value3()), color());
}
