// Geometry from the inspector's fields and from the transform overlay: which values change (the
// segment's own or one transition state's), what the engine receives, one undo step per gesture,
// the overlay's context menu, and the inspector's one-click requests.

#include "editingfixture.h"
#include "testenv.h"

#include "avengine.h"
#include "projecthistory.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "popupeasingfunctionswidget.h"
#include "transformwidget.h"

#include <QPushButton>
#include <QtTest>

namespace {

// Reaches the window's own geometry operations through member pointers.
struct Access : EditingWindow
{
  using MainWindow::_overlayNaturalSize;
  using MainWindow::_previewFrameInOverlayParent;
  using MainWindow::_segmentEditingSetGeometry;
  using MainWindow::_updateTransformOverlayAt;
  using MainWindow::_hideTransformWidget;
  using MainWindow::_textEditWidget;
  using MainWindow::_endTextEditing;
};

struct Geometry
{
  QPointF translation;
  QSizeF scale;
  double rotation = 0;
};

const Geometry kStart{QPointF(0.1, 0.2), QSizeF(0.8, 0.9), 0.3};

Geometry geometryOf(Segment *segment, int transitionId, int side)
{
  if (transitionId < 1 || side < 0)
    return {segment->userTranslation(), segment->userScale(), segment->userRotation()};
  const bool begin = side != 0;
  return {segment->transitionUserTranslation(transitionId, begin), segment->transitionUserScale(transitionId, begin),
          double(segment->transitionUserRotation(transitionId, begin))};
}

void setGeometry(Segment *segment, int transitionId, bool begin, const Geometry &g)
{
  if (transitionId < 1) {
    segment->setUserTranslation(g.translation);
    segment->setUserScale(g.scale);
    segment->setUserRotation(g.rotation);
  } else {
    segment->setTransitionUserTranslation(transitionId, begin, g.translation);
    segment->setTransitionUserScale(transitionId, begin, g.scale);
    segment->setTransitionUserRotation(transitionId, begin, float(g.rotation));
  }
}

bool near(double a, double b) { return qAbs(a - b) < 1e-4; }

// Rotation and the two flips of the segment itself or of one transition state.
QVector<double> turns(Segment *segment, int transitionId, int side)
{
  if (transitionId < 1 || side < 0)
    return {segment->userRotation(), segment->userRotationX(), segment->userRotationY()};
  const bool begin = side != 0;
  return {segment->transitionUserRotation(transitionId, begin), segment->transitionUserRotationX(transitionId, begin),
          segment->transitionUserRotationY(transitionId, begin)};
}

bool same(const Geometry &a, const Geometry &b)
{
  return near(a.translation.x(), b.translation.x()) && near(a.translation.y(), b.translation.y())
         && near(a.scale.width(), b.scale.width()) && near(a.scale.height(), b.scale.height())
         && near(a.rotation, b.rotation);
}

QString text(const Geometry &g)
{
  return QString("(%1, %2) (%3 x %4) %5")
      .arg(g.translation.x())
      .arg(g.translation.y())
      .arg(g.scale.width())
      .arg(g.scale.height())
      .arg(g.rotation);
}

} // namespace

class TestInspectorGeometry : public QObject
{
  Q_OBJECT

  EditingSession session;

  EditingWindow *window() { return session.window.get(); }
  // A record moves the history's position one on, also after an undo cut the newer entries.
  int snapshots() { return window()->projectManager()->history().position(); }

  // The picture edited, with one transition, its own values and both transition states set to
  // the same start, transition `transitionId` chosen and `side` edited.
  Segment *editPicture(int transitionId, int side)
  {
    Segment *picture = session.segmentByUId("seg-2");
    if (picture->transitionCount() == 0)
      picture->insertTransition(0.5f, picture->rangeStart() + 1);
    for (int id : {0, 1})
      for (bool begin : {true, false})
        setGeometry(picture, id, begin, kStart);
    SegmentWidget *block = session.edit(picture);
    // Transition editing, once entered, chooses the first transition shortly after.
    if (transitionId < 1 && window()->isEditingTransitions())
      window()->endTransitionMode();
    block->setTransitionId(transitionId);
    window()->_editedTransitionEnd = side;
    return picture;
  }

private slots:
  void initTestCase() { QVERIFY(session.open()); }

