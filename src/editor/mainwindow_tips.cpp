// The help tips the window offers once a project is loaded, the add-media and easing popups,
// and keeping the open popup and the tip at their anchors when the window changes size or moves.

#include "mainwindow.h"

#include "assetloadingthreadpool.h"
#include "commonpopup.h"
#include "commonpopuphelptipwidget.h"
#include "editscrollarea.h"
#include "mediapreviewwidget.h"
#include "popupeasingfunctionswidget.h"
#include "popupmediatypeselectionwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "tipmanager.h"
#include "tooltipbutton.h"

#include <QTimer>

namespace {

constexpr int LoadingRetryMs = 1000;
constexpr int TipDelayMs = 500;
constexpr int SegmentTipsAfterLoadingMs = 1000;
// The easing chooser hangs below its button when there is no transition tool bar to point at.
constexpr int EasingPopupDrop = 150;

const QString MediaExplorerTip = QStringLiteral("MediaExplorerHelpTip");

// The middle of a button's top edge in the central widget; through the screen, as the
// inspector's buttons need not lie inside it.
QPoint anchorAbove(const QWidget *button, const QWidget *central)
{
  return central->mapFromGlobal(button->mapToGlobal(QPoint(button->width() / 2, 0)));
}

// A stopped auto-save timer means the window is closing: no tip then.
bool isClosing(const QTimer *autoSave)
{
  return !autoSave || !autoSave->isActive();
}

} // namespace

void MainWindow::_offerHelpTipsAfterLoading()
{
  if (_projectManager->segmentCount() == 0) {
    _showMediaExplorerTipWhenIdle();
    return;
  }
  QTimer::singleShot(SegmentTipsAfterLoadingMs, this, [this] { _showSegmentOperationTips(nullptr); });
}

void MainWindow::_showMediaExplorerTipWhenIdle()
{
  if (isClosing(_autoSaveTimer))
    return;
  if (AssetLoadingThreadPool::instance()->activeThreadCount() > 0) {
    QTimer::singleShot(LoadingRetryMs, this, &MainWindow::_showMediaExplorerTipWhenIdle);
    return;
  }
  if (isMediaAreaHidden() || !_hooks.mediaArea)
    return;
  TipManager::instance()->showTip(MediaExplorerTip, _hooks.mediaArea, centralWidget(), TipDelayMs);
}

void MainWindow::_showSegmentOperationTips(Segment *segment)
{
  if (isClosing(_autoSaveTimer))
    return;
  if (AssetLoadingThreadPool::instance()->activeThreadCount() > 0) {
    // By id: the segment may be gone (undo, removal) when the retry runs.
    const quint32 id = segment ? segment->id() : 0;
    QTimer::singleShot(LoadingRetryMs, this, [this, id] {
      const int index = id ? _projectManager->indexOfSegmentId(id) : -1;
      if (!id || index >= 0)
        _showSegmentOperationTips(index >= 0 ? _projectManager->segmentAt(index) : nullptr);
    });
    return;
  }
  if (!_editScrollArea || _editScrollArea->selectedSegmentWidget())
    return;
  if (!segment && _projectManager->segmentCount() > 0)
    segment = _projectManager->segmentAt(0);
  QWidget *block = segment ? static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)) : nullptr;
  if (!block)
    return;
  TipManager *tips = TipManager::instance();
  if (!tips->showTip(QStringLiteral("SegmentOperationDoubleTapTip"), block, centralWidget(), TipDelayMs))
    tips->showTip(QStringLiteral("SegmentOperationPressAndDragTip"), block, centralWidget(), TipDelayMs);
}

void MainWindow::finishMediaExplorerTip()
{
  if (TipManager::hasInstance())
    TipManager::instance()->finishTip(MediaExplorerTip);
}

