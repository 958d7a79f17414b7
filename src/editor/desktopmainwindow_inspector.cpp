// The side panel: the segment inspector it hosts, the editing modes the inspector shows, and
// the inspector's requests passed on to the editing commands.

#include "desktopmainwindow.h"

#include "avcomposition.h"
#include "desktopmainwindowform.h"
#include "editscrollarea.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "segment.h"
#include "segmentinspectorwidget.h"
#include "segmentwidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int MinInspectorWidth = 300;
constexpr int RefreshDelayMs = 200;

bool isVisualType(const QString &type)
{
  return type != QLatin1String("MUSIC") && type != QLatin1String("VOICE");
}

} // namespace

SegmentWidget *DesktopMainWindow::_inspectedBlock() const
{
  if (!_editScrollArea)
    return nullptr;
  if (SegmentWidget *edited = _editScrollArea->editingSegmentWidget())
    return edited;
  return _editScrollArea->selectedSegmentWidget();
}

Segment *DesktopMainWindow::_inspectedSegment() const
{
  SegmentWidget *block = _inspectedBlock();
  return block ? block->segment() : nullptr;
}

int DesktopMainWindow::_sidePanelWidth() const
{
  const QList<int> sizes = _form->mainSplitter->sizes();
  return sizes.size() > 1 ? sizes.at(1) : 0;
}

void DesktopMainWindow::_setSidePanelWidth(int width)
{
  QSplitter *splitter = _form->mainSplitter;
  const QList<int> sizes = splitter->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  splitter->setSizes({qMax(0, total - width), width});
}

void DesktopMainWindow::_createSegmentInspector()
{
  DesktopMainWindowForm &f = *_form;
  _segmentInspectorWidget = new SegmentInspectorWidget(f.inspectorAreaWidget);
  _segmentInspectorWidget->setObjectName(QStringLiteral("segmentInspectorWidget"));
  _segmentInspectorWidget->hide();
  f.inspectorAreaVerticalLayout->addWidget(_segmentInspectorWidget, 1);
  _connectSegmentInspector();
}