  void setWritesTheTarget_data()
  {
    QTest::addColumn<int>("transitionId");
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("value");
    QTest::newRow("own x") << 0 << -1 << "x" << 0.25;
    QTest::newRow("own width keeps the height") << 0 << -1 << "w" << 0.5;
    QTest::newRow("own rotation") << 0 << -1 << "r" << 0.75;
    QTest::newRow("transition chosen, no side: own values") << 1 << -1 << "y" << -0.4;
    QTest::newRow("begin state height") << 1 << 1 << "h" << 0.4;
    QTest::newRow("end state x") << 1 << 0 << "x" << -0.2;
    QTest::newRow("end state rotation") << 1 << 0 << "r" << 1.5;
  }

  void setWritesTheTarget()
  {
    QFETCH(int, transitionId);
    QFETCH(int, side);
    QFETCH(QString, key);
    QFETCH(double, value);
    Segment *picture = editPicture(transitionId, side);
    const bool transition = transitionId >= 1 && side >= 0;
    Geometry expected = kStart;
    int property = kAVPropertyPosition;
    if (key == "x") {
      expected.translation.setX(value);
    } else if (key == "y") {
      expected.translation.setY(value);
    } else if (key == "w") {
      expected.scale.setWidth(value);
      property = kAVPropertyScale;
    } else if (key == "h") {
      expected.scale.setHeight(value);
      property = kAVPropertyScale;
    } else {
      expected.rotation = value;
      property = kAVPropertyRotation;
    }

    const int before = snapshots();
    window()->projectManager()->setModified(false);
    session.engine.clear();
    void (DesktopMainWindow::*setters[])(SegmentInspectorWidget *, double) = {
        &DesktopMainWindow::segmentInspectorWidget_onSetGeometryX,
        &DesktopMainWindow::segmentInspectorWidget_onSetGeometryY,
        &DesktopMainWindow::segmentInspectorWidget_onSetGeometryWidth,
        &DesktopMainWindow::segmentInspectorWidget_onSetGeometryHeight,
        &DesktopMainWindow::segmentInspectorWidget_onSetGeometryRotation};
    (window()->*setters[QString("xywhr").indexOf(key)])(nullptr, value);

    QCOMPARE(snapshots(), before + 1);
    QVERIFY(window()->projectManager()->isModified());
    const Geometry target = geometryOf(picture, transitionId, side);
    QVERIFY2(same(target, expected), qPrintable(text(target)));
    // Whatever is not the target stays.
    QVERIFY(same(geometryOf(picture, transition ? 0 : 1, transition ? -1 : 1), kStart));
    if (transition)
      QVERIFY(same(geometryOf(picture, 1, side == 0 ? 1 : 0), kStart));

    const auto own = session.engine.calls("setSegmentProperty", property);
    const auto states = session.engine.calls("setTransitionValue", property);
    QCOMPARE(own.size(), transition ? 0 : 1);
    QCOMPARE(states.size(), transition ? 1 : 0);
    const EngineCallLog::Call call = transition ? states.first() : own.first();
    QCOMPARE(call.id, picture->id());
    if (transition) {
      QCOMPARE(call.groupId, 1u);
      QCOMPARE(call.flag, side == 0);
    }
    const QPair<double, double> sent = property == kAVPropertyPosition
                                           ? qMakePair(expected.translation.x(), expected.translation.y())
                                       : property == kAVPropertyScale
                                           ? qMakePair(expected.scale.width(), expected.scale.height())
                                           : qMakePair(expected.rotation, 0.0);
    QVERIFY(near(call.a, sent.first) && near(call.b, sent.second));
    QCOMPARE(session.engine.calls("refresh").size(), 1);
  }