void MainWindow::_showMediaTypePopup(int restriction, QWidget *anchorButton)
{
  if (_currentPopup)
    _currentPopup->dismiss();
  auto *popup = new PopupMediaTypeSelectionWidget(centralWidget());
  popup->setRestriction(restriction);
  static const char *const titles[] = {QT_TR_NOOP("Add Media"), QT_TR_NOOP("Add Video"), QT_TR_NOOP("Add Picture"),
                                       QT_TR_NOOP("Add Music")};
  const QString title = restriction >= 0 && restriction <= 3 ? tr(titles[restriction]) : QString();
  popup->showPopupAt(centralWidget(), title, anchorButton);
  _adoptOpenPopup(popup, 0, anchorButton);
  _mediaTypePopup = popup;
  using P = PopupMediaTypeSelectionWidget;
  connect(popup, &P::popupMediaTypeSelectionWidgetDidClickSelectFile, this,
          &MainWindow::mediaTypeSelectionPopup_onClickSelectFile);
  connect(popup, &P::popupMediaTypeSelectionWidgetDidClickCamera, this, &MainWindow::mediaTypeSelectionPopup_onClickCamera);
  connect(popup, &P::popupMediaTypeSelectionWidgetDidClickMicrophone, this,
          &MainWindow::mediaTypeSelectionPopup_onClickMicrophone);
  connect(popup, &P::popupMediaTypeSelectionWidgetDidClickText, this, &MainWindow::mediaTypeSelectionPopup_onClickText);
  connect(popup, &P::popupMediaTypeSelectionWidgetDidClickSelfDraw, this,
          &MainWindow::mediaTypeSelectionPopup_onClickSelfDraw);
}

void MainWindow::_showEasingPopup(QWidget *button, int cmdId)
{
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  if (!button || !segment || block->transitionId() < 1)
    return;
  QPoint anchor = anchorAbove(button, centralWidget());
  if (!_transitionToolBar)
    anchor.ry() += EasingPopupDrop;
  if (_currentPopup)
    _currentPopup->dismiss();
  auto *popup = new PopupEasingFunctionsWidget(centralWidget());
  popup->showPopupWithEasing(centralWidget(), anchor, segment->transitionEasingFunction(block->transitionId()),
                             _transitionToolBar);
  if (_transitionToolBar)
    _transitionToolBar->setButtonSelected(cmdId, true);
  _adoptOpenPopup(popup, cmdId, button);
  connect(popup, &PopupEasingFunctionsWidget::easingFunctionSelected, this,
          &MainWindow::easingFunctionPopup_onEasingFunctionSelected);
}

void MainWindow::_adoptOpenPopup(CommonPopup *popup, int cmdId, QWidget *anchorButton)
{
  _currentPopup = popup;
  _selectedToolBarCommand = cmdId;
  _openPopupAnchorButton = anchorButton;
  connect(popup, &CommonPopup::dismissed, this, &MainWindow::popup_onDismissed);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
  CommonMainWindow::resizeEvent(event);
  if (_currentPopup && (_selectedToolBarCommand >= 1 || _openPopupAnchorButton)) {
    ScrollableToolBar *bar = _transitionToolBar ? _transitionToolBar.data() : _segmentToolBar.data();
    QWidget *toolButton = bar && _selectedToolBarCommand >= 1 ? bar->button(_selectedToolBarCommand) : nullptr;
    QWidget *button = toolButton ? toolButton : _openPopupAnchorButton.data();
    if (button) {
      QPoint anchor = anchorAbove(button, centralWidget());
      if (!toolButton && qobject_cast<PopupEasingFunctionsWidget *>(_currentPopup.data()))
        anchor.ry() += EasingPopupDrop;
      _currentPopup->moveToAnchor(anchor);
    }
  }
  if (TipManager::hasInstance())
    TipManager::instance()->updateTipGeometry();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
  CommonMainWindow::moveEvent(event);
  if (_mediaPreviewWidget)
    _mediaPreviewWidget->repositionControlWidget();
}
