// Transition commands of the editor window: the transition toolbar's commands on the chosen
// transition, choosing a transition and seeking to its states, the choice from the transition
// list, and images over engine picture buffers.

#include "mainwindow.h"

#include "avengine.h"
#include "avpixelbuffer.h"
#include "editscrollarea.h"
#include "popupcolorsscrollwidget.h"
#include "popupsliderwidget.h"
#include "popuptransitionslistwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "tooltipbutton.h"


namespace {

// The begin state is shown just inside the transition, so the frame belongs to it.
constexpr double kBeginStateOffset = 1.0 / 600;

} // namespace

void (*MainWindow::_releasePixelBuffer)(AVPixelBuffer *buffer) = freePixelBuffer;

SegmentWidget *MainWindow::_editingBlock() const
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  return block && block->segment() ? block : nullptr;
}

Segment *MainWindow::_editingSegment()
{
  SegmentWidget *block = _editingBlock();
  return block ? block->segment() : nullptr;
}

// The transition tool bar's clicks, and requests that need no anchor.
void MainWindow::_transitionCommand(int cmdId)
{
  _transitionCommand(_transitionToolBar, cmdId);
}

void MainWindow::_duplicateSelectedTransition()
{
  _transitionCommand(nullptr, 10102);
}

void MainWindow::_transitionCommand(ScrollableToolBar *toolbar, int cmdId)
{
  SegmentWidget *block = _editingBlock();
  if (!block)
    return;
  switch (cmdId) {
  case 10101:
    _leaveTransitionTools(block);
    break;
  case 10102:
    _duplicateTransition(block);
    break;
  case 10103:
    _removeTransition(block);
    break;
  case 10104:
    _maintainAspectRatio();
    break;
  case 10105:
    _restoreDefault();
    break;
  case 10107:
  case 10108:
  case 10109:
  case 10110:
    _turnTransitionState(block, cmdId);
    break;
  case 10106:
  case 10112:
  case 10115:
    _showTransitionPopup(block, toolbar, cmdId);
    break;
  case 10111:
    _addTransition(toolbar ? toolbar->button(cmdId) : nullptr, cmdId, toolbar);
    break;
  case 10113:
    _showEasingPopup(toolbar ? toolbar->button(cmdId) : nullptr, cmdId);
    break;
  case 10114:
    if (block->transitionId() > 0)
      _beginCropping(block->segment());
    break;
  default:
    break;
  }
}

void MainWindow::_leaveTransitionTools(SegmentWidget *block)
{
  _dismissTransitionToolBar();
  if (_segmentToolBar)
    _segmentToolBar->expand();
  block->setTransitionId(0);
  _editScrollArea->showTrimBars(block, 0);
  Segment *segment = block->segment();
  if (segment->isBeforeFirstTransition(_playheadTime()))
    _reloadTransformWidget(segment);
  else
    _hideTransformWidget();
  _notifyPlayheadTime();
}

void MainWindow::_duplicateTransition(SegmentWidget *block)
{
  Segment *segment = block->segment();
  _recordOperation();
  const int id = block->transitionId();
  if (id < 1)
    return;
  const int newId = segment->duplicateTransition(id);
  transitionsDidChange();
  block->setScale(_zoom, true);
  block->setTransitionId(qMax(newId, 0));
  if (newId < 1) {
    _dropTransitionWithoutRoom();
    return;
  }
  _renumberEngineTransitionsAfterInsert(segment, newId);
  _addTransitionGroupToEngine(segment, newId);
  _refreshEngineLater();
  _projectManager->setModified(true);
}

void MainWindow::_removeTransition(SegmentWidget *block)
{
  Segment *segment = block->segment();
  _recordOperation();
  const int id = block->transitionId();
  if (id < 1)
    return;
  segment->removeTransition(id);
  transitionsDidChange();
  const quint32 sound = segment->audioPartId();
  if (_engine) {
    _engine->removeTransition(segment->id(), quint32(id));
    if (sound)
      _engine->removeTransition(sound, quint32(id));
  }
  _renumberTransitions(segment, id);
  block->setScale(_zoom, true);
  block->setTransitionId(0);
  updateTransitionTools();
  _hideTransformWidget();
  _refreshEngineLater();
  _projectManager->setModified(true);
}

void MainWindow::_turnTransitionState(SegmentWidget *block, int cmdId)
{
  Segment *segment = block->segment();
  _recordOperation();
  const int id = block->transitionId();
  if (id < 1 || _editedTransitionEnd < 0)
    return;
  const bool begin = _editedTransitionEnd > 0;
  int property = 4;
  float value = 0;
  if (cmdId == 10107 || cmdId == 10108) {
    if (cmdId == 10107)
      segment->rotateTransitionRight(id, begin);
    else
      segment->rotateTransitionLeft(id, begin);
    value = segment->transitionUserRotation(id, begin);
  } else if (cmdId == 10109) {
    segment->setTransitionFlippedHorizontally(id, begin, !segment->isTransitionFlippedHorizontally(id, begin));
    property = 6;
    value = segment->transitionUserRotationY(id, begin);
  } else {
    segment->setTransitionFlippedVertically(id, begin, !segment->isTransitionFlippedVertically(id, begin));
    property = 5;
    value = segment->transitionUserRotationX(id, begin);
  }
  if (_engine) {
    _sendTransitionValue(segment->id(), id, begin, property, value);
    _engine->refresh();
  }
  updateTransitionTools();
  _updateTransformWidgetGeometry(true);
  _projectManager->setModified(true);
}