  // Each component goes out with the whole point as it stands after it.
  void positionFromOneDictionaryGoesOutTwice()
  {
    Segment *picture = editPicture(0, -1);
    session.engine.clear();
    (window()->*&Access::_segmentEditingSetGeometry)({{"x", 0.3}, {"y", -0.1}, {"z", 9}});
    QVERIFY(near(picture->userTranslation().x(), 0.3) && near(picture->userTranslation().y(), -0.1));
    const auto calls = session.engine.calls("setSegmentProperty", kAVPropertyPosition);
    QCOMPARE(calls.size(), 2);
    const EngineCallLog::Call &first = calls.first();
    QVERIFY((near(first.a, 0.3) && near(first.b, 0.2)) || (near(first.a, 0.1) && near(first.b, -0.1)));
    QVERIFY(near(calls.last().a, 0.3) && near(calls.last().b, -0.1));
  }

  void soundSegmentIsLeftAlone()
  {
    Segment *music = session.segment("MUSIC");
    session.edit(music);
    window()->_editedTransitionEnd = -1;
    const QString state = session.state();
    const int before = snapshots();
    session.engine.clear();
    window()->segmentInspectorWidget_onSetGeometryX(nullptr, 0.5);
    window()->segmentInspectorWidget_onUpdateGeometryWidth(nullptr, 0.5);
    QPointF translation(7, 7), scale(7, 7);
    qreal rotation = 7;
    window()->segmentInspectorWidget_beforeUpdateGeometryValue(nullptr, translation, scale, rotation);
    QCOMPARE(translation, QPointF(7, 7));
    QCOMPARE(rotation, 7.0);
    QCOMPARE(snapshots(), before);
    QCOMPARE(session.state(), state);
    QVERIFY(session.engine.calls().isEmpty());
  }

  // Before, live steps, After with the kept values, then Set: one undo step back to the start.
  void steppingGestureIsOneUndoStep_data()
  {
    QTest::addColumn<int>("side");
    QTest::newRow("own values") << -1;
    QTest::newRow("begin state") << 1;
  }

  void steppingGestureIsOneUndoStep()
  {
    QFETCH(int, side);
    Segment *picture = editPicture(side >= 0 ? 1 : 0, side);
    QTRY_VERIFY(window()->_engine->isIdle());
    const int before = snapshots();
    session.engine.clear();

    QPointF translation, scale;
    qreal rotation = 0;
    window()->segmentInspectorWidget_beforeUpdateGeometryValue(nullptr, translation, scale, rotation);
    QVERIFY(same({translation, QSizeF(scale.x(), scale.y()), rotation}, kStart));
    for (double x : {0.2, 0.3, 0.4})
      window()->segmentInspectorWidget_onUpdateGeometryX(nullptr, x);
    QVERIFY(near(geometryOf(picture, 1, side).translation.x(), 0.4));
    QCOMPARE(snapshots(), before);
    QVERIFY(session.engine.calls("setSegmentProperty").isEmpty());
    QVERIFY(session.engine.calls("setTransitionValue").isEmpty());

    window()->segmentInspectorWidget_afterUpdateGeometryValue(nullptr, translation, scale, rotation);
    QVERIFY(near(geometryOf(picture, 1, side).translation.x(), 0.1));
    window()->segmentInspectorWidget_onSetGeometryX(nullptr, 0.4);
    QCOMPARE(snapshots(), before + 1);
    QVERIFY(near(geometryOf(picture, 1, side).translation.x(), 0.4));

    QTRY_VERIFY(window()->_engine->isIdle());
    window()->undoRedoOperation(true);
    // The snapshot is applied once the engine is idle; the segment is a new one then.
    QTRY_VERIFY((picture = session.segmentByUId("seg-2"))
                && near(geometryOf(picture, 1, side).translation.x(), 0.1));
  }

