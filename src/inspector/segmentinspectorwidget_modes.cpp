// The panel's modes: a segment's controllers, transition mode and the editing state.

#include "segmentinspectorwidget.h"

#include "bordereditingwidgetcontroller.h"
#include "chromakeyeditingwidgetcontroller.h"
#include "colorseditingwidgetcontroller.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "editbuttoneditingwidgetcontroller.h"
#include "geometryeditingwidgetcontroller.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "roundcornereditingwidgetcontroller.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "selfdraweditingwidgetcontroller.h"
#include "shadoweditingwidgetcontroller.h"
#include "speededitingwidgetcontroller.h"
#include "strokebordereditingwidgetcontroller.h"
#include "textalignmenteditingwidgetcontroller.h"
#include "textbackeditingwidgetcontroller.h"
#include "textfonteditingwidgetcontroller.h"
#include "textsizeeditingwidgetcontroller.h"
#include "transitionseditingwidgetcontroller.h"
#include "transparencyeditingwidgetcontroller.h"
#include "videoutilitieseditingwidgetcontroller.h"
#include "volumeeditingwidgetcontroller.h"

namespace {

// Shows and activates an applying controller, making it first when it does not exist yet;
// hides and deactivates one that does not apply. Returns the height it adds.
template <class C, class Make, class Load>
int showIfApplies(C *&controller, bool applies, Make make, Load load)
{
  if (!applies) {
    if (controller) {
      controller->setVisible(false);
      controller->setActive(false);
    }
    return 0;
  }
  if (!controller)
    controller = make();
  load(controller);
  controller->setVisible(true);
  controller->setActive(true);
  return controller->height();
}

void hideController(CommonEditingWidgetController *controller)
{
  controller->setVisible(false);
}

} // namespace

template <class C, class... Args>
C *SegmentInspectorWidget::_make(Args... args)
{
  auto *controller = new C(args..., _scrollAreaWidget);
  _insertController(controller);
  return controller;
}

void SegmentInspectorWidget::showSegment(Segment *segment, TransformWidget *, const QSize &canvasSize)
{
  using S = SegmentInspectorWidget;
  auto load = [segment](auto *c) { c->updateFromSegment(segment); };
  auto loadOnCanvas = [segment, canvasSize](auto *c) { c->updateFromSegment(segment, canvasSize); };
  int total = 0;

  total += showIfApplies(
    _edit, EditButtonEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<EditButtonEditingWidgetController>();
      connect(c, &EditButtonEditingWidgetController::editButtonClicked, this,
              &S::onEditButtonWidgetControllerEditButtonClicked);
      return c;
    },
    load);
  total += showIfApplies(
    _textSize, TextSizeEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<TextSizeEditingWidgetController>();
      emit setConnectionsForTextSizePopupSliderColorWidget(c->popup());
      return c;
    },
    loadOnCanvas);
  total += showIfApplies(
    _textFont, TextFontEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<TextFontEditingWidgetController>();
      connect(c, &TextFontEditingWidgetController::fontButtonClicked, this,
              &S::onTextFontWidgetControllerFontButtonClicked);
      return c;
    },
    load);
  total += showIfApplies(
    _textAlignment, TextAlignmentEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<TextAlignmentEditingWidgetController>();
      connect(c, &TextAlignmentEditingWidgetController::textAlignmentChanged, this,
              &S::onTextAlignmentWidgetControllerTextAlignmentChanged);
      return c;
    },
    load);
  total += showIfApplies(
    _geometry, GeometryEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<GeometryEditingWidgetController>(false);
      _wireGeometry(c);
      return c;
    },
    load);
  total += showIfApplies(
    _transparency, TransparencyEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<TransparencyEditingWidgetController>(false);
      emit setConnectionsForTransparencyPopupSliderWidget(c->popup(), false);
      return c;
    },
    load);
  total += showIfApplies(
    _volume, VolumeEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<VolumeEditingWidgetController>(false);
      emit setConnectionsForVolumePopupSliderWidget(c->popup(), false);
      return c;
    },
    load);
  total += showIfApplies(
    _speed, SpeedEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<SpeedEditingWidgetController>();
      emit setConnectionsForSpeedPopupSliderWidget(c->popup());
      return c;
    },
    load);
  total += showIfApplies(
    _border, BorderEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<BorderEditingWidgetController>();
      emit setConnectionsForBorderPopupSliderColorWidget(c->popup());
      return c;
    },
    load);
  total += showIfApplies(
    _textBack, TextBackEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<TextBackEditingWidgetController>();
      emit setConnectionsForTextBackPopupSliderColor2SlidersWidget(c->popup());
      return c;
    },
    loadOnCanvas);
  total += showIfApplies(
    _strokeBorder, StrokeBorderEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<StrokeBorderEditingWidgetController>();
      emit setConnectionsForStrokeBorderPopupSliderColorSwitchWidget(c->popup());
      return c;
    },
    loadOnCanvas);
  total += showIfApplies(
    _roundCorner, RoundCornerEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<RoundCornerEditingWidgetController>();
      emit setConnectionsForRoundCornerPopupSliderWidget(c->popup());
      return c;
    },
    loadOnCanvas);
  total += showIfApplies(
    _shadow, ShadowEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<ShadowEditingWidgetController>();
      emit setConnectionsForShadowPopupSliderColorShadowWidget(c->popup());
      return c;
    },
    loadOnCanvas);
  total += showIfApplies(
    _colors, ColorsEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = new ColorsEditingWidgetController(false, _scrollAreaWidget);
      connect(c, &CommonEditingWidgetController::editingWidgetControllerSizeChanged, this,
              &S::onEditingWidgetControllerSizeChanged);
      _insertController(c);
      emit setConnectionsForColorsPopupColorsScrollWidget(c->popup(), false);
      return c;
    },
    load);
  total += showIfApplies(
    _chromaKey, ChromaKeyEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<ChromaKeyEditingWidgetController>();
      emit setConnectionsForChromaKeyPopupChromaKeyWidget(c->popup());
      return c;
    },
    load);
  total += showIfApplies(
    _videoUtilities, VideoUtilitiesEditingWidgetController::isSupported(segment),
    [this] {
      auto *c = _make<VideoUtilitiesEditingWidgetController>();
      connect(c, &VideoUtilitiesEditingWidgetController::grabImageButtonClicked, this,
              &S::onVideoUtilitiesWidgetControllerGrabImageButtonClicked);
      return c;
    },
    [](auto *) {});
  total += showIfApplies(
    _transitions, true,
    [this] {
      auto *c = _make<TransitionsEditingWidgetController>();
      _wireTransitions(c);
      return c;
    },
    [segment](TransitionsEditingWidgetController *c) { c->updateFromTransition(segment, 0, -1); });

  // A segment shown while editing keeps Done and the drawing tools; they need their room.
  for (CommonEditingWidgetController *c : std::initializer_list<CommonEditingWidgetController *>{_done, _selfDraw})
    if (c && c->isVisible())
      total += c->height();
  _scrollAreaWidget->setFixedHeight(total);
  _buildSegmentToolStrip();
}

