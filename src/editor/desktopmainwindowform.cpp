#include "desktopmainwindowform.h"

#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "rulerscrollarea.h"
#include "rulerwidget.h"
#include "tooltipbutton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int Unbounded = 16777215;

QVBoxLayout *vbox(QWidget *parent, const char *name)
{
  auto *layout = new QVBoxLayout(parent);
  layout->setObjectName(QLatin1String(name));
  layout->setContentsMargins(0, 0, 0, 0);
  return layout;
}

template <typename T> T *named(T *widget, const char *name)
{
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QPushButton *textButton(QWidget *parent, const char *name)
{
  auto *button = named(new QPushButton(parent), name);
  button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  button->setMinimumSize(60, 27);
  button->setMaximumHeight(27);
  button->setIconSize(QSize(20, 20));
  button->setFlat(true);
  return button;
}

QPushButton *iconButton(QWidget *parent, const char *name, const char *icon, int minWidth, int maxWidth, bool bigIcon)
{
  auto *button = named(new QPushButton(parent), name);
  button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
  button->setMinimumWidth(minWidth);
  button->setMaximumWidth(maxWidth);
  button->setIcon(QIcon(QLatin1String(icon)));
  if (bigIcon)
    button->setIconSize(QSize(20, 20));
  button->setFlat(true);
  return button;
}

} // namespace