  // A finished overlay gesture on the picture, with the begin or end state of transition 1
  // edited or the picture itself.
  void overlayGestureWritesTheTarget_data()
  {
    QTest::addColumn<int>("side");
    QTest::newRow("own values") << -1;
    QTest::newRow("begin state") << 1;
    QTest::newRow("end state") << 0;
  }

  void overlayGestureWritesTheTarget()
  {
    QFETCH(int, side);
    const int transitionId = side >= 0 ? 1 : 0;
    Segment *picture = editPicture(transitionId, side);
    const QRectF frame = (window()->*&Access::_previewFrameInOverlayParent)();
    QVERIFY(!frame.isEmpty());
    const QSizeF natural = (window()->*&Access::_overlayNaturalSize)(picture, frame.size());
    QVERIFY(!natural.isEmpty());
    TransformWidget overlay(":/images/transform_dot_normal", ":/images/transform_square_normal",
                            ":/images/transform_central_point_normal", Qt::white, 0, nullptr);
    overlay.setSegment(picture);
    // A quarter of the preview right of its centre, at half the natural width.
    overlay.setContentLayerGeometry(frame.center() + QPointF(frame.width() / 4, 0),
                                    QSizeF(natural.width() / 2, natural.height()), 0.5f, QPointF(0.5, 0.5),
                                    natural);
    const int before = snapshots();
    session.engine.clear();
    window()->transformWidget_contentLayerGeometryDidChange(&overlay);

    QCOMPARE(snapshots(), before + 1);
    const Geometry expected{QPointF(0.25, 0), QSizeF(0.5, 1), 0.5};
    const Geometry target = geometryOf(picture, transitionId, side);
    QVERIFY2(same(target, expected), qPrintable(text(target)));
    if (transitionId) {
      QVERIFY(same(geometryOf(picture, 0, -1), kStart));
      QVERIFY(same(geometryOf(picture, 1, side == 0 ? 1 : 0), kStart));
      QVERIFY(session.engine.calls("setSegmentProperty").isEmpty());
      const auto calls = session.engine.calls("setTransitionValue");
      QCOMPARE(calls.size(), 4);
      for (const auto &call : calls)
        QVERIFY(call.groupId == 1 && call.flag == (side == 0));
    } else {
      QVERIFY(same(geometryOf(picture, 1, 1), kStart));
      QVERIFY(session.engine.calls("setTransitionValue").isEmpty());
      QCOMPARE(session.engine.calls("setSegmentProperty").size(), 4);
    }
    const auto position = session.engine.calls(transitionId ? "setTransitionValue" : "setSegmentProperty",
                                               kAVPropertyPosition);
    QCOMPARE(position.size(), 1);
    QVERIFY(near(position.first().a, 0.25) && near(position.first().b, 0));
  }

  // The overlay laid out from the stored values and reported back unmoved stores them again.
  void unmovedOverlayKeepsTheGeometry()
  {
    Segment *picture = editPicture(0, -1);
    // Earlier cases may have left the transition tools open, which show no overlay for the
    // segment itself; an overlay of theirs may still be fading out.
    if (window()->isEditingTransitions())
      window()->endTransitionMode();
    QTRY_VERIFY(!window()->isEditingTransitions());
    QTRY_VERIFY(((window()->*&Access::_updateTransformOverlayAt)(picture->rangeStart() + 0.5f),
                 window()->_transformWidget && window()->_transformWidget->segment() == picture));
    TransformWidget *overlay = window()->_transformWidget;
    emit overlay->transformWidgetContentLayerGeometryDidChange(overlay);
    const Geometry stored = geometryOf(picture, 0, -1);
    QVERIFY2(same(stored, kStart), qPrintable(text(stored)));
  }

