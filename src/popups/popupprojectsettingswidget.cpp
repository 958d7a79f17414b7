#include "popupprojectsettingswidget.h"

#include "choicemenu.h"
#include "colorbutton.h"
#include "dialogprovider.h"
#include "exportlists.h"
#include "moviesizegridbutton.h"
#include "popupcolormatrixwidget.h"
#include "popupappearance.h"
#include "popupmainwidget.h"
#include "segmentedcontrol.h"
#include "switchbutton.h"
#include "util.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidgetAction>

namespace {

// One aspect button per tag, in the order shown; the code is the project's "resolution".
struct AspectChoice
{
  const char *landscapeText;
  float landscapeRatio;
  const char *portraitText;
  float portraitRatio;
  int code;
};

const AspectChoice aspectChoices[] = {
  {"16:9", 16.0f / 9.0f, "9:16", 0.5625f, 1},
  {"1:1", 1.0f, "1:1", 1.0f, 2},
  {"4:3", 4.0f / 3.0f, "3:4", 0.75f, 0},
  {"5:4", 1.25f, "4:5", 0.8f, 3},
  {"19.5:9", 19.5f / 9.0f, "9:19.5", 9.0f / 19.5f, 4},
  {"21:9", 21.0f / 9.0f, "9:21", 9.0f / 21.0f, 5},
};
constexpr int aspectChoiceCount = 6;

int tagForCode(int code)
{
  for (int tag = 0; tag < aspectChoiceCount; ++tag)
    if (aspectChoices[tag].code == code)
      return tag;
  return -1;
}

constexpr int sizeButtonWidth = 75;
constexpr int sizeAreaInset = 10;
// Below its anchor the panel is shortened to the room left, but not below this.
constexpr int minAnchoredHeight = 240;

} // namespace

PopupProjectSettingsWidget::PopupProjectSettingsWidget(QWidget *parent) : CommonPopup(parent)
{
  _buildForm();
}

PopupProjectSettingsWidget::~PopupProjectSettingsWidget()
{
  delete _colorPopup.data();
}

void PopupProjectSettingsWidget::showPopupWithSettings(QWidget *parent, QWidget *anchorWidget, int presentationMode,
                                                       int resolution, bool direction, float frameRate,
                                                       bool fixCoverImage, const QColor &backgroundColor)
{
  _anchorWidget = anchorWidget;
  _presentationMode = presentationMode;
  _resolution = resolution;
  _direction = direction;
  _frameRate = frameRate;
  _fixCoverImage = fixCoverImage;
  _backgroundColor = backgroundColor;
  _savedColor = QColor(0, 0, 0, 255);
  showPopup(parent, QString(), QPoint(0, 0));
}

QSize PopupProjectSettingsWidget::popupSizeForMode(int mode) const
{
  const QWidget *parent = parentWidget();
  switch (mode) {
  case 0:
    return QSize(int(parent->width() * 0.6), int(parent->height() * 0.9));
  case 1:
    return QSize(parent->width(), int(parent->height() * 0.95));
  case 2:
    return QSize(480, 640);
  default:
    return QSize(360, 640);
  }
}

void PopupProjectSettingsWidget::_reportChange()
{
  if (_presentationMode == 2 || _presentationMode == 3)
    emit popupProjectSettingsWidgetParametersDidChange(this);
}

// --- Showing and placing ---

void PopupProjectSettingsWidget::_styleSectionHeader(QWidget *header, QLabel *label)
{
  header->setAttribute(Qt::WA_StyledBackground, true);
  header->setStyleSheet(QString("QWidget#%1 {background-color: rgb(44,46,50);}").arg(header->objectName()));
  label->setStyleSheet("QLabel {color: rgb(54,200,255);}");
}

QPushButton *PopupProjectSettingsWidget::_createRowButton(QWidget *row)
{
  auto *button = new QPushButton(row);
  button->setFlat(true);
  button->setGeometry(0, 0, row->width(), row->height());
  button->setStyleSheet("QPushButton {background-color: transparent; border: none;}"
                        "QPushButton:pressed {background-color: rgba(7,8,10,244);}");
  button->lower();
  button->show();
  return button;
}

