#include "segmentinspectorwidget.h"

#include "bordereditingwidgetcontroller.h"
#include "chromakeyeditingwidgetcontroller.h"
#include "colorseditingwidgetcontroller.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "editbuttoneditingwidgetcontroller.h"
#include "geometryeditingwidgetcontroller.h"
#include "popupsliderwidget.h"
#include "roundcornereditingwidgetcontroller.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "shadoweditingwidgetcontroller.h"
#include "speededitingwidgetcontroller.h"
#include "strokebordereditingwidgetcontroller.h"
#include "textalignmenteditingwidgetcontroller.h"
#include "textbackeditingwidgetcontroller.h"
#include "textfonteditingwidgetcontroller.h"
#include "textsizeeditingwidgetcontroller.h"
#include "tooltipbutton.h"
#include "transitionseditingwidgetcontroller.h"
#include "transparencyeditingwidgetcontroller.h"
#include "util.h"
#include "videoutilitieseditingwidgetcontroller.h"
#include "volumeeditingwidgetcontroller.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

SegmentInspectorWidget::SegmentInspectorWidget(QWidget *parent) : QWidget(parent)
{
  _buildForm();
  _bottomToolbar->setFixedHeight(50);
  _bottomToolbar->hideScrollArrows();
  connect(_bottomToolbar, &ScrollableToolBar::scrollableToolBarButtonClicked, this,
          &SegmentInspectorWidget::onToolBarButtonClicked);
  _scrollArea->setStyleSheet("background-color: rgb(7,8,10); border: none;");
  _scrollAreaWidget->setStyleSheet(QString());
  Util::applyScrollBarStyleSheet(_scrollArea->verticalScrollBar());
}

SegmentInspectorWidget::~SegmentInspectorWidget() = default;

void SegmentInspectorWidget::_buildForm()
{
  setObjectName("SegmentInspectorWidget");
  resize(295, 485);
  setWindowTitle("Form");
  _verticalLayout = new QVBoxLayout(this);
  _verticalLayout->setObjectName("verticalLayout");
  _verticalLayout->setSpacing(0);
  _verticalLayout->setContentsMargins(0, 0, 0, 0);

  _scrollArea = new QScrollArea(this);
  _scrollArea->setObjectName("scrollArea");
  _scrollArea->setWidgetResizable(true);
  _scrollAreaWidget = new QWidget();
  _scrollAreaWidget->setObjectName("scrollAreaWidget");
  _scrollAreaWidget->setGeometry(0, 0, 293, 443);
  _scrollAreaVerticalLayout = new QVBoxLayout(_scrollAreaWidget);
  _scrollAreaVerticalLayout->setObjectName("scrollAreaVerticalLayout");
  _scrollAreaVerticalLayout->setSpacing(0);
  _scrollAreaVerticalLayout->setContentsMargins(0, 0, 0, 0);
  _scrollArea->setWidget(_scrollAreaWidget);
  _verticalLayout->addWidget(_scrollArea);

  _bottomToolbar = new ScrollableToolBar(this);
  _bottomToolbar->setObjectName("bottomToolbar");
  _bottomToolbar->setMinimumSize(0, 40);
  _bottomToolbar->setMaximumSize(16777215, 16777215);
  _verticalLayout->addWidget(_bottomToolbar);
}

void SegmentInspectorWidget::_insertController(CommonEditingWidgetController *controller)
{
  for (int i = 0; i < _sortedControllers.size(); ++i) {
    CommonEditingWidgetController *next = _sortedControllers.at(i);
    if (next->orderKey() <= controller->orderKey())
      continue;
    _sortedControllers.insert(i, controller);
    const int j = _scrollAreaVerticalLayout->indexOf(next->editingWidget());
    if (j != -1) {
      _scrollAreaVerticalLayout->insertWidget(j, controller->separator());
      _scrollAreaVerticalLayout->insertWidget(j, controller->editingWidget());
    }
    return;
  }
  _sortedControllers.append(controller);
  _scrollAreaVerticalLayout->addWidget(controller->editingWidget());
  _scrollAreaVerticalLayout->addWidget(controller->separator());
}

void SegmentInspectorWidget::_recomputeContentHeight()
{
  int total = 0;
  for (CommonEditingWidgetController *controller : qAsConst(_sortedControllers))
    if (controller->isVisible())
      total += controller->height();
  _scrollAreaWidget->setFixedHeight(total);
}

