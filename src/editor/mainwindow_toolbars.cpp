// The segment and transition tool strips along the central widget, and the easing hint and
// icon of the transition strip's easing button.

#include "mainwindow.h"

#include "commonpopup.h"
#include "editscrollarea.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "commonpopuphelptipwidget.h"
#include "tipmanager.h"
#include "tooltipbutton.h"

#include <QTimer>

namespace {

constexpr int ToolBarHeight = 50;
constexpr int SlideMs = 200;

bool isVisual(const QString &type)
{
  return type != QLatin1String("MUSIC") && type != QLatin1String("VOICE");
}

bool isLayer(const QString &type)
{
  return type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING") || type == QLatin1String("MOVIE");
}

void addTool(ScrollableToolBar *bar, const QString &icon, const QString &toolTip, int cmdId)
{
  const QString path = QStringLiteral(":/images/toolbar/") + icon;
  bar->addButton(path, path + QLatin1Char('2'), toolTip, cmdId, true);
}

void addSeparator(ScrollableToolBar *bar)
{
  bar->addSeparator(QStringLiteral(":/images/toolbar/separator"), true);
}

// The four turns and flips; the transition strip numbers them from 10107, the segment strip from 10006.
void addTurnsAndFlips(ScrollableToolBar *bar, int firstId)
{
  addTool(bar, QStringLiteral("rotate-90"), MainWindow::tr("Rotate Clockwise"), firstId);
  addTool(bar, QStringLiteral("rotate+90"), MainWindow::tr("Rotate Counterclockwise"), firstId + 1);
  addTool(bar, QStringLiteral("hflip"), MainWindow::tr("Flip Horizontally"), firstId + 2);
  addTool(bar, QStringLiteral("vflip"), MainWindow::tr("Flip Vertically"), firstId + 3);
}

// Crop, colours and chroma key, which pictures and texts share.
void addPictureTools(ScrollableToolBar *bar)
{
  addTool(bar, QStringLiteral("crop"), MainWindow::tr("Crop"), 10024);
  addTool(bar, QStringLiteral("colors"), MainWindow::tr("Colors"), 10025);
  addTool(bar, QStringLiteral("chromaKey"), MainWindow::tr("Chroma Key"), 10027);
}

void addFitting(ScrollableToolBar *bar, int aspectId, int defaultId)
{
  addSeparator(bar);
  addTool(bar, QStringLiteral("resize"), MainWindow::tr("Maintain aspect ratio"), aspectId);
  addTool(bar, QStringLiteral("reload"), MainWindow::tr("Restore the default"), defaultId);
}

// The easing code a lookup uses: linear without a chosen transition.
int easingCode(Segment *segment, int transitionId)
{
  return transitionId <= 0 || !segment ? 1 : segment->transitionEasingFunction(transitionId);
}

} // namespace

void MainWindow::_dismissToolBars()
{
  if (_transitionToolBar)
    _transitionToolBar->dismiss();
  _transitionToolBar = nullptr;
  if (_segmentToolBar)
    _segmentToolBar->dismiss();
  _segmentToolBar = nullptr;
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
}

void MainWindow::_dismissTransitionToolBar()
{
  if (_transitionToolBar)
    _transitionToolBar->dismiss();
  _transitionToolBar = nullptr;
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
}

void MainWindow::_buildSegmentToolBar(Segment *segment, float time)
{
  _dismissToolBars();
  if (!segment)
    return;
  QWidget *central = centralWidget();
  auto *bar = new ScrollableToolBar(central);
  bar->setGeometry(0, central->height(), central->width(), ToolBarHeight);

  const QString type = segment->type();
  addTool(bar, QStringLiteral("done"), tr("Done"), 10001);
  addTool(bar, QStringLiteral("duplicate"), tr("Duplicate"), 10010);
  addTool(bar, QStringLiteral("split"), tr("Split"), 10020);
  addTool(bar, QStringLiteral("remove"), tr("Remove"), 10011);
  addSeparator(bar);
  addTool(bar, QStringLiteral("transition"), tr("Add/Edit Transition"), 10002);
  if (segment->hasAudio())
    addTool(bar, QStringLiteral("volume"), tr("Volume"), 10018);
  if (!isVisual(type)) {
    addTool(bar, QStringLiteral("motion"), tr("Change Speed"), 10022);
  } else {
    addTool(bar, QStringLiteral("transparency"), tr("Transparency"), 10005);
    if (type == QLatin1String("MOVIE"))
      addTool(bar, QStringLiteral("motion"), tr("Slow/Fast Motion"), 10022);
    if (isLayer(type)) {
      if (type == QLatin1String("IMAGE"))
        addTool(bar, QStringLiteral("editPicture"), tr("Change Photo"), 10028);
      else if (type == QLatin1String("DRAWING"))
        addTool(bar, QStringLiteral("editDrawing"), tr("Edit Drawing"), 10019);
      addPictureTools(bar);
      addTool(bar, QStringLiteral("border"), tr("Border"), 10012);
      addTool(bar, QStringLiteral("corner"), tr("Round Corner"), 10013);
      addTool(bar, QStringLiteral("shadow"), tr("Shadow"), 10014);
    } else if (type == QLatin1String("TEXT")) {
      addTool(bar, QStringLiteral("editText"), tr("Edit Text"), 10015);
      addPictureTools(bar);
      addTool(bar, QStringLiteral("fontSize"), tr("Change Text Size/Color"), 10017);
      addTool(bar, QStringLiteral("font"), tr("Select Font for Text"), 10016);
      addTool(bar, QStringLiteral("textBorder"), tr("Border"), 10012);
      addTool(bar, QStringLiteral("textBack"), tr("Change Text Background"), 10026);
      addTool(bar, _alignmentIcon(static_cast<TextSegment *>(segment)->alignment()), _textAlignmentTitle(segment),
              10023);
      addTool(bar, QStringLiteral("shadow"), tr("Shadow"), 10014);
    }
    addTurnsAndFlips(bar, 10006);
    if (type == QLatin1String("MOVIE")) {
      addSeparator(bar);
      addTool(bar, QStringLiteral("capture"), tr("Grab image from video"), 10021);
    }
    addFitting(bar, 10003, 10004);
  }

  _segmentToolBar = bar;
  bar->slideIn();
  connect(bar, &ScrollableToolBar::scrollableToolBarButtonClicked, this, &MainWindow::scrollableToolBar_onCommand);
  QTimer::singleShot(SlideMs, this, [this, time] { updateToolsAtTime(time); });
}