void DesktopMainWindow::_connectSegmentInspector()
{
  using S = SegmentInspectorWidget;
  using D = DesktopMainWindow;
  S *s = _segmentInspectorWidget;
  connect(s, &S::segmentInspectorWidgetDidFinish, this, &D::segmentInspectorWidget_onDidFinish);
  connect(s, &S::segmentInspectorWidgetDoneAction, this, &D::segmentInspectorWidget_onDoneAction);
  connect(s, &S::segmentInspectorWidgetDuplicateSegment, this, &D::segmentInspectorWidget_onDuplicateSegment);
  connect(s, &S::segmentInspectorWidgetSplitSegment, this, &D::segmentInspectorWidget_onSplitSegment);
  connect(s, &S::segmentInspectorWidgetRemoveSegment, this, &D::segmentInspectorWidget_onRemoveSegment);
  connect(s, &S::segmentInspectorWidgetEnterEditTransition, this, &D::segmentInspectorWidget_onEnterEditTransition);
  connect(s, &S::segmentInspectorWidgetExitEditTransition, this, &D::segmentInspectorWidget_onExitEditTransition);
  connect(s, &S::segmentInspectorWidgetKeyPressed, this, &D::segmentInspectorWidget_onKeyPressed);
  connect(s, &S::segmentInspectorWidgetSelectFont, this, &D::segmentInspectorWidget_onSelectFont);
  connect(s, &S::segmentInspectorWidgetSetTextAlignment, this, &D::segmentInspectorWidget_onSetTextAlignment);
  connect(s, &S::segmentInspectorWidgetEditText, this, &D::segmentInspectorWidget_onEditText);
  connect(s, &S::segmentInspectorWidgetEditDrawing, this, &D::segmentInspectorWidget_onEditDrawing);
  connect(s, &S::segmentInspectorWidgetEditPicture, this, &D::segmentInspectorWidget_onEditPicture);
  connect(s, &S::segmentInspectorWidgetVideoGrabImage, this, &D::segmentInspectorWidget_onVideoGrabImage);
  _connectInspectorDrawingSignals(s);
  connect(s, &S::segmentInspectorWidgetMaintainAspectRatioAction, this,
          &D::segmentInspectorWidget_onMaintainAspectRatioAction);
  connect(s, &S::segmentInspectorWidgetRestoreDefaultAction, this, &D::segmentInspectorWidget_onRestoreDefaultAction);
  connect(s, &S::segmentInspectorWidgetCropAction, this, &D::segmentInspectorWidget_onCropAction);
  connect(s, &S::segmentInspectorWidgetRotateClockwiseAction, this,
          &D::segmentInspectorWidget_onRotateClockwiseAction);
  connect(s, &S::segmentInspectorWidgetRotateCounterClockwiseAction, this,
          &D::segmentInspectorWidget_onRotateCounterClockwiseAction);
  connect(s, &S::segmentInspectorWidgetFlipHorizontalAction, this, &D::segmentInspectorWidget_onFlipHorizontalAction);
  connect(s, &S::segmentInspectorWidgetFlipVerticalAction, this, &D::segmentInspectorWidget_onFlipVerticalAction);
  connect(s, &S::segmentInspectorWidgetSetGeometryX, this, &D::segmentInspectorWidget_onSetGeometryX);
  connect(s, &S::segmentInspectorWidgetSetGeometryY, this, &D::segmentInspectorWidget_onSetGeometryY);
  connect(s, &S::segmentInspectorWidgetSetGeometryWidth, this, &D::segmentInspectorWidget_onSetGeometryWidth);
  connect(s, &S::segmentInspectorWidgetSetGeometryHeight, this, &D::segmentInspectorWidget_onSetGeometryHeight);
  connect(s, &S::segmentInspectorWidgetSetGeometryRotation, this, &D::segmentInspectorWidget_onSetGeometryRotation);
  connect(s, &S::segmentInspectorWidgetBeforeUpdateGeometryValue, this,
          &D::segmentInspectorWidget_beforeUpdateGeometryValue);
  connect(s, &S::segmentInspectorWidgetUpdateGeometryX, this, &D::segmentInspectorWidget_onUpdateGeometryX);
  connect(s, &S::segmentInspectorWidgetUpdateGeometryY, this, &D::segmentInspectorWidget_onUpdateGeometryY);
  connect(s, &S::segmentInspectorWidgetUpdateGeometryWidth, this, &D::segmentInspectorWidget_onUpdateGeometryWidth);
  connect(s, &S::segmentInspectorWidgetUpdateGeometryHeight, this, &D::segmentInspectorWidget_onUpdateGeometryHeight);
  connect(s, &S::segmentInspectorWidgetUpdateGeometryRotation, this,
          &D::segmentInspectorWidget_onUpdateGeometryRotation);
  connect(s, &S::segmentInspectorWidgetAfterUpdateGeometryValue, this,
          &D::segmentInspectorWidget_afterUpdateGeometryValue);
  connect(s, &S::segmentInspectorWidgetGetEasingFunctionHintText, this,
          &D::segmentInspectorWidget_onGetEasingFunctionHintText);
  connect(s, &S::segmentInspectorWidgetGetEasingFunctionIconImage, this,
          &D::segmentInspectorWidget_onGetEasingFunctionIconImage);
  connect(s, &S::segmentInspectorWidgetTransitionSelectionIndexChanged, this,
          &D::segmentInspectorWidget_onTransitionSelectionIndexChanged);
  connect(s, &S::segmentInspectorWidgetTransitionBeginOrEndPositionChanged, this,
          &D::segmentInspectorWidget_onTransitionBeginOrEndPositionChanged);
  connect(s, &S::segmentInspectorWidgetPopupEasingFunctionsWidgetOnButton, this,
          &D::segmentInspectorWidget_onPopupEasingFunctionsWidgetOnButton);
  connect(s, &S::segmentInspectorWidgetAddTransitionOnButton, this, &D::segmentInspectorWidget_onAddTransitionOnButton);
  connect(s, &S::segmentInspectorWidgetRemoveTransitionAtIndex, this,
          &D::segmentInspectorWidget_onRemoveTransitionAtIndex);
  connect(s, &S::segmentInspectorWidgetDuplicateTransitionAtIndex, this,
          &D::segmentInspectorWidget_onDuplicateTransitionAtIndex);
  // Each embedded popup is wired to the window's value handlers when the inspector makes it.
  connect(s, &S::setConnectionsForTransparencyPopupSliderWidget, this,
          &D::_segmentEditingSetConnectionsForTransparencyPopupSliderWidget);
  connect(s, &S::setConnectionsForVolumePopupSliderWidget, this,
          &D::_segmentEditingSetConnectionsForVolumePopupSliderWidget);
  connect(s, &S::setConnectionsForSpeedPopupSliderWidget, this,
          &D::_segmentEditingSetConnectionsForSpeedPopupSliderWidget);
  connect(s, &S::setConnectionsForBorderPopupSliderColorWidget, this,
          &D::_segmentEditingSetConnectionsForBorderPopupSliderColorWidget);
  connect(s, &S::setConnectionsForStrokeBorderPopupSliderColorSwitchWidget, this,
          &D::_segmentEditingSetConnectionsForStrokeBorderPopupSliderColorSwitchWidget);
  connect(s, &S::setConnectionsForRoundCornerPopupSliderWidget, this,
          &D::_segmentEditingSetConnectionsForRoundCornerPopupSliderWidget);
  connect(s, &S::setConnectionsForShadowPopupSliderColorShadowWidget, this,
          &D::_segmentEditingSetConnectionsForShadowPopupSliderColorShadowWidget);
  connect(s, &S::setConnectionsForColorsPopupColorsScrollWidget, this,
          &D::_segmentEditingSetConnectionsForColorsPopupColorsScrollWidget);
  connect(s, &S::setConnectionsForChromaKeyPopupChromaKeyWidget, this,
          &D::_segmentEditingSetConnectionsForChromaKeyPopupChromaKeyWidget);
  connect(s, &S::setConnectionsForTextSizePopupSliderColorWidget, this,
          &D::_segmentEditingSetConnectionsForTextSizePopupSliderColorWidget);
  connect(s, &S::setConnectionsForTextBackPopupSliderColor2SlidersWidget, this,
          &D::_segmentEditingSetConnectionsForTextBackPopupSliderColor2SlidersWidget);
}

