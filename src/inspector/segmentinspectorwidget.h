#pragma once

#include <QList>
#include <QPointF>
#include <QSize>
#include <QWidget>

class BorderEditingWidgetController;
class ChromaKeyEditingWidgetController;
class ColorsEditingWidgetController;
class CommonEditingWidgetController;
class DoneButtonEditingWidgetController;
class DrawingColorWidget;
class DrawingToolsWidget;
class DrawingTuningWidget;
class EditButtonEditingWidgetController;
class GeometryEditingWidgetController;
class PopupChromaKeyWidget;
class PopupColorsScrollWidget;
class PopupSliderColor1Switch2SlidersWidget;
class PopupSliderColor2SlidersWidget;
class PopupSliderColorShadowWidget;
class PopupSliderColorWidget;
class PopupSliderWidget;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class RoundCornerEditingWidgetController;
class ScrollableToolBar;
class Segment;
class SegmentWidget;
class SelfDrawEditingWidgetController;
class ShadowEditingWidgetController;
class SpeedEditingWidgetController;
class StrokeBorderEditingWidgetController;
class TextAlignmentEditingWidgetController;
class TextBackEditingWidgetController;
class TextFontEditingWidgetController;
class TextSizeEditingWidgetController;
class TransformWidget;
class TransitionsEditingWidgetController;
class TransparencyEditingWidgetController;
class VideoUtilitiesEditingWidgetController;
class VolumeEditingWidgetController;

// The editor's side panel for the selected segment: the editing controllers that apply to
// its type, in the fixed order of their keys, over the segment tool strip. In transition
// mode it lists the segment's transitions and edits the chosen one's begin or end values;
// in the editing state (crop, text, drawing) it offers Done. It never changes a segment:
// every action leaves as a signal, and each embedded popup is announced once, before it can
// first be used, so the editor can wire it.
class SegmentInspectorWidget : public QWidget
{
  Q_OBJECT
public:
  enum Command
  {
    DoneCommand = 10001,
    AddTransitionCommand = 10002,
    DuplicateCommand = 10010,
    RemoveCommand = 10011,
    SplitCommand = 10020,
    ReturnCommand = 10101
  };
  enum EditingMode
  {
    NotEditing = -1,
    Cropping = 0,
    EditingText = 1,
    Drawing = 2
  };

  explicit SegmentInspectorWidget(QWidget *parent = nullptr);
  ~SegmentInspectorWidget() override;

  // The canvas size is the movie's picture in pixels; the overlay is not used here.
  void showSegment(Segment *segment, TransformWidget *transformWidget, const QSize &canvasSize);
  // The editor's call with the selected timeline block.
  void setSegment(SegmentWidget *segmentWidget, TransformWidget *transformWidget, const QSize &canvasSize);
  void enterEditTransitionMode();
  void exitEditTransitionMode(Segment *segment);
  // tId 0 or less shows no transition; beginOrEnd 1 the begin set, 0 the end set, -1 none.
  void showTransition(Segment *segment, int tId, int beginOrEnd);
  void setEditingState(bool editing, const QString &title, int mode);
  void updateEnabledAtTime(Segment *segment, TransformWidget *transformWidget, bool inside, float time);
  using QWidget::updateGeometry;
  void updateGeometry(Segment *segment);
  void updateTransitionGeometry(Segment *segment, int tId, int beginOrEnd);
  void updateFont(Segment *segment);
  // Refills the transition list; the shown transition and set stay.
  void updateTransitions(Segment *segment, int tId, int beginOrEnd);
  void dismissPopups();

  bool isVolumeEnabled() const;
  bool isTransitionVolumeEnabled() const;
  bool isVolumeControlEnabled(bool transitionSet) const;
  bool isInTransitionMode() const { return _transitionMode; }
  int editingMode() const { return _editingMode; }
  int selectedTransitionId() const { return _selectedTransitionId; }
  int scrollOffset() const;
  void setScrollOffset(int offset);