void SegmentInspectorWidget::onEditingWidgetControllerSizeChanged(CommonEditingWidgetController *)
{
  _recomputeContentHeight();
}

void SegmentInspectorWidget::_buildSegmentToolStrip()
{
  _bottomToolbar->removeAllButtons();
  const struct
  {
    int command;
    QString text;
    const char *icon;
  } buttons[] = {{DoneCommand, tr("Done"), "done"},
                 {DuplicateCommand, tr("Duplicate"), "duplicate"},
                 {SplitCommand, tr("Split"), "split"},
                 {RemoveCommand, tr("Remove"), "remove"}};
  for (const auto &b : buttons) {
    const QString icon = QString(":/images/toolbar/") + b.icon;
    _bottomToolbar->addButton(icon, icon + "2", b.text, b.command, true);
  }
  _bottomToolbar->addSeparator(":/images/toolbar/separator", true);
  _bottomToolbar->addButton(":/images/toolbar/transition", ":/images/toolbar/transition2", tr("Add/Edit Transition"),
                            AddTransitionCommand, true);
}

void SegmentInspectorWidget::_buildTransitionToolStrip()
{
  _bottomToolbar->removeAllButtons();
  _bottomToolbar->addButton(":/images/segment-inspector/transition_return",
                            ":/images/segment-inspector/transition_return2", tr("Return"), ReturnCommand, true);
}

void SegmentInspectorWidget::_setToolButtonsEnabled(std::initializer_list<int> commands, bool enabled)
{
  for (int command : commands)
    if (QWidget *button = _bottomToolbar->button(command))
      button->setEnabled(enabled);
}

void SegmentInspectorWidget::onToolBarButtonClicked(ScrollableToolBar *, int cmdId)
{
  switch (cmdId) {
  case DoneCommand:
    emit segmentInspectorWidgetDidFinish(this);
    break;
  case DuplicateCommand:
    emit segmentInspectorWidgetDuplicateSegment(this);
    break;
  case SplitCommand:
    emit segmentInspectorWidgetSplitSegment(this);
    break;
  case RemoveCommand:
    emit segmentInspectorWidgetRemoveSegment(this);
    break;
  case AddTransitionCommand:
    emit segmentInspectorWidgetEnterEditTransition(this);
    break;
  case ReturnCommand:
    emit segmentInspectorWidgetExitEditTransition(this);
    break;
  default:
    break;
  }
}

void SegmentInspectorWidget::setSegment(SegmentWidget *segmentWidget, TransformWidget *transformWidget,
                                        const QSize &canvasSize)
{
  showSegment(segmentWidget ? segmentWidget->segment() : nullptr, transformWidget, canvasSize);
}

void SegmentInspectorWidget::updateEnabledAtTime(Segment *segment, TransformWidget *transformWidget, bool inside,
                                                 float time)
{
  auto shown = [](const CommonEditingWidgetController *c) { return c && c->isVisible(); };
  if (shown(_edit))
    _edit->updateEnabledAtTime(transformWidget, inside);
  if (shown(_videoUtilities))
    _videoUtilities->updateEnabledAtTime(transformWidget, inside);
  if (shown(_textSize))
    _textSize->updateEnabledAtTime(transformWidget, inside);
  if (shown(_speed))
    _speed->updateEnabledAtTime(transformWidget, inside);
  if (shown(_border))
    _border->updateEnabledAtTime(transformWidget, inside);
  if (shown(_textBack))
    _textBack->updateEnabledAtTime(transformWidget, inside);
  if (shown(_strokeBorder))
    _strokeBorder->updateEnabledAtTime(transformWidget, inside);
  if (shown(_roundCorner))
    _roundCorner->updateEnabledAtTime(transformWidget, inside);
  if (shown(_shadow))
    _shadow->updateEnabledAtTime(transformWidget, inside);
  if (shown(_chromaKey))
    _chromaKey->updateEnabledAtTime(transformWidget, inside);
  if (shown(_textFont))
    _textFont->updateEnabledAtTime(transformWidget, inside);
  if (shown(_textAlignment))
    _textAlignment->updateEnabledAtTime(transformWidget, inside);
  for (TransparencyEditingWidgetController *c : {_transparency, _transitionTransparency})
    if (shown(c))
      c->updateEnabledAtTime(transformWidget, inside);
  for (ColorsEditingWidgetController *c : {_colors, _transitionColors})
    if (shown(c))
      c->updateEnabledAtTime(transformWidget, inside);
  for (GeometryEditingWidgetController *c : {_geometry, _transitionGeometry})
    if (shown(c))
      c->updateEnabledAtTime(transformWidget, inside);
  for (VolumeEditingWidgetController *c : {_volume, _transitionVolume})
    if (shown(c))
      c->updateEnabledAtTime(segment, transformWidget, time);
}

