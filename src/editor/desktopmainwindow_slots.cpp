// Slots of the desktop window's own widgets: the control bar, the splitters, the two preview
// menus and the View and Transition menus.

#include "desktopmainwindow.h"

#include "desktopmainwindowform.h"
#include "dialogprovider.h"
#include "mediaexplorer.h"
#include "commonpopuphelptipwidget.h"
#include "tipmanager.h"
#include "util.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QWidgetAction>

namespace {

constexpr int MinInspectorWidth = 300;
constexpr int MinMediaWidth = 350;
const float PreviewScales[] = {1.0f, 0.75f, 0.5f, 0.25f};

int availableScreenWidth()
{
  return QGuiApplication::primaryScreen()->availableGeometry().width();
}

} // namespace

void DesktopMainWindow::onPlayPauseButtonClicked()
{
  togglePlayPause();
}

void DesktopMainWindow::onNextPositionButtonClicked()
{
  onActionNextPositionTriggered();
}

void DesktopMainWindow::onPreviousPositionButtonClicked()
{
  onActionPreviousPositionTriggered();
}

void DesktopMainWindow::onUndoButtonClicked()
{
  undoRedoOperation(true);
}

void DesktopMainWindow::onProjectSettingsButtonClicked()
{
  showProjectSettingsPopup();
}

void DesktopMainWindow::onShareButtonClicked()
{
  showMovieExportingPopup();
}

void DesktopMainWindow::onFullscreenButtonClicked()
{
  toggleFullscreen();
}

int DesktopMainWindow::_execPreviewMenu(const QString &title, const QStringList &items)
{
  QPointer<QMenu> menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  menu->setTitle(title);
  Util::applyPopupMenuStyleSheet(menu);
  auto *heading = new QLabel(QStringLiteral("<i><font color=#36c8ff>%1</font></i>").arg(title.toHtmlEscaped()));
  heading->setTextFormat(Qt::RichText);
  heading->setAlignment(Qt::AlignCenter);
  heading->setFixedHeight(30);
  auto *headingAction = new QWidgetAction(menu);
  headingAction->setDefaultWidget(heading);
  menu->addAction(headingAction);
  QList<QAction *> choices;
  for (const QString &item : items)
    choices << menu->addAction(item);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, QCursor::pos());
  const int index = choices.indexOf(chosen);
  // The window may have gone while the menu ran; then so has the menu, its child.
  if (menu)
    menu->deleteLater();
  return index;
}

void DesktopMainWindow::onPreviewScaleButtonClicked()
{
  hideMediaPreview();
  const int index = _execPreviewMenu(tr("Preview Scale"), {tr("100%"), tr("75%"), tr("50%"), tr("25%")});
  if (index < 0)
    return;
  _previewScale = PreviewScales[index];
  _form->previewScaleButton->setText(QStringLiteral("%1%").arg(qRound(_previewScale * 100)));
  _layoutPreview();
  QWidget *area = _form->previewAreaWidget;
  QApplication::postEvent(area, new QResizeEvent(area->size(), area->size()));
}

void DesktopMainWindow::onPreviewQualityButtonClicked()
{
  hideMediaPreview();
  const int quality = _execPreviewMenu(tr("Preview Resolution"), {tr("360p"), tr("540p"), tr("720p"), tr("1080p")});
  if (quality < 0)
    return;
  _setPreviewQuality(quality);
  const QString name = previewQualityName(quality);
  _form->previewQualityButton->setText(name.isEmpty() ? previewQualityName(1) : name);
}

void DesktopMainWindow::onHideInspectorAreaButtonClicked()
{
  _setSidePanelWidth(0);
}

void DesktopMainWindow::onMainSplitterMoved(int, int)
{
  const int width = _sidePanelWidth();
  if (width <= 0)
    return;
  _inspectorAreaWidth = width;
  _keepPlayheadInView();
}

void DesktopMainWindow::onTopAreaSplitterMoved(int pos, int index)
{
  qDebug() << "onTopAreaSplitterMoved" << pos << index;
  if (index == 1 && pos == 0)
    hideMediaPreview();
  const int width = _form->topAreaSplitter->sizes().value(0);
  if (width <= 0)
    return;
  _mediaAreaWidth = width;
  if (_mediaExplorer)
    _mediaExplorer->showInWidget(_form->mediaAreaWidget, true);
  if (!TipManager::hasInstance() || !TipManager::instance()->isShowingTip())
    _showMediaExplorerTipWhenIdle();
}

void DesktopMainWindow::onRootAreaSplitterMoved(int, int)
{
  _previewAreaHeight = _form->rootAreaSplitter->sizes().value(0);
}

void DesktopMainWindow::onViewMenuAboutToShow()
{
  _mediaExplorerAction->setChecked(!isMediaAreaHidden());
  _segmentInspectorAction->setChecked(_sidePanelWidth() != 0);
}

void DesktopMainWindow::onTransitionMenuAboutToShow()
{
  // The choices depend on the selected block and the room at its ends right now, so the
  // submenu is made afresh each time; none without a selected block.
  QAction *add = actions().addTransition;
  _transitionMenu->removeAction(add);
  QMenu *old = add->menu();
  add->setMenu(_showTransitionMenu(_transitionMenu));
  if (old)
    old->deleteLater();
  _transitionMenu->insertAction(actions().duplicateTransition, add);
}

void DesktopMainWindow::onActionViewMediaExplorerTriggered()
{
  QSplitter *splitter = _form->topAreaSplitter;
  QList<int> sizes = splitter->sizes();
  if (sizes.size() < 2)
    return;
  if (sizes[0] > 0) {
    if (!splitter->isCollapsible(0))
      return;
    _mediaAreaWidth = sizes[0];
    sizes[1] += sizes[0];
    sizes[0] = 0;
  } else {
    int width = _mediaAreaWidth < 0 ? availableScreenWidth() * 4 / 10 : _mediaAreaWidth;
    width = qMax(width, MinMediaWidth);
    _mediaAreaWidth = width;
    sizes[0] = width;
    sizes[1] -= width;
    if (_mediaExplorer)
      _mediaExplorer->showInWidget(_form->mediaAreaWidget, true);
  }
  splitter->setSizes(sizes);
  _mediaExplorerAction->setChecked(!isMediaAreaHidden());
}

void DesktopMainWindow::onActionViewSegmentInspectorTriggered()
{
  QSplitter *splitter = _form->mainSplitter;
  const int width = _sidePanelWidth();
  if (width > 0) {
    if (!splitter->isCollapsible(1))
      return;
    _inspectorAreaWidth = width;
    _setSidePanelWidth(0);
  } else {
    _inspectorAreaWidth = qMax(_inspectorAreaWidth, MinInspectorWidth);
    _setSidePanelWidth(_inspectorAreaWidth);
  }
}
