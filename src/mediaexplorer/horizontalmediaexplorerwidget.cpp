#include "horizontalmediaexplorerwidget.h"

#include "roundtabwidget.h"
#include "tooltipbutton.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kIcons = ":/images/media-explorer/";
}

HorizontalMediaExplorerWidget::HorizontalMediaExplorerWidget(const QString &projectDir, QWidget *parent)
  : MediaExplorerWidget(projectDir, parent)
{
  auto *layout = new QHBoxLayout(this);
  layout->setObjectName("horizontalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);

  auto *leftPanel = new QWidget(this);
  leftPanel->setObjectName("leftPanel");
  leftPanel->setFixedWidth(44);
  auto *left = new QVBoxLayout(leftPanel);
  left->setObjectName("verticalLayout");
  left->setSpacing(0);
  left->setContentsMargins(0, 0, 0, 0);
  _backButton = _addButton(leftPanel, "backButton", "media_navi_back", false, true, tr("Back"), 18);
  _backButton->setFixedHeight(44);
  _backButton->setStyleSheet(_backButton->styleSheet() + "QPushButton:pressed{background-color: rgb(25,26,28);}");
  auto *separator = new QWidget(leftPanel);
  separator->setObjectName("leftSeparator");
  separator->setFixedSize(38, 1);
  left->addWidget(_backButton);
  left->addWidget(separator, 0, Qt::AlignHCenter);
  _filterButtons << _addButton(leftPanel, "filterPictureButton", "media_type_photo", true, true,
                               tr("Show pictures only"), 18)
                 << _addButton(leftPanel, "filterVideoButton", "media_type_video", true, true,
                               tr("Show videos only"), 18)
                 << _addButton(leftPanel, "filterMusicButton", "media_type_music", true, true,
                               tr("Show music only"), 18);
  for (TooltipButton *button : qAsConst(_filterButtons))
    left->addWidget(button);
  left->addStretch();

  QWidget *container = createPageContainer();

  _rightPanel = new QWidget(this);
  _rightPanel->setObjectName("rightPanel");
  _rightPanel->setMaximumWidth(44);
  auto *right = new QVBoxLayout(_rightPanel);
  right->setObjectName("verticalLayout_2");
  right->setSpacing(0);
  right->setContentsMargins(0, 0, 0, 0);
  _locationButtons << _addButton(_rightPanel, "locPhotoGalleryButton", "media_loc_photo_gallery", true, false,
                                 tr("Show media from the system Photos and Music app"), 27)
                   << _addButton(_rightPanel, "locInappLibraryButton", "media_loc_inapp_library", true, false,
                                 tr("Show media from the In-App Library"), 27)
                   << _addButton(_rightPanel, "locFileSharingButton", "media_loc_file_sharing", true, false,
                                 tr("Show media from the Local Files (iTunes File Sharing) folder"), 27);
  for (TooltipButton *button : qAsConst(_locationButtons)) {
    button->setStyleSheet(button->styleSheet() + "QPushButton{background-color: transparent;}");
    right->addWidget(button);
  }
  right->addStretch();

  layout->addWidget(leftPanel);
  layout->addWidget(container);
  layout->addWidget(_rightPanel);

  setStyleSheet("background-color: transparent;");
  leftPanel->setStyleSheet("QWidget{background-color: black;}");
  _rightPanel->setStyleSheet("QWidget{background-color: black;}");

  connect(_backButton, &QPushButton::clicked, this, &HorizontalMediaExplorerWidget::onBackButtonClicked);
  connect(_filterButtons.at(0), &QPushButton::clicked, this,
          &HorizontalMediaExplorerWidget::onFilterPictureButtonClicked);
  connect(_filterButtons.at(1), &QPushButton::clicked, this, &HorizontalMediaExplorerWidget::onFilterVideoButtonClicked);
  connect(_filterButtons.at(2), &QPushButton::clicked, this, &HorizontalMediaExplorerWidget::onFilterMusicButtonClicked);
  connect(_locationButtons.at(0), &QPushButton::clicked, this,
          &HorizontalMediaExplorerWidget::onLocPhotoGalleryButtonClicked);
  connect(_locationButtons.at(1), &QPushButton::clicked, this,
          &HorizontalMediaExplorerWidget::onLocInAppLibraryButtonClicked);
  connect(_locationButtons.at(2), &QPushButton::clicked, this,
          &HorizontalMediaExplorerWidget::onLocFileSharingButtonClicked);

  _selectOne(_filterButtons, _filterButtons.at(1));
  _selectOne(_locationButtons, _locationButtons.at(0));
  _marker = new RoundTabWidget(0, QColor(28, 29, 32), _rightPanel);
  _marker->lower();
  QTimer::singleShot(10, this, [this]() { _moveLocationMarker(); });
}

TooltipButton *HorizontalMediaExplorerWidget::_addButton(QWidget *panel, const QString &name, const QString &icon,
                                                         bool selectable, bool disableable, const QString &toolTip,
                                                         int iconSide)
{
  auto *button = new TooltipButton(kIcons + icon, selectable ? kIcons + icon + "_hl" : QString(), panel);
  button->setObjectName(name);
  button->setFlat(true);
  if (disableable)
    button->setDisabledIcon(kIcons + icon + "_dis");
  button->setToolTip(toolTip);
  button->setIconSize(QSize(iconSide, iconSide));
  return button;
}

TooltipButton *HorizontalMediaExplorerWidget::button(const QString &objectName) const
{
  return findChild<TooltipButton *>(objectName);
}

void HorizontalMediaExplorerWidget::_selectOne(const QList<TooltipButton *> &group, TooltipButton *selected)
{
  for (TooltipButton *button : group)
    button->setSelected(button == selected);
}

void HorizontalMediaExplorerWidget::onBackButtonClicked() {}

void HorizontalMediaExplorerWidget::onFilterPictureButtonClicked()
{
  _selectOne(_filterButtons, _filterButtons.at(0));
}

void HorizontalMediaExplorerWidget::onFilterVideoButtonClicked()
{
  _selectOne(_filterButtons, _filterButtons.at(1));
}

void HorizontalMediaExplorerWidget::onFilterMusicButtonClicked()
{
  _selectOne(_filterButtons, _filterButtons.at(2));
}

void HorizontalMediaExplorerWidget::onLocPhotoGalleryButtonClicked()
{
  _selectOne(_locationButtons, _locationButtons.at(0));
}

void HorizontalMediaExplorerWidget::onLocInAppLibraryButtonClicked()
{
  _selectOne(_locationButtons, _locationButtons.at(1));
}

void HorizontalMediaExplorerWidget::onLocFileSharingButtonClicked()
{
  _selectOne(_locationButtons, _locationButtons.at(2));
}

void HorizontalMediaExplorerWidget::_moveLocationMarker()
{
  for (TooltipButton *button : qAsConst(_locationButtons)) {
    if (!button->isSelected())
      continue;
    const int radius = int(RoundTabWidget::cornerRadius());
    _marker->setGeometry(button->geometry().adjusted(0, -radius, 0, radius));
    return;
  }
}

void HorizontalMediaExplorerWidget::resizeEvent(QResizeEvent *event)
{
  MediaExplorerWidget::resizeEvent(event);
  _moveLocationMarker();
}
