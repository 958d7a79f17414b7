#include "desktopmainwindow.h"

#include "desktopmainwindowform.h"
#include "fullscreencontrolwidget.h"
#include "popupprojectsettingswidget.h"
#include "projectmanager.h"
#include "tooltipbutton.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int MinInspectorWidth = 300;
constexpr int MinMediaWidth = 350;
constexpr int MinPreviewHeight = 200;
// The control bar with every button at its full width and spacing.
constexpr int FullControlBarWidth = 500;

const char CentralStyle[] = "QWidget#centralwidget { background-color: rgb(31,32,35); }"
                            "QToolTip { background-color: rgb(54,200,255); color: white; padding: 2px;"
                            " border-radius: 3px; }";
const char BlackHandles[] = "QSplitter::handle:vertical { background-color: black; }"
                            "QSplitter::handle:horizontal { background-color: black; }";
const char DarkHandles[] = "QSplitter::handle:vertical { background-color: rgb(19,20,21); }"
                           "QSplitter::handle:horizontal { background-color: rgb(19,20,21); }";
const char ControlBarStyle[] = "QPushButton { color: white; background-color: transparent; }"
                               "QPushButton:hover { background-color: rgb(44,46,50); border-radius: 5px; }"
                               "QPushButton:pressed { background-color: black; border-radius: 5px; }";
const char FramedButtonStyle[] = "QPushButton { color: white; background-color: transparent;"
                                 " border: 1px solid white; border-radius: 5px; }"
                                 "QPushButton:pressed { background-color: black; border-radius: 5px; color: gray; }";
const char StatusBarStyle[] = "QStatusBar { background-color: rgb(44,46,50); color: white; }";
const char HideButtonStyle[] = "QPushButton { color: black; background-color: white; border-radius: 5px; }"
                               "QPushButton:pressed { background-color: lightgray; color: gray; }";