// --- Overrides ------------------------------------------------------------------------------

void DesktopMainWindow::showEditingToolsFor(SegmentWidget *segmentWidget, float time)
{
  DesktopMainWindowForm &f = *_form;
  if (!_segmentInspectorWidget)
    _createSegmentInspector();
  const QSize canvas = _composition ? QSize(_composition->width(), _composition->height()) : QSize();
  _segmentInspectorWidget->setSegment(segmentWidget, _transformWidget, canvas);
  if (!_segmentInspectorWidget->isVisible()) {
    _segmentInspectorWidget->show();
    f.noEditingSegmentTextLabel->hide();
    f.hideInspectorAreaButton->hide();
    f.verticalSpacer->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    f.verticalSpacer_2->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    f.inspectorAreaVerticalLayout->invalidate();
  }
  if (_sidePanelWidth() == 0) {
    _inspectorAreaWidth = qMax(_inspectorAreaWidth, MinInspectorWidth);
    _setSidePanelWidth(_inspectorAreaWidth);
  }
  // While the inspector shows, the View menu must not fold the panel away under it.
  f.mainSplitter->setCollapsible(1, false);
  QTimer::singleShot(RefreshDelayMs, this, [this, time] {
    updateToolsAtTime(time);
    _keepPlayheadInView();
  });
}

