// Ready-made transitions: which ones a segment offers, the list and menu that offer them, and
// putting the chosen one into the segment and the engine.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "popuptransitionslistwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kCustomTransition = 10201;
constexpr float kRoomTolerance = 0.01f;
constexpr float kPlayheadSnap = 0.05f;
// Entering the editing state normally hides the gutter at once; never wait longer than this.
constexpr int kEditingWaitMs = 500;

enum PresetFamily { Custom, Fade, SlideX, SlideY, Scale, OpenClose, Wipe };
enum PresetEnds { NoEnd = 0, InEnd = 1, OutEnd = 2, BothEnds = 3 };

// The factors are the slide's direction (-1 left or up) or the scale factor, for the in and
// the out transition.
struct PresetRow
{
  int cmdId;
  const char *text;
  int ends;
  bool bold;
  bool separatorBefore;
  PresetFamily family;
  float inFactor;
  float outFactor;
};

const PresetRow kPresets[] = {
    {10201, QT_TRANSLATE_NOOP("MainWindow", "Custom Transition"), NoEnd, true, false, Custom, 0, 0},
    {10202, QT_TRANSLATE_NOOP("MainWindow", "Fade In && Fade Out"), BothEnds, true, true, Fade, 0, 0},
    {10203, QT_TRANSLATE_NOOP("MainWindow", "Fade In"), InEnd, false, false, Fade, 0, 0},
    {10204, QT_TRANSLATE_NOOP("MainWindow", "Fade Out"), OutEnd, false, false, Fade, 0, 0},
    {10205, QT_TRANSLATE_NOOP("MainWindow", "Left In && Right Out"), BothEnds, true, true, SlideX, -1, 1},
    {10206, QT_TRANSLATE_NOOP("MainWindow", "Right In && Left Out"), BothEnds, true, false, SlideX, 1, -1},
    {10207, QT_TRANSLATE_NOOP("MainWindow", "Left In"), InEnd, false, false, SlideX, -1, 0},
    {10208, QT_TRANSLATE_NOOP("MainWindow", "Left Out"), OutEnd, false, false, SlideX, 0, -1},
    {10209, QT_TRANSLATE_NOOP("MainWindow", "Right In"), InEnd, false, false, SlideX, 1, 0},
    {10210, QT_TRANSLATE_NOOP("MainWindow", "Right Out"), OutEnd, false, false, SlideX, 0, 1},
    {10211, QT_TRANSLATE_NOOP("MainWindow", "Up In && Down Out"), BothEnds, true, true, SlideY, -1, 1},
    {10212, QT_TRANSLATE_NOOP("MainWindow", "Down In && Up Out"), BothEnds, true, false, SlideY, 1, -1},
    {10213, QT_TRANSLATE_NOOP("MainWindow", "Up In"), InEnd, false, false, SlideY, -1, 0},
    {10214, QT_TRANSLATE_NOOP("MainWindow", "Up Out"), OutEnd, false, false, SlideY, 0, -1},
    {10215, QT_TRANSLATE_NOOP("MainWindow", "Down In"), InEnd, false, false, SlideY, 1, 0},
    {10216, QT_TRANSLATE_NOOP("MainWindow", "Down Out"), OutEnd, false, false, SlideY, 0, 1},
    {10217, QT_TRANSLATE_NOOP("MainWindow", "Shrink In && Shrink Out"), BothEnds, true, true, Scale, 5.0f, 0.2f},
    {10218, QT_TRANSLATE_NOOP("MainWindow", "Grow In && Grow Out"), BothEnds, true, false, Scale, 0.2f, 5.0f},
    {10219, QT_TRANSLATE_NOOP("MainWindow", "Shrink In"), InEnd, false, false, Scale, 5.0f, 0},
    {10220, QT_TRANSLATE_NOOP("MainWindow", "Shrink Out"), OutEnd, false, false, Scale, 0, 0.2f},
    {10221, QT_TRANSLATE_NOOP("MainWindow", "Grow In"), InEnd, false, false, Scale, 0.2f, 0},
    {10222, QT_TRANSLATE_NOOP("MainWindow", "Grow Out"), OutEnd, false, false, Scale, 0, 5.0f},
    {10223, QT_TRANSLATE_NOOP("MainWindow", "Open In && Close Out"), BothEnds, true, true, OpenClose, 0, 0},
    {10224, QT_TRANSLATE_NOOP("MainWindow", "Open In"), InEnd, false, false, OpenClose, 0, 0},
    {10225, QT_TRANSLATE_NOOP("MainWindow", "Close Out"), OutEnd, false, false, OpenClose, 0, 0},
    {10226, QT_TRANSLATE_NOOP("MainWindow", "Wipe In && Wipe Out"), BothEnds, true, true, Wipe, 0, 0},
    {10227, QT_TRANSLATE_NOOP("MainWindow", "Wipe In"), InEnd, false, false, Wipe, 0, 0},
    {10228, QT_TRANSLATE_NOOP("MainWindow", "Wipe Out"), OutEnd, false, false, Wipe, 0, 0},
};