QList<CommonEditingWidgetController *> SegmentInspectorWidget::_segmentModeControllers() const
{
  QList<CommonEditingWidgetController *> list;
  for (CommonEditingWidgetController *c : std::initializer_list<CommonEditingWidgetController *>{
         _edit, _textSize, _textFont, _textAlignment, _geometry, _transparency, _volume, _speed, _border, _strokeBorder,
         _textBack, _roundCorner, _shadow, _colors, _chromaKey, _videoUtilities})
    if (c)
      list << c;
  return list;
}

QList<CommonEditingWidgetController *> SegmentInspectorWidget::_transitionModeControllers() const
{
  QList<CommonEditingWidgetController *> list;
  for (CommonEditingWidgetController *c : std::initializer_list<CommonEditingWidgetController *>{
         _transitionGeometry, _transitionTransparency, _transitionVolume, _transitionColors})
    if (c)
      list << c;
  return list;
}

void SegmentInspectorWidget::enterEditTransitionMode()
{
  _transitionMode = true;
  _buildTransitionToolStrip();
  for (CommonEditingWidgetController *c : _segmentModeControllers())
    if (c->isActive())
      hideController(c);
  for (CommonEditingWidgetController *c : _transitionModeControllers())
    if (c->isVisible())
      hideController(c);
  _selectedTransitionId = 0;
  _recomputeContentHeight();
}

