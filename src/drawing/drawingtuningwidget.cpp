#include "drawingtuningwidget.h"

#include "dialogprovider.h"
#include "hardnesssliderstyle.h"
#include "linewidthsliderstyle.h"
#include "popupsliderwidget.h"
#include "textwrappingbuttonproxystyle.h"
#include "tooltipbutton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

namespace {

const char *kGroup = "DrawingTuningView";
const int kLineWidthStep = 100; // hundredths of a pixel
const int kHardnessStep = 5;    // hundredths

QString _tr(const char *text)
{
  return QCoreApplication::translate("DrawingTuningWidget", text);
}

TooltipButton *_iconButton(QWidget *parent, const char *name, const QString &normal, const QString &selected,
                           const char *toolTip)
{
  auto *button = new TooltipButton(normal, selected, parent);
  button->setObjectName(name);
  button->setFlat(true);
  button->setFixedSize(50, 50);
  button->setIconSize(QSize(28, 28));
  button->setToolTip(_tr(toolTip));
  return button;
}

QPushButton *_textButton(QWidget *parent, const char *name, const QString &text, const char *toolTip)
{
  auto *button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setFlat(true);
  button->setMinimumHeight(50);
  button->setToolTip(_tr(toolTip));
  return button;
}

QHBoxLayout *_row(QWidget *panel, const char *name)
{
  auto *row = new QHBoxLayout(panel);
  row->setObjectName(name);
  row->setSpacing(0);
  row->setContentsMargins(0, 0, 0, 0);
  return row;
}

} // namespace

DrawingTuningWidget::DrawingTuningWidget(QWidget *parent) : QWidget(parent)
{
  const QFont defaultFont;
  QSettings settings;
  settings.beginGroup(kGroup);
  _lineWidth = settings.value("LineWidth", 10.0).toFloat();
  _hardness = settings.value("Hardness", 1.0).toFloat();
  _rubberLineWidth = settings.value("RubberLineWidth", 15.0).toFloat();
  _rubberHardness = settings.value("RubberHardness", 1.0).toFloat();
  _textSize = settings.value("TextSize", 100.0).toFloat();
  _fontName = settings.value("FontName", defaultFont.family()).toString();
  _fontStyle = settings.value("FontStyle", defaultFont.styleName()).toString();
  _textAlign = settings.value("TextAlign", 4).toInt();
  settings.endGroup();
  // A hand-edited or damaged store must not hand the canvas values the sliders cannot show.
  _lineWidth = qBound(0.5f, _lineWidth, 320.0f);
  _rubberLineWidth = qBound(0.5f, _rubberLineWidth, 320.0f);
  _hardness = qBound(0.0f, _hardness, 1.0f);
  _rubberHardness = qBound(0.0f, _rubberHardness, 1.0f);
  _textSize = qBound(1.0f, _textSize, 960.0f);
  if (_textAlign != Qt::AlignLeft && _textAlign != Qt::AlignRight)
    _textAlign = Qt::AlignHCenter;

  _stepTimer.setSingleShot(true);
  _stepTimer.setTimerType(Qt::PreciseTimer);
  connect(&_stepTimer, &QTimer::timeout, this, &DrawingTuningWidget::_step);
  _buildForm();
  _applyStyles();

  setRubber(false);
  setTextSize(_textSize);
  setPictureSize(_pictureSize);
  _showAlignIcons();
  _showFontText();
  showTuningPanel(0);
}

DrawingTuningWidget::~DrawingTuningWidget()
{
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue("LineWidth", _lineWidth);
  settings.setValue("Hardness", _hardness);
  settings.setValue("RubberLineWidth", _rubberLineWidth);
  settings.setValue("RubberHardness", _rubberHardness);
  settings.setValue("TextSize", _textSize);
  settings.setValue("FontName", _fontName);
  settings.setValue("FontStyle", _fontStyle);
  settings.setValue("TextAlign", _textAlign);
  settings.endGroup();
}