const PresetRow *presetRow(int cmdId)
{
  for (const PresetRow &row : kPresets)
    if (row.cmdId == cmdId)
      return &row;
  return nullptr;
}

// Sounds get the fades only; a movie without a picture, or a still whose size is unknown,
// has nothing to slide, scale or crop.
bool showsPicture(Segment *segment)
{
  const QString type = segment->type();
  if (type == QLatin1String("MUSIC") || type == QLatin1String("VOICE"))
    return false;
  if (type == QLatin1String("MOVIE")) {
    auto *movie = static_cast<MovieSegment *>(segment);
    return movie->hasVideo() && !movie->videoSize().isEmpty();
  }
  if (type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING"))
    return !static_cast<ImageSegment *>(segment)->naturalSize().isEmpty();
  return true;
}

// The length of the transition that fits at the very start (or ending at the very end): 1 s,
// else 0.5 s when no 1-s slot exists at all, or 0 when the slot found is not at that end.
float presetLength(const Segment *segment, bool atEnd)
{
  const float duration = segment->duration();
  for (float length : {1.0f, 0.5f}) {
    const float at = atEnd ? duration - length : 0.0f;
    const float slot = segment->findTransitionSlot(length, at);
    if (slot < 0)
      continue;
    return qAbs(slot - at) <= kRoomTolerance ? length : 0.0f;
  }
  return 0.0f;
}

} // namespace

SegmentWidget *MainWindow::_presetBlock() const
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
  if (!block)
    block = _presetOpenedFor;
  return block && block->segment() ? block : nullptr;
}

QList<MainWindow::TransitionPreset> MainWindow::_transitionPresetItems(Segment *segment, bool startOccupied,
                                                                      bool endOccupied)
{
  const bool picture = showsPicture(segment);
  QList<TransitionPreset> items;
  for (const PresetRow &row : kPresets) {
    if (row.family != Custom && row.family != Fade && !picture)
      continue;
    if (((row.ends & InEnd) && startOccupied) || ((row.ends & OutEnd) && endOccupied))
      continue;
    items.append({tr(row.text), row.cmdId, row.bold, row.separatorBefore});
  }
  return items;
}

void MainWindow::_addTransitionFromToolBar(QWidget *button, int cmdId, ScrollableToolBar *toolbar)
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
  if (!block || !block->segment())
    return;
  Segment *segment = block->segment();
  const bool startOccupied = presetLength(segment, false) <= 0;
  const bool endOccupied = presetLength(segment, true) <= 0;
  if (startOccupied && endOccupied) {
    _addCustomTransition(block);
    return;
  }

  _presetOpenedFor = block;
  if (_currentPopup)
    _currentPopup->dismiss();
  QWidget *parent = centralWidget() ? centralWidget() : this;
  QList<PopupTransitionsListWidget::Item *> items;
  for (const TransitionPreset &preset : _transitionPresetItems(segment, startOccupied, endOccupied))
    items.append(new PopupTransitionsListWidget::Item{preset.text, preset.cmdId, preset.bold});
  auto *popup = new PopupTransitionsListWidget(parent);
  // Through the screen: the inspector's button need not lie inside the popup's parent.
  const QPoint anchor = button ? parent->mapFromGlobal(button->mapToGlobal(QPoint(button->width() / 2, 0))) : QPoint();
  popup->showPopupWithItems(parent, anchor, items, false);
  _adoptPopup(popup, toolbar, cmdId);
  connect(popup, &PopupTransitionsListWidget::transitionItemSelected, this,
          &MainWindow::transitionsListPopup_onTransitionItemSelected);
}

