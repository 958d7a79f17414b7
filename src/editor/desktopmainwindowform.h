#pragma once
// The widget tree of the desktop editor window, by object name. setupUi builds it into the
// window; the window's constructor restyles and wires it.

class EditScrollArea;
class QHBoxLayout;
class QLabel;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QSpacerItem;
class QSplitter;
class QStatusBar;
class QVBoxLayout;
class QWidget;
class RulerScrollArea;
class RulerWidget;
class TooltipButton;

class DesktopMainWindowForm
{
public:
  void setupUi(QMainWindow *window);
  void retranslateUi(QMainWindow *window);

  QWidget *centralwidget = nullptr;
  QVBoxLayout *verticalLayout = nullptr;
  QSplitter *mainSplitter = nullptr;
  QWidget *rootAreaWidget = nullptr;
  QVBoxLayout *verticalLayout_2 = nullptr;
  QSplitter *rootAreaSplitter = nullptr;
  QWidget *topAreaWidget = nullptr;
  QVBoxLayout *verticalLayout_5 = nullptr;
  QSplitter *topAreaSplitter = nullptr;
  QWidget *mediaAreaWidget = nullptr;
  QWidget *rightAreaWidget = nullptr;
  QVBoxLayout *rightAreaVerticalLayout = nullptr;
  QWidget *previewAreaWidget = nullptr;
  QWidget *playbackWidget = nullptr;
  QVBoxLayout *playbackVerticalLayout = nullptr;
  QWidget *rightAreaControlWidget = nullptr;
  QHBoxLayout *horizontalLayout = nullptr;
  QPushButton *previewScaleButton = nullptr;
  QPushButton *previewQualityButton = nullptr;
  QPushButton *fullscreenButton = nullptr;
  QPushButton *previousPosButton = nullptr;
  QPushButton *playPauseButton = nullptr;
  QPushButton *nextPosButton = nullptr;
  QPushButton *undoButton = nullptr;
  QPushButton *projectSettingsButton = nullptr;
  QPushButton *shareButton = nullptr;
  QWidget *editAreaWidget = nullptr;
  QVBoxLayout *verticalLayout_4 = nullptr;
  QWidget *pointerAreaWidget = nullptr;
  TooltipButton *segmentModeButton = nullptr;
  RulerScrollArea *rulerScrollArea = nullptr;
  RulerWidget *rulerWidget = nullptr;
  EditScrollArea *editScrollArea = nullptr;
  QWidget *editScrollAreaWidget = nullptr;
  QWidget *inspectorAreaWidget = nullptr;
  QVBoxLayout *inspectorAreaVerticalLayout = nullptr;
  QSpacerItem *verticalSpacer = nullptr;
  QLabel *noEditingSegmentTextLabel = nullptr;
  QPushButton *hideInspectorAreaButton = nullptr;
  QSpacerItem *verticalSpacer_2 = nullptr;
  QMenuBar *menubar = nullptr;
  QStatusBar *statusbar = nullptr;
};