QRect availableScreen()
{
  return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

DesktopMainWindow::DesktopMainWindow(const QString &projectName, const QString &projectFolder, QWidget *parent)
    : MainWindow(projectName, projectFolder, parent), _form(std::make_unique<DesktopMainWindowForm>())
{
  DesktopMainWindowForm &f = *_form;
  f.setupUi(this);

  LayoutHooks hooks;
  hooks.previewArea = f.previewAreaWidget;
  hooks.playbackWidget = f.playbackWidget;
  hooks.playbackLayout = f.playbackVerticalLayout;
  hooks.mediaArea = f.mediaAreaWidget;
  hooks.pointerArea = f.pointerAreaWidget;
  hooks.editArea = f.editAreaWidget;
  hooks.editScrollArea = f.editScrollArea;
  hooks.rulerScrollArea = f.rulerScrollArea;
  hooks.playPauseButton = f.playPauseButton;
  hooks.segmentModeButton = f.segmentModeButton;
  _setLayoutHooks(hooks);

  _projectManager->loadLayout();
  _inspectorAreaWidth =
      _fitLayoutSize(_projectManager->inspectorAreaSize(), MinInspectorWidth, availableScreen().width());

  setWindowTitle(projectName);
  setCursor(Qt::ArrowCursor);
  f.centralwidget->setStyleSheet(QLatin1String(CentralStyle));
  f.centralwidget->installEventFilter(this);

  f.topAreaSplitter->setCollapsible(1, false);
  connect(f.topAreaSplitter, &QSplitter::splitterMoved, this, &DesktopMainWindow::onTopAreaSplitterMoved);
  f.topAreaWidget->setMinimumHeight(MinPreviewHeight);
  connect(f.rootAreaSplitter, &QSplitter::splitterMoved, this, &DesktopMainWindow::onRootAreaSplitterMoved);

  const int previewHeight = _projectManager->previewAreaSize();
  if (previewHeight >= 0)
    _previewAreaHeight = _fitLayoutSize(previewHeight, MinPreviewHeight, availableScreen().height());
  _applyRootSplitterSizes();

  _styleWidgets();
  connect(f.mainSplitter, &QSplitter::splitterMoved, this, &DesktopMainWindow::onMainSplitterMoved);
  _setUpPreviewArea();
  _connectControlBar();

  const int quality = _projectManager->previewQuality();
  if (quality >= 0)
    _previewQuality = quality;
  f.previewQualityButton->setText(previewQualityName(_previewQuality));

  _setUpRuler();
  _setUpEditArea();
  _setUpGutter();
  _setUpPointers();
  _updateInsertOverwriteButton();

  f.statusbar->setStyleSheet(QLatin1String(StatusBarStyle));
  f.statusbar->hide();
  f.inspectorAreaWidget->setStyleSheet(QStringLiteral("QWidget { background-color: black; }"));
  f.inspectorAreaWidget->setMinimumWidth(MinInspectorWidth);
  connect(f.hideInspectorAreaButton, &QPushButton::clicked, this, &DesktopMainWindow::onHideInspectorAreaButtonClicked);
  _restoreSplitterSizes();

  _setUpMediaExplorer(true);

  _mediaExplorerAction = new QAction(tr("Media Explorer"), this);
  _mediaExplorerAction->setCheckable(true);
  connect(_mediaExplorerAction, &QAction::triggered, this, &DesktopMainWindow::onActionViewMediaExplorerTriggered);
  addAction(_mediaExplorerAction);
  _segmentInspectorAction = new QAction(tr("Segment Inspector"), this);
  _segmentInspectorAction->setCheckable(true);
  connect(_segmentInspectorAction, &QAction::triggered, this, &DesktopMainWindow::onActionViewSegmentInspectorTriggered);
  addAction(_segmentInspectorAction);
  _buildMenuBar();
  _openProject();
}

DesktopMainWindow::~DesktopMainWindow() = default;

QString DesktopMainWindow::previewQualityName(int quality)
{
  static const char *const Names[] = {"360p", "540p", "720p", "1080p"};
  return quality >= 0 && quality < 4 ? QString::fromLatin1(Names[quality]) : QString();
}

void DesktopMainWindow::_styleWidgets()
{
  DesktopMainWindowForm &f = *_form;
  f.mainSplitter->setStyleSheet(QLatin1String(BlackHandles));
  f.topAreaSplitter->setStyleSheet(QLatin1String(BlackHandles));
  f.rootAreaSplitter->setStyleSheet(QLatin1String(DarkHandles));
  f.mainSplitter->setHandleWidth(2);
  f.topAreaSplitter->setHandleWidth(2);
  f.rightAreaControlWidget->setStyleSheet(QLatin1String(ControlBarStyle));
  f.previewScaleButton->setStyleSheet(QLatin1String(FramedButtonStyle));
  f.previewQualityButton->setStyleSheet(QLatin1String(FramedButtonStyle));
}

void DesktopMainWindow::_connectControlBar()
{
  DesktopMainWindowForm &f = *_form;
  using D = DesktopMainWindow;
  connect(f.playPauseButton, &QPushButton::clicked, this, &D::onPlayPauseButtonClicked);
  connect(f.nextPosButton, &QPushButton::clicked, this, &D::onNextPositionButtonClicked);
  connect(f.previousPosButton, &QPushButton::clicked, this, &D::onPreviousPositionButtonClicked);
  connect(f.undoButton, &QPushButton::clicked, this, &D::onUndoButtonClicked);
  connect(f.projectSettingsButton, &QPushButton::clicked, this, &D::onProjectSettingsButtonClicked);
  connect(f.shareButton, &QPushButton::clicked, this, &D::onShareButtonClicked);
  connect(f.previewScaleButton, &QPushButton::clicked, this, &D::onPreviewScaleButtonClicked);
  connect(f.previewQualityButton, &QPushButton::clicked, this, &D::onPreviewQualityButtonClicked);
  connect(f.fullscreenButton, &QPushButton::clicked, this, &D::onFullscreenButtonClicked);
}

void DesktopMainWindow::_restoreSplitterSizes()
{
  DesktopMainWindowForm &f = *_form;
  f.noEditingSegmentTextLabel->setStyleSheet(QStringLiteral("color: lightgray;"));
  f.hideInspectorAreaButton->setStyleSheet(QLatin1String(HideButtonStyle));
  f.mediaAreaWidget->setMinimumWidth(MinMediaWidth);
  _mediaAreaWidth = _projectManager->mediaAreaSize();
  if (!_projectManager->isMediaAreaHidden()) {
    if (_mediaAreaWidth < 0)
      _mediaAreaWidth = availableScreen().width() * 4 / 10;
    _mediaAreaWidth = _fitLayoutSize(_mediaAreaWidth, MinMediaWidth, availableScreen().width());
  }
  _applySideSplitterSizes();
}

int DesktopMainWindow::_fitLayoutSize(int size, int minimum, int screen)
{
  const int maximum = qMax(minimum, screen - minimum);
  if (size <= maximum)
    return qMax(size, minimum);
  _valuesReset = true;
  return maximum;
}

void DesktopMainWindow::_applyRootSplitterSizes()
{
  const int screenHeight = availableScreen().height();
  const int top = _previewAreaHeight >= 0 ? _previewAreaHeight : screenHeight * 50 / 100;
  _form->rootAreaSplitter->setSizes({top, screenHeight - top});
}

void DesktopMainWindow::_applySideSplitterSizes()
{
  DesktopMainWindowForm &f = *_form;
  const int screenWidth = availableScreen().width();
  // The side panel starts closed; its width is remembered for when it opens.
  f.mainSplitter->setSizes({screenWidth, 0});
  if (_projectManager->isMediaAreaHidden())
    f.topAreaSplitter->setSizes({0, screenWidth});
  else
    f.topAreaSplitter->setSizes({_mediaAreaWidth, screenWidth - _mediaAreaWidth});
}

void DesktopMainWindow::saveLayout()
{
  _projectManager->setInspectorAreaSize(_inspectorAreaWidth);
  _projectManager->setMediaAreaSize(_mediaAreaWidth);
  _projectManager->setMediaAreaHidden(isMediaAreaHidden());
  _projectManager->setPreviewAreaSize(_previewAreaHeight);
  _projectManager->setPreviewQuality(_previewQuality);
  _projectManager->saveLayout();
}

bool DesktopMainWindow::isMediaAreaHidden()
{
  const QList<int> sizes = _form->topAreaSplitter->sizes();
  return !sizes.isEmpty() && sizes.first() == 0;
}

void DesktopMainWindow::resizeEvent(QResizeEvent *event)
{
  MainWindow::resizeEvent(event);
  _placeFullscreenControl();
}

bool DesktopMainWindow::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == _form->previewAreaWidget && event->type() == QEvent::Resize)
    _adaptControlBar(static_cast<QResizeEvent *>(event)->size().width());
  // Hiding the menu bar grows the central widget without resizing the window.
  if (watched == _form->centralwidget && event->type() == QEvent::Resize)
    _placeFullscreenControl();
  return MainWindow::eventFilter(watched, event);
}