void PopupProjectSettingsWidget::initialize()
{
  CommonPopup::initialize();
  setStyleSheet("QLabel {color: white;} QLabel:disabled {color: rgb(128,128,128);}");
  _panel->setBackgroundColor(QColor(31, 32, 35, 255));
  _panel->setBorderColor(QColor(64, 64, 64, 128));
  _panel->setRadius(10);

  QFont titleFont = _formTitleLabel->font();
  titleFont.setPointSize(titleFont.pointSize() + 1);
  titleFont.setWeight(75);
  _formTitleLabel->setFont(titleFont);
  _styleSectionHeader(_aspectRatioHeaderWidget, _aspectRatioHeaderLabel);
  _styleSectionHeader(_videoHeaderWidget, _videoHeaderLabel);
  _styleSectionHeader(_showcaseHeaderWidget, _showcaseHeaderLabel);

  _scrollArea->setStyleSheet("QScrollArea {background-color: transparent; border: none;}");
  _scrollArea->viewport()->setAutoFillBackground(false);
  _scrollAreaWidget->setStyleSheet(QString());
  _scrollAreaWidget->setAutoFillBackground(false); // the scroll area turned it on

  Util::applyScrollBarStyleSheet(_scrollArea->verticalScrollBar());

  _directionSegmentedWidget->setSegmentTitles({tr("Landscape"), tr("Portrait")});
  _directionSegmentedWidget->setCurrentIndex(_direction ? 0 : 1);
  _directionSegmentedWidget->setBackgroundColor(QColor(31, 32, 35));
  _directionSegmentedWidget->setSelectedSegmentColor(QColor(54, 200, 255));
  _directionSegmentedWidget->setTextColor(QColor(54, 200, 255));
  _directionSegmentedWidget->setSelectedTextColor(QColor(31, 32, 35));
  connect(_directionSegmentedWidget, &SegmentedControl::segmentIndexChanged, this,
          &PopupProjectSettingsWidget::directionSegmentedControlOnSegmentIndexChanged, Qt::UniqueConnection);

  _rebuildMovieSizeButtons();
  const int tag = tagForCode(_resolution);
  if (tag >= 0)
    _selectedTag = tag;
  _updateMovieSizeSelection();

  if (!_colorRowButton)
    _colorRowButton = _createRowButton(_backgroundColorItemWidget);
  _backgroundColorLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(_colorButton, &QPushButton::clicked, this, &PopupProjectSettingsWidget::colorButtonOnClicked,
          Qt::UniqueConnection);
  connect(_colorRowButton, &QPushButton::clicked, this, &PopupProjectSettingsWidget::colorButtonOnClicked,
          Qt::UniqueConnection);
  _noColorCheckBox->setStyleSheet("QCheckBox {color: rgb(162,162,162);}");
  {
    const QSignalBlocker blocker(_noColorCheckBox);
    _noColorCheckBox->setChecked(_backgroundColor.alpha() == 0);
  }
  connect(_noColorCheckBox, &QCheckBox::stateChanged, this, &PopupProjectSettingsWidget::noColorCheckBoxOnStateChanged,
          Qt::UniqueConnection);
  _showBackgroundColor();

  _frameRateValueLabel->setStyleSheet("QLabel {color: rgb(162,162,162);}");
  _frameRateValueLabel->setText(frameRateText(_frameRate));
  if (!_frameRateRowButton)
    _frameRateRowButton = _createRowButton(_frameRateItemWidget);
  _frameRateLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  _frameRateValueLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(_frameRateRowButton, &QPushButton::clicked, this, &PopupProjectSettingsWidget::frameRateButtonOnClicked,
          Qt::UniqueConnection);

  _coverInfoLabel->setStyleSheet("QLabel {color: rgb(162,162,162);}");
  QFont infoFont = _coverInfoLabel->font();
  infoFont.setPointSize(infoFont.pointSize() - 1);
  _coverInfoLabel->setFont(infoFont);

  _switchButton->setOnColor(QColor(54, 200, 255));
  _switchButton->setOffColor(QColor(25, 26, 28));
  _switchButton->setKnobColor(QColor(255, 255, 255));
  _switchButton->setDisabledOnColor(QColor(44, 105, 133));
  _switchButton->setDisabledOffColor(QColor(25, 26, 28));
  _switchButton->setDisabledKnobColor(QColor(128, 128, 128));
  connect(_switchButton, &SwitchButton::valueChanged, this, &PopupProjectSettingsWidget::onSwitchValueChanged,
          Qt::UniqueConnection);
  _switchButton->setValue(_fixCoverImage);

  const QColor accent(54, 200, 255);
  const QColor pressed = accent.darker(200);
  _doneButton->setStyleSheet(QString("QPushButton {color: white; background-color: rgb(54,200,255); border: none;"
                                     " border-radius: 18px;}"
                                     "QPushButton:pressed {background-color: rgb(%1,%2,%3);}")
                               .arg(pressed.red())
                               .arg(pressed.green())
                               .arg(pressed.blue()));
  connect(_doneButton, &QPushButton::clicked, this, &PopupProjectSettingsWidget::doneButtonOnClicked,
          Qt::UniqueConnection);

  switch (_presentationMode) {
  case 1:
    _bottomPanel->hide();
    if (!_topDoneButton) {
      _topDoneButton = new QPushButton(tr("Done"), _topPanel);
      _topDoneButton->setObjectName("topDoneButton");
      _topDoneButton->setFlat(true);
      _topDoneButton->setFixedHeight(30);
      QFont font = _topDoneButton->font();
      font.setPointSize(font.pointSize() + 1);
      _topDoneButton->setFont(font);
      _topDoneButton->setStyleSheet(
        "QPushButton {color: white; background-color: transparent;}"
        "QPushButton:hover {background-color: rgb(44,46,50); border-radius: 5px;}"
        "QPushButton:pressed {background-color: black; border-radius: 5px;}");
      connect(_topDoneButton, &QPushButton::clicked, this, &PopupProjectSettingsWidget::doneButtonOnClicked);
      _topDoneButton->show();
    }
    break;
  case 2:
    _bottomPanel->hide();
    _mainVerticalLayout->setContentsMargins(0, 16, 0, 0);
    break;
  case 3:
    _bottomPanel->hide();
    _mainVerticalLayout->setContentsMargins(0, 0, 16, 0);
    break;
  default:
    break;
  }
}