QMenu *MainWindow::_showTransitionMenu(QWidget *parent)
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
  if (!block || !block->segment())
    return nullptr;
  Segment *segment = block->segment();
  _presetOpenedFor = block;
  auto *menu = new QMenu(parent);
  const auto presets =
      _transitionPresetItems(segment, presetLength(segment, false) <= 0, presetLength(segment, true) <= 0);
  for (const TransitionPreset &preset : presets) {
    if (preset.separatorBefore)
      menu->addSeparator();
    QAction *action = menu->addAction(preset.text);
    if (preset.bold) {
      QFont font = action->font();
      font.setWeight(75);
      action->setFont(font);
    }
    action->setShortcut(QKeySequence());
    const int cmdId = preset.cmdId;
    action->setData(cmdId);
    connect(action, &QAction::triggered, this, [this, cmdId] { _applyTransitionPreset(cmdId); });
  }
  return menu;
}

void MainWindow::_applyTransitionPreset(int cmdId)
{
  const PresetRow *row = presetRow(cmdId);
  SegmentWidget *block = _presetBlock();
  if (!row || !block)
    return;
  if (row->family == Custom) {
    _addCustomTransition(block);
    return;
  }
  Segment *segment = block->segment();
  _recordOperation();
  const int inId = (row->ends & InEnd) ? _insertPresetTransition(segment, cmdId, false) : 0;
  const int outId = (row->ends & OutEnd) ? _insertPresetTransition(segment, cmdId, true) : 0;
  transitionsDidChange();
  block->setScale(_zoom, true);
  block->setTransitionId(outId > 0 ? outId : inId);
  _projectManager->setModified(true);
  _refreshEngineLater();
}

int MainWindow::_insertPresetTransition(Segment *segment, int cmdId, bool atEnd)
{
  const float length = presetLength(segment, atEnd);
  if (length <= 0)
    return 0;
  const float at = atEnd ? segment->duration() - length : 0.0f;
  const int id = segment->insertTransition(length, segment->rangeStart() + at);
  if (id < 1)
    return 0;
  _setPresetValue(segment, id, cmdId, !atEnd);
  _renumberEngineTransitionsAfterInsert(segment, id);
  _addTransitionGroupToEngine(segment, id);
  return id;
}

void MainWindow::_setPresetValue(Segment *segment, int transitionId, int cmdId, bool in)
{
  const PresetRow *row = presetRow(cmdId);
  if (!row)
    return;
  // An in-transition starts from the preset's state, an out-transition ends in it.
  const bool begin = in;
  const float factor = in ? row->inFactor : row->outFactor;
  switch (row->family) {
  case Custom:
    break;
  case Fade:
    segment->setTransitionUserTransparency(transitionId, begin, 1.0f);
    if (segment->hasAudio())
      segment->setTransitionUserVolume(transitionId, begin, 0.0f);
    break;
  case SlideX:
  case SlideY: {
    if (!_previewWidget)
      break;
    // Far enough that the layer's nearer edge just leaves the preview.
    const QSizeF preview(_previewWidget->size());
    const LayerGeometry g = segment->layerGeometry(preview);
    QSizeF size = _overlayNaturalSize(segment, preview);
    if (g.scaleWidth != 1.0f)
      size.setWidth(size.width() * double(g.scaleWidth));
    if (g.scaleHeight != 1.0f)
      size.setHeight(size.height() * double(g.scaleHeight));
    const QRectF frame = _previewFrameInOverlayParent();
    if (frame.isEmpty())
      break;
    const QPointF centre = frame.topLeft() + QPointF(g.centerX, g.centerY);
    QPointF translation = segment->transitionUserTranslation(transitionId, begin);
    if (row->family == SlideX)
      translation.setX(factor * (centre.x() - frame.left() + size.width() / 2) / frame.width());
    else
      translation.setY(factor * (centre.y() - frame.top() + size.height() / 2) / frame.height());
    segment->setTransitionUserTranslation(transitionId, begin, translation);
    break;
  }
  case Scale:
    segment->setTransitionUserScale(transitionId, begin, segment->transitionUserScale(transitionId, begin) * factor);
    break;
  case OpenClose:
    segment->setTransitionCropTopLeft(transitionId, begin, QPointF(0.5, 0));
    segment->setTransitionCropBottomRight(transitionId, begin, QPointF(0.5, 1));
    break;
  case Wipe:
    segment->setTransitionCropTopLeft(transitionId, begin, QPointF(in ? 0 : 1, 0));
    segment->setTransitionCropBottomRight(transitionId, begin, QPointF(in ? 0 : 1, 1));
    break;
  }
}