void DesktopMainWindow::dismissToolPopups()
{
  DesktopMainWindowForm &f = *_form;
  if (_segmentInspectorWidget) {
    _segmentInspectorWidget->dismissPopups();
    _segmentInspectorWidget->hide();
  }
  f.verticalSpacer->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
  f.verticalSpacer_2->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
  f.inspectorAreaVerticalLayout->invalidate();
  f.noEditingSegmentTextLabel->show();
  f.hideInspectorAreaButton->show();
  f.editScrollArea->setFocus();
  f.mainSplitter->setCollapsible(1, true);
}

bool DesktopMainWindow::isEditingTransitions()
{
  // The base answers for the tool-bar form of transition editing.
  return (_segmentInspectorWidget && _segmentInspectorWidget->isInTransitionMode())
         || MainWindow::isEditingTransitions();
}

bool DesktopMainWindow::isVolumeButtonEnabled()
{
  return _segmentInspectorWidget && _segmentInspectorWidget->isVolumeControlEnabled(isEditingTransitions());
}

void DesktopMainWindow::updateToolsAtTime(float time)
{
  MainWindow::updateToolsAtTime(time);
  Segment *segment = _inspectedSegment();
  if (!_segmentInspectorWidget || !segment)
    return;
  const float start = segment->rangeStart();
  const bool inside = isVisualType(segment->type()) && start <= time && time < start + segment->duration();
  _segmentInspectorWidget->updateEnabledAtTime(segment, _transformWidget, inside, time);
}

void DesktopMainWindow::updateTransitionTools()
{
  MainWindow::updateTransitionTools();
  SegmentWidget *block = _inspectedBlock();
  if (!_segmentInspectorWidget || !block || !block->segment())
    return;
  _segmentInspectorWidget->showTransition(block->segment(), block->transitionId(), _editedTransitionEnd);
}

void DesktopMainWindow::updateInspectorGeometry()
{
  if (_segmentInspectorWidget && _inspectedSegment())
    _segmentInspectorWidget->updateGeometry(_inspectedSegment());
}

void DesktopMainWindow::updateInspectorTextStyle()
{
  if (_segmentInspectorWidget && _inspectedSegment())
    _segmentInspectorWidget->updateFont(_inspectedSegment());
}

void DesktopMainWindow::transitionsDidChange()
{
  SegmentWidget *block = _inspectedBlock();
  if (!_segmentInspectorWidget || !block || !block->segment())
    return;
  Segment *segment = block->segment();
  _segmentInspectorWidget->updateGeometry(segment);
  if (!_segmentInspectorWidget->isInTransitionMode())
    _segmentInspectorWidget->updateTransitions(segment, block->transitionId(), _editedTransitionEnd);
}

void DesktopMainWindow::_setEditingMode(bool on, const QString &title, int mode)
{
  DesktopMainWindowForm &f = *_form;
  if (_segmentInspectorWidget)
    _segmentInspectorWidget->setEditingState(on, title, mode);
  for (QPushButton *button : {f.playPauseButton, f.undoButton, f.projectSettingsButton, f.shareButton})
    button->setEnabled(!on);
}

void DesktopMainWindow::cropModeChanged(bool on)
{
  MainWindow::cropModeChanged(on);
  _setEditingMode(on, tr("Cropping..."), SegmentInspectorWidget::Cropping);
}

void DesktopMainWindow::textEditingModeChanged(bool on)
{
  MainWindow::textEditingModeChanged(on);
  _setEditingMode(on, tr("Editing..."), SegmentInspectorWidget::EditingText);
}

void DesktopMainWindow::drawingModeChanged(bool on)
{
  MainWindow::drawingModeChanged(on);
  _setEditingMode(on, tr("Drawing..."), SegmentInspectorWidget::Drawing);
}