void SegmentInspectorWidget::updateGeometry(Segment *segment)
{
  if (!segment)
    return;
  if (_geometry && _geometry->isVisible())
    _geometry->updateFromSegment(segment);
  // The editor reports every geometry change here, also one made to a transition set on the
  // preview; fields left stale would step from the old value and throw the layer back.
  if (_transitionGeometry && _transitionGeometry->isVisible()) {
    const LoadedTransition &shown = _transitionGeometry->loadedTransition();
    _transitionGeometry->reloadTransitionValues(segment, shown.transitionId(), shown.beginOrEnd());
  }
}

void SegmentInspectorWidget::updateTransitionGeometry(Segment *segment, int tId, int beginOrEnd)
{
  if (segment && _transitionGeometry)
    _transitionGeometry->reloadTransitionValues(segment, tId, beginOrEnd);
}

void SegmentInspectorWidget::updateFont(Segment *segment)
{
  if (segment && _textFont && _textFont->isVisible())
    _textFont->updateFromSegment(segment);
}

void SegmentInspectorWidget::updateTransitions(Segment *segment, int, int)
{
  if (_transitions)
    _transitions->refreshTransitionList(segment);
}

void SegmentInspectorWidget::dismissPopups()
{
  for (CommonEditingWidgetController *controller : _segmentModeControllers())
    if (controller->isVisible())
      controller->dismissChildPopup();
  for (CommonEditingWidgetController *controller : _transitionModeControllers())
    if (controller->isVisible())
      controller->setVisible(false);
  _transitionMode = false;
}

bool SegmentInspectorWidget::isVolumeEnabled() const
{
  return _volume && _volume->isActive() && _volume->popup()->isPopupEnabled();
}

bool SegmentInspectorWidget::isTransitionVolumeEnabled() const
{
  return _transitionVolume && _transitionVolume->isActive() && _transitionVolume->popup()->isPopupEnabled();
}

bool SegmentInspectorWidget::isVolumeControlEnabled(bool transitionSet) const
{
  return transitionSet ? isTransitionVolumeEnabled() : isVolumeEnabled();
}

int SegmentInspectorWidget::scrollOffset() const
{
  return _scrollArea->verticalScrollBar()->value();
}

void SegmentInspectorWidget::setScrollOffset(int offset)
{
  _scrollArea->verticalScrollBar()->setValue(offset);
}

void SegmentInspectorWidget::onTextFontWidgetControllerFontButtonClicked()
{
  emit segmentInspectorWidgetSelectFont(this);
}

void SegmentInspectorWidget::onTextAlignmentWidgetControllerTextAlignmentChanged(int alignment)
{
  emit segmentInspectorWidgetSetTextAlignment(this, alignment);
}

void SegmentInspectorWidget::onEditButtonWidgetControllerEditButtonClicked(int editType, QWidget *issueWidget)
{
  if (editType == 2)
    emit segmentInspectorWidgetEditPicture(this, issueWidget);
  else if (editType == 1)
    emit segmentInspectorWidgetEditText(this);
  else
    emit segmentInspectorWidgetEditDrawing(this);
}

void SegmentInspectorWidget::onDoneButtonWidgetControllerDoneButtonClicked()
{
  if (_editingMode == Drawing && _selfDraw)
    emit segmentInspectorWidgetEndDrawing(this);
  emit segmentInspectorWidgetDoneAction(this);
}

void SegmentInspectorWidget::onVideoUtilitiesWidgetControllerGrabImageButtonClicked()
{
  emit segmentInspectorWidgetVideoGrabImage(this);
}

void SegmentInspectorWidget::keyPressEvent(QKeyEvent *event)
{
  emit segmentInspectorWidgetKeyPressed(this, event);
  QWidget::keyPressEvent(event);
}

