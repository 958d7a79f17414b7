// Segment blocks: placement and speed labels, the hold-to-drag gesture with lifting and
// fly-back, colours and outlines, double clicks and editing, and transition bars.
#include "animatedlabel.h"
#include "animationswitch.h"
#include "editscrollarea.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "segmenteditingstatebackgroundwidget.h"
#include "segmentwidget.h"
#include "testenv.h"
#include "timelinefixture.h"
#include "trackwidget.h"

#include <QElapsedTimer>
#include <QGraphicsOpacityEffect>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPropertyAnimation>
#include <QSignalSpy>

// Records the rectangles a widget paints.
class PaintRecorder : public QObject
{
public:
  PaintRecorder(QWidget *widget, QList<QRect> *painted) : _painted(painted) { widget->installEventFilter(this); }

protected:
  bool eventFilter(QObject *, QEvent *event) override
  {
    if (event->type() == QEvent::Paint)
      *_painted << static_cast<QPaintEvent *>(event)->rect();
    return false;
  }

private:
  QList<QRect> *_painted;
};

class TestBlocks : public QObject
{
  Q_OBJECT
private:
  const int S = TimelineWindow::screenSide();

  // Presses the block's centre and keeps the button down until the drag starts.
  static void pressAndHold(EditScrollArea *area, SegmentWidget *block, QSignalSpy &dragSpy)
  {
    Gestures::press(area->viewport(), TimelineWindow::rectInViewport(block, area).center());
    QTRY_VERIFY(!dragSpy.isEmpty());
  }

  // Lets whatever was asked paint, until a few rounds of events paint nothing more.
  static void settle(const QList<QRect> &painted)
  {
    for (int quiet = 0, rounds = 0; quiet < 3 && rounds < 200; ++rounds) {
      const int before = painted.size();
      QCoreApplication::processEvents();
      quiet = painted.size() == before ? quiet + 1 : 0;
    }
  }

private slots:
  void placement_data()
  {
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("duration");
    QTest::addColumn<float>("zoom");
    QTest::newRow("2 s at zoom 1") << 2.0f << 3.0f << 1.0f;
    QTest::newRow("0 s at zoom 0.5") << 0.0f << 4.0f << 0.5f;
    QTest::newRow("1.5 s at zoom 3") << 1.5f << 0.5f << 3.0f;
  }
  void placement()
  {
    QFETCH(float, start);
    QFETCH(float, duration);
    QFETCH(float, zoom);
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("IMAGE", 0, 1);
    block->segment()->setRangeStart(start);
    block->segment()->setDuration(duration);
    const QRect target(int(60 + start * 24 * zoom + S), 0, int(duration * 24 * zoom), 44);
    QElapsedTimer clock;
    clock.start();
    block->setScale(zoom, true);
    QCOMPARE(block->paintWidth(), target.width()); // at once, though the move is animated
    QVERIFY(block->geometry() != target);
    QTRY_COMPARE(block->geometry(), target);
    QVERIFY2(clock.elapsed() >= 280, qPrintable(QString("moved in %1 ms").arg(clock.elapsed())));
    // Back at once without animations.
    AnimationsOff off;
    block->setScale(1.0f, true);
    QCOMPARE(block->geometry().width(), int(duration * 24));
  }

  // An animated move shows only where the block can be seen, before or after it; a long row
  // moves its blocks off screen at once.
  void animatedMovesOnlyInView_data()
  {
    QTest::addColumn<float>("from");
    QTest::addColumn<float>("to");
    QTest::addColumn<bool>("animates");
    QTest::newRow("within the view") << 1.0f << 3.0f << true;
    QTest::newRow("into the view") << 400.0f << 2.0f << true;
    QTest::newRow("out of the view") << 2.0f << 400.0f << true;
    QTest::newRow("off screen all the way") << 400.0f << 420.0f << false;
  }
  void animatedMovesOnlyInView()
  {
    QFETCH(float, from);
    QFETCH(float, to);
    QFETCH(bool, animates);
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("IMAGE", from, 1);
    block->setScale(1.0f, false);
    block->segment()->setRangeStart(to);
    const QRect target(int(60 + to * 24 + S), 0, 24, 44);
    block->setScale(1.0f, true);
    QCOMPARE(block->geometry() != target, animates);
    QTRY_COMPARE(block->geometry(), target);
  }

