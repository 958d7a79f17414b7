// The widget tree of the project settings popup.
#include "popupprojectsettingswidget.h"

#include "colorbutton.h"
#include "formparts.h"
#include "popupmainwidget.h"
#include "segmentedcontrol.h"
#include "switchbutton.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace FormParts;

namespace {

// A row of fixed height with the given side margins; returns its layout.
QHBoxLayout *rowLayout(QWidget *row, int height, int sideMargin)
{
  if (height > 0)
    row->setFixedHeight(height);
  auto *layout = new QHBoxLayout(row);
  layout->setContentsMargins(sideMargin, 0, sideMargin, 0);
  return layout;
}

// A section header: a 30-px band with its caption.
QWidget *sectionHeader(const char *name, const char *labelName, const QString &text, QWidget *parent,
                       QLabel **label)
{
  QWidget *header = widget(name, parent);
  QHBoxLayout *layout = rowLayout(header, 30, 12);
  *label = FormParts::label(labelName, text, header);
  layout->addWidget(*label);
  return header;
}

} // namespace

void PopupProjectSettingsWidget::_buildForm()
{
  setObjectName("PopupProjectSettingsWidget");
  setWindowTitle("Form");
  _panel = new PopupMainWidget(this);
  _panel->setObjectName("mainWidget");
  _panel->setGeometry(30, 20, 524, 611);
  _mainVerticalLayout = new QVBoxLayout(_panel);
  _mainVerticalLayout->setObjectName("mainVerticalLayout");
  _mainVerticalLayout->setSpacing(0);
  _mainVerticalLayout->setContentsMargins(0, 0, 0, 0);

  _topPanel = widget("topPanel", _panel);
  QHBoxLayout *topLayout = rowLayout(_topPanel, 44, 0);
  _formTitleLabel = label("titleLabel", tr("Configuration"), _topPanel);
  topLayout->addItem(expandingH(193, 20));
  topLayout->addWidget(_formTitleLabel);
  topLayout->addItem(expandingH(192, 20));
  _mainVerticalLayout->addWidget(_topPanel);

  _scrollArea = new QScrollArea(_panel);
  _scrollArea->setObjectName("scrollArea");
  _scrollArea->setWidgetResizable(true);
  _scrollArea->setWidget(_buildSettingsList());
  _mainVerticalLayout->addWidget(_scrollArea);

  _bottomPanel = widget("bottomPanel", _panel);
  QHBoxLayout *bottomLayout = rowLayout(_bottomPanel, 64, 0);
  _doneButton = flatButton("doneButton", tr("OK"), _bottomPanel);
  _doneButton->setMinimumSize(100, 36);
  bottomLayout->addItem(expandingH(198, 20));
  bottomLayout->addWidget(_doneButton);
  bottomLayout->addItem(expandingH(198, 20));
  _mainVerticalLayout->addWidget(_bottomPanel);
  setForm(_panel, nullptr);
}

