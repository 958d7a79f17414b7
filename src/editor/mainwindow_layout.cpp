// Set-up of the timeline and the media area on the widgets the concrete window made.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "gutterscrollarea.h"
#include "mediaexplorer.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "queuedwhilealive.h"
#include "rulerscrollarea.h"
#include "tooltipbutton.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>

namespace {

// The strips above the rows: the pointer strip, then the ruler.
constexpr int PointerStripHeight = 21;
constexpr int RulerHeight = 20;
// Where the timeline's time axis starts; the gutter fills the column left of it.
constexpr int TimelineOrigin = 60;

const char ZoomSliderStyle[] =
    "QSlider::groove:horizontal { background: transparent; height: 5px; border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #2A2929; height: 5px; border-radius: 2px; }"
    "QSlider::add-page:horizontal { background: #2A2929; height: 5px; border-radius: 2px; }"
    "QSlider::handle:horizontal { background: white; width: 11px; margin-top: -3px; margin-bottom: -3px;"
    " border-radius: 4px; }";

QPushButton *makeZoomButton(const QString &icon, QWidget *parent)
{
  auto *button = new QPushButton(parent);
  button->setFlat(true);
  button->setIcon(QIcon(icon));
  button->setIconSize(QSize(14, 14));
  button->setFixedSize(22, 14);
  button->setAutoRepeat(true);
  return button;
}

} // namespace