// Below the full bar's width the buttons close up and narrow before any goes: the scale and
// resolution buttons first, then the position steps.
void DesktopMainWindow::_adaptControlBar(int width)
{
  DesktopMainWindowForm &f = *_form;
  const bool compact = width < FullControlBarWidth;
  const struct
  {
    QPushButton *button;
    int wide;
  } buttons[] = {{f.previewScaleButton, 60}, {f.previewQualityButton, 60}, {f.fullscreenButton, 40},
                 {f.previousPosButton, 35},  {f.playPauseButton, 50},      {f.nextPosButton, 35},
                 {f.undoButton, 40},         {f.projectSettingsButton, 40}, {f.shareButton, 40}};
  for (const auto &b : buttons)
    b.button->setMinimumWidth(compact ? qMin(b.wide, b.button->text().isEmpty() ? 30 : 50) : b.wide);
  QHBoxLayout *bar = f.horizontalLayout;
  bar->setSpacing(compact ? 2 : 10);
  // The bar's minimum width without the buttons left out (the spacers take no gap).
  auto needed = [&](const QList<QWidget *> &without) {
    int sum = -bar->spacing();
    for (const auto &b : buttons)
      if (!without.contains(b.button))
        sum += b.button->minimumWidth() + bar->spacing();
    return sum;
  };
  const QList<QWidget *> steps = {f.previousPosButton, f.nextPosButton};
  const QList<QWidget *> scales = {f.previewScaleButton, f.previewQualityButton};
  const bool roomForSteps = needed(scales) <= width;
  const bool roomForScales = roomForSteps && needed({}) <= width;
  for (QWidget *button : scales)
    button->setVisible(roomForScales);
  for (QWidget *button : steps)
    button->setVisible(roomForSteps);
}

void DesktopMainWindow::updatePlayPauseIcon()
{
  MainWindow::updatePlayPauseIcon();
  if (_fullscreenControlWidget)
    _fullscreenControlWidget->setPlaying(_playing);
}

void DesktopMainWindow::placeExternalControlWidget(QWidget *widget)
{
  DesktopMainWindowForm &f = *_form;
  if (!widget || !f.rightAreaControlWidget->isVisible())
    return;
  widget->setFixedHeight(f.rightAreaControlWidget->height());
  f.rightAreaVerticalLayout->addWidget(widget);
  f.rightAreaControlWidget->hide();
}

void DesktopMainWindow::removeExternalControlWidget(QWidget *widget)
{
  DesktopMainWindowForm &f = *_form;
  if (!widget || f.rightAreaControlWidget->isVisible())
    return;
  f.rightAreaVerticalLayout->removeWidget(widget);
  f.rightAreaControlWidget->show();
}

void DesktopMainWindow::showProjectSettingsPopup()
{
  if (_projectSettingsPopup)
    return;
  // Left of its button, centred on it: the window's full height is at hand, the side panel
  // stays uncovered.
  constexpr int LeftOfAnchor = 3;
  auto *popup = new PopupProjectSettingsWidget(this);
  _projectSettingsPopup = popup;
  const ProjectManager &project = *_projectManager;
  popup->showPopupWithSettings(this, _form->projectSettingsButton, LeftOfAnchor, project.resolution(),
                               project.direction(), project.frameRate(), project.fixCoverImage(),
                               QColor::fromRgba(project.backgroundColor()));
  // Each change applies at once; while it shows, it is the window's popup.
  _currentPopup = popup;
  using D = DesktopMainWindow;
  connect(popup, &PopupProjectSettingsWidget::popupProjectSettingsWidgetParametersDidChange, this,
          &D::projectSettingsPopup_onParametersDidChange);
  connect(popup, &PopupProjectSettingsWidget::popupProjectSettingsWidgetDidFinish, this,
          &D::projectSettingsPopup_onDidFinish);
  connect(popup, &CommonPopup::dismissed, this, &D::popup_onDismissed);
}

PopupProjectSettingsWidget *DesktopMainWindow::projectSettingsPopup() const
{
  return _projectSettingsPopup;
}
