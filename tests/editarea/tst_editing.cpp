// The editing state: trim bars and where they may go, the rows lowered for a first-row block,
// and the transition handles with their bounds and reports.
#include "animationswitch.h"
#include "editscrollarea.h"
#include "gestures.h"
#include "imagesegment.h"
#include "segmentwidget.h"
#include "testenv.h"
#include "timelinefixture.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QLabel>
#include <QSignalSpy>

namespace {
// A picture whose media ends at `end` seconds: it refuses to trim its end past it.
class ShortMedia : public ImageSegment
{
public:
  explicit ShortMedia(float end)
    : ImageSegment(QStringLiteral("/nonexistent/picture.png"), 0, end, nullptr, nullptr), _end(end)
  {}
  bool moveRightEdge(float *time) override
  {
    const bool taken = *time <= _end;
    *time = qMin(*time, _end);
    return ImageSegment::moveRightEdge(time) && taken;
  }

private:
  float _end;
};
} // namespace

class TestEditing : public QObject
{
  Q_OBJECT
private:
  static QPoint inViewport(EditScrollArea *area, QWidget *w, const QPoint &p)
  {
    return w->mapTo(area->viewport(), p);
  }
  // The centre of a label's top edge, where a drag of it is anchored.
  static QPoint grabPoint(EditScrollArea *area, QLabel *label)
  {
    return inViewport(area, label, QPoint(label->width() / 2, label->height() / 2));
  }
  static void drag(EditScrollArea *area, const QPoint &from, int dx)
  {
    Gestures::press(area->viewport(), from);
    Gestures::moveInSteps(area->viewport(), from, from + QPoint(dx, 0), 3);
    Gestures::release(area->viewport(), from + QPoint(dx, 0));
  }
  static int centreX(QLabel *label)
  {
    return label->x() + label->width() / 2;
  }

private slots:
  void init()
  {
    UserSettings::instance()->setAutoDragDropAlign(true);
  }