void MainWindow::_buildTransitionToolBar()
{
  _dismissTransitionToolBar();
  SegmentWidget *block = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  if (!block || !block->segment())
    return;
  Segment *segment = block->segment();
  const int transitionId = block->transitionId();
  QWidget *central = centralWidget();
  auto *bar = new ScrollableToolBar(central);
  bar->setGeometry(0, 0, central->width(), ToolBarHeight);

  const QString type = segment->type();
  addTool(bar, QStringLiteral("back"), tr("Back", "leave the transitions"), 10101);
  addTool(bar, QStringLiteral("add"), tr("Add Transition"), 10111);
  addTool(bar, QStringLiteral("duplicate"), tr("Duplicate"), 10102);
  addTool(bar, QStringLiteral("remove"), tr("Remove"), 10103);
  addSeparator(bar);
  if (segment->hasAudio())
    addTool(bar, QStringLiteral("volume"), tr("Volume"), 10112);
  if (isVisual(type)) {
    addTool(bar, QStringLiteral("transparency"), tr("Transparency"), 10106);
    addTool(bar, QStringLiteral("crop"), tr("Crop"), 10114);
    addTool(bar, QStringLiteral("colors"), tr("Colors"), 10115);
    addTurnsAndFlips(bar, 10107);
    addFitting(bar, 10104, 10105);
    addSeparator(bar);
    bar->addButton(_easingIconPath(segment, transitionId, false), _easingIconPath(segment, transitionId, true),
                   _easingHint(segment, transitionId), 10113, true);
  }

  _transitionToolBar = bar;
  bar->fadeIn();
  connect(bar, &ScrollableToolBar::scrollableToolBarButtonClicked, this, &MainWindow::scrollableToolBar_onCommand);
  updateTransitionTools();
}

void MainWindow::scrollableToolBar_onCommand(ScrollableToolBar *toolbar, int cmdId)
{
  if (!toolbar)
    return;
  if (toolbar == _segmentToolBar)
    _segmentCommand(toolbar, cmdId);
  else if (toolbar == _transitionToolBar)
    _transitionCommand(cmdId);
}

void MainWindow::showEditingToolsFor(SegmentWidget *segmentWidget, float time)
{
  if (segmentWidget)
    _buildSegmentToolBar(segmentWidget->segment(), time);
}

void MainWindow::dismissToolPopups()
{
  _dismissToolBars();
  if (_currentPopup)
    _currentPopup->dismiss();
}

bool MainWindow::isVolumeButtonEnabled()
{
  ScrollableToolBar *bar = isEditingTransitions() ? _transitionToolBar.data() : _segmentToolBar.data();
  TooltipButton *button = bar ? bar->button(isEditingTransitions() ? 10112 : 10018) : nullptr;
  return button && button->isEnabled();
}

QString MainWindow::_easingHint(Segment *segment, int transitionId)
{
  const int code = easingCode(segment, transitionId);
  if (code < 1 || code > 16)
    return QString();
  if (code == 1)
    return tr("Easing type: %1").arg(tr("Linear"));
  static const char *const Families[] = {QT_TR_NOOP("Smooth"), QT_TR_NOOP("Circular"), QT_TR_NOOP("Back"),
                                         QT_TR_NOOP("Elastic"), QT_TR_NOOP("Bounce")};
  const QString family = tr(Families[(code - 2) / 3]);
  switch ((code - 2) % 3) {
  case 0:
    return tr("Easing type: %1 In").arg(family);
  case 1:
    return tr("Easing type: %1 Out").arg(family);
  default:
    return tr("Easing type: %1 InOut").arg(family);
  }
}

QString MainWindow::_easingIconPath(Segment *segment, int transitionId, bool selected)
{
  const QString path = _easingIconName(easingCode(segment, transitionId));
  return path.isEmpty() || !selected ? path : path + QLatin1Char('2');
}

QString MainWindow::_alignmentIcon(int alignment)
{
  switch (alignment) {
  case 0:
    return QStringLiteral("leftAlign");
  case 1:
    return QStringLiteral("centerAlign");
  default:
    return QStringLiteral("rightAlign");
  }
}