void PopupProjectSettingsWidget::showPopup(QWidget *parent, const QString &, const QPoint &anchor)
{
  initialize();
  setGeometry(0, 0, parent->width(), parent->height());
  if (_presentationMode == 1)
    PopupAppearance::slideUp(this);
  else
    PopupAppearance::fadeIn(this);
  layoutAt(anchor);
  addDropShadow();
}

void PopupProjectSettingsWidget::layoutAt(const QPoint &)
{
  const QWidget *parent = parentWidget();
  const int parentWidth = parent->width();
  const int parentHeight = parent->height();
  const QSize size = popupSizeForMode(_presentationMode);
  const int w = size.width();
  int h = size.height();
  QPoint anchor;
  int x = 0, y = 0;
  if (_presentationMode == 2 || _presentationMode == 3) {
    if (_anchorWidget) {
      const QPoint local = _presentationMode == 2 ? QPoint(_anchorWidget->width() / 2, _anchorWidget->height())
                                                  : QPoint(0, _anchorWidget->height() / 2);
      anchor = mapFromGlobal(_anchorWidget->mapToGlobal(local));
    }
    // The panel stays inside the parent; a short parent gets a shorter panel, the rows scroll.
    if (_presentationMode == 3)
      h = qMin(h, parentHeight - 20);
    x = _presentationMode == 2 ? anchor.x() - w / 2 : anchor.x() - w;
    y = _presentationMode == 2 ? anchor.y() : anchor.y() - h / 2;
    if (x + w > parentWidth + 1)
      x = parentWidth - 9 - w;
    if (x < 0)
      x = 10;
    if (w + 20 > parentWidth)
      x = (parentWidth - w) / 2;
    if (_presentationMode == 3) {
      if (y + h > parentHeight + 1)
        y = parentHeight - 9 - h;
      if (y < 0)
        y = (parentHeight - h) / 2;
    } else if (y + h > parentHeight - 9) {
      h = qMin(h, qMax(parentHeight - 9 - y, qMin(minAnchoredHeight, parentHeight - 20)));
      y = qMin(y, parentHeight - 9 - h);
    }
    _panel->setArrowSide(_presentationMode == 2 ? 0 : 2);
    _panel->setArrowPoint(anchor - QPoint(x, y));
  } else {
    x = (parentWidth - w) / 2;
    y = _presentationMode == 1 ? parentHeight - h : (parentHeight - h) / 2;
    _panel->setArrowPoint(QPoint(0, 0));
  }
  _panel->setGeometry(x, y, w, h);
  // The hand-placed parts need the rows' real sizes now, not at the next event loop turn.
  _mainVerticalLayout->activate();
  const int rowsHeight = _coverItemWidget->height() + _showcaseHeaderWidget->height() +
                         _frameRateItemWidget->height() + _noColorItemWidget->height() +
                         _backgroundColorItemWidget->height() + _videoHeaderWidget->height() +
                         _aspectRatioHeaderWidget->height();
  _scrollAreaWidget->setFixedHeight(rowsHeight + _layoutMovieSizeButtons());
  _scrollAreaWidget->layout()->activate();
  for (QPushButton *rowButton : {_colorRowButton, _frameRateRowButton})
    if (rowButton)
      rowButton->setGeometry(0, 0, rowButton->parentWidget()->width(), rowButton->parentWidget()->height());
  if (_topDoneButton)
    _topDoneButton->move(_topPanel->width() - _topDoneButton->width() - 10,
                         (_topPanel->height() - _topDoneButton->height()) / 2);
}