void DrawingTuningWidget::_buildForm()
{
  setObjectName("DrawingTuningWidget");
  _verticalLayout = new QVBoxLayout(this);
  _verticalLayout->setObjectName("verticalLayout");
  _verticalLayout->setSpacing(0);
  _verticalLayout->setContentsMargins(0, 0, 0, 0);

  _pictureTuningPanel = new QWidget(this);
  _pictureTuningPanel->setObjectName("pictureTuningPanel");
  _pictureRow = _row(_pictureTuningPanel, "pictureTuningPanelHorizontalLayout");
  _openPictureButton = _iconButton(_pictureTuningPanel, "openPictureButton", ":/images/drawing/openPicture",
                                   ":/images/drawing/openPicture_",
                                   QT_TRANSLATE_NOOP("DrawingTuningWidget", "Select picture"));
  _pictureSizeButton = _textButton(_pictureTuningPanel, "pictureSizeButton", "80%",
                                   QT_TRANSLATE_NOOP("DrawingTuningWidget", "Picture size"));
  _pictureDoneButton = _iconButton(_pictureTuningPanel, "pictureDoneButton", ":/images/drawing/textOk",
                                   ":/images/drawing/textOk_", QT_TRANSLATE_NOOP("DrawingTuningWidget", "Done"));
  _pictureSizeButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  _pictureRow->addWidget(_openPictureButton);
  _pictureRow->addWidget(_pictureSizeButton);
  _pictureRow->addWidget(_pictureDoneButton);

  _textTuningPanel = new QWidget(this);
  _textTuningPanel->setObjectName("textTuningPanel");
  _textRow = _row(_textTuningPanel, "textTuningPanelHorizontalLayout");
  _editTextButton = _iconButton(_textTuningPanel, "editTextButton", ":/images/toolbar/editText",
                                ":/images/toolbar/editText2", QT_TRANSLATE_NOOP("DrawingTuningWidget", "Change text"));
  _textAlignButton = _iconButton(_textTuningPanel, "textAlignButton", QString(), QString(),
                                 QT_TRANSLATE_NOOP("DrawingTuningWidget", "Text alignment"));
  _textSizeButton =
    _textButton(_textTuningPanel, "textSizeButton", "100pt", QT_TRANSLATE_NOOP("DrawingTuningWidget", "Text size"));
  _textFontButton =
    _textButton(_textTuningPanel, "textFontButton", "Tahoma", QT_TRANSLATE_NOOP("DrawingTuningWidget", "Text font"));
  _textFontButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  _textDoneButton = _iconButton(_textTuningPanel, "textDoneButton", ":/images/drawing/textOk",
                                ":/images/drawing/textOk_", QT_TRANSLATE_NOOP("DrawingTuningWidget", "Done"));
  for (QWidget *w : {static_cast<QWidget *>(_editTextButton), static_cast<QWidget *>(_textAlignButton),
                     static_cast<QWidget *>(_textSizeButton), static_cast<QWidget *>(_textFontButton),
                     static_cast<QWidget *>(_textDoneButton)})
    _textRow->addWidget(w);

  auto valueRow = [this](QWidget *&panel, const char *panelName, const char *layoutName, const char *toolTip,
                         QLabel *&label, const char *labelName, QPushButton *&down, const char *downName,
                         QSlider *&slider, const char *sliderName, QPushButton *&up, const char *upName) {
    panel = new QWidget(this);
    panel->setObjectName(panelName);
    panel->setToolTip(_tr(toolTip));
    QHBoxLayout *row = _row(panel, layoutName);
    label = new QLabel(panel);
    label->setObjectName(labelName);
    label->setMinimumWidth(60);
    label->setAlignment(Qt::AlignCenter);
    down = _iconButton(panel, downName, ":/images/value_decrease", QString(), "");
    slider = new QSlider(Qt::Horizontal, panel);
    slider->setObjectName(sliderName);
    // Room for the round 20 px knob below the groove's 2 px shift.
    slider->setMinimumHeight(30);
    up = _iconButton(panel, upName, ":/images/value_increase", QString(), "");
    down->setToolTip(QString());
    up->setToolTip(QString());
    row->addWidget(label);
    row->addWidget(down);
    row->addWidget(slider, 1);
    row->addWidget(up);
    connect(slider, &QSlider::valueChanged, this, &DrawingTuningWidget::onSliderValueChanged);
    connect(slider, &QSlider::sliderReleased, this, &DrawingTuningWidget::onSliderReleased);
    connect(up, &QPushButton::pressed, this, &DrawingTuningWidget::onValueUpButtonPressed);
    connect(up, &QPushButton::released, this, &DrawingTuningWidget::onValueUpButtonReleased);
    connect(down, &QPushButton::pressed, this, &DrawingTuningWidget::onValueDownButtonPressed);
    connect(down, &QPushButton::released, this, &DrawingTuningWidget::onValueDownButtonReleased);
    return row;
  };
  QHBoxLayout *lineWidthRow =
    valueRow(_lineWidthPanel, "lineWidthPanel", "lineWidthHorizontalLayout",
             QT_TRANSLATE_NOOP("DrawingTuningWidget", "Line width"), _lineWidthValueLabel, "lineWidthValueLabel",
             _lineWidthValueDownButton, "lineWidthValueDownButton", _lineWidthSlider, "lineWidthSlider",
             _lineWidthValueUpButton, "lineWidthValueUpButton");
  lineWidthRow->setContentsMargins(5, 0, 5, 0);
  valueRow(_hardnessPanel, "hardnessPanel", "hardnessPanelHorizontalLayout",
           QT_TRANSLATE_NOOP("DrawingTuningWidget", "Hardness"), _hardnessValueLabel, "hardnessValueLabel",
           _hardnessValueDownButton, "hardnessValueDownButton", _hardnessSlider, "hardnessSlider",
           _hardnessValueUpButton, "hardnessValueUpButton");
  {
    // A fresh slider at 0 would clamp to the range and report 0.5 px as a choice.
    const QSignalBlocker blocker(_lineWidthSlider);
    _lineWidthSlider->setRange(50, 32000);
  }
  _hardnessSlider->setRange(0, 100);
  // A widget does not own the style set on it.
  auto *lineWidthStyle = new LineWidthSliderStyle;
  lineWidthStyle->setParent(_lineWidthSlider);
  _lineWidthSlider->setStyle(lineWidthStyle);
  auto *hardnessStyle = new HardnessSliderStyle;
  hardnessStyle->setParent(_hardnessSlider);
  _hardnessSlider->setStyle(hardnessStyle);

  for (QWidget *w : {_pictureTuningPanel, _textTuningPanel, _lineWidthPanel, _hardnessPanel})
    _verticalLayout->addWidget(w);

  connect(_editTextButton, &QPushButton::clicked, this, &DrawingTuningWidget::onEditTextButtonPressed);
  connect(_textAlignButton, &QPushButton::clicked, this, &DrawingTuningWidget::onTextAlignButtonPressed);
  connect(_textSizeButton, &QPushButton::clicked, this, &DrawingTuningWidget::onTextSizeButtonPressed);
  connect(_textFontButton, &QPushButton::clicked, this, &DrawingTuningWidget::onTextFontButtonPressed);
  connect(_textDoneButton, &QPushButton::clicked, this, &DrawingTuningWidget::onTextDoneButtonPressed);
  connect(_openPictureButton, &QPushButton::clicked, this, &DrawingTuningWidget::onOpenPictureButtonPressed);
  connect(_pictureSizeButton, &QPushButton::clicked, this, &DrawingTuningWidget::onPictureSizeButtonPressed);
  connect(_pictureDoneButton, &QPushButton::clicked, this, &DrawingTuningWidget::onPictureDoneButtonPressed);
}