void MainWindow::_setUpEditArea()
{
  EditScrollArea *area = _editScrollArea;
  area->setStyleSheet(QStringLiteral("background-color: rgb(19,20,21);border: none;"));
  if (area->widget())
    area->widget()->setStyleSheet(QString());
  area->installEventFilter(this);
  // The viewport takes its new size after the area's own resize event: the gutter follows it.
  area->viewport()->installEventFilter(this);

  using E = EditScrollArea;
  using M = MainWindow;
  connect(area, &E::editScrollAreaWillBeginDragging, this, &M::editScrollArea_willBeginDragging);
  connect(area, &E::editScrollAreaWillEndDragging, this, &M::editScrollArea_willEndDragging);
  connect(area, &E::editScrollAreaDidScroll, this, &M::editScrollArea_didScroll);
  connect(area, &E::editScrollAreaScaleBegan, this, &M::editScrollArea_scaleBegan);
  connect(area, &E::editScrollAreaScaleChanged, this, &M::editScrollArea_scaleChanged);
  connect(area, &E::editScrollAreaScaleEnd, this, &M::editScrollArea_willEndDragging);
  connect(area, &E::editScrollAreaBeginDraggingSegment, this, &M::editScrollArea_beginDraggingSegment);
  connect(area, &E::editScrollAreaDidEnterEditingSegment, this, &M::editScrollArea_didEnterEditingSegment);
  connect(area, &E::editScrollAreaDidFinishEditingSegment, this, &M::editScrollArea_didFinishEditingSegment);
  connect(area, &E::editScrollAreaDidFinishEditingSegmentImmediately, this,
          &M::editScrollArea_didFinishEditingSegmentImmediately);
  connect(area, &E::editScrollAreaSeekToTime, this, &M::editScrollArea_seekToTime);
  connect(area, &E::editScrollAreaReloadPreviewForSegment, this, &M::editScrollArea_reloadPreviewForSegment);
  connect(area, &E::editScrollAreaBeginTrimSegment, this, &M::editScrollArea_beginTrimSegment);
  // Answered through the reference: it must run inside the emission.
  connect(area, &E::editScrollAreaGetSegmentOverwriteMode, this, &M::editScrollArea_getSegmentOverwriteMode,
          Qt::DirectConnection);
  connect(area, &E::editScrollAreaDidEnterEditingTransition, this, &M::editScrollArea_didEnterEditingTransition);
  connect(area, &E::editScrollAreaDidFinishEditingTransition, this, &M::editScrollArea_didFinishEditingTransition);
  connect(area, &E::editScrollAreaSeekToTransition, this, &M::editScrollArea_seekToTransition);
  connect(area, &E::editScrollAreaTappedOnTransitionBar, this, &M::editScrollArea_tappedOnTransitionBar);
  connect(area, &E::editScrollAreaReloadPreviewForTransition, this, &M::editScrollArea_reloadPreviewForTransition);
  connect(area, &E::editScrollAreaDidTransitionRangeChange, this, &M::editScrollArea_didTransitionRangeChange);
  connect(area, &E::editScrollAreaBeginMoveTransition, this, &M::editScrollArea_beginMoveTransition);
  connect(area, &E::editScrollAreaEndMoveTransition, this, &M::editScrollArea_endMoveTransition);
  connect(area, &E::editScrollAreaBeginTrimTransition, this, &M::editScrollArea_beginTrimTransition);
  connect(area, &E::editScrollAreaEndTrimTransition, this, &M::editScrollArea_endTrimTransition);
  connect(area, &E::editScrollAreaCopySegment, this, &M::editScrollArea_copySegment);
  connect(area, &E::editScrollAreaRemoveSegment, this, &M::editScrollArea_removeSegment);
  connect(area, &E::editScrollAreaSplitSegment, this, &M::editScrollArea_splitSegment);
  connect(area, &E::editScrollAreaMoveSegmentToTrack, this, &M::editScrollArea_moveSegmentToTrack);
  connect(area, &E::editScrollAreaRemoveTrack, this, &M::editScrollArea_removeTrack);
  connect(area, &E::editScrollAreaBeginDraggingTrackWidget, this, &M::editScrollArea_beginDraggingTrackWidget);
  connect(area, &E::editScrollAreaEndDraggingTrackWidget, this, &M::editScrollArea_endDraggingTrackWidget);
  // Answered through the pointers, likewise inside the emission.
  connect(area, &E::editScrollAreaGetSafeAreaInsets, this, &M::editScrollArea_getSafeAreaInsets, Qt::DirectConnection);
  connect(area, &E::editScrollAreaSelectNextSegmentByDirectionKey, this,
          &M::editScrollArea_onSelectNextSegmentByDirectionKey);
  connect(area, &E::editScrollAreaSelectedSegmentWidgetChanged, this, &M::editScrollArea_onSelectedSegmentWidgetChanged);
  connect(area, &E::editScrollAreaDeleteKeyPressed, this, &M::editScrollArea_onDeleteKeyPressed);
  connectQueuedWhileAlive(area, &E::editScrollAreaPopupContextMenuForSegmentWidget, this,
                          &M::editScrollArea_onPopupContextMenuForSegmentWidget);
  connectQueuedWhileAlive(area, &E::editScrollAreaDoubleClickedOnFailedSegment, this,
                          &M::editScrollArea_doubleClickedOnFailedSegment);

  _zoomSlider = new QSlider(Qt::Horizontal, _hooks.editArea);
  _zoomSlider->setObjectName(QStringLiteral("zoomSlider"));
  _zoomSlider->setFixedSize(80, 15);
  _zoomSlider->setRange(2, 40);
  _zoomSlider->setValue(zoomSliderValue(_zoom));
  _zoomSlider->setStyleSheet(QLatin1String(ZoomSliderStyle));
  connect(_zoomSlider, &QSlider::valueChanged, this, &MainWindow::onZoomSliderValueChanged);

  _zoomInButton = makeZoomButton(QStringLiteral(":/images/track_zoom_in"), _hooks.editArea);
  _zoomInButton->setObjectName(QStringLiteral("zoomInButton"));
  _zoomOutButton = makeZoomButton(QStringLiteral(":/images/track_zoom_out"), _hooks.editArea);
  _zoomOutButton->setObjectName(QStringLiteral("zoomOutButton"));
  connect(_zoomInButton, &QPushButton::clicked, this, &MainWindow::onZoomIn);
  connect(_zoomOutButton, &QPushButton::clicked, this, &MainWindow::onZoomOut);
}

void MainWindow::_setUpGutter()
{
  _gutter = new GutterScrollArea(_editScrollArea->parentWidget());
  _gutter->setObjectName(QStringLiteral("gutterScrollArea"));
  _gutter->setStyleSheet(QStringLiteral("background-color: transparent;border:none;"));
  connect(_gutter, &GutterScrollArea::gutterAreaFunctionButtonPressed, this, &MainWindow::gutterArea_onFunctionButtonPressed);
}