bool PopupProjectSettingsWidget::onReturnKeyPressed()
{
  _doneButton->click();
  return true;
}

// --- The aspect buttons ---

void PopupProjectSettingsWidget::_addMovieSizeButton(const QString &text, float ratio, int tag)
{
  auto *button = new MovieSizeGridButton(text, ratio, _movieSizesItemWidget);
  button->setTag(tag);
  button->setFixedSize(MovieSizeGridButton::sizeForWidth(sizeButtonWidth));
  button->show();
  _movieSizeButtons.append(button);
  connect(button, &QPushButton::clicked, this, &PopupProjectSettingsWidget::gridButtonOnClicked);
}

void PopupProjectSettingsWidget::_rebuildMovieSizeButtons()
{
  qDeleteAll(_movieSizeButtons);
  _movieSizeButtons.clear();
  for (int tag = 0; tag < aspectChoiceCount; ++tag) {
    const AspectChoice &choice = aspectChoices[tag];
    if (_direction)
      _addMovieSizeButton(choice.landscapeText, choice.landscapeRatio, tag);
    else
      _addMovieSizeButton(choice.portraitText, choice.portraitRatio, tag);
  }
}

void PopupProjectSettingsWidget::_updateMovieSizeSelection()
{
  for (MovieSizeGridButton *button : qAsConst(_movieSizeButtons))
    button->setSelected(button->tag() == _selectedTag);
}

int PopupProjectSettingsWidget::_layoutMovieSizeButtons()
{
  const int areaWidth = _movieSizesItemWidget->width();
  const int limit = areaWidth - sizeAreaInset;
  const QSize buttonSize = MovieSizeGridButton::sizeForWidth(sizeButtonWidth);
  int x = sizeAreaInset, widest = 0, y = sizeAreaInset;
  for (int i = 0; i < _movieSizeButtons.size(); ++i) {
    if (x + buttonSize.width() > limit) {
      widest = qMax(widest, x);
      y += buttonSize.height();
      x = sizeAreaInset;
    } else {
      x += buttonSize.width();
    }
  }
  const int width = qMax(widest, x) - sizeAreaInset;
  const int height = buttonSize.height() + sizeAreaInset + y + 50;

  const int x0 = (areaWidth - width) / 2;
  x = x0;
  y = sizeAreaInset;
  for (MovieSizeGridButton *button : qAsConst(_movieSizeButtons)) {
    button->move(x, y);
    x += button->width();
    if (button->width() + x > limit) {
      x = x0;
      y += button->height();
    }
  }
  return height;
}

void PopupProjectSettingsWidget::directionSegmentedControlOnSegmentIndexChanged(SegmentedControl *, int index)
{
  _direction = index == 0;
  _rebuildMovieSizeButtons();
  _layoutMovieSizeButtons();
  _updateMovieSizeSelection();
  _reportChange();
}

void PopupProjectSettingsWidget::gridButtonOnClicked()
{
  auto *button = qobject_cast<MovieSizeGridButton *>(sender());
  if (!button)
    return;
  _selectedTag = button->tag();
  if (_selectedTag >= 0 && _selectedTag < aspectChoiceCount)
    _resolution = aspectChoices[_selectedTag].code;
  _updateMovieSizeSelection();
  _reportChange();
}