void SegmentInspectorWidget::showTransition(Segment *segment, int tId, int beginOrEnd)
{
  using S = SegmentInspectorWidget;
  const bool chosen = tId >= 1;
  auto activate = [chosen](auto *&controller, bool applies, auto make) {
    if (applies && chosen) {
      if (!controller)
        controller = make();
      controller->setActive(true);
    } else if (controller) {
      controller->setActive(false);
    }
  };
  activate(_transitionGeometry, GeometryEditingWidgetController::isSupported(segment), [this] {
    auto *c = _make<GeometryEditingWidgetController>(true);
    _wireGeometry(c);
    return c;
  });
  activate(_transitionTransparency, TransparencyEditingWidgetController::isSupported(segment), [this] {
    auto *c = _make<TransparencyEditingWidgetController>(true);
    emit setConnectionsForTransparencyPopupSliderWidget(c->popup(), true);
    return c;
  });
  activate(_transitionVolume, VolumeEditingWidgetController::isSupported(segment), [this] {
    auto *c = _make<VolumeEditingWidgetController>(true);
    emit setConnectionsForVolumePopupSliderWidget(c->popup(), true);
    return c;
  });
  activate(_transitionColors, ColorsEditingWidgetController::isSupported(segment), [this] {
    auto *c = new ColorsEditingWidgetController(true, _scrollAreaWidget);
    connect(c, &CommonEditingWidgetController::editingWidgetControllerSizeChanged, this,
            &S::onEditingWidgetControllerSizeChanged);
    _insertController(c);
    emit setConnectionsForColorsPopupColorsScrollWidget(c->popup(), true);
    return c;
  });

  _selectedTransitionId = tId;
  if (_transitions)
    _transitions->updateFromTransition(segment, tId, beginOrEnd);
  if (_transitionGeometry && _transitionGeometry->isActive())
    _transitionGeometry->updateFromTransition(segment, tId, beginOrEnd);
  if (_transitionTransparency && _transitionTransparency->isActive())
    _transitionTransparency->updateFromTransition(segment, tId, beginOrEnd);
  if (_transitionVolume && _transitionVolume->isActive())
    _transitionVolume->updateFromTransition(segment, tId, beginOrEnd);
  if (_transitionColors && _transitionColors->isActive())
    _transitionColors->updateFromTransition(segment, tId, beginOrEnd);

  // Visibility follows the active set: moving to a transition of a segment of another kind
  // must not leave a control of the previous one, nor miss one the new one needs. Controls
  // taken away by the editing state come back when it ends.
  for (CommonEditingWidgetController *c : _transitionModeControllers()) {
    const bool shown = c->isActive() && chosen && _editingMode == NotEditing;
    if (shown != c->isVisible())
      c->setVisible(shown);
  }
  _recomputeContentHeight();
}

void SegmentInspectorWidget::exitEditTransitionMode(Segment *segment)
{
  _transitionMode = false;
  showTransition(segment, 0, -1);
  _buildSegmentToolStrip();
  for (CommonEditingWidgetController *c : _segmentModeControllers())
    if (c->isActive())
      c->setVisible(true);
  for (CommonEditingWidgetController *c : _transitionModeControllers())
    if (c->isActive())
      hideController(c);
  _recomputeContentHeight();
}

void SegmentInspectorWidget::_startDrawing()
{
  QSize canvasSize;
  emit segmentInspectorWidgetGetCanvasSize(this, canvasSize);
  if (!_selfDraw) {
    _selfDraw = new SelfDrawEditingWidgetController(canvasSize, _scrollAreaWidget);
    connect(_selfDraw, &CommonEditingWidgetController::editingWidgetControllerSizeChanged, this,
            &SegmentInspectorWidget::onEditingWidgetControllerSizeChanged);
    _insertController(_selfDraw);
    emit segmentInspectorWidgetInitDrawingWidgets(this, _selfDraw->colorWidget(), _selfDraw->tuningWidget(),
                                                  _selfDraw->toolsWidget());
  } else {
    // The project's shape may have changed since the tools were made.
    _selfDraw->setCanvasSize(canvasSize);
  }
  emit segmentInspectorWidgetStartDrawing(this, _selfDraw->colorWidget(), _selfDraw->tuningWidget(),
                                          _selfDraw->toolsWidget());
  _selfDraw->setVisible(true);
}

void SegmentInspectorWidget::setEditingState(bool editing, const QString &title, int mode)
{
  if (editing) {
    if (!_done) {
      _done = _make<DoneButtonEditingWidgetController>();
      connect(_done, &DoneButtonEditingWidgetController::doneButtonClicked, this,
              &SegmentInspectorWidget::onDoneButtonWidgetControllerDoneButtonClicked);
    }
    _done->setTitle(title);
    _done->setVisible(true);
    if (mode == Drawing)
      _startDrawing();
    else if (_selfDraw)
      hideController(_selfDraw);
    _editingMode = mode;
  } else {
    for (CommonEditingWidgetController *c : std::initializer_list<CommonEditingWidgetController *>{_done, _selfDraw})
      if (c)
        hideController(c);
    _editingMode = NotEditing;
  }

  const bool enabled = !editing;
  auto showIfActive = [enabled](CommonEditingWidgetController *c) {
    if (c && c->isActive())
      c->setVisible(enabled);
  };
  if (_transitionMode) {
    _setToolButtonsEnabled({ReturnCommand}, enabled);
    if (_transitions)
      _transitions->setVisible(enabled);
    for (CommonEditingWidgetController *c : _transitionModeControllers())
      showIfActive(c);
  } else {
    _setToolButtonsEnabled({DoneCommand, DuplicateCommand, SplitCommand, RemoveCommand, AddTransitionCommand}, enabled);
    for (CommonEditingWidgetController *c : _segmentModeControllers()) {
      const bool textStyle = c == _textSize || c == _textFont || c == _textAlignment;
      // Text and drawing keep the text style at hand; leaving any editing state gives it back.
      if (!textStyle || mode == Cropping || !editing)
        showIfActive(c);
    }
    showIfActive(_transitions);
  }
  _recomputeContentHeight();
}