  void unseenMoveOutlastsARunningAnimation()
  {
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("IMAGE", 400, 1);
    block->setScale(1.0f, false);
    block->segment()->setRangeStart(2);
    block->setScale(1.0f, true);
    block->segment()->setRangeStart(420);
    block->setScale(1.0f, true);
    const QRect target(int(60 + 420 * 24 + S), 0, 24, 44);
    QCOMPARE(block->geometry(), target);
    QTRY_VERIFY(block->findChildren<QPropertyAnimation *>().isEmpty());
    QCOMPARE(block->geometry(), target);
  }

  void speedLabels_data()
  {
    QTest::addColumn<float>("speed");
    QTest::addColumn<QString>("label");
    QTest::newRow("1.0") << 1.0f << QString();
    QTest::newRow("2.0") << 2.0f << "2X";
    QTest::newRow("1.5") << 1.5f << "1.5X";
    QTest::newRow("0.75") << 0.75f << "0.75X";
    QTest::newRow("0.25") << 0.25f << "0.25X";
    QTest::newRow("3.0") << 3.0f << "3X";
  }
  void speedLabels()
  {
    QFETCH(float, speed);
    QFETCH(QString, label);
    TimelineWindow w;
    QCOMPARE(w.addBlock("TEXT", 0, 2, speed)->speedLabel(), label);
  }