// --- Background colour ---

void PopupProjectSettingsWidget::_showBackgroundColor()
{
  _colorButton->setColor(_backgroundColor);
  const bool opaque = _backgroundColor.alpha() != 0;
  _colorButton->setEnabled(opaque);
  if (_colorRowButton)
    _colorRowButton->setEnabled(opaque);
}

void PopupProjectSettingsWidget::_closeColorPopup()
{
  if (_colorPopup)
    _colorPopup->dismiss();
  _colorPopup = nullptr;
}

void PopupProjectSettingsWidget::dismissSubPopup()
{
  _closeColorPopup();
}

void PopupProjectSettingsWidget::colorButtonOnClicked()
{
  if (_colorPopup)
    return;
  QPoint anchor = _panel->geometry().center();
  if (auto *button = qobject_cast<QPushButton *>(sender()))
    anchor = button->mapTo(parentWidget(), QPoint(button->width() / 2, 0));
  _colorPopup = new PopupColorMatrixWidget(parentWidget());
  _colorPopup->showPopupAt(parentWidget(), anchor, false);
  connect(_colorPopup, &CommonPopup::dismissed, this, &PopupProjectSettingsWidget::onPopupColorMatrixWidgetDismissed);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupColorSelected, this,
          &PopupProjectSettingsWidget::onPopupColorMatrixWidgetColorSelected);
  connect(_colorPopup, &PopupColorMatrixWidget::colorMatrixPopupMoreColorNeeded, this,
          &PopupProjectSettingsWidget::onPopupColorMatrixWidgetMoreColorNeeded);
}

void PopupProjectSettingsWidget::onPopupColorMatrixWidgetDismissed(CommonPopup *)
{
  _colorPopup = nullptr;
}

void PopupProjectSettingsWidget::onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *, QColor color)
{
  _backgroundColor = color;
  _showBackgroundColor();
  _closeColorPopup();
  _reportChange();
}

void PopupProjectSettingsWidget::onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup)
{
  const QColor color = DialogProvider::instance()->getColor(_backgroundColor, parentWidget(), QString());
  if (!color.isValid())
    return;
  _backgroundColor = color;
  _showBackgroundColor();
  if (popup)
    popup->addRecentColor(color);
  _closeColorPopup();
  _reportChange();
}

void PopupProjectSettingsWidget::noColorCheckBoxOnStateChanged(int state)
{
  if (state == Qt::Checked) {
    _savedColor = _backgroundColor;
    _backgroundColor = QColor(0, 0, 0, 0);
  } else {
    _backgroundColor = _savedColor;
  }
  _showBackgroundColor();
  _reportChange();
}

// --- Frame rate, cover, done ---

void PopupProjectSettingsWidget::frameRateButtonOnClicked()
{
  QMenu *menu = ChoiceMenu::create(this);
  menu->setStyleSheet("QMenu {background-color: rgba(7,8,10,230); color: white; padding: 10px; border-radius: 10px;}"
                      "QMenu::icon {margin: 5px;}"
                      "QMenu::item {padding: 8px 60px 8px 60px;}"
                      "QMenu::item:selected {background-color: rgb(44,46,50);}");
  auto *heading = new QLabel(QString("<i><font color=\"#36c8ff\">%1</font></i>").arg(tr("Frames Per Second")), menu);
  heading->setObjectName("frameRateMenuHeading");
  heading->setAlignment(Qt::AlignCenter);
  heading->setFixedHeight(30);
  auto *headingAction = new QWidgetAction(menu);
  headingAction->setDefaultWidget(heading);
  menu->addAction(headingAction);
  ChoiceMenu::addChoices(menu, frameRateTexts());
  const int chosen = ChoiceMenu::exec(menu);
  if (chosen < 0)
    return;
  _frameRate = frameRateList()[chosen];
  _frameRateValueLabel->setText(frameRateText(_frameRate));
  _reportChange();
}

void PopupProjectSettingsWidget::onSwitchValueChanged(bool value)
{
  _fixCoverImage = value;
  _reportChange();
}

void PopupProjectSettingsWidget::doneButtonOnClicked()
{
  emit popupProjectSettingsWidgetDidFinish(this);
}