void DrawingTuningWidget::_applyStyles()
{
  setAttribute(Qt::WA_StyledBackground, true);
  const QString stepMargin = _inspectorStyling ? "10px 0 10px 0" : "10px";
  QString sheet = "QWidget#DrawingTuningWidget {background-color: rgba(7,8,10,244); border-radius: 10px;}"
                  "QWidget#pictureTuningPanel, QWidget#textTuningPanel {background-color: transparent;}"
                  "QLabel {color: white;} QLabel:disabled {color: rgb(128,128,128);}"
                  "QToolTip {color: white; background-color: rgb(54,200,255); border: none;}"
                  "QPushButton#textSizeButton, QPushButton#textFontButton, QPushButton#pictureSizeButton "
                  "{color: white; text-decoration: underline; border: none; background: transparent;}"
                  "QPushButton#textSizeButton:pressed, QPushButton#textFontButton:pressed, "
                  "QPushButton#pictureSizeButton:pressed, QPushButton[highlighted=\"true\"] {color: rgb(54,200,255);}"
                  "QPushButton#textSizeButton:disabled, QPushButton#textFontButton:disabled, "
                  "QPushButton#pictureSizeButton:disabled {color: rgb(128,128,128);}";
  for (const char *name : {"lineWidthValueDownButton", "lineWidthValueUpButton", "hardnessValueDownButton",
                           "hardnessValueUpButton"})
    sheet += QString("QPushButton#%1:pressed {background-color: rgb(25,26,28); margin: %2; border-radius: 10px;}")
               .arg(name, stepMargin);
  setStyleSheet(sheet);
}