  void barsAndLoweredRows_data()
  {
    QTest::addColumn<bool>("animations");
    QTest::newRow("animated") << true;
    QTest::newRow("switch off") << false;
  }
  void barsAndLoweredRows()
  {
    QFETCH(bool, animations);
    AnimationsOff off;
    setAnimationEnabled(animations);
    TimelineWindow w;
    TrackWidget *first = w.addTrack({w.makeSegment("IMAGE", 2, 3)});
    TrackWidget *second = w.addTrack({w.makeSegment("IMAGE", 6, 2)});
    SegmentWidget *a = first->segmentWidgetAt(0);
    SegmentWidget *b = second->segmentWidgetAt(0);
    QSignalSpy entered(w.area, &EditScrollArea::editScrollAreaDidEnterEditingSegment);
    QSignalSpy finished(w.area, &EditScrollArea::editScrollAreaDidFinishEditingSegment);
    QSignalSpy immediately(w.area, &EditScrollArea::editScrollAreaDidFinishEditingSegmentImmediately);

    Gestures::doubleClick(w.area->viewport(), TimelineWindow::rectInViewport(a, w.area).center());
    QTRY_VERIFY(a->isEditing());
    QCOMPARE(entered.count(), 1);
    QVERIFY(a->isSelected());
    QPointer<QLabel> left = w.area->leftTrimBar();
    QPointer<QLabel> right = w.area->rightTrimBar();
    QVERIFY(left && right);
    QCOMPARE(left->width(), 26);
    if (!animations) {
      QCOMPARE(first->y(), 50);
      QCOMPARE(second->y(), 94);
    }
    QTRY_COMPARE(second->y(), 94);
    const auto barsOn = [&](SegmentWidget *block) {
      const QRect r(w.area->widget()->mapFromGlobal(block->mapToGlobal(QPoint(0, 0))), block->size());
      return left->pos() == QPoint(r.x() - 13, r.bottom() + 1 - left->height()) &&
             right->pos() == QPoint(r.x() + r.width() - 13, left->y());
    };
    QTRY_VERIFY(barsOn(a));

    // On to the second row: the rows go back up and the new bars with them.
    Gestures::doubleClick(w.area->viewport(), TimelineWindow::rectInViewport(b, w.area).center());
    QTRY_VERIFY(b->isEditing());
    QVERIFY(!a->isEditing());
    QCOMPARE(immediately.count(), 1);
    QCOMPARE(finished.count(), 0);
    QTRY_VERIFY(!left); // the old bars are gone (at once or after their fade)
    left = w.area->leftTrimBar();
    right = w.area->rightTrimBar();
    if (!animations)
      QCOMPARE(first->y(), 0);
    QTRY_COMPARE(first->y(), 0);
    QTRY_VERIFY(barsOn(b));

    // Leaving: no bars.
    Gestures::doubleClick(w.area->viewport(), TimelineWindow::rectInViewport(b, w.area).center());
    QTRY_VERIFY(!b->isEditing());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!w.area->leftTrimBar());
    if (!animations)
      QVERIFY(!left);
    QTRY_VERIFY(!left && !right);
  }

  void grabZone_data()
  {
    QTest::addColumn<QPoint>("offset"); // from the bar's top-left
    QTest::addColumn<bool>("grabbed");
    QTest::newRow("40 left, 40 above") << QPoint(-40, -40) << true;
    QTest::newRow("41 left") << QPoint(-41, -10) << false;
    QTest::newRow("41 above") << QPoint(-10, -41) << false;
  }
  void grabZone()
  {
    QFETCH(QPoint, offset);
    QFETCH(bool, grabbed);
    AnimationsOff off;
    TimelineWindow w;
    // The third row, so the zone above the bar lies inside the view; no block under the zone.
    w.addTrack({w.makeSegment("IMAGE", 8, 1)});
    w.addTrack({w.makeSegment("IMAGE", 8, 1)});
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 4, 3)});
    row->segmentWidgetAt(0)->toggleEditing();
    QVERIFY(inViewport(w.area, w.area->leftTrimBar(), offset).y() > 0);
    QSignalSpy begin(w.area, &EditScrollArea::editScrollAreaBeginTrimSegment);
    QSignalSpy reload(w.area, &EditScrollArea::editScrollAreaReloadPreviewForSegment);
    const QPoint at = inViewport(w.area, w.area->leftTrimBar(), offset);
    Gestures::press(w.area->viewport(), at);
    Gestures::release(w.area->viewport(), at);
    QCOMPARE(begin.count(), grabbed ? 1 : 0);
    QCOMPARE(reload.count(), grabbed ? 1 : 0);
    if (grabbed)
      QCOMPARE(reload.first().at(1).toBool(), true);
  }

  void trims_data()
  {
    QTest::addColumn<bool>("leftBar");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("autoAlign");
    QTest::addColumn<int>("dx");
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("end");
    // The block is 4-8 s on row 1; row 0 holds a block ending at 3.0 s and one starting at 9.1 s.
    // 24 pixels a second: a drag of -22 px puts the left edge at 3.08 s.
    QTest::newRow("left, overwrite: snaps") << true << true << true << -22 << 3.0f << 8.0f;
    QTest::newRow("left, no overwrite: free") << true << false << true << -22 << 3.0833f << 8.0f;
    QTest::newRow("right, auto-align: snaps") << false << false << true << 24 << 4.0f << 9.1f;
    QTest::newRow("right, no auto-align: free") << false << false << false << 24 << 4.0f << 9.0f;
    QTest::newRow("left never passes the right bar") << true << false << true << 400 << 6.9167f << 8.0f;
    QTest::newRow("right never passes the left bar") << false << false << false << -400 << 4.0f << 5.0833f;
    QTest::newRow("left stops at time 0") << true << false << false << -200 << 0.0f << 8.0f;
  }
  void trims()
  {
    QFETCH(bool, leftBar);
    QFETCH(bool, overwrite);
    QFETCH(bool, autoAlign);
    QFETCH(int, dx);
    QFETCH(float, start);
    QFETCH(float, end);
    AnimationsOff off;
    UserSettings::instance()->setAutoDragDropAlign(autoAlign);
    TimelineWindow w;
    w.addTrack({w.makeSegment("IMAGE", 1, 2), w.makeSegment("IMAGE", 9.1f, 1)});
    Segment *s = w.makeSegment("IMAGE", 4, 4);
    SegmentWidget *block = w.addTrack({s})->segmentWidgetAt(0);
    connect(w.area, &EditScrollArea::editScrollAreaGetSegmentOverwriteMode, this,
            [overwrite](bool &ret) { ret = overwrite; }, Qt::DirectConnection);
    QSignalSpy seek(w.area, &EditScrollArea::editScrollAreaSeekToTime);
    QSignalSpy reload(w.area, &EditScrollArea::editScrollAreaReloadPreviewForSegment);
    block->toggleEditing();
    QLabel *bar = leftBar ? w.area->leftTrimBar() : w.area->rightTrimBar();
    drag(w.area, grabPoint(w.area, bar), dx);
    QVERIFY2(qAbs(s->rangeStart() - start) < 0.002f, qPrintable(QString("starts at %1").arg(s->rangeStart())));
    QVERIFY2(qAbs(s->rangeStart() + s->duration() - end) < 0.002f,
             qPrintable(QString("ends at %1").arg(s->rangeStart() + s->duration())));
    QVERIFY(qAbs(seek.last().at(0).toFloat() - (leftBar ? start : end)) < 0.002f);
    QCOMPARE(reload.count(), 1);
    QCOMPARE(reload.first().at(1).toBool(), leftBar);
    // The bar stands on the edge it moved; the bars never overlap.
    const float edge = leftBar ? s->rangeStart() : s->rangeStart() + s->duration();
    QVERIFY(qAbs(centreX(bar) - (60 + edge * 24)) <= 1);
    QVERIFY(w.area->leftTrimBar()->geometry().right() < w.area->rightTrimBar()->x());
    QCOMPARE(block->geometry().width(), int(s->duration() * 24));
  }

  void refusedTrimSitsAtTheCorrectedTime()
  {
    AnimationsOff off;
    UserSettings::instance()->setAutoDragDropAlign(false);
    TimelineWindow w;
    auto *s = new ShortMedia(5);
    w.segments.emplace_back(s);
    s->setDuration(3);
    SegmentWidget *block = w.addTrack({s})->segmentWidgetAt(0);
    QSignalSpy seek(w.area, &EditScrollArea::editScrollAreaSeekToTime);
    block->toggleEditing();
    drag(w.area, grabPoint(w.area, w.area->rightTrimBar()), 96);
    QCOMPARE(s->duration(), 5.0f);
    QCOMPARE(seek.last().at(0).toFloat(), 5.0f);
    QCOMPARE(centreX(w.area->rightTrimBar()), 60 + 5 * 24);
  }

  void pictureStartNeverNegative()
  {
    // Dragged to content x 30 the plain trim would take -1.25 s and save it.
    AnimationsOff off;
    UserSettings::instance()->setAutoDragDropAlign(false);
    TimelineWindow w;
    Segment *s = w.makeSegment("IMAGE", 1, 3);
    w.addTrack({s})->segmentWidgetAt(0)->toggleEditing();
    QLabel *bar = w.area->leftTrimBar();
    drag(w.area, grabPoint(w.area, bar), 30 - centreX(bar));
    QCOMPARE(s->rangeStart(), 0.0f);
    QCOMPARE(s->duration(), 4.0f);
    QCOMPARE(centreX(bar), 60);
  }

  void transitionHandles_data()
  {
    QTest::addColumn<int>("transition");
    QTest::addColumn<bool>("beginHandle");
    QTest::addColumn<int>("dx");
    QTest::addColumn<QString>("limit");
    // Transitions at 1-2 s and 5-6 s of a 10-s block starting at 0.
    QTest::newRow("begin of 1 stops at the segment's start") << 1 << true << -200 << "start";
    QTest::newRow("begin of 2 stops after transition 1") << 2 << true << -300 << "after 1";
    QTest::newRow("end of 2 stops before the segment's end") << 2 << false << 300 << "end";
    QTest::newRow("end of 1 stops before transition 2") << 1 << false << 300 << "before 2";
    QTest::newRow("begin keeps 4 px left of the end") << 1 << true << 200 << "4 px";
    QTest::newRow("end keeps 4 px right of the begin") << 2 << false << -200 << "4 px";
  }
  void transitionHandles()
  {
    QFETCH(int, transition);
    QFETCH(bool, beginHandle);
    QFETCH(int, dx);
    QFETCH(QString, limit);
    AnimationsOff off;
    TimelineWindow w(1200, 300);
    Segment *s = w.makeSegment("IMAGE", 0, 10);
    QCOMPARE(s->insertTransition(1, 1), 1);
    QCOMPARE(s->insertTransition(1, 5), 2);
    const double end1 = s->transitionStart(1) + s->transitionDuration(1);
    const double start2 = s->transitionStart(2);
    const double end2 = start2 + s->transitionDuration(2);
    SegmentWidget *block = w.addTrack({s})->segmentWidgetAt(0);
    block->toggleEditing();
    block->setTransitionId(transition);
    QLabel *begin = w.area->leftTransitionHandle();
    QLabel *end = w.area->rightTransitionHandle();
    QVERIFY(begin && end && begin->isVisible());
    QCOMPARE(begin->width(), 34);
    QCOMPARE(begin->geometry().bottom() + 1, block->mapTo(w.area->widget(), QPoint(0, 0)).y());
    QSignalSpy range(w.area, &EditScrollArea::editScrollAreaDidTransitionRangeChange);
    QSignalSpy endTrim(w.area, &EditScrollArea::editScrollAreaEndTrimTransition);

    QLabel *handle = beginHandle ? begin : end;
    drag(w.area, grabPoint(w.area, handle), dx);
    QVERIFY(range.count() > 0);
    QCOMPARE(endTrim.count(), 1);
    QCOMPARE(endTrim.first().at(2).toBool(), true);
    const double from = s->transitionStart(transition);
    const double to = from + s->transitionDuration(transition);
    const double moved = beginHandle ? from : to;
    double expected = 0;
    if (limit == "after 1")
      expected = end1 + 0.04;
    else if (limit == "end")
      expected = 10 - 0.04;
    else if (limit == "before 2")
      expected = start2 - 0.04;
    if (limit == "4 px") {
      QCOMPARE(centreX(end) - centreX(begin), 4);
    } else {
      QVERIFY2(qAbs(moved - expected) < 0.002, qPrintable(QString("handle at %1 s").arg(moved)));
      QVERIFY(qAbs(centreX(handle) - (60 + expected * 24)) <= 1);
    }
    // The other end stays.
    if (beginHandle && limit != "4 px")
      QVERIFY(qAbs(to - (transition == 1 ? end1 : end2)) < 0.002);
  }

  void tapOnAHandle()
  {
    AnimationsOff off;
    TimelineWindow w;
    Segment *s = w.makeSegment("IMAGE", 0, 10);
    s->insertTransition(2, 3);
    SegmentWidget *block = w.addTrack({s})->segmentWidgetAt(0);
    block->toggleEditing();
    block->setTransitionId(1);
    QSignalSpy seek(w.area, &EditScrollArea::editScrollAreaSeekToTransition);
    QSignalSpy tapped(w.area, &EditScrollArea::editScrollAreaTappedOnTransitionBar);
    QSignalSpy reload(w.area, &EditScrollArea::editScrollAreaReloadPreviewForTransition);
    QSignalSpy endTrim(w.area, &EditScrollArea::editScrollAreaEndTrimTransition);
    const QPoint at = grabPoint(w.area, w.area->rightTransitionHandle());
    Gestures::press(w.area->viewport(), at);
    Gestures::release(w.area->viewport(), at);
    QCOMPARE(seek.count(), 1);
    QCOMPARE(tapped.count(), 1);
    QCOMPARE(reload.count(), 0);
    QCOMPARE(endTrim.count(), 1);
    QCOMPARE(endTrim.first(), (QList<QVariant>{1, false, false}));

    // Choosing no transition removes the handles; leaving the block does too.
    block->setTransitionId(0);
    QVERIFY(!w.area->leftTransitionHandle() && !w.area->rightTransitionHandle());
    block->setTransitionId(1);
    block->toggleEditing();
    QCOMPARE(block->transitionId(), 0);
    QVERIFY(!w.area->leftTransitionHandle());
  }

  void movingTheTransitionBar_data()
  {
    QTest::addColumn<int>("dx");
    QTest::newRow("moved") << 24;
    QTest::newRow("tapped") << 0;
  }
  void movingTheTransitionBar()
  {
    QFETCH(int, dx);
    AnimationsOff off;
    TimelineWindow w;
    Segment *s = w.makeSegment("IMAGE", 0, 10);
    s->insertTransition(1, 3);
    SegmentWidget *block = w.addTrack({s})->segmentWidgetAt(0);
    block->toggleEditing();
    QSignalSpy begin(w.area, &EditScrollArea::editScrollAreaBeginMoveTransition);
    QSignalSpy reload(w.area, &EditScrollArea::editScrollAreaReloadPreviewForTransition);
    QSignalSpy end(w.area, &EditScrollArea::editScrollAreaEndMoveTransition);
    const QPoint at = inViewport(w.area, block, block->transitionRect(1).center());
    Gestures::press(w.area->viewport(), at);
    QCOMPARE(block->transitionId(), 1);
    QVERIFY(w.area->leftTransitionHandle());
    const int handleX = w.area->leftTransitionHandle()->x();
    if (dx)
      Gestures::moveInSteps(w.area->viewport(), at, at + QPoint(dx, 0), 2);
    Gestures::release(w.area->viewport(), at + QPoint(dx, 0));
    QCOMPARE(begin.count(), 1);
    QCOMPARE(begin.first(), (QList<QVariant>{1, false}));
    QCOMPARE(reload.count(), dx ? 1 : 0);
    QCOMPARE(end.count(), 1);
    QCOMPARE(end.first(), (QList<QVariant>{1, false, dx != 0}));
    QCOMPARE(w.area->leftTransitionHandle()->x(), handleX + dx); // the handles follow the bar
  }
};

TAVO_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