  void contextMenu_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("transitionId");
    QTest::addColumn<QStringList>("texts");
    const QString aspect = "Maintain aspect ratio", restore = "Restore the default", fill = "Fill the screen";
    QTest::newRow("text") << "seg-3" << 0 << QStringList{aspect, restore, "Edit Text"};
    QTest::newRow("text, transition chosen") << "seg-3" << 1 << QStringList{aspect, restore};
    QTest::newRow("picture") << "seg-2" << 0 << QStringList{aspect, restore, fill, "Original Size"};
    QTest::newRow("picture, transition chosen") << "seg-2" << 1 << QStringList{aspect, restore, fill};
    QTest::newRow("drawing") << "seg-4" << 0 << QStringList{aspect, restore, fill, "Edit Drawing"};
    QTest::newRow("movie") << "seg-1" << 0 << QStringList{aspect, restore, fill};
  }

  void contextMenu()
  {
    QFETCH(QString, uid);
    QFETCH(int, transitionId);
    QFETCH(QStringList, texts);
    Segment *segment = session.segmentByUId(uid);
    if (transitionId && segment->transitionCount() == 0)
      segment->insertTransition(0.5f, segment->rangeStart() + 1);
    session.edit(segment)->setTransitionId(transitionId);
    TransformWidget overlay(":/images/transform_dot_normal", ":/images/transform_square_normal",
                            ":/images/transform_central_point_normal", Qt::white, 0, nullptr);
    overlay.setSegment(segment);
    ScriptedDialogProvider &dialogs = window()->dialogs;
    dialogs.calls.clear();
    window()->transformWidget_requestContextMenu(&overlay, QPoint(10, 10));
    QCOMPARE(dialogs.kinds(), QStringList{"menu"});
    QCOMPARE(dialogs.calls.first().buttons, texts);
  }

  // The inspector's turns and flips change the edited transition state when one is edited, else
  // the picture itself; nothing else moves.
  void turnsAndFlipsFollowTheTarget_data()
  {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("request");
    QTest::newRow("own, clockwise") << -1 << 0;
    QTest::newRow("own, flip horizontally") << -1 << 2;
    QTest::newRow("begin state, counterclockwise") << 1 << 1;
    QTest::newRow("end state, flip vertically") << 0 << 3;
  }

  void turnsAndFlipsFollowTheTarget()
  {
    QFETCH(int, side);
    QFETCH(int, request);
    const int transitionId = side >= 0 ? 1 : 0;
    Segment *picture = editPicture(transitionId, side);
    const QVector<double> own = turns(picture, 0, -1);
    const QVector<double> begin = turns(picture, 1, 1);
    const QVector<double> end = turns(picture, 1, 0);
    void (DesktopMainWindow::*requests[])(SegmentInspectorWidget *) = {
        &DesktopMainWindow::segmentInspectorWidget_onRotateClockwiseAction,
        &DesktopMainWindow::segmentInspectorWidget_onRotateCounterClockwiseAction,
        &DesktopMainWindow::segmentInspectorWidget_onFlipHorizontalAction,
        &DesktopMainWindow::segmentInspectorWidget_onFlipVerticalAction};
    (window()->*requests[request])(nullptr);

    const int changed = request < 2 ? 0 : request == 2 ? 2 : 1;
    const QVector<double> before = side < 0 ? own : side ? begin : end;
    const QVector<double> after = turns(picture, transitionId, side);
    for (int i = 0; i < 3; ++i)
      QVERIFY2(near(after[i], before[i]) == (i != changed), qPrintable(QString("value %1").arg(i)));
    if (side >= 0)
      QCOMPARE(turns(picture, 0, -1), own);
    QCOMPARE(turns(picture, 1, side == 0 ? 1 : 0), side == 0 ? begin : end);
  }

  // Entering transition editing chooses the first transition shortly after; choosing in the list
  // selects another; Begin and End put the play head on that state and make it the edited one;
  // choosing none or leaving drops the choice and the side.
  void transitionListChoosesAndSeeks()
  {
    Segment *picture = editPicture(0, -1);
    if (picture->transitionCount() < 2)
      picture->insertTransition(0.5f, picture->rangeStart() + 2);
    QCOMPARE(picture->transitionCount(), 2);
    SegmentWidget *block = session.block(picture);
    window()->segmentInspectorWidget_onEnterEditTransition(nullptr);
    QVERIFY(window()->isEditingTransitions());
    QTRY_COMPARE(block->transitionId(), 1);
    QCOMPARE(window()->_editedTransitionEnd, 1);

    window()->segmentInspectorWidget_onTransitionSelectionIndexChanged(nullptr, 1);
    QCOMPARE(block->transitionId(), 2);
    const float start = picture->rangeStart() + picture->transitionStart(2);
    window()->segmentInspectorWidget_onTransitionBeginOrEndPositionChanged(nullptr, 0);
    QCOMPARE(window()->_editedTransitionEnd, 0);
    QVERIFY(qAbs(window()->_playheadTime() - (start + picture->transitionDuration(2))) < 0.05f);
    window()->segmentInspectorWidget_onTransitionBeginOrEndPositionChanged(nullptr, 1);
    QCOMPARE(window()->_editedTransitionEnd, 1);
    QVERIFY(qAbs(window()->_playheadTime() - start) < 0.05f);

    window()->segmentInspectorWidget_onTransitionSelectionIndexChanged(nullptr, 5);
    QCOMPARE(block->transitionId(), 0);
    QCOMPARE(window()->_editedTransitionEnd, -1);
    window()->segmentInspectorWidget_onTransitionSelectionIndexChanged(nullptr, 0);
    window()->segmentInspectorWidget_onTransitionBeginOrEndPositionChanged(nullptr, 1);
    QCOMPARE(block->transitionId(), 1);
    window()->segmentInspectorWidget_onExitEditTransition(nullptr);
    QVERIFY(!window()->isEditingTransitions());
    QCOMPARE(block->transitionId(), 0);
    QCOMPARE(window()->_editedTransitionEnd, -1);
  }

  // The inspector's easing button opens the easing popup, whose choice lands in the transition.
  void easingChoiceFromTheInspector()
  {
    Segment *picture = editPicture(1, 1);
    QPushButton button(window());
    const int before = snapshots();
    window()->segmentInspectorWidget_onPopupEasingFunctionsWidgetOnButton(nullptr, &button);
    auto *popup = qobject_cast<PopupEasingFunctionsWidget *>(window()->_currentPopup.data());
    QVERIFY(popup);
    emit popup->easingFunctionSelected(popup, 7);
    QCOMPARE(picture->transitionEasingFunction(1), 7);
    QCOMPARE(snapshots(), before + 1);
    QTRY_VERIFY(!window()->_currentPopup);
  }

  // Requests bound to one type act only on it, whether or not the preview shows the overlay:
  // "Change Photo" asks for a picture, "Edit Text" opens the editor over the text.
  void typeBoundRequests_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("photo");
    QTest::addColumn<bool>("acts");
    QTest::newRow("picture, change photo") << "seg-2" << true << true;
    QTest::newRow("text, change photo") << "seg-3" << true << false;
    QTest::newRow("text, edit text") << "seg-3" << false << true;
    QTest::newRow("picture, edit text") << "seg-2" << false << false;
  }

  void typeBoundRequests()
  {
    QFETCH(QString, uid);
    QFETCH(bool, photo);
    QFETCH(bool, acts);
    session.edit(session.segmentByUId(uid));
    (window()->*&Access::_hideTransformWidget)();
    ScriptedDialogProvider &dialogs = window()->dialogs;
    dialogs.calls.clear();
    if (photo) {
      window()->segmentInspectorWidget_onEditPicture(nullptr, nullptr);
      QCOMPARE(dialogs.kinds(), acts ? QStringList{"getOpenFileName"} : QStringList());
      return;
    }
    window()->segmentInspectorWidget_onEditText(nullptr);
    QCOMPARE(bool(window()->*&Access::_textEditWidget), acts);
    (window()->*&Access::_endTextEditing)(false);
  }
};

TAVO_TEST_MAIN(TestInspectorGeometry)
#include "tst_inspectorgeometry.moc"