void DrawingTuningWidget::setRubber(bool rubber)
{
  _rubber = rubber;
  {
    const QSignalBlocker widthBlocker(_lineWidthSlider);
    const QSignalBlocker hardnessBlocker(_hardnessSlider);
    _lineWidthSlider->setValue(qRound((rubber ? _rubberLineWidth : _lineWidth) * 100));
    _hardnessSlider->setValue(qRound((rubber ? _rubberHardness : _hardness) * 100));
  }
  _updateLabels();
}

void DrawingTuningWidget::showTuningPanel(int kind)
{
  _panelKind = kind;
  _textTuningPanel->setVisible(kind == 1);
  _pictureTuningPanel->setVisible(kind == 2);
  _lineWidthPanel->setVisible(kind != 1 && kind != 2);
  _hardnessPanel->setVisible(true);
}

void DrawingTuningWidget::setTextSize(float size)
{
  _textSize = size;
  _textSizeButton->setText(QString::asprintf("%d pt", int(size)));
}

void DrawingTuningWidget::setPictureSize(float size)
{
  _pictureSize = size;
  _pictureSizeButton->setText(QString::asprintf("%d%%", int(size * 100)));
}

void DrawingTuningWidget::setTextDoneEnabled(bool enabled)
{
  _textDoneButton->setEnabled(enabled);
}

void DrawingTuningWidget::setPictureDoneEnabled(bool enabled)
{
  _pictureDoneButton->setEnabled(enabled);
}

PopupSliderWidget *DrawingTuningWidget::openPopup() const
{
  return _popup;
}

void DrawingTuningWidget::dismissPopup()
{
  if (_popup)
    _popup->dismiss();
}

// Sliders and stepping

void DrawingTuningWidget::_updateLabels()
{
  _lineWidthValueLabel->setText(QString::asprintf("%.1f px", double(_rubber ? _rubberLineWidth : _lineWidth)));
  _hardnessValueLabel->setText(QString::asprintf("%.2f", double(_rubber ? _rubberHardness : _hardness)));
}

void DrawingTuningWidget::_setRowValue(QSlider *slider, float value)
{
  if (slider == _lineWidthSlider)
    (_rubber ? _rubberLineWidth : _lineWidth) = value;
  else
    (_rubber ? _rubberHardness : _hardness) = value;
  _updateLabels();
}

void DrawingTuningWidget::_emitChanging(QSlider *slider)
{
  if (slider == _lineWidthSlider)
    emit drawingTuningWidgetLineWidthChanging(this, _rubber ? _rubberLineWidth : _lineWidth);
  else
    emit drawingTuningWidgetHardnessChanging(this, _rubber ? _rubberHardness : _hardness);
}

void DrawingTuningWidget::_emitChanged(QSlider *slider)
{
  if (slider == _lineWidthSlider)
    emit drawingTuningWidgetLineWidthChanged(this, _rubber ? _rubberLineWidth : _lineWidth);
  else
    emit drawingTuningWidgetHardnessChanged(this, _rubber ? _rubberHardness : _hardness);
}

void DrawingTuningWidget::onSliderValueChanged(int value)
{
  auto *slider = qobject_cast<QSlider *>(sender());
  if (!slider)
    return;
  _setRowValue(slider, value / 100.0f);
  _emitChanging(slider);
}

void DrawingTuningWidget::onSliderReleased()
{
  if (auto *slider = qobject_cast<QSlider *>(sender()))
    _emitChanged(slider);
}

QSlider *DrawingTuningWidget::_sliderOf(QObject *button) const
{
  if (button == _lineWidthValueUpButton || button == _lineWidthValueDownButton)
    return _lineWidthSlider;
  return _hardnessSlider;
}

void DrawingTuningWidget::onValueUpButtonPressed()
{
  QSlider *slider = _sliderOf(sender());
  _startStepping(slider, slider == _lineWidthSlider ? kLineWidthStep : kHardnessStep);
}

void DrawingTuningWidget::onValueDownButtonPressed()
{
  QSlider *slider = _sliderOf(sender());
  _startStepping(slider, slider == _lineWidthSlider ? -kLineWidthStep : -kHardnessStep);
}

