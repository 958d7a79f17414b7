#include "geometryeditingwidget.h"

#include "editingformparts.h"
#include "scrollabletoolbar.h"
#include "tooltipbutton.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int firstRepeatMs = 500;
constexpr int repeatMs = 50;
constexpr int gestureEndMs = 350;
constexpr double degreesPerRadian = 57.29577951308232;

struct PanelSpec
{
  const char *panel, *label, *downButton, *lineEdit, *upButton, *initialText;
  bool percent;     // else degrees
  bool allowsMinus; // scale has no sign
};

const PanelSpec panelSpecs[] = {
  {"xPanel", QT_TRANSLATE_NOOP("GeometryEditingWidget", "X"), "xValueDownButton", "xLineEdit", "xValueUpButton",
   QT_TRANSLATE_NOOP("GeometryEditingWidget", "0%"), true, true},
  {"yPanel", QT_TRANSLATE_NOOP("GeometryEditingWidget", "Y"), "yValueDownButton", "yLineEdit", "yValueUpButton",
   QT_TRANSLATE_NOOP("GeometryEditingWidget", "0%"), true, true},
  {"wPanel", QT_TRANSLATE_NOOP("GeometryEditingWidget", "W"), "wValueDownButton", "wLineEdit", "wValueUpButton",
   QT_TRANSLATE_NOOP("GeometryEditingWidget", "100%"), true, false},
  {"hPanel", QT_TRANSLATE_NOOP("GeometryEditingWidget", "H"), "hValueDownButton", "hLineEdit", "hValueUpButton",
   QT_TRANSLATE_NOOP("GeometryEditingWidget", "100%"), true, false},
  {"rPanel", QT_TRANSLATE_NOOP("GeometryEditingWidget", "\u2220"), "rValueDownButton", "rLineEdit",
   "rValueUpButton", QT_TRANSLATE_NOOP("GeometryEditingWidget", "0\u00b0"), false, true},
};

const QChar degreeSign(0x00b0);

struct ToolSpec
{
  bool second; // on toolbar2
  const char *toolTip, *icon;
  int command;
};

