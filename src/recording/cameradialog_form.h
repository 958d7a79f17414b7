#pragma once

#include "cameradialog.h"

class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QVideoWidget;

// The widgets of the camera dialog, named as the dialog's form names them.
struct CameraDialog::Form
{
  QWidget *topPanel = nullptr;
  QPushButton *cameraButton = nullptr;
  QPushButton *triangleButton = nullptr;
  QStackedWidget *stackedWidget = nullptr;
  QWidget *viewFinderPage = nullptr;
  QWidget *viewFinder = nullptr;
  QWidget *initPage = nullptr;
  QLabel *openingLabel = nullptr;
  QWidget *imagePreviewPage = nullptr;
  QLabel *imagePreviewLabel = nullptr;
  QWidget *videoPreviewPage = nullptr;
  QVideoWidget *videoWidget = nullptr;
  QWidget *playerWidget = nullptr;
  QSlider *playerSlider = nullptr;
  QStackedWidget *controlPanel = nullptr;
  QWidget *defaultPage = nullptr;
  QPushButton *cancelButton = nullptr;
  QLabel *timeLabel = nullptr;
  QPushButton *captureButton = nullptr;
  SegmentedControl *captureTypesSegmentedWidget = nullptr;
  QWidget *previewPage = nullptr;
  QPushButton *retakeButton = nullptr;
  QPushButton *playPauseButton = nullptr;
  QPushButton *useButton = nullptr;
};