void MainWindow::_addCustomTransition(SegmentWidget *block)
{
  QPointer<SegmentWidget> guard(block);
  Segment *segment = block->segment();
  QPointer<SegmentWidget> marked = block;
  if (_editScrollArea && !_editScrollArea->selectedSegmentWidget()) {
    block->toggleEditing();
    // The edit area settles while the gutter goes; a block that never reports, or a gutter
    // that stays, must not hold the window.
    QElapsedTimer waited;
    waited.start();
    auto settling = [&] {
      return _gutter && _gutter->isVisible() && guard && !guard->isEditing() && waited.elapsed() < kEditingWaitMs;
    };
    // The tick wakes the wait when nothing else happens, so the bound is checked without spinning.
    QTimer tick;
    tick.start(10);
    while (settling())
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    marked = _editScrollArea->selectedSegmentWidget();
    // The block may have gone while events ran; its segment with it.
    if (!guard)
      return;
  }

  _recordOperation();
  float time = _playheadTime();
  if (qAbs(time - segment->rangeStart()) <= kPlayheadSnap)
    time = segment->rangeStart();
  int id = segment->insertTransition(1.0f, time);
  if (id < 1)
    id = segment->insertTransition(0.5f, time);
  transitionsDidChange();
  guard->setScale(_zoom, true);
  if (marked)
    marked->setTransitionId(qMax(id, 0));
  if (id < 1) {
    _dropTransitionWithoutRoom();
    return;
  }
  _renumberEngineTransitionsAfterInsert(segment, id);
  _addTransitionGroupToEngine(segment, id);
  _projectManager->setModified(true);
}

void MainWindow::_renumberEngineTransitionsAfterInsert(Segment *segment, int transitionId)
{
  if (!_engine)
    return;
  // From the top down, so no group takes a number still in use.
  for (int id = segment->transitionCount(); id > transitionId; --id) {
    _engine->changeTransitionId(segment->id(), quint32(id - 1), quint32(id));
    if (const quint32 sound = segment->audioPartId())
      _engine->changeTransitionId(sound, quint32(id - 1), quint32(id));
  }
}

void MainWindow::_addTransitionGroupToEngine(Segment *segment, int transitionId)
{
  if (!_engine)
    return;
  const float duration = segment->duration();
  const float start = duration > 0 ? segment->transitionStart(transitionId) / duration : 0;
  const float length = duration > 0 ? segment->transitionDuration(transitionId) / duration : 0;
  const int easing = segment->transitionEasingFunction(transitionId);
  _engine->addTransition(segment->id(), quint32(transitionId), start, length, easing);
  if (const quint32 sound = segment->audioPartId())
    _engine->addTransition(sound, quint32(transitionId), start, length, easing);
  _applyTransitionToEngine(segment, transitionId);
}

void MainWindow::_dropTransitionWithoutRoom()
{
  updateTransitionTools();
  ProgressHUD::showTextMessage(tr("No enough space for another transition"), this, 2000);
  // The model's discard keeps the history's position, so Undo then Redo still ends after the
  // last real edit.
  _projectManager->discardLastOperation();
}

void MainWindow::_refreshEngineLater()
{
  QTimer::singleShot(200, this, [this] {
    if (_engine)
      _engine->refresh();
  });
}