const ToolSpec toolSpecs[] = {
  {false, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Crop"), "crop", 10024},
  {false, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Flip Horizontally"), "hflip", 10008},
  {false, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Flip Vertically"), "vflip", 10009},
  {false, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Maintain aspect ratio"), "resize", 10003},
  {false, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Restore the default"), "reload", 10004},
  {true, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Rotate Clockwise"), "rotate-90", 10006},
  {true, QT_TRANSLATE_NOOP("GeometryEditingWidget", "Rotate Counterclockwise"), "rotate+90", 10007},
};

const char *const labelStyle = "QLabel { color: rgb(162,162,162); } QLabel:disabled { color: rgb(128,128,128); }";
const char *const valueButtonStyle =
  "QPushButton { border: 1px solid rgb(101,101,101); } QPushButton:disabled { border: 1px solid rgb(55,55,55); }";
const char *const lineEditStyle =
  "QLineEdit { color: white; border: 1px solid rgb(101,101,101); margin-left: -1px; margin-right: -1px; }"
  "QLineEdit:disabled { color: rgb(128,128,128); border: 1px solid rgb(55,55,55); }";

QPushButton *valueButton(const char *name, const char *icon, QWidget *parent)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFixedSize(25, 25);
  button->setFlat(true);
  button->setIcon(QIcon(icon));
  return button;
}
} // namespace

GeometryEditingWidget::GeometryEditingWidget(QWidget *parent) : QWidget(parent)
{
  _buildForm();
  _buildToolBars();
  _applyStyle();
  _repeatTimer.setSingleShot(true);
  connect(&_repeatTimer, &QTimer::timeout, this, &GeometryEditingWidget::_step);
  for (const Panel &p : _panels) {
    connect(p.upButton, &QPushButton::pressed, this, &GeometryEditingWidget::onValueUpButtonPressed);
    connect(p.upButton, &QPushButton::released, this, &GeometryEditingWidget::onValueUpButtonReleased);
    connect(p.downButton, &QPushButton::pressed, this, &GeometryEditingWidget::onValueDownButtonPressed);
    connect(p.downButton, &QPushButton::released, this, &GeometryEditingWidget::onValueDownButtonReleased);
    connect(p.lineEdit, &QLineEdit::editingFinished, this, &GeometryEditingWidget::onEditingFinished);
    QLineEdit *edit = p.lineEdit;
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { _fitText(edit); });
  }
}

// --- Form ---

void GeometryEditingWidget::_buildForm()
{
  setObjectName("GeometryEditingWidget");
  resize(400, 230);
  setWindowTitle("Form");
  auto *verticalLayout = new QVBoxLayout(this);
  verticalLayout->setObjectName("verticalLayout");
  _titleLabel = new QLabel(tr("Geometry"), this);
  _titleLabel->setObjectName("titleLabel");
  _titleLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  _titleLabel->setAlignment(Qt::AlignCenter);
  verticalLayout->addWidget(_titleLabel);

  auto *widget4 = new QWidget(this);
  widget4->setObjectName("widget_4");
  widget4->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  auto *columns = new QHBoxLayout(widget4);
  columns->setObjectName("horizontalLayout_3");
  columns->setContentsMargins(0, 0, 0, 0);
  const char *columnNames[2][2] = {{"widget_5", "verticalLayout_3"}, {"widget_6", "verticalLayout_4"}};
  QVBoxLayout *columnLayouts[2];
  for (int c = 0; c < 2; ++c) {
    auto *column = new QWidget(widget4);
    column->setObjectName(columnNames[c][0]);
    columnLayouts[c] = new QVBoxLayout(column);
    columnLayouts[c]->setObjectName(columnNames[c][1]);
    columnLayouts[c]->setSpacing(0);
    columnLayouts[c]->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(column, 1);
    if (c == 0)
      columns->addSpacerItem(new QSpacerItem(5, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
  }
  _toolbar2 = new ScrollableToolBar(columnLayouts[0]->parentWidget());
  _toolbar2->setObjectName("toolbar2");
  for (QWidget *w : {_buildPanel(X, columnLayouts[0]->parentWidget()), _buildPanel(Width, columnLayouts[0]->parentWidget()),
                     static_cast<QWidget *>(_toolbar2)})
    columnLayouts[0]->addWidget(w, 1);
  for (Field f : {Y, Height, Rotation})
    columnLayouts[1]->addWidget(_buildPanel(f, columnLayouts[1]->parentWidget()), 1);
  verticalLayout->addWidget(widget4);

  _toolbar = new ScrollableToolBar(this);
  _toolbar->setObjectName("toolbar");
  _toolbar->setMinimumSize(0, 50);
  _toolbar->setMaximumSize(16777215, 50);
  verticalLayout->addWidget(_toolbar);

  QWidget *previous = nullptr;
  for (const Panel &p : _panels)
    for (QWidget *w : {static_cast<QWidget *>(p.downButton), static_cast<QWidget *>(p.lineEdit),
                       static_cast<QWidget *>(p.upButton)}) {
      if (previous)
        setTabOrder(previous, w);
      previous = w;
    }
}

QWidget *GeometryEditingWidget::_buildPanel(Field field, QWidget *parent)
{
  const PanelSpec &spec = panelSpecs[field];
  Panel &p = _panels[field];
  p.widget = new QWidget(parent);
  p.widget->setObjectName(spec.panel);
  auto *row = new QHBoxLayout(p.widget);
  row->setSpacing(0);
  row->setContentsMargins(0, 0, 0, 0);
  p.label = new QLabel(tr(spec.label), p.widget);
  p.label->setMinimumWidth(25);
  p.label->setAlignment(Qt::AlignCenter);
  p.downButton = valueButton(spec.downButton, ":/images/value_decrease", p.widget);
  p.lineEdit = new QLineEdit(tr(spec.initialText), p.widget);
  p.lineEdit->setObjectName(spec.lineEdit);
  p.lineEdit->setMinimumHeight(25);
  p.lineEdit->setAlignment(Qt::AlignCenter);
  // A validator rather than a fixed-width mask: scale has no upper bound and a mask would cut
  // 1500 % to 500 %, which the next commit would then apply.
  const QString unit = QRegularExpression::escape(spec.percent ? QString("%") : QString(degreeSign));
  const QString pattern = QString("\\s*%1\\s*\\d*(\\.\\d*)?\\s*(%2)?\\s*").arg(spec.allowsMinus ? "-?" : "", unit);
  p.lineEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), p.lineEdit));
  p.upButton = valueButton(spec.upButton, ":/images/value_increase", p.widget);
  row->addWidget(p.label);
  row->addWidget(p.downButton);
  row->addWidget(p.lineEdit);
  row->addWidget(p.upButton);
  return p.widget;
}

void GeometryEditingWidget::_buildToolBars()
{
  for (const ToolSpec &spec : toolSpecs) {
    ScrollableToolBar *bar = spec.second ? _toolbar2 : _toolbar;
    const QString icon = QString(":/images/toolbar/") + spec.icon;
    TooltipButton *button = bar->addButton(icon, icon + "2", tr(spec.toolTip), spec.command, 0, true);
    button->setDisabledIcon(icon + "_dis");
    if (spec.command == 10008)
      _hFlipButton = button;
    else if (spec.command == 10009)
      _vFlipButton = button;
  }
  for (ScrollableToolBar *bar : {_toolbar, _toolbar2}) {
    connect(bar, &ScrollableToolBar::scrollableToolBarButtonClicked, this,
            &GeometryEditingWidget::onToolBarButtonClicked);
  }
}

void GeometryEditingWidget::_applyStyle()
{
  EditingFormParts::styleTitle(_titleLabel);
  for (const Panel &p : _panels) {
    p.label->setStyleSheet(labelStyle);
    p.downButton->setStyleSheet(valueButtonStyle);
    p.upButton->setStyleSheet(valueButtonStyle);
    p.lineEdit->setStyleSheet(lineEditStyle);
    p.lineEdit->unsetCursor();
  }
  for (ScrollableToolBar *bar : {_toolbar, _toolbar2}) {
    bar->setBackgroundColor(QColor(7, 8, 10));
    bar->setFixedHeight(50);
    bar->hideScrollArrows();
  }
}

// Scale has no upper bound: a long value takes a smaller font rather than losing digits
// off the edges of the field.
void GeometryEditingWidget::_fitText(QLineEdit *edit)
{
  QFont font = this->font();
  const int room = edit->contentsRect().width() - 6;
  while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(edit->text()) > room)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  edit->setFont(font);
}

void GeometryEditingWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  for (const Panel &p : _panels)
    _fitText(p.lineEdit);
}

