#include "cameradialog.h"
#include "cameradialog_form.h"

#include "segmentedcontrol.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace {

template <typename T>
T *named(T *widget, const char *name)
{
  widget->setObjectName(name);
  return widget;
}

QWidget *page(QStackedWidget *stack, const char *name)
{
  QWidget *w = named(new QWidget(stack), name);
  stack->addWidget(w);
  return w;
}

QGridLayout *grid(QWidget *parent, const char *name)
{
  auto *layout = named(new QGridLayout(parent), name);
  return layout;
}

QSpacerItem *expanding(int w = 40, int h = 20)
{
  return new QSpacerItem(w, h, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QPushButton *textButton(QWidget *parent, const char *name)
{
  QPushButton *button = named(new QPushButton(parent), name);
  button->setMinimumHeight(30);
  return button;
}

} // namespace

void CameraDialog::_buildForm()
{
  Form &f = *_form;
  setObjectName("CameraDialog");
  resize(616, 508);
  auto *verticalLayout = named(new QVBoxLayout(this), "verticalLayout");

  f.topPanel = named(new QWidget(this), "topPanel");
  f.topPanel->setFixedHeight(44);
  auto *horizontalLayout = named(new QHBoxLayout(f.topPanel), "horizontalLayout");
  f.cameraButton = named(new QPushButton(f.topPanel), "cameraButton");
  f.cameraButton->setFlat(true);
  f.triangleButton = named(new QPushButton(f.topPanel), "triangleButton");
  f.triangleButton->setFlat(true);
  f.triangleButton->setMaximumWidth(16);
  f.triangleButton->setIcon(QIcon(":/images/move_down"));
  f.triangleButton->setIconSize(QSize(12, 12));
  horizontalLayout->addItem(expanding());
  horizontalLayout->addWidget(f.cameraButton);
  horizontalLayout->addWidget(f.triangleButton);
  horizontalLayout->addItem(expanding());
  verticalLayout->addWidget(f.topPanel);

  f.stackedWidget = named(new QStackedWidget(this), "stackedWidget");
  f.viewFinderPage = page(f.stackedWidget, "viewFinderPage");
  f.viewFinder = named(_backend->createViewfinder(f.viewFinderPage), "viewFinder");
  grid(f.viewFinderPage, "gridLayout")->addWidget(f.viewFinder, 0, 0);
  f.initPage = page(f.stackedWidget, "initPage");
  f.openingLabel = named(new QLabel(f.initPage), "openingLabel");
  f.openingLabel->setAlignment(Qt::AlignCenter);
  grid(f.initPage, "gridLayout_3")->addWidget(f.openingLabel, 0, 0);
  f.imagePreviewPage = page(f.stackedWidget, "imagePreviewPage");
  f.imagePreviewLabel = named(new QLabel(f.imagePreviewPage), "imagePreviewLabel");
  f.imagePreviewLabel->setAlignment(Qt::AlignCenter);
  grid(f.imagePreviewPage, "gridLayout_2")->addWidget(f.imagePreviewLabel, 0, 0, Qt::AlignCenter);
  f.videoPreviewPage = page(f.stackedWidget, "videoPreviewPage");
  QGridLayout *gridLayout4 = grid(f.videoPreviewPage, "gridLayout_4");
  f.videoWidget = named(new QVideoWidget(f.videoPreviewPage), "videoWidget");
  f.playerWidget = named(new QWidget(f.videoPreviewPage), "playerWidget");
  f.playerWidget->setMinimumHeight(40);
  f.playerWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  f.videoWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto *verticalLayout2 = named(new QVBoxLayout(f.playerWidget), "verticalLayout_2");
  verticalLayout2->setContentsMargins(24, verticalLayout2->contentsMargins().top(), 24,
                                      verticalLayout2->contentsMargins().bottom());
  f.playerSlider = named(new QSlider(Qt::Horizontal, f.playerWidget), "playerSlider");
  verticalLayout2->addWidget(f.playerSlider);
  gridLayout4->addWidget(f.videoWidget, 0, 0);
  gridLayout4->addWidget(f.playerWidget, 1, 0);
  verticalLayout->addWidget(f.stackedWidget);

  f.controlPanel = named(new QStackedWidget(this), "controlPanel");
  f.controlPanel->setFixedHeight(64);
  f.defaultPage = page(f.controlPanel, "defaultPage");
  auto *horizontalLayout2 = named(new QHBoxLayout(f.defaultPage), "horizontalLayout_2");
  // The 64-pixel capture button fills the 64-pixel panel.
  horizontalLayout2->setContentsMargins(horizontalLayout2->contentsMargins().left(), 0,
                                        horizontalLayout2->contentsMargins().right(), 0);
  f.cancelButton = textButton(f.defaultPage, "cancelButton");
  f.timeLabel = named(new QLabel(f.defaultPage), "timeLabel");
  f.timeLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  f.captureButton = named(new QPushButton(f.defaultPage), "captureButton");
  f.captureButton->setFixedSize(64, 64);
  f.captureButton->setIconSize(QSize(32, 32));
  f.captureTypesSegmentedWidget = named(new SegmentedControl(f.defaultPage), "captureTypesSegmentedWidget");
  f.captureTypesSegmentedWidget->setFixedSize(80, 28);
  horizontalLayout2->addWidget(f.cancelButton);
  horizontalLayout2->addWidget(f.timeLabel);
  horizontalLayout2->addItem(expanding());
  horizontalLayout2->addWidget(f.captureButton);
  horizontalLayout2->addItem(expanding());
  horizontalLayout2->addWidget(f.captureTypesSegmentedWidget);

  f.previewPage = page(f.controlPanel, "previewPage");
  auto *horizontalLayout3 = named(new QHBoxLayout(f.previewPage), "horizontalLayout_3");
  horizontalLayout3->setContentsMargins(horizontalLayout3->contentsMargins().left(), 0,
                                        horizontalLayout3->contentsMargins().right(), 0);
  f.retakeButton = textButton(f.previewPage, "retakeButton");
  f.playPauseButton = named(new QPushButton(f.previewPage), "playPauseButton");
  f.playPauseButton->setFixedSize(64, 64);
  f.playPauseButton->setIcon(QIcon(":/images/camera_play"));
  f.playPauseButton->setIconSize(QSize(40, 40));
  f.useButton = textButton(f.previewPage, "useButton");
  horizontalLayout3->addWidget(f.retakeButton);
  horizontalLayout3->addItem(expanding(200, 20));
  horizontalLayout3->addWidget(f.playPauseButton);
  horizontalLayout3->addItem(expanding(199, 20));
  horizontalLayout3->addWidget(f.useButton);
  verticalLayout->addWidget(f.controlPanel);

  f.cameraButton->setText(tr("No camera"));
  f.openingLabel->setText(tr("Opening camera..."));
  f.cancelButton->setText(tr("Cancel"));
  f.timeLabel->setText(tr("0:00"));
  f.retakeButton->setText(tr("Retake"));
  f.useButton->setText(tr("Use"));
}

void CameraDialog::_applyStyles()
{
  Form &f = *_form;
  setStyleSheet("QDialog {background-color: rgb(31,32,35);}"
                "QLabel {color: white;}"
                "QLabel:disabled {color: rgb(128,128,128);}"
                "QToolTip {background-color: rgb(54,200,255); color: white; padding: 2px; border-radius: 3px;"
                " border: none;}");
  f.cameraButton->setStyleSheet("QPushButton {background-color: transparent; color: white; border: none;}");
  QFont font = f.cameraButton->font();
  font.setPointSize(font.pointSize() + 1);
  f.cameraButton->setFont(font);
  const QString textButtonStyle = "QPushButton {background-color: transparent; color: white; border: none;"
                                  " border-radius: 5px; padding: 0px 10px;}"
                                  "QPushButton:hover {background-color: rgb(44,46,50);}"
                                  "QPushButton:pressed {background-color: black;}";
  for (QPushButton *button : {f.cancelButton, f.retakeButton, f.useButton})
    button->setStyleSheet(textButtonStyle);
  for (QPushButton *button : {f.triangleButton, f.playPauseButton})
    button->setStyleSheet("QPushButton {background-color: transparent; border: none;}");
  f.captureButton->setStyleSheet("QPushButton {background-color: red; border: none; border-radius: 32px;}"
                                 "QPushButton:pressed {background-color: darkred;}"
                                 "QPushButton:disabled {background-color: gray;}");
  f.playerWidget->setAttribute(Qt::WA_StyledBackground, true);
  f.playerWidget->setStyleSheet("QWidget#playerWidget {background-color: black;}");
  f.playerSlider->setStyleSheet(
    "QSlider::groove:horizontal {background: transparent; height: 5px;}"
    "QSlider::sub-page:horizontal {background: #2A2929; border-radius: 2px;}"
    "QSlider::add-page:horizontal {background: #2A2929; border-radius: 2px;}"
    "QSlider::handle:horizontal {background: white; width: 17px; margin: -6px 0px; border-radius: 8px;}");
}