// The property popups of the edited state; their values reach the popups' handlers.
void MainWindow::_showTransitionPopup(SegmentWidget *block, ScrollableToolBar *toolbar, int cmdId)
{
  Segment *segment = block->segment();
  const int id = block->transitionId();
  if (id < 1 || _editedTransitionEnd < 0)
    return;
  const bool begin = _editedTransitionEnd != 0;
  QWidget *parent = centralWidget();
  const QPoint anchor = _popupAnchor(toolbar, cmdId);
  CommonPopup *popup = nullptr;
  if (cmdId == 10115) {
    auto *colors = new PopupColorsScrollWidget(parent);
    colors->showPopupWithValues(parent, anchor, segment->transitionClrSaturation(id, begin),
                                segment->transitionClrBrightness(id, begin), segment->transitionClrContrast(id, begin),
                                segment->transitionClrWhiteBalance(id, begin),
                                segment->transitionClrExposure(id, begin), segment->transitionClrHue(id, begin),
                                segment->transitionClrRed(id, begin), segment->transitionClrGreen(id, begin),
                                segment->transitionClrBlue(id, begin));
    popup = colors;
  } else {
    auto *slider = new PopupSliderWidget(parent);
    if (cmdId == 10106) {
      slider->showPopupWithValue(parent, tr("Transparency"), anchor, segment->transitionUserTransparency(id, begin),
                                 0, 1, false, 0.05f);
      slider->setTag(5);
    } else {
      slider->setSnapValue(1.0f, 0.05f);
      slider->showPopupWithValue(parent, tr("Volume"), anchor, segment->transitionUserVolume(id, begin), 0, 2, false,
                                 0.05f);
      slider->setTag(6);
    }
    popup = slider;
  }
  _adoptPopup(popup, toolbar, cmdId);
}

void MainWindow::_selectFirstTransition()
{
  SegmentWidget *block = _editingBlock();
  if (block && block->transitionId() <= 0 && block->segment()->transitionCount() > 0)
    block->setTransitionId(block->segment()->transitionIdAt(0));
}

void MainWindow::_startTransitionMode()
{
  _segmentCommand(nullptr, 10002);
}

void MainWindow::_showTransitionToolsFor(float time, int transitionId)
{
  Q_UNUSED(time)
  if (!_editingBlock())
    return;
  if (!_segmentToolBar || !_segmentToolBar->isCollapsed())
    _segmentCommand(_segmentToolBar, 10002);
  editScrollArea_seekToTransition(transitionId, false);
}

void MainWindow::editScrollArea_seekToTransition(int tId, bool beginOrEnd)
{
  Segment *segment = _editingSegment();
  if (!segment || !segment->transition(tId))
    return;
  double time = segment->transitionStart(tId);
  time += beginOrEnd ? kBeginStateOffset : double(segment->transitionDuration(tId));
  time += segment->rangeStart();
  _setPlayheadTime(float(time), true);
  _seekToTime(float(time), true);
  _editedTransitionEnd = beginOrEnd ? 1 : 0;
  updateTransitionTools();
  _reloadTransformWidget(segment);
}

void MainWindow::transitionsListPopup_onTransitionItemSelected(PopupTransitionsListWidget *transitionsWidget,
                                                               int cmdId)
{
  // Adding may run events (a block entering editing); the list may go meanwhile.
  QPointer<PopupTransitionsListWidget> popup(transitionsWidget);
  _addTransitionPreset(cmdId);
  // The list goes whatever the outcome, a full segment included.
  if (popup)
    popup->dismiss();
}

QImage MainWindow::_imageFromPixelBuffer(AVPixelBuffer *buffer)
{
  if (!buffer || !buffer->data || buffer->width == 0 || buffer->height == 0) {
    if (buffer)
      _releasePixelBuffer(buffer);
    return QImage();
  }
  // The engine's 32-bit pictures are native ARGB words, B G R A in memory.
  QImage::Format format = QImage::Format_RGB32;
  if (buffer->format == 2)
    format = QImage::Format_RGB888;
  else if (buffer->format == 3)
    format = QImage::Format_RGB16;
  const int bytesPerLine = int(buffer->width * pixelBufferBytesPerPixel(buffer->format));
  return QImage(buffer->data, int(buffer->width), int(buffer->height), bytesPerLine, format,
                &MainWindow::pixelBufferImageCleanup, buffer);
}

void MainWindow::pixelBufferImageCleanup(void *info)
{
  _releasePixelBuffer(static_cast<AVPixelBuffer *>(info));
}