  // Every controller made so far, in layout order.
  const QList<CommonEditingWidgetController *> &sortedControllers() const { return _sortedControllers; }
  ScrollableToolBar *bottomToolbar() const { return _bottomToolbar; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QWidget *scrollAreaWidget() const { return _scrollAreaWidget; }
  QVBoxLayout *scrollAreaVerticalLayout() const { return _scrollAreaVerticalLayout; }

  DoneButtonEditingWidgetController *doneController() const { return _done; }
  EditButtonEditingWidgetController *editController() const { return _edit; }
  TextSizeEditingWidgetController *textSizeController() const { return _textSize; }
  TextFontEditingWidgetController *textFontController() const { return _textFont; }
  TextAlignmentEditingWidgetController *textAlignmentController() const { return _textAlignment; }
  GeometryEditingWidgetController *geometryController() const { return _geometry; }
  TransparencyEditingWidgetController *transparencyController() const { return _transparency; }
  VolumeEditingWidgetController *volumeController() const { return _volume; }
  SpeedEditingWidgetController *speedController() const { return _speed; }
  BorderEditingWidgetController *borderController() const { return _border; }
  StrokeBorderEditingWidgetController *strokeBorderController() const { return _strokeBorder; }
  TextBackEditingWidgetController *textBackController() const { return _textBack; }
  RoundCornerEditingWidgetController *roundCornerController() const { return _roundCorner; }
  ShadowEditingWidgetController *shadowController() const { return _shadow; }
  ColorsEditingWidgetController *colorsController() const { return _colors; }
  ChromaKeyEditingWidgetController *chromaKeyController() const { return _chromaKey; }
  VideoUtilitiesEditingWidgetController *videoUtilitiesController() const { return _videoUtilities; }
  TransitionsEditingWidgetController *transitionsController() const { return _transitions; }
  GeometryEditingWidgetController *transitionGeometryController() const { return _transitionGeometry; }
  TransparencyEditingWidgetController *transitionTransparencyController() const { return _transitionTransparency; }
  VolumeEditingWidgetController *transitionVolumeController() const { return _transitionVolume; }
  ColorsEditingWidgetController *transitionColorsController() const { return _transitionColors; }
  SelfDrawEditingWidgetController *selfDrawController() const { return _selfDraw; }

signals:
  void segmentInspectorWidgetDidFinish(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetDuplicateSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetSplitSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetRemoveSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetEnterEditTransition(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetExitEditTransition(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetKeyPressed(SegmentInspectorWidget *widget, QKeyEvent *evnet);
  void segmentInspectorWidgetSelectFont(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetSetTextAlignment(SegmentInspectorWidget *widget, int alignment);
  void segmentInspectorWidgetEditText(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetEditDrawing(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetEditPicture(SegmentInspectorWidget *widget, QWidget *issueWidget);
  void segmentInspectorWidgetVideoGrabImage(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetDoneAction(SegmentInspectorWidget *widget);
  // Done pressed while drawing, just before the Done action.
  void segmentInspectorWidgetEndDrawing(SegmentInspectorWidget *widget);
  // The editor fills in its canvas's size before the emit returns; asked on every start of
  // drawing, since the project's shape may have changed.
  void segmentInspectorWidgetGetCanvasSize(SegmentInspectorWidget *widget, QSize &size);
  // Once, when the drawing tools are made.
  void segmentInspectorWidgetInitDrawingWidgets(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                                DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);
  // Each time drawing starts.
  void segmentInspectorWidgetStartDrawing(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                          DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);

  void segmentInspectorWidgetMaintainAspectRatioAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetRestoreDefaultAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetCropAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetRotateClockwiseAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetRotateCounterClockwiseAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetFlipHorizontalAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetFlipVerticalAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidgetSetGeometryX(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetSetGeometryY(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetSetGeometryWidth(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetSetGeometryHeight(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetSetGeometryRotation(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetUpdateGeometryX(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetUpdateGeometryY(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetUpdateGeometryWidth(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetUpdateGeometryHeight(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidgetUpdateGeometryRotation(SegmentInspectorWidget *widget, double value);
  // The editor fills the references before the emit returns.
  void segmentInspectorWidgetBeforeUpdateGeometryValue(SegmentInspectorWidget *widget, QPointF &translation,
                                                       QPointF &scale, qreal &rotation);
  void segmentInspectorWidgetAfterUpdateGeometryValue(SegmentInspectorWidget *widget, QPointF translation,
                                                      QPointF scale, double rotation);

  // The editor answers the two questions before the emit returns.
  void segmentInspectorWidgetGetEasingFunctionHintText(SegmentInspectorWidget *widget, Segment *segment, int tId,
                                                       QString &text);
  void segmentInspectorWidgetGetEasingFunctionIconImage(SegmentInspectorWidget *widget, Segment *segment, int tId,
                                                        QPixmap &pixmap);
  void segmentInspectorWidgetTransitionSelectionIndexChanged(SegmentInspectorWidget *widget, int index);
  void segmentInspectorWidgetTransitionBeginOrEndPositionChanged(SegmentInspectorWidget *widget, int beginOrEnd);
  void segmentInspectorWidgetPopupEasingFunctionsWidgetOnButton(SegmentInspectorWidget *widget, QPushButton *button);
  void segmentInspectorWidgetAddTransitionOnButton(SegmentInspectorWidget *widget, QPushButton *button);
  void segmentInspectorWidgetRemoveTransitionAtIndex(SegmentInspectorWidget *widget, int index);
  void segmentInspectorWidgetDuplicateTransitionAtIndex(SegmentInspectorWidget *widget, int index);

  void setConnectionsForTransparencyPopupSliderWidget(PopupSliderWidget *popup, bool transition);
  void setConnectionsForVolumePopupSliderWidget(PopupSliderWidget *popup, bool transition);
  void setConnectionsForSpeedPopupSliderWidget(PopupSliderWidget *popup);
  void setConnectionsForBorderPopupSliderColorWidget(PopupSliderColorWidget *popup);
  void setConnectionsForStrokeBorderPopupSliderColorSwitchWidget(PopupSliderColor1Switch2SlidersWidget *popup);
  void setConnectionsForRoundCornerPopupSliderWidget(PopupSliderWidget *popup);
  void setConnectionsForShadowPopupSliderColorShadowWidget(PopupSliderColorShadowWidget *popup);
  void setConnectionsForColorsPopupColorsScrollWidget(PopupColorsScrollWidget *popup, bool transition);
  void setConnectionsForChromaKeyPopupChromaKeyWidget(PopupChromaKeyWidget *popup);
  void setConnectionsForTextSizePopupSliderColorWidget(PopupSliderColorWidget *popup);
  void setConnectionsForTextBackPopupSliderColor2SlidersWidget(PopupSliderColor2SlidersWidget *popup);

public slots:
  void onToolBarButtonClicked(ScrollableToolBar *toolbar, int cmdId);
  void onEditingWidgetControllerSizeChanged(CommonEditingWidgetController *editingController);
  void onTextFontWidgetControllerFontButtonClicked();
  void onTextAlignmentWidgetControllerTextAlignmentChanged(int alignment);
  void onEditButtonWidgetControllerEditButtonClicked(int editType, QWidget *issueWidget);
  void onDoneButtonWidgetControllerDoneButtonClicked();
  void onVideoUtilitiesWidgetControllerGrabImageButtonClicked();

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  // Construction, layout and forwarding (segmentinspectorwidget.cpp).
  void _buildForm();
  void _insertController(CommonEditingWidgetController *controller);
  void _wireGeometry(GeometryEditingWidgetController *geometry);
  void _wireTransitions(TransitionsEditingWidgetController *transitions);
  // Makes a controller in the content widget and puts it in its place.
  template <class C, class... Args>
  C *_make(Args... args);

  // Modes (segmentinspectorwidget_modes.cpp).
  void _buildSegmentToolStrip();
  void _buildTransitionToolStrip();
  void _setToolButtonsEnabled(std::initializer_list<int> commands, bool enabled);
  void _recomputeContentHeight();
  // Makes the drawing tools on first use, brings them to the canvas's current size and
  // hands them to the editor.
  void _startDrawing();
  // The segment-mode controllers that modes hide and give back: all but Done and Transitions.
  QList<CommonEditingWidgetController *> _segmentModeControllers() const;
  QList<CommonEditingWidgetController *> _transitionModeControllers() const;

  QVBoxLayout *_verticalLayout = nullptr;
  QScrollArea *_scrollArea = nullptr;
  ScrollableToolBar *_bottomToolbar = nullptr;
  QWidget *_scrollAreaWidget = nullptr;
  QVBoxLayout *_scrollAreaVerticalLayout = nullptr;

  DoneButtonEditingWidgetController *_done = nullptr;
  EditButtonEditingWidgetController *_edit = nullptr;
  TextSizeEditingWidgetController *_textSize = nullptr;
  TextFontEditingWidgetController *_textFont = nullptr;
  TextAlignmentEditingWidgetController *_textAlignment = nullptr;
  GeometryEditingWidgetController *_geometry = nullptr;
  TransparencyEditingWidgetController *_transparency = nullptr;
  VolumeEditingWidgetController *_volume = nullptr;
  SpeedEditingWidgetController *_speed = nullptr;
  BorderEditingWidgetController *_border = nullptr;
  StrokeBorderEditingWidgetController *_strokeBorder = nullptr;
  TextBackEditingWidgetController *_textBack = nullptr;
  RoundCornerEditingWidgetController *_roundCorner = nullptr;
  ShadowEditingWidgetController *_shadow = nullptr;
  ColorsEditingWidgetController *_colors = nullptr;
  ChromaKeyEditingWidgetController *_chromaKey = nullptr;
  VideoUtilitiesEditingWidgetController *_videoUtilities = nullptr;
  TransitionsEditingWidgetController *_transitions = nullptr;
  GeometryEditingWidgetController *_transitionGeometry = nullptr;
  TransparencyEditingWidgetController *_transitionTransparency = nullptr;
  VolumeEditingWidgetController *_transitionVolume = nullptr;
  ColorsEditingWidgetController *_transitionColors = nullptr;
  SelfDrawEditingWidgetController *_selfDraw = nullptr;

  QList<CommonEditingWidgetController *> _sortedControllers;
  bool _transitionMode = false;
  int _selectedTransitionId = 0;
  int _editingMode = NotEditing;
};