void DrawingTuningWidget::onValueUpButtonReleased()
{
  _stopStepping();
}

void DrawingTuningWidget::onValueDownButtonReleased()
{
  _stopStepping();
}

void DrawingTuningWidget::_startStepping(QSlider *slider, int offset)
{
  _repeating = true;
  _repeatInterval = 0;
  _stepSlider = slider;
  _stepOffset = offset;
  _step();
}

void DrawingTuningWidget::_step()
{
  QSlider *slider = _stepSlider;
  if (!slider)
    return;
  // To the next whole step beyond the value: 10.5 px goes to 11 px up and to 10 px down.
  const int v = slider->value();
  const int q = std::abs(_stepOffset);
  const int n = _stepOffset > 0 ? (int(std::floor(double(v) / q)) + 1) * q : (int(std::ceil(double(v) / q)) - 1) * q;
  const int value = qBound(slider->minimum(), n, slider->maximum());
  if (value == v)
    return;
  {
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
  }
  _setRowValue(slider, value / 100.0f);
  _emitChanging(slider);
  if (!_repeating)
    return;
  _repeatInterval = _repeatInterval == 0 ? 500 : 50;
  _stepTimer.start(_repeatInterval);
}

void DrawingTuningWidget::_stopStepping()
{
  _repeating = false;
  _stepTimer.stop();
  QSlider *slider = _stepSlider;
  const int counter = ++_releaseCounter;
  QTimer::singleShot(350, this, [this, slider, counter]() {
    if (counter == _releaseCounter && slider)
      _emitChanged(slider);
  });
}

// Text and picture rows

void DrawingTuningWidget::onEditTextButtonPressed()
{
  emit drawingTuningWidgetEditTextPressed(this);
}

void DrawingTuningWidget::onTextDoneButtonPressed()
{
  emit drawingTuningWidgetTextDonePressed(this);
}

void DrawingTuningWidget::onPictureDoneButtonPressed()
{
  emit drawingTuningWidgetPictureDonePressed(this);
}

void DrawingTuningWidget::onOpenPictureButtonPressed()
{
  QRect rect = _openPictureButton->rect();
  if (QWidget *parent = parentWidget())
    rect.moveTopLeft(_openPictureButton->mapTo(parent, QPoint(0, 0)));
  emit drawingTuningWidgetOpenPicturePressed(this, rect);
}

void DrawingTuningWidget::onTextAlignButtonPressed()
{
  if (_textAlign == Qt::AlignLeft)
    _textAlign = Qt::AlignRight;
  else if (_textAlign == Qt::AlignRight)
    _textAlign = Qt::AlignHCenter;
  else
    _textAlign = Qt::AlignLeft;
  _showAlignIcons();
  emit drawingTuningWidgetTextAlignChanged(this, _textAlign);
}

void DrawingTuningWidget::_showAlignIcons()
{
  const QString name = _textAlign == Qt::AlignLeft    ? "leftAlign"
                       : _textAlign == Qt::AlignRight ? "rightAlign"
                                                      : "centerAlign";
  _textAlignButton->setNormalIcon(":/images/toolbar/" + name);
  _textAlignButton->setSelectedIcon(":/images/toolbar/" + name + "2");
}

void DrawingTuningWidget::onTextFontButtonPressed()
{
  QFont initial(_fontName);
  initial.setStyleName(_fontStyle);
  bool ok = false;
  const QFont font = DialogProvider::instance()->getFont(&ok, initial, window(), QString());
  if (!ok || (font.family() == _fontName && font.styleName() == _fontStyle))
    return;
  _fontName = font.family();
  _fontStyle = font.styleName();
  _showFontText();
  emit drawingTuningWidgetTextFontChanged(this, _fontName, _fontStyle);
}

void DrawingTuningWidget::_showFontText()
{
  _textFontButton->setText(_fontStyle.isEmpty() ? _fontName : _fontName + "-" + _fontStyle);
}

// Size popups

void DrawingTuningWidget::onTextSizeButtonPressed()
{
  QTimer::singleShot(200, this, [this]() { _openSizePopup(_textSizeButton); });
}

void DrawingTuningWidget::onPictureSizeButtonPressed()
{
  QTimer::singleShot(200, this, [this]() { _openSizePopup(_pictureSizeButton); });
}

QWidget *DrawingTuningWidget::_popupParentWidget() const
{
  return _popupParent ? _popupParent : parentWidget();
}