// --- Values ---

QString GeometryEditingWidget::_text(Field field, double shown) const
{
  const QString number = QString::asprintf("%.1f", shown);
  return panelSpecs[field].percent ? number + '%' : number + degreeSign;
}

double GeometryEditingWidget::_read(Field field) const
{
  QString text = _panels[field].lineEdit->text();
  text.remove(' ');
  if (text.endsWith('%') || text.endsWith(degreeSign))
    text.chop(1);
  bool ok = false;
  const float value = text.toFloat(&ok);
  return ok ? value : 0.0;
}

void GeometryEditingWidget::_setShown(Field field, double shown)
{
  _panels[field].lineEdit->setText(_text(field, shown));
  _panels[field].last = shown;
}

void GeometryEditingWidget::setXValue(double value)
{
  _setShown(X, value * 100);
}

void GeometryEditingWidget::setYValue(double value)
{
  _setShown(Y, value * 100);
}

void GeometryEditingWidget::setWidthValue(double value)
{
  _setShown(Width, value * 100);
}

void GeometryEditingWidget::setHeightValue(double value)
{
  _setShown(Height, value * 100);
}

void GeometryEditingWidget::setRotationValue(double value)
{
  _setShown(Rotation, value * degreesPerRadian);
}

void GeometryEditingWidget::setHFlipSelected(bool selected)
{
  _hFlipButton->setSelected(selected);
}

void GeometryEditingWidget::setVFlipSelected(bool selected)
{
  _vFlipButton->setSelected(selected);
}

void GeometryEditingWidget::setEditingEnabled(bool enabled)
{
  setEnabled(enabled);
}

int GeometryEditingWidget::_fieldOf(QObject *widget) const
{
  for (int f = 0; f < FieldCount; ++f) {
    const Panel &p = _panels[f];
    if (widget && (widget == p.downButton || widget == p.upButton || widget == p.lineEdit))
      return f;
  }
  return -1;
}

// --- Committing ---

void GeometryEditingWidget::onEditingFinished()
{
  const int field = _fieldOf(sender());
  if (field < 0)
    return;
  QLineEdit *edit = _panels[field].lineEdit;
  // Leaving a field the user did not type in applies nothing: the text shows a rounded value.
  if (!edit->isModified()) {
    edit->clearFocus();
    return;
  }
  _commit(Field(field));
}

void GeometryEditingWidget::_commit(Field field)
{
  Panel &p = _panels[field];
  const double v = _read(field);
  // Resets the modified flag, so the focus loss below commits nothing more.
  p.lineEdit->setText(_text(field, v));
  if (v != p.last) {
    p.last = v;
    switch (field) {
    case X:
      emit xValueChanged(v / 100);
      break;
    case Y:
      emit yValueChanged(v / 100);
      break;
    case Width:
      emit widthValueChanged(std::fabs(v / 100));
      break;
    case Height:
      emit heightValueChanged(std::fabs(v / 100));
      break;
    default:
      emit rotationValueChanged(v / 180 * M_PI);
      break;
    }
  }
  p.lineEdit->clearFocus();
}