QString DesktopMainWindow::easingName(int easing)
{
  if (easing == 1)
    return tr("Linear");
  if (easing < 2 || easing > 16)
    return QString();
  static const char *const Curves[] = {QT_TR_NOOP("Smooth"), QT_TR_NOOP("Circular"), QT_TR_NOOP("Back"),
                                       QT_TR_NOOP("Elastic"), QT_TR_NOOP("Bounce")};
  static const char *const Forms[] = {QT_TR_NOOP("%1 In"), QT_TR_NOOP("%1 Out"), QT_TR_NOOP("%1 InOut")};
  const int index = easing - 2;
  return tr(Forms[index % 3]).arg(tr(Curves[index / 3]));
}

QString DesktopMainWindow::_easingHint(Segment *segment, int transitionId)
{
  if (!segment || transitionId <= 0)
    return QString();
  return easingName(segment->transitionEasingFunction(transitionId));
}

void DesktopMainWindow::_showTransitionToolsFor(float time, int transitionId)
{
  Q_UNUSED(time)
  if (_segmentInspectorWidget && !_segmentInspectorWidget->isInTransitionMode()) {
    _segmentInspectorWidget->enterEditTransitionMode();
    _segmentEditingEnterEditTransition();
    QTimer::singleShot(RefreshDelayMs, this, [this, transitionId] {
      if (_editScrollArea && _editScrollArea->selectedSegmentWidget())
        editScrollArea_seekToTransition(transitionId, true);
    });
  }
  editScrollArea_seekToTransition(transitionId, true);
}

void DesktopMainWindow::saveToolBarOffsets(QHash<QString, QVariant> &offsets)
{
  if (_segmentInspectorWidget)
    offsets.insert(QStringLiteral("offset"), _segmentInspectorWidget->scrollOffset());
}

void DesktopMainWindow::restoreToolBarOffsets(const QHash<QString, QVariant> &offsets)
{
  if (_segmentInspectorWidget && offsets.contains(QStringLiteral("offset")))
    _segmentInspectorWidget->setScrollOffset(offsets.value(QStringLiteral("offset")).toInt());
}

void DesktopMainWindow::_showTransitionTools()
{
  if (_segmentInspectorWidget)
    _segmentInspectorWidget->enterEditTransitionMode();
}

void DesktopMainWindow::_startTransitionMode()
{
  if (_segmentInspectorWidget)
    _segmentInspectorWidget->enterEditTransitionMode();
  _segmentEditingEnterEditTransition();
}

void DesktopMainWindow::endTransitionMode()
{
  Segment *segment = _inspectedSegment();
  if (!segment)
    return;
  if (_segmentInspectorWidget)
    _segmentInspectorWidget->exitEditTransitionMode(segment);
  _segmentEditingExitEditTransition();
  updateToolsAtTime(_playheadTime());
}

bool DesktopMainWindow::backOut()
{
  // Leaving full screen comes before every other way out.
  if (_fullscreen) {
    toggleFullscreen();
    return true;
  }
  if (MainWindow::backOut())
    return true;
  if (_sidePanelWidth() > 0) {
    onHideInspectorAreaButtonClicked();
    return true;
  }
  return false;
}

// --- Inspector requests ---------------------------------------------------------------------
// Each request goes on to the editing command that serves it.

void DesktopMainWindow::segmentInspectorWidget_onDidFinish(SegmentInspectorWidget *)
{
  _segmentEditingDidFinish();
}
void DesktopMainWindow::segmentInspectorWidget_onDoneAction(SegmentInspectorWidget *)
{
  _commitInPlaceEditing();
}
void DesktopMainWindow::segmentInspectorWidget_onDuplicateSegment(SegmentInspectorWidget *)
{
  _segmentEditingDuplicateSegment();
}
void DesktopMainWindow::segmentInspectorWidget_onSplitSegment(SegmentInspectorWidget *)
{
  _segmentEditingSplitSegment();
}
void DesktopMainWindow::segmentInspectorWidget_onRemoveSegment(SegmentInspectorWidget *)
{
  _segmentEditingRemoveSegment();
}
void DesktopMainWindow::segmentInspectorWidget_onEnterEditTransition(SegmentInspectorWidget *)
{
  _startTransitionMode();
}
void DesktopMainWindow::segmentInspectorWidget_onExitEditTransition(SegmentInspectorWidget *)
{
  endTransitionMode();
}