  void holdDragsAndReleaseFliesBack_data()
  {
    QTest::addColumn<bool>("animations");
    QTest::newRow("animated") << true;
    QTest::newRow("switch off") << false;
  }
  void holdDragsAndReleaseFliesBack()
  {
    QFETCH(bool, animations);
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 4)});
    SegmentWidget *block = row->segmentWidgetAt(0);
    const QRect home = block->geometry();
    AnimationsOff off;
    setAnimationEnabled(animations);
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    QSignalSpy moveSpy(block, &SegmentWidget::segmentWidgetDraggingMoving);

    QElapsedTimer clock;
    clock.start();
    pressAndHold(w.area, block, dragSpy);
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString("dragging after %1 ms").arg(clock.elapsed())));
    QCOMPARE(dragSpy.first().at(1).toBool(), true);
    QVERIFY(block->isDragging());
    if (animations)
      QTRY_COMPARE(block->dragTint().alpha(), 77);
    QCOMPARE(block->dragTint(), QColor(255, 255, 0, 77));

    // The first move lifts the block into the window's central widget, drawn at 0.4.
    QWidget blank(w.window.centralWidget());
    blank.resize(10, 10);
    const QRgb under = PixelProbe::grab(&blank).pixel(5, 5);
    const QPoint from = TimelineWindow::rectInViewport(block, w.area).center();
    const QPoint globalBefore = block->mapToGlobal(QPoint(0, 0));
    Gestures::moveInSteps(w.area->viewport(), from, from + QPoint(40, 60), 4);
    QCOMPARE(block->parentWidget(), w.window.centralWidget());
    QVERIFY(block->isDetached());
    QCOMPARE(moveSpy.count(), 4);
    QCOMPARE(block->mapToGlobal(QPoint(0, 0)), globalBefore + QPoint(40, 60));
    const QImage lifted = PixelProbe::grab(block);
    // Each layer (grey fill, then the yellow tint) at 0.4 over what the grab lies on.
    const auto layered = [](int under, int fill, int tint) {
      const double base = 0.6 * under + 0.4 * fill;
      return int(base + (tint - base) * 0.4 * 77 / 255);
    };
    PROBE(lifted, block->width() / 2, 22,
          QColor(layered(qRed(under), 51, 255), layered(qGreen(under), 51, 255), layered(qBlue(under), 51, 0)), 4);

    // Released over nothing that takes it: back home, flying when animated.
    QElapsedTimer flight;
    flight.start();
    Gestures::release(w.window.centralWidget(), block->geometry().center());
    if (animations) {
      QCOMPARE(block->parentWidget(), w.window.centralWidget());
      QTRY_COMPARE(block->parentWidget(), row);
      QVERIFY2(flight.elapsed() >= 190, qPrintable(QString("flew %1 ms").arg(flight.elapsed())));
    }
    QCOMPARE(block->parentWidget(), row);
    QCOMPARE(block->geometry(), home);
    QVERIFY(!block->isDragging());
    QCOMPARE(dragSpy.last().at(1).toBool(), false);
  }

  void withoutAnEditorWindowTheDragStaysInPlace()
  {
    TimelineWindow w;
    w.window.setObjectName("PlainWindow");
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 4)});
    SegmentWidget *block = row->segmentWidgetAt(0);
    const QRect home = block->geometry();
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    QSignalSpy moveSpy(block, &SegmentWidget::segmentWidgetDraggingMoving);
    pressAndHold(w.area, block, dragSpy);
    const QPoint from = TimelineWindow::rectInViewport(block, w.area).center();
    Gestures::moveInSteps(w.area->viewport(), from, from + QPoint(30, 30), 3);
    QCOMPARE(moveSpy.count(), 3);
    QCOMPARE(block->parentWidget(), row);
    QVERIFY(!block->isDetached());
    Gestures::release(w.area->viewport(), from + QPoint(30, 30));
    QVERIFY(!block->isDragging());
    QCOMPARE(block->geometry(), home);
  }

  void shortPressNeverDrags()
  {
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("IMAGE", 2, 4);
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    QSignalSpy pressSpy(block, &SegmentWidget::segmentWidgetMousePressed);
    const QPoint at = TimelineWindow::rectInViewport(block, w.area).center();
    Gestures::press(w.area->viewport(), at);
    Gestures::hold(150);
    Gestures::release(w.area->viewport(), at);
    QTRY_COMPARE(pressSpy.count(), 1);
    Gestures::hold(400);
    QCOMPARE(dragSpy.count(), 0);
    QVERIFY(!block->isDragging());
  }

  void blockColours_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("MUSIC") << "MUSIC" << QColor(64, 64, 40);
    QTest::newRow("VOICE") << "VOICE" << QColor(37, 44, 63);
    QTest::newRow("TEXT") << "TEXT" << QColor(65, 45, 46);
    QTest::newRow("IMAGE") << "IMAGE" << QColor(51, 51, 51);
  }
  void blockColours()
  {
    QFETCH(QString, type);
    QFETCH(QColor, colour);
    TimelineWindow w;
    SegmentWidget *block = w.addBlock(type, 0, 4);
    const QImage shot = PixelProbe::grab(block);
    PROBE(shot, block->width() / 2, 30, colour, 3);
  }

  void selectedAndInactiveOutlines()
  {
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("IMAGE", 0, 4);
    block->setSelected(true);
    QImage shot = PixelProbe::grab(block);
    PROBE(shot, 40, 1, QColor(255, 255, 0), 10);
    PROBE(shot, 40, 22, QColor(51, 51, 51), 3);

    // Inactive: dashed, under the black tint at alpha 128.
    block->setActive(false, false);
    shot = PixelProbe::grab(block);
    const QColor dimYellow(128, 128, 0);
    const QColor dimGrey(26, 26, 26);
    int yellow = 0, gaps = 0;
    for (int x = 20; x < 60; ++x) {
      if (PixelProbe::near(shot.pixel(x, 1), dimYellow, 20))
        ++yellow;
      else if (PixelProbe::near(shot.pixel(x, 1), dimGrey, 20))
        ++gaps;
    }
    QVERIFY2(yellow >= 8 && gaps >= 8, qPrintable(QString("%1 dashes, %2 gaps").arg(yellow).arg(gaps)));
    PROBE(shot, 40, 22, dimGrey, 3);

    // Active again, fading the tint out.
    block->setActive(true, true);
    QTRY_COMPARE(block->inactiveTint().alpha(), 0);
    QVERIFY(block->isActive());
  }

  void loadingIndicator()
  {
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("MOVIE", 0, 4);
    block->showLoadingIndicator();
    AnimatedLabel *spinner = block->loadingIndicator();
    QVERIFY(spinner && spinner->isVisible());
    QCOMPARE(spinner->geometry(), QRect(5, 5, 34, 34));
    block->showLoadingIndicator(); // one is enough
    QCOMPARE(block->loadingIndicator(), spinner);
    block->hideLoadingIndicator();
    QVERIFY(!block->loadingIndicator());
    QVERIFY(block->findChildren<AnimatedLabel *>().isEmpty());
  }

  void doubleClicks()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("MOVIE", 0, 4), w.makeSegment("IMAGE", 5, 2)});
    SegmentWidget *failed = row->segmentWidgetAt(0);
    SegmentWidget *fine = row->segmentWidgetAt(1);
    failed->segment()->setError(SegmentLoadError);
    QSignalSpy areaSpy(w.area, &EditScrollArea::editScrollAreaDoubleClickedOnFailedSegment);
    QSignalSpy failedSpy(failed, &SegmentWidget::segmentWidgetDoubleClickedOnFailedSegment);

    const QPoint at = TimelineWindow::rectInViewport(failed, w.area).center();
    QTest::mouseDClick(failed, Qt::LeftButton, Qt::NoModifier, failed->rect().center());
    QCOMPARE(failedSpy.count(), 1);
    QCOMPARE(areaSpy.count(), 1);
    QCOMPARE(areaSpy.first().at(1).toPoint(), w.area->viewport()->mapToGlobal(at));
    QVERIFY(!failed->isEditing());
    // The menu command still toggles it.
    failed->toggleEditing();
    QVERIFY(failed->isEditing());
    failed->toggleEditing();
    QVERIFY(!failed->isEditing());

    QSignalSpy editSpy(fine, &SegmentWidget::segmentWidgetEditingStateChanged);
    QTest::mouseDClick(fine, Qt::LeftButton, Qt::NoModifier, fine->rect().center());
    QVERIFY(fine->isEditing());
    QCOMPARE(editSpy.count(), 1);
    QCOMPARE(w.area->editingSegmentWidget(), fine);
    QTest::mouseDClick(fine, Qt::RightButton, Qt::NoModifier, fine->rect().center());
    QVERIFY(fine->isEditing());
    fine->toggleEditing();
    QVERIFY(!fine->isEditing());
    QVERIFY(!w.area->isEditingSegment());

    // Locked: neither the double click nor the command.
    row->setLocked(true, nullptr);
    fine->toggleEditing();
    QTest::mouseDClick(fine, Qt::LeftButton, Qt::NoModifier, fine->rect().center());
    QVERIFY(!fine->isEditing());
    QCOMPARE(editSpy.count(), 2);
  }

  void editingBackgroundComesAndGoes()
  {
    TimelineWindow w;
    SegmentWidget *block = w.addBlock("MUSIC", 3, 2);
    QVERIFY(block->hasNoEditingBackground());
    block->toggleEditing();
    QVERIFY(!block->hasNoEditingBackground());
    block->toggleEditing();
    QVERIFY(!block->hasNoEditingBackground()); // fading out
    QTRY_VERIFY(block->hasNoEditingBackground());
    AnimationsOff off;
    block->toggleEditing();
    block->toggleEditing();
    QVERIFY(block->hasNoEditingBackground());
  }

  void backgroundGoesWithItsBlock()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("MOVIE", 3, 2)});
    AnimationsOff off;
    row->segmentWidgetAt(0)->toggleEditing();
    QCOMPARE(row->findChildren<SegmentEditingStateBackgroundWidget *>().size(), 1);
    row->removeSegment(row->segmentWidgetAt(0)->segment(), false);
    QCOMPARE(row->findChildren<SegmentEditingStateBackgroundWidget *>().size(), 0);
    QVERIFY(!w.area->isEditingSegment());
  }

  void rowRemovedUnderALiftedBlock()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 4)});
    SegmentWidget *block = row->segmentWidgetAt(0);
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    pressAndHold(w.area, block, dragSpy);
    const QPoint from = TimelineWindow::rectInViewport(block, w.area).center();
    Gestures::moveInSteps(w.area->viewport(), from, from + QPoint(0, 80), 2);
    QCOMPARE(block->parentWidget(), w.window.centralWidget());
    w.area->removeTrackWidget(row);
    QTRY_VERIFY(w.window.centralWidget()->findChildren<SegmentWidget *>().isEmpty());
    Gestures::release(w.window.centralWidget(), QPoint(100, 100));
    QVERIFY(!w.area->selectedSegmentWidget());
  }

  // A block's change repaints the rows only where it can be seen: thousands of blocks out of
  // view or on a hidden row change while a project opens.
  void changeRepaintsOnlyInView_data()
  {
    QTest::addColumn<float>("start");
    QTest::addColumn<bool>("rowShown");
    QTest::addColumn<bool>("repaints");
    QTest::newRow("in view") << 2.0f << true << true;
    QTest::newRow("right of the view") << 400.0f << true << false;
    QTest::newRow("on a hidden row") << 2.0f << false << false;
  }
  void changeRepaintsOnlyInView()
  {
    QFETCH(float, start);
    QFETCH(bool, rowShown);
    QFETCH(bool, repaints);
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("TEXT", start, 1)}, 500);
    SegmentWidget *block = row->segmentWidgetAt(0);
    row->setVisible(rowShown);
    QList<QRect> painted;
    QWidget *rows = w.area->widget();
    PaintRecorder recorder(rows, &painted);
    // Whatever the set-up asked for is painted first.
    settle(painted);
    painted.clear();
    w.area->updateBlockInView(block);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QRect place = block->geometry().translated(row->pos());
    bool covered = false;
    for (const QRect &r : qAsConst(painted))
      covered = covered || r.intersects(place);
    QCOMPARE(covered, repaints);
    if (!repaints)
      QVERIFY2(painted.isEmpty(), "the rows repainted for a block that cannot be seen");
  }

  // The content grows as rows are added below (the last empty row of an opened project): the
  // blocks already in view are not painted again for it.
  void growingContentKeepsBlocksPainted()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("TEXT", 2, 1)}, 20);
    QList<QRect> painted;
    PaintRecorder recorder(row->segmentWidgetAt(0), &painted);
    settle(painted);
    QVERIFY(!painted.isEmpty());
    painted.clear();
    const int height = w.area->widget()->height();
    for (int i = 0; i < 3; ++i)
      w.addTrack({}, 20);
    settle(painted);
    QVERIFY(w.area->widget()->height() > height);
    QVERIFY2(painted.isEmpty(), "a block in view was painted again for the content's growth");
  }

  void transitionBars_data()
  {
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("dx");
    QTest::addColumn<QString>("limit");
    // Bars near 1-2 s and 5-6 s on a 10-s block, 240 pixels wide.
    QTest::newRow("first bar far left stops at the edge") << 1 << -200 << "edge";
    QTest::newRow("first bar right stops short of the second") << 1 << 300 << "next";
    QTest::newRow("second bar left stops short of the first") << 2 << -300 << "previous";
    QTest::newRow("second bar far right sits flush at the end") << 2 << 400 << "end";
    QTest::newRow("second bar a second later") << 2 << 24 << "free";
  }
  void transitionBars()
  {
    QFETCH(int, bar);
    QFETCH(int, dx);
    QFETCH(QString, limit);
    TimelineWindow w(1200, 300);
    Segment *s = w.makeSegment("IMAGE", 0, 10);
    QCOMPARE(s->insertTransition(1, 1), 1);
    QCOMPARE(s->insertTransition(1, 5), 2);
    const float end1 = s->transitionStart(1) + s->transitionDuration(1);
    const float start2 = s->transitionStart(2);
    const float length = s->transitionDuration(bar);
    float expected = s->transitionStart(bar) + 1.0f;
    if (limit == "edge")
      expected = 0;
    else if (limit == "next")
      expected = start2 - 0.04f - length;
    else if (limit == "previous")
      expected = end1 + 0.04f;
    else if (limit == "end")
      expected = 10 - length;
    TrackWidget *row = w.addTrack({s});
    SegmentWidget *block = row->segmentWidgetAt(0);
    QCOMPARE(block->width(), 240);
    QCOMPARE(block->transitionRect(2), QRect(qRound(start2 * 24), 0, qRound(s->transitionDuration(2) * 24), 44));
    block->toggleEditing();
    QSignalSpy idSpy(block, &SegmentWidget::segmentWidgetTransitionIdChanged);
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingTransitionChanged);

    const QPoint grab(block->transitionRect(bar).center().x(), 22);
    QTest::mousePress(block, Qt::LeftButton, Qt::NoModifier, grab);
    QCOMPARE(block->transitionId(), bar);
    QCOMPARE(idSpy.count(), 1);
    QCOMPARE(dragSpy.last().at(1).toInt(), 1);
    for (int i = 1; i <= 4; ++i) {
      const QPoint at = grab + QPoint(dx * i / 4, 0);
      QMouseEvent move(QEvent::MouseMove, at, block->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(block, &move);
    }
    QCOMPARE(dragSpy.last().at(1).toInt(), 5);
    QTest::mouseRelease(block, Qt::LeftButton, Qt::NoModifier, grab + QPoint(dx, 0));
    QCOMPARE(dragSpy.last().at(1).toInt(), 0);
    QVERIFY2(qAbs(s->transitionStart(bar) - expected) < 0.005f,
             qPrintable(QString("bar %1 starts at %2 s, not %3 s").arg(bar).arg(s->transitionStart(bar)).arg(expected)));
    QVERIFY(!block->isDragging()); // editing blocks never hold-drag
  }
};

TAVO_TEST_MAIN(TestBlocks)
#include "tst_blocks.moc"