void DesktopMainWindowForm::setupUi(QMainWindow *window)
{
  if (window->objectName().isEmpty())
    window->setObjectName(QStringLiteral("DesktopMainWindow"));
  window->resize(1012, 683);

  centralwidget = named(new QWidget(window), "centralwidget");
  verticalLayout = vbox(centralwidget, "verticalLayout");

  mainSplitter = named(new QSplitter(Qt::Horizontal, centralwidget), "mainSplitter");
  mainSplitter->setHandleWidth(10);

  rootAreaWidget = named(new QWidget(mainSplitter), "rootAreaWidget");
  QSizePolicy rootPolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  rootPolicy.setHorizontalStretch(1);
  rootAreaWidget->setSizePolicy(rootPolicy);
  verticalLayout_2 = vbox(rootAreaWidget, "verticalLayout_2");
  rootAreaSplitter = named(new QSplitter(Qt::Vertical, rootAreaWidget), "rootAreaSplitter");
  rootAreaSplitter->setHandleWidth(10);
  rootAreaSplitter->setChildrenCollapsible(false);

  topAreaWidget = named(new QWidget(rootAreaSplitter), "topAreaWidget");
  topAreaWidget->setMinimumHeight(200);
  verticalLayout_5 = vbox(topAreaWidget, "verticalLayout_5");
  topAreaSplitter = named(new QSplitter(Qt::Horizontal, topAreaWidget), "topAreaSplitter");
  topAreaSplitter->setHandleWidth(10);

  mediaAreaWidget = named(new QWidget(topAreaSplitter), "mediaAreaWidget");
  mediaAreaWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  mediaAreaWidget->setMinimumWidth(200);

  rightAreaWidget = named(new QWidget(topAreaSplitter), "rightAreaWidget");
  rightAreaWidget->setMinimumWidth(200);
  rightAreaVerticalLayout = vbox(rightAreaWidget, "rightAreaVerticalLayout");
  rightAreaVerticalLayout->setSpacing(0);

  previewAreaWidget = named(new QWidget(rightAreaWidget), "previewAreaWidget");
  playbackWidget = named(new QWidget(previewAreaWidget), "playbackWidget");
  playbackWidget->setStyleSheet(QStringLiteral("background-color: black;"));
  playbackVerticalLayout = vbox(playbackWidget, "playbackVerticalLayout");
  playbackVerticalLayout->setSpacing(0);
  rightAreaVerticalLayout->addWidget(previewAreaWidget);

  rightAreaControlWidget = named(new QWidget(rightAreaWidget), "rightAreaControlWidget");
  rightAreaControlWidget->setFixedHeight(44);
  horizontalLayout = new QHBoxLayout(rightAreaControlWidget);
  horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
  horizontalLayout->setSpacing(10);
  horizontalLayout->setContentsMargins(0, 4, 0, 4);
  QWidget *bar = rightAreaControlWidget;
  previewScaleButton = textButton(bar, "previewScaleButton");
  previewQualityButton = textButton(bar, "previewQualityButton");
  fullscreenButton = iconButton(bar, "fullscreenButton", ":/images/navi_full_screen", 40, 50, true);
  previousPosButton = iconButton(bar, "previousPosButton", ":/images/navi_play_previous", 35, 50, false);
  playPauseButton = iconButton(bar, "playPauseButton", ":/images/navi_play", 50, Unbounded, true);
  nextPosButton = iconButton(bar, "nextPosButton", ":/images/navi_play_next", 35, 50, false);
  undoButton = iconButton(bar, "undoButton", ":/images/navi_undo", 40, 50, true);
  projectSettingsButton = iconButton(bar, "projectSettingsButton", ":/images/navi_settings", 40, 50, true);
  shareButton = iconButton(bar, "shareButton", ":/images/navi_share", 40, 50, true);
  horizontalLayout->addWidget(previewScaleButton);
  horizontalLayout->addWidget(previewQualityButton);
  horizontalLayout->addWidget(fullscreenButton);
  horizontalLayout->addSpacerItem(new QSpacerItem(42, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  horizontalLayout->addWidget(previousPosButton);
  horizontalLayout->addWidget(playPauseButton);
  horizontalLayout->addWidget(nextPosButton);
  horizontalLayout->addSpacerItem(new QSpacerItem(42, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  horizontalLayout->addWidget(undoButton);
  horizontalLayout->addWidget(projectSettingsButton);
  horizontalLayout->addWidget(shareButton);
  rightAreaVerticalLayout->addWidget(rightAreaControlWidget);

  topAreaSplitter->addWidget(mediaAreaWidget);
  topAreaSplitter->addWidget(rightAreaWidget);
  verticalLayout_5->addWidget(topAreaSplitter);

  editAreaWidget = named(new QWidget(rootAreaSplitter), "editAreaWidget");
  editAreaWidget->setMinimumHeight(200);
  verticalLayout_4 = vbox(editAreaWidget, "verticalLayout_4");
  verticalLayout_4->setSpacing(0);
  pointerAreaWidget = named(new QWidget(editAreaWidget), "pointerAreaWidget");
  pointerAreaWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  pointerAreaWidget->setMinimumHeight(30);
  segmentModeButton = named(new TooltipButton(pointerAreaWidget), "segmentModeButton");
  segmentModeButton->setGeometry(530, 0, 41, 32);
  segmentModeButton->setIcon(QIcon(QStringLiteral(":/images/segment_insert")));
  segmentModeButton->setIconSize(QSize(20, 20));
  segmentModeButton->setFlat(true);
  verticalLayout_4->addWidget(pointerAreaWidget);

  rulerScrollArea = named(new RulerScrollArea(editAreaWidget), "rulerScrollArea");
  rulerScrollArea->setFixedHeight(25);
  rulerScrollArea->setAutoFillBackground(false);
  rulerScrollArea->setStyleSheet(QStringLiteral("border: none;"));
  rulerScrollArea->setWidgetResizable(true);
  rulerWidget = named(new RulerWidget, "rulerWidget");
  rulerWidget->setGeometry(0, 0, 802, 25);
  rulerScrollArea->setWidget(rulerWidget);
  verticalLayout_4->addWidget(rulerScrollArea);

  editScrollArea = named(new EditScrollArea(editAreaWidget), "editScrollArea");
  QSizePolicy editPolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  editPolicy.setVerticalStretch(1);
  editScrollArea->setSizePolicy(editPolicy);
  editScrollArea->setStyleSheet(QStringLiteral("border: none;"));
  editScrollArea->setWidgetResizable(true);
  editScrollAreaWidget = named(new QWidget, "editScrollAreaWidget");
  editScrollAreaWidget->setGeometry(0, 0, 802, 367);
  editScrollArea->setWidget(editScrollAreaWidget);
  verticalLayout_4->addWidget(editScrollArea);

  rootAreaSplitter->addWidget(topAreaWidget);
  rootAreaSplitter->addWidget(editAreaWidget);
  verticalLayout_2->addWidget(rootAreaSplitter);

  inspectorAreaWidget = named(new QWidget(mainSplitter), "inspectorAreaWidget");
  inspectorAreaWidget->setMinimumWidth(200);
  inspectorAreaWidget->setMaximumWidth(600);
  inspectorAreaVerticalLayout = vbox(inspectorAreaWidget, "inspectorAreaVerticalLayout");
  verticalSpacer = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
  inspectorAreaVerticalLayout->addSpacerItem(verticalSpacer);
  noEditingSegmentTextLabel = named(new QLabel(inspectorAreaWidget), "noEditingSegmentTextLabel");
  noEditingSegmentTextLabel->setAlignment(Qt::AlignCenter);
  inspectorAreaVerticalLayout->addWidget(noEditingSegmentTextLabel);
  hideInspectorAreaButton = named(new QPushButton(inspectorAreaWidget), "hideInspectorAreaButton");
  hideInspectorAreaButton->setFixedSize(64, 30);
  hideInspectorAreaButton->setFlat(true);
  inspectorAreaVerticalLayout->addWidget(hideInspectorAreaButton, 0, Qt::AlignHCenter);
  verticalSpacer_2 = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
  inspectorAreaVerticalLayout->addSpacerItem(verticalSpacer_2);

  mainSplitter->addWidget(rootAreaWidget);
  mainSplitter->addWidget(inspectorAreaWidget);
  verticalLayout->addWidget(mainSplitter);
  window->setCentralWidget(centralwidget);

  menubar = named(new QMenuBar(window), "menubar");
  window->setMenuBar(menubar);
  statusbar = named(new QStatusBar(window), "statusbar");
  window->setStatusBar(statusbar);

  retranslateUi(window);
}

void DesktopMainWindowForm::retranslateUi(QMainWindow *window)
{
  Q_UNUSED(window)
  previewScaleButton->setText(QCoreApplication::translate("DesktopMainWindow", "100%"));
  previewScaleButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Preview scale"));
  previewQualityButton->setText(QCoreApplication::translate("DesktopMainWindow", "540p"));
  previewQualityButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Preview resolution"));
  fullscreenButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Fullscreen Preview"));
  previousPosButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Previous position"));
  playPauseButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Play/Pause"));
  nextPosButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Next position"));
  undoButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Undo"));
  projectSettingsButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Movie configuration"));
  shareButton->setToolTip(QCoreApplication::translate("DesktopMainWindow", "Export the movie"));
  noEditingSegmentTextLabel->setText(QCoreApplication::translate("DesktopMainWindow", "No editing segment"));
  hideInspectorAreaButton->setText(QCoreApplication::translate("DesktopMainWindow", "Hide"));
}