void DesktopMainWindow::segmentInspectorWidget_onKeyPressed(SegmentInspectorWidget *, QKeyEvent *event)
{
  // The timeline's keys (Delete, arrows) work while the inspector has the focus.
  QApplication::sendEvent(_form->editScrollArea, event);
}

void DesktopMainWindow::segmentInspectorWidget_onSelectFont(SegmentInspectorWidget *)
{
  _segmentEditingSelectFont();
}
void DesktopMainWindow::segmentInspectorWidget_onSetTextAlignment(SegmentInspectorWidget *, int alignment)
{
  _segmentEditingSetTextAlignment(alignment);
}
void DesktopMainWindow::segmentInspectorWidget_onEditText(SegmentInspectorWidget *)
{
  _segmentEditingEditText();
}
void DesktopMainWindow::segmentInspectorWidget_onEditDrawing(SegmentInspectorWidget *)
{
  _segmentEditingEditDrawing();
}
void DesktopMainWindow::segmentInspectorWidget_onEditPicture(SegmentInspectorWidget *, QWidget *)
{
  _segmentEditingEditPicture();
}
void DesktopMainWindow::segmentInspectorWidget_onVideoGrabImage(SegmentInspectorWidget *)
{
  _segmentEditingVideoGrabImage();
}
void DesktopMainWindow::segmentInspectorWidget_onMaintainAspectRatioAction(SegmentInspectorWidget *)
{
  _segmentEditingMaintainAspectRatio();
}
void DesktopMainWindow::segmentInspectorWidget_onRestoreDefaultAction(SegmentInspectorWidget *)
{
  _segmentEditingRestoreDefault();
}
void DesktopMainWindow::segmentInspectorWidget_onCropAction(SegmentInspectorWidget *)
{
  _segmentEditingCrop();
}
void DesktopMainWindow::segmentInspectorWidget_onRotateClockwiseAction(SegmentInspectorWidget *)
{
  _segmentEditingRotateClockwise();
}
void DesktopMainWindow::segmentInspectorWidget_onRotateCounterClockwiseAction(SegmentInspectorWidget *)
{
  _segmentEditingRotateCounterClockwise();
}
void DesktopMainWindow::segmentInspectorWidget_onFlipHorizontalAction(SegmentInspectorWidget *)
{
  _segmentEditingFlipHorizontal();
}
void DesktopMainWindow::segmentInspectorWidget_onFlipVerticalAction(SegmentInspectorWidget *)
{
  _segmentEditingFlipVertical();
}
void DesktopMainWindow::segmentInspectorWidget_onSetGeometryX(SegmentInspectorWidget *, double value)
{
  _segmentEditingSetGeometryX(value);
}
void DesktopMainWindow::segmentInspectorWidget_onSetGeometryY(SegmentInspectorWidget *, double value)
{
  _segmentEditingSetGeometryY(value);
}
void DesktopMainWindow::segmentInspectorWidget_onSetGeometryWidth(SegmentInspectorWidget *, double value)
{
  _segmentEditingSetGeometryWidth(value);
}
void DesktopMainWindow::segmentInspectorWidget_onSetGeometryHeight(SegmentInspectorWidget *, double value)
{
  _segmentEditingSetGeometryHeight(value);
}
void DesktopMainWindow::segmentInspectorWidget_onSetGeometryRotation(SegmentInspectorWidget *, double value)
{
  _segmentEditingSetGeometryRotation(value);
}
void DesktopMainWindow::segmentInspectorWidget_beforeUpdateGeometryValue(SegmentInspectorWidget *, QPointF &translation,
                                                                         QPointF &scale, qreal &rotation)
{
  _segmentEditingBeforeUpdateGeometry(translation, scale, rotation);
}
void DesktopMainWindow::segmentInspectorWidget_onUpdateGeometryX(SegmentInspectorWidget *, double value)
{
  _segmentEditingUpdateGeometryX(value);
}
void DesktopMainWindow::segmentInspectorWidget_onUpdateGeometryY(SegmentInspectorWidget *, double value)
{
  _segmentEditingUpdateGeometryY(value);
}
void DesktopMainWindow::segmentInspectorWidget_onUpdateGeometryWidth(SegmentInspectorWidget *, double value)
{
  _segmentEditingUpdateGeometryWidth(value);
}
void DesktopMainWindow::segmentInspectorWidget_onUpdateGeometryHeight(SegmentInspectorWidget *, double value)
{
  _segmentEditingUpdateGeometryHeight(value);
}
void DesktopMainWindow::segmentInspectorWidget_onUpdateGeometryRotation(SegmentInspectorWidget *, double value)
{
  _segmentEditingUpdateGeometryRotation(value);
}
void DesktopMainWindow::segmentInspectorWidget_afterUpdateGeometryValue(SegmentInspectorWidget *, QPointF translation,
                                                                        QPointF scale, double rotation)
{
  _segmentEditingAfterUpdateGeometry(translation, scale, rotation);
}