QPoint DrawingTuningWidget::_popupAnchor() const
{
  return _popupParentWidget()->mapFromGlobal(mapToGlobal(QPoint(width() / 2, 0)));
}

void DrawingTuningWidget::_openSizePopup(QPushButton *button)
{
  QWidget *parent = _popupParentWidget();
  if (!parent)
    return;
  dismissPopup();
  const bool text = button == _textSizeButton;
  auto *popup = new PopupSliderWidget(parent);
  popup->setCornerStyle(4);
  popup->setAnchorSpacing(10);
  popup->setPercentFormat(!text);
  if (_inspectorStyling) {
    popup->setBackgroundColor(QColor(44, 46, 50, 244));
    popup->addDropShadow();
  }
  connect(popup, &CommonPopup::dismissed, this, &DrawingTuningWidget::popup_onDismissed);
  connect(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged, this,
          &DrawingTuningWidget::sliderColorPopup_onValueChanged);
  connect(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging, this,
          &DrawingTuningWidget::sliderColorPopup_onValueChanging);
  _popup = popup;
  _popupButton = button;
  if (text)
    popup->showPopupWithValue(parent, tr("Text Size"), _popupAnchor(), _textSize, 1, 960, false, 1);
  else
    popup->showPopupWithValue(parent, tr("Picture Size"), _popupAnchor(), _pictureSize, 0.01f, 4.0f, false, 0.01f);
  _setHighlighted(button, true);
}

void DrawingTuningWidget::_setHighlighted(QPushButton *button, bool on)
{
  button->setProperty("highlighted", on);
  button->style()->unpolish(button);
  button->style()->polish(button);
}

void DrawingTuningWidget::sliderColorPopup_onValueChanging(CommonSliderColorPopup *popup, float value)
{
  sliderColorPopup_onValueChanged(popup, value);
}

void DrawingTuningWidget::sliderColorPopup_onValueChanged(CommonSliderColorPopup *popup, float value)
{
  if (popup != _popup)
    return;
  if (_popupButton == _textSizeButton) {
    setTextSize(value);
    emit drawingTuningWidgetTextSizeChanged(this, int(_textSize));
  } else {
    setPictureSize(value);
    emit drawingTuningWidgetPictureSizeChanged(this, value);
  }
}

void DrawingTuningWidget::popup_onDismissed(CommonPopup *popup)
{
  if (popup != _popup)
    return;
  _setHighlighted(_textSizeButton, false);
  _setHighlighted(_pictureSizeButton, false);
  _popup = nullptr;
  _popupButton = nullptr;
}

void DrawingTuningWidget::moveEvent(QMoveEvent *event)
{
  QWidget::moveEvent(event);
  if (_popup)
    _popup->moveToAnchor(_popupAnchor());
}

void DrawingTuningWidget::useInspectorLayout()
{
  auto *sizeAndFont = new QVBoxLayout;
  sizeAndFont->setContentsMargins(0, 0, 0, 0);
  sizeAndFont->setSpacing(0);
  _textRow->removeWidget(_textSizeButton);
  _textRow->removeWidget(_textFontButton);
  sizeAndFont->addWidget(_textSizeButton);
  sizeAndFont->addWidget(_textFontButton);
  _textRow->insertLayout(2, sizeAndFont);
  _textSizeButton->setMinimumHeight(25);
  _textFontButton->setMinimumHeight(30);
  _textFontButton->setMaximumWidth(120);
  auto *wrapping = new TextWrappingButtonProxyStyle;
  wrapping->setParent(_textFontButton);
  _textFontButton->setStyle(wrapping);
  for (TooltipButton *button : {_openPictureButton, _pictureDoneButton, _editTextButton, _textAlignButton,
                                _textDoneButton})
    button->setIconSize(QSize(27, 27));
  _pictureRow->setContentsMargins(0, 12, 0, 12);
  _textRow->setContentsMargins(0, 0, 0, 0);
  _lineWidthPanel->layout()->setContentsMargins(0, 0, 0, 0);
  _hardnessPanel->layout()->setContentsMargins(0, 0, 0, 0);
  for (QPushButton *button : {_lineWidthValueDownButton, _lineWidthValueUpButton, _hardnessValueDownButton,
                              _hardnessValueUpButton})
    button->setFixedWidth(30);
  _inspectorStyling = true;
  _applyStyles();
}