void MainWindow::_setUpMediaExplorer(bool tabs)
{
  _hooks.mediaArea->setStyleSheet(QStringLiteral("QWidget {background-color: rgb(28,29,32);}"));
  _hooks.mediaArea->installEventFilter(this);
  _mediaExplorer = new MediaExplorer(ProjectManager::projectDirectory(_projectName, _projectFolder), this);
  connect(_mediaExplorer, &MediaExplorer::showTextMessage, this, &MainWindow::mediaExplorer_onShowTextMessage);
  connect(_mediaExplorer, &MediaExplorer::showProgressHUD, this, &MainWindow::mediaExplorer_onShowProgressHUD);
  connect(_mediaExplorer, &MediaExplorer::hideProgressHUD, this, &MainWindow::hideWaitingHUD);
  connect(_mediaExplorer, &MediaExplorer::downloadFinished, this, &MainWindow::mediaExplorer_onDownloadFinished);
  connect(_mediaExplorer, &MediaExplorer::mediaItemClicked, this, &MainWindow::mediaExplorer_onMediaItemClicked);
  if (!isMediaAreaHidden())
    _mediaExplorer->showInWidget(_hooks.mediaArea, tabs);
}

void MainWindow::_setUpPointers()
{
  _hooks.pointerArea->setFixedHeight(PointerStripHeight);
  _hooks.pointerArea->setStyleSheet(QStringLiteral("background-color:rgb(19,20,21);"));

  _playheadPointer = new PointerWidget(0, PointerStripHeight + RulerHeight, _hooks.editArea);
  _playheadPointer->setObjectName(QStringLiteral("playheadPointer"));
  _playheadPointer->setStyleSheet(QStringLiteral("background-color: transparent;"));
  _playheadPointer->setFixedWidth(52);
  _playheadPointer->setCenterX(TimelineOrigin, false);

  TooltipButton *mode = _hooks.segmentModeButton;
  mode->setFixedSize(40, 20);
  connect(mode, &QPushButton::clicked, this, &MainWindow::onSegmentModeButtonClicked);

  auto *layout = new QHBoxLayout(_hooks.pointerArea);
  layout->addStretch();
  layout->addWidget(mode);
  layout->setContentsMargins(12, 0, 12, 0);
  layout->setSpacing(0);
  _hooks.editArea->installEventFilter(this);
}

void MainWindow::_setUpPreviewArea()
{
  _hooks.previewArea->setStyleSheet(QStringLiteral("background-color: rgb(31,32,35);"));
  _hooks.previewArea->installEventFilter(this);
}

void MainWindow::_setUpRuler()
{
  RulerScrollArea *ruler = _hooks.rulerScrollArea;
  ruler->setFixedHeight(RulerHeight);
  ruler->setStyleSheet(QStringLiteral("background-color:rgb(19,20,21); border:none;"));
  if (ruler->widget())
    ruler->widget()->setStyleSheet(QString());
  ruler->setScale(_zoom, _projectManager->duration());
}

void MainWindow::_layoutTimelineControls()
{
  QWidget *panel = _hooks.editArea;
  if (!panel)
    return;
  if (_gutter && _editScrollArea) {
    const QWidget *viewport = _editScrollArea->viewport();
    const QPoint origin = viewport->mapTo(panel, QPoint(0, 0));
    _gutter->setGeometry(origin.x(), origin.y(), TimelineOrigin, qMax(0, viewport->height() - 15));
  }
  // The zoom controls sit in the pointer strip, left of the mode button.
  if (_zoomSlider && _hooks.segmentModeButton) {
    // The strip's layout puts the mode button at its right end, inside 12-pixel margins.
    const int right = panel->width() - 12 - _hooks.segmentModeButton->width() - 12;
    const int y = (PointerStripHeight - _zoomInButton->height()) / 2;
    _zoomInButton->move(right - _zoomInButton->width(), y);
    _zoomSlider->move(_zoomInButton->x() - 4 - _zoomSlider->width(), (PointerStripHeight - _zoomSlider->height()) / 2);
    _zoomOutButton->move(_zoomSlider->x() - 4 - _zoomOutButton->width(), y);
    for (QWidget *w : {static_cast<QWidget *>(_zoomOutButton), static_cast<QWidget *>(_zoomSlider),
                       static_cast<QWidget *>(_zoomInButton)})
      w->raise();
  }
  if (_playheadPointer)
    _playheadPointer->raise();
}