void DesktopMainWindow::segmentInspectorWidget_onGetEasingFunctionHintText(SegmentInspectorWidget *, Segment *segment,
                                                                           int tId, QString &text)
{
  text = _easingHint(segment, tId);
}

void DesktopMainWindow::segmentInspectorWidget_onGetEasingFunctionIconImage(SegmentInspectorWidget *,
                                                                            Segment *segment, int tId,
                                                                            QPixmap &pixmap)
{
  if (!segment || tId <= 0)
    return;
  const QString path = _easingIconName(segment->transitionEasingFunction(tId));
  if (!path.isEmpty())
    pixmap = QPixmap(path);
}

void DesktopMainWindow::segmentInspectorWidget_onTransitionSelectionIndexChanged(SegmentInspectorWidget *,
                                                                                   int index)
{
  _segmentEditingSelectTransitionAtIndex(index);
}
void DesktopMainWindow::segmentInspectorWidget_onTransitionBeginOrEndPositionChanged(SegmentInspectorWidget *,
                                                                                     int beginOrEnd)
{
  _segmentEditingSetTransitionSide(beginOrEnd);
}
void DesktopMainWindow::segmentInspectorWidget_onPopupEasingFunctionsWidgetOnButton(SegmentInspectorWidget *,
                                                                                    QPushButton *button)
{
  _showEasingPopup(button, 0);
}

void DesktopMainWindow::segmentInspectorWidget_onAddTransitionOnButton(SegmentInspectorWidget *, QPushButton *button)
{
  _addTransitionFromToolBar(button, SegmentInspectorWidget::AddTransitionCommand, nullptr);
}

namespace {

// Only the transition the block shows may be removed or duplicated from the list: a stale
// index from the inspector must not hit another one.
bool isShownTransition(SegmentWidget *block, int index)
{
  if (!block || !block->segment())
    return false;
  Segment *segment = block->segment();
  return index >= 0 && index < segment->transitionCount()
         && segment->transitionIdAt(index) == block->transitionId();
}

} // namespace

void DesktopMainWindow::segmentInspectorWidget_onRemoveTransitionAtIndex(SegmentInspectorWidget *, int index)
{
  if (isShownTransition(_inspectedBlock(), index))
    onActionDeleteTransitionTriggered();
}

void DesktopMainWindow::segmentInspectorWidget_onDuplicateTransitionAtIndex(SegmentInspectorWidget *, int index)
{
  if (isShownTransition(_inspectedBlock(), index))
    onActionDuplicateTransitionTriggered();
}