void SegmentInspectorWidget::_wireGeometry(GeometryEditingWidgetController *geometry)
{
  using G = GeometryEditingWidgetController;
  using S = SegmentInspectorWidget;
  // Each geometry signal leaves the panel under its own name, with the panel first.
  auto pass = [this, geometry](auto signal, auto panelSignal) {
    connect(geometry, signal, this, [this, panelSignal] { emit(this->*panelSignal)(this); });
  };
  pass(&G::maintainAspectRatioButtonClicked, &S::segmentInspectorWidgetMaintainAspectRatioAction);
  pass(&G::restoreDefaultButtonClicked, &S::segmentInspectorWidgetRestoreDefaultAction);
  pass(&G::cropButtonClicked, &S::segmentInspectorWidgetCropAction);
  pass(&G::rotateClockwiseButtonClicked, &S::segmentInspectorWidgetRotateClockwiseAction);
  pass(&G::rotateCounterClockwiseButtonClicked, &S::segmentInspectorWidgetRotateCounterClockwiseAction);
  pass(&G::flipHorizontalButtonClicked, &S::segmentInspectorWidgetFlipHorizontalAction);
  pass(&G::flipVerticalButtonClicked, &S::segmentInspectorWidgetFlipVerticalAction);
  auto passValue = [this, geometry](void (G::*signal)(double), void (S::*panelSignal)(S *, double)) {
    connect(geometry, signal, this, [this, panelSignal](double value) { emit(this->*panelSignal)(this, value); });
  };
  passValue(&G::xValueChanged, &S::segmentInspectorWidgetSetGeometryX);
  passValue(&G::yValueChanged, &S::segmentInspectorWidgetSetGeometryY);
  passValue(&G::widthValueChanged, &S::segmentInspectorWidgetSetGeometryWidth);
  passValue(&G::heightValueChanged, &S::segmentInspectorWidgetSetGeometryHeight);
  passValue(&G::rotationValueChanged, &S::segmentInspectorWidgetSetGeometryRotation);
  passValue(&G::xValueChanging, &S::segmentInspectorWidgetUpdateGeometryX);
  passValue(&G::yValueChanging, &S::segmentInspectorWidgetUpdateGeometryY);
  passValue(&G::widthValueChanging, &S::segmentInspectorWidgetUpdateGeometryWidth);
  passValue(&G::heightValueChanging, &S::segmentInspectorWidgetUpdateGeometryHeight);
  passValue(&G::rotationValueChanging, &S::segmentInspectorWidgetUpdateGeometryRotation);
  connect(geometry, &G::beforeGeometryValueChanging, this, [this](QPointF &translation, QPointF &scale, qreal &rotation) {
    emit segmentInspectorWidgetBeforeUpdateGeometryValue(this, translation, scale, rotation);
  });
  connect(geometry, &G::afterGeometryValueChanging, this, [this](QPointF translation, QPointF scale, double rotation) {
    emit segmentInspectorWidgetAfterUpdateGeometryValue(this, translation, scale, rotation);
  });
}

void SegmentInspectorWidget::_wireTransitions(TransitionsEditingWidgetController *transitions)
{
  using T = TransitionsEditingWidgetController;
  connect(transitions, &T::getEasingFunctionHintText, this, [this](Segment *segment, int tId, QString &text) {
    emit segmentInspectorWidgetGetEasingFunctionHintText(this, segment, tId, text);
  });
  connect(transitions, &T::getEasingFunctionIconImage, this, [this](Segment *segment, int tId, QPixmap &pixmap) {
    emit segmentInspectorWidgetGetEasingFunctionIconImage(this, segment, tId, pixmap);
  });
  connect(transitions, &T::transitionSelectionIndexChanged, this,
          [this](int index) { emit segmentInspectorWidgetTransitionSelectionIndexChanged(this, index); });
  connect(transitions, &T::transitionBeginOrEndPositionChanged, this,
          [this](int beginOrEnd) { emit segmentInspectorWidgetTransitionBeginOrEndPositionChanged(this, beginOrEnd); });
  connect(transitions, &T::popupEasingFunctionsWidgetOnButton, this,
          [this](QPushButton *button) { emit segmentInspectorWidgetPopupEasingFunctionsWidgetOnButton(this, button); });
  connect(transitions, &T::addTransitionActionOnButton, this,
          [this](QPushButton *button) { emit segmentInspectorWidgetAddTransitionOnButton(this, button); });
  connect(transitions, &T::removeTransitionAtIndex, this,
          [this](int index) { emit segmentInspectorWidgetRemoveTransitionAtIndex(this, index); });
  connect(transitions, &T::duplicateTransitionAtIndex, this,
          [this](int index) { emit segmentInspectorWidgetDuplicateTransitionAtIndex(this, index); });
}