void GeometryEditingWidget::_emitChanging(Field field, double shown)
{
  switch (field) {
  case X:
    emit xValueChanging(shown / 100);
    break;
  case Y:
    emit yValueChanging(shown / 100);
    break;
  case Width:
    emit widthValueChanging(shown / 100);
    break;
  case Height:
    emit heightValueChanging(shown / 100);
    break;
  default:
    emit rotationValueChanging(shown / 180 * M_PI);
    break;
  }
}

// --- Button gestures ---

void GeometryEditingWidget::onValueUpButtonPressed()
{
  _press(sender(), 1);
}

void GeometryEditingWidget::onValueDownButtonPressed()
{
  _press(sender(), -1);
}

void GeometryEditingWidget::onValueUpButtonReleased()
{
  _release();
}

void GeometryEditingWidget::onValueDownButtonReleased()
{
  _release();
}

void GeometryEditingWidget::_press(QObject *button, double direction)
{
  if (_fieldOf(button) < 0)
    return;
  _pressing = true;
  _pressedButton = static_cast<QPushButton *>(button);
  // Space on a focused button holds it as well; such a hold lasts while the button is down.
  _mouseHold = QGuiApplication::mouseButtons() & Qt::LeftButton;
  _repeatInterval = 0;
  if (!_gestureOpen) {
    _gestureOpen = true;
    emit beforeGeometryValueChanging(_gestureTranslation, _gestureScale, _gestureRotation);
  }
  // Read at the press only: letting go of Control while holding keeps the step.
  const bool fine = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
  _stepDelta = direction * (fine ? 0.1 : 1.0);
  _step();
}

void GeometryEditingWidget::_step()
{
  if (!_pressing)
    return;
  // A hold can end without a release reaching the button: hidden under the pointer with the
  // inspector, or the button let go elsewhere. Stepping on would move the layer for ever.
  const bool held = _mouseHold ? bool(QGuiApplication::mouseButtons() & Qt::LeftButton) : _pressedButton->isDown();
  if (!_pressedButton->isVisible() || !held) {
    _release();
    return;
  }
  const Field field = Field(_fieldOf(_pressedButton));
  const double v = _read(field);
  double n = v + _stepDelta;
  if ((field == Width || field == Height) && !(n > 0))
    n = 0;
  if (n == v)
    return;
  _panels[field].lineEdit->setText(_text(field, n));
  _steppedFields |= 1 << field;
  _emitChanging(field, _read(field));
  _repeatInterval = _repeatInterval == 0 ? firstRepeatMs : repeatMs;
  _repeatTimer.start(_repeatInterval);
}

void GeometryEditingWidget::_release()
{
  _pressing = false;
  _repeatTimer.stop();
  const int count = ++_releaseCount;
  // Ends the gesture unless another release followed or a button is held again by then.
  QTimer::singleShot(gestureEndMs, this, [this, count] {
    if (count == _releaseCount && !_pressing)
      _endGesture();
  });
}

void GeometryEditingWidget::_endGesture()
{
  if (!_gestureOpen)
    return;
  _gestureOpen = false;
  const QPointF translation = _gestureTranslation;
  const QPointF scale = _gestureScale;
  _gestureScale.setX(-1.0);
  emit afterGeometryValueChanging(translation, scale, _gestureRotation);
  // Every field the gesture stepped: presses on several fields can make one gesture.
  const int stepped = _steppedFields | (1 << _fieldOf(_pressedButton));
  _steppedFields = 0;
  for (int f = 0; f < FieldCount; ++f)
    if (stepped & (1 << f))
      _commit(Field(f));
}

// --- Tool strips ---

void GeometryEditingWidget::onToolBarButtonClicked(ScrollableToolBar *, int cmdId)
{
  switch (cmdId) {
  case 10003:
    emit maintainAspectRatioButtonClicked();
    break;
  case 10004:
    emit restoreDefaultButtonClicked();
    break;
  case 10006:
    emit rotateClockwiseButtonClicked();
    break;
  case 10007:
    emit rotateCounterClockwiseButtonClicked();
    break;
  case 10008:
    emit flipHorizontalButtonClicked();
    break;
  case 10009:
    emit flipVerticalButtonClicked();
    break;
  case 10024:
    emit cropButtonClicked();
    break;
  default:
    break;
  }
}