QWidget *PopupProjectSettingsWidget::_buildSettingsList()
{
  _scrollAreaWidget = widget("scrollAreaWidget", nullptr);
  _scrollAreaWidget->resize(522, 501);
  auto *list = new QVBoxLayout(_scrollAreaWidget);
  list->setSpacing(0);
  list->setContentsMargins(0, 0, 0, 0);

  _aspectRatioHeaderWidget = sectionHeader("aspectRatioHeaderWidget", "aspectRatioHeaderLabel", tr("Aspect Ratio"),
                                           _scrollAreaWidget, &_aspectRatioHeaderLabel);
  list->addWidget(_aspectRatioHeaderWidget);

  // The aspect buttons are placed by hand above the orientation switch.
  _movieSizesItemWidget = widget("movieSizesItemWidget", _scrollAreaWidget);
  auto *sizesLayout = new QVBoxLayout(_movieSizesItemWidget);
  sizesLayout->addItem(expandingV(20, 189));
  QWidget *directionRow = widget("widget", _movieSizesItemWidget);
  QHBoxLayout *directionLayout = rowLayout(directionRow, 35, 0);
  _directionSegmentedWidget = new SegmentedControl(directionRow);
  _directionSegmentedWidget->setObjectName("directionSegmentedWidget");
  _directionSegmentedWidget->setFixedSize(180, 30);
  directionLayout->addWidget(_directionSegmentedWidget, 0, Qt::AlignHCenter);
  sizesLayout->addWidget(directionRow);
  list->addWidget(_movieSizesItemWidget);

  _videoHeaderWidget =
    sectionHeader("videoHeaderWidget", "videoHeaderLabel", tr("Video"), _scrollAreaWidget, &_videoHeaderLabel);
  list->addWidget(_videoHeaderWidget);

  _backgroundColorItemWidget = widget("backgroundColorItemWidget", _scrollAreaWidget);
  QHBoxLayout *colorLayout = rowLayout(_backgroundColorItemWidget, 50, 24);
  _backgroundColorLabel = label("backgroundColorLabel", tr("Background Color"), _backgroundColorItemWidget);
  _colorButton = new ColorButton(_backgroundColorItemWidget);
  _colorButton->setObjectName("colorButton");
  _colorButton->setFixedSize(34, 34);
  _colorButton->setFlat(true);
  colorLayout->addWidget(_backgroundColorLabel);
  colorLayout->addWidget(_colorButton);
  list->addWidget(_backgroundColorItemWidget);

  _noColorItemWidget = widget("noColorItemWidget", _scrollAreaWidget);
  QHBoxLayout *noColorLayout = rowLayout(_noColorItemWidget, 0, 24);
  _noColorCheckBox = new QCheckBox(tr("Transparent"), _noColorItemWidget);
  _noColorCheckBox->setObjectName("noColorCheckBox");
  noColorLayout->addItem(expandingH());
  noColorLayout->addWidget(_noColorCheckBox);
  list->addWidget(_noColorItemWidget);

  _frameRateItemWidget = widget("frameRateItemWidget", _scrollAreaWidget);
  QHBoxLayout *rateLayout = rowLayout(_frameRateItemWidget, 50, 24);
  _frameRateLabel = label("frameRateLabel", tr("Frame Rate"), _frameRateItemWidget);
  _frameRateValueLabel = label("frameRateValueLabel", "30", _frameRateItemWidget);
  _frameRateValueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  rateLayout->addWidget(_frameRateLabel);
  rateLayout->addWidget(_frameRateValueLabel);
  list->addWidget(_frameRateItemWidget);

  _showcaseHeaderWidget = sectionHeader("showcaseHeaderWidget", "showcaseHeaderLabel", tr("Showcase"),
                                        _scrollAreaWidget, &_showcaseHeaderLabel);
  list->addWidget(_showcaseHeaderWidget);

  _coverItemWidget = widget("coverItemWidget", _scrollAreaWidget);
  QHBoxLayout *coverLayout = rowLayout(_coverItemWidget, 70, 24);
  coverLayout->setSpacing(0);
  auto *coverTexts = new QVBoxLayout;
  coverTexts->setContentsMargins(0, 16, 0, 16);
  coverTexts->addWidget(label("coverLabel", tr("Fixed Cover Image"), _coverItemWidget));
  _coverInfoLabel = label("coverInfoLabel", tr("Display fixed cover image in Movies page"), _coverItemWidget);
  coverTexts->addWidget(_coverInfoLabel);
  _switchButton = new SwitchButton(_coverItemWidget);
  _switchButton->setObjectName("switchButton");
  _switchButton->setFixedSize(50, 26);
  coverLayout->addLayout(coverTexts);
  coverLayout->addWidget(_switchButton);
  list->addWidget(_coverItemWidget);
  return _scrollAreaWidget;
}
