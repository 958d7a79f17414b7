// Dragging blocks and rows: where a drop lands, which rows take which blocks, the drop
// targets and their outcomes, edge scrolling, and reordering rows.
#include "animationswitch.h"
#include "editscrollarea.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "segmentdraggingframewidget.h"
#include "segmentdraggingoperationwidget.h"
#include "segmentwidget.h"
#include "slideshowlabel.h"
#include "testenv.h"
#include "timelinefixture.h"
#include "tooltipbutton.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QSignalSpy>

#include <memory>

class TestDrag : public QObject
{
  Q_OBJECT
private:
  // Holds the block until it drags, then moves the cursor by delta (in the central widget).
  static QPoint liftAndMove(TimelineWindow &w, SegmentWidget *block, const QPoint &delta)
  {
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    const QPoint from = TimelineWindow::rectInViewport(block, w.area).center();
    Gestures::press(w.area->viewport(), from);
    if (!QTest::qWaitFor([&] { return !dragSpy.isEmpty(); }))
      qWarning("the block never started dragging");
    QWidget *central = w.window.centralWidget();
    const QPoint start = w.area->viewport()->mapTo(central, from);
    Gestures::moveInSteps(central, start, start + delta, 3);
    return start + delta;
  }

  static QPoint centreIn(QWidget *central, QWidget *button)
  {
    return central->mapFromGlobal(button->mapToGlobal(button->rect().center()));
  }

private slots:
  void initTestCase()
  {
    qRegisterMetaType<TrackWidget *>();
    qRegisterMetaType<Segment *>();
  }

  void init()
  {
    UserSettings::instance()->setAutoDragDropAlign(true);
  }

  void blockDrops_data()
  {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<float>("time");
    // The block lies at 5-7 s on row 0; row 1 holds a block at 12-13 s.
    QTest::newRow("onto the lower row") << "row" << QPoint(48, 44) << 1 << 7.0f;
    QTest::newRow("left of time 0 proposes 0") << "row" << QPoint(-190, 0) << 0 << 0.0f;
    QTest::newRow("next to a block snaps to its end") << "row" << QPoint(190, 44) << 1 << 13.0f;
    QTest::newRow("below every row") << "none" << QPoint(0, 200) << -1 << 0.0f;
    QTest::newRow("onto Remove") << "remove" << QPoint() << -1 << 0.0f;
    QTest::newRow("onto Duplicate") << "duplicate" << QPoint() << -1 << 0.0f;
    QTest::newRow("Escape over a row goes back") << "escape" << QPoint(48, 44) << -1 << 0.0f;
  }
  void blockDrops()
  {
    QFETCH(QString, where);
    QFETCH(QPoint, delta);
    QFETCH(int, toRow);
    QFETCH(float, time);
    AnimationsOff off;
    TimelineWindow w(1000, 400);
    Segment *s = w.makeSegment("IMAGE", 5, 2);
    w.addTrack({s});
    w.addTrack({w.makeSegment("IMAGE", 12, 1)});
    SegmentWidget *block = w.area->trackWidgetAt(0)->segmentWidgetAt(0);
    QSignalSpy begin(w.area, &EditScrollArea::editScrollAreaBeginDraggingSegment);
    QSignalSpy end(w.area, &EditScrollArea::editScrollAreaEndDraggingSegment);
    QSignalSpy copy(w.area, &EditScrollArea::editScrollAreaCopySegment);
    QSignalSpy remove(w.area, &EditScrollArea::editScrollAreaRemoveSegment);
    QSignalSpy moveTo(w.area, &EditScrollArea::editScrollAreaMoveSegmentToTrack);
    QWidget *central = w.window.centralWidget();

    QPoint at = liftAndMove(w, block, delta == QPoint() ? QPoint(0, 30) : delta);
    QCOMPARE(begin.count(), 1);
    SegmentDraggingOperationWidget *targets = w.area->dropTargets();
    QVERIFY(targets);
    const QPoint removeCentre = targets->removeButtonCenter();
    if (where == "remove" || where == "duplicate") {
      QWidget *button = where == "remove" ? static_cast<QWidget *>(targets->trashButton()) : targets->duplicateButton();
      const QPoint target = centreIn(central, button);
      Gestures::moveInSteps(central, at, target, 2);
      at = target;
    }
    if (where == "escape") {
      // As the platform delivers it: to the window, whoever has the focus.
      QTest::keyClick(w.window.windowHandle(), Qt::Key_Escape);
      QCOMPARE(end.count(), 1);
      QCOMPARE(block->parentWidget(), w.area->trackWidgetAt(0));
      QVERIFY(!w.area->trackWidgetAt(1)->findChild<SegmentDraggingFrameWidget *>());
      Gestures::move(central, at + QPoint(20, 0));
      QCOMPARE(block->parentWidget(), w.area->trackWidgetAt(0));
    }
    Gestures::release(central, at);
    QCOMPARE(end.count(), 1);
    QVERIFY(!w.area->dropTargets());
    QCOMPARE(block->parentWidget(), w.area->trackWidgetAt(0)); // flown home; the editor moves it
    QCOMPARE(copy.count(), where == "duplicate" ? 1 : 0);
    QCOMPARE(remove.count(), where == "remove" ? 1 : 0);
    QCOMPARE(moveTo.count(), where == "row" ? 1 : 0);
    if (where == "row") {
      QCOMPARE(moveTo.first().at(0).value<Segment *>(), s);
      QCOMPARE(moveTo.first().at(1).value<TrackWidget *>(), w.area->trackWidgetAt(toRow));
      QVERIFY2(qAbs(moveTo.first().at(2).toFloat() - time) < 0.01f,
               qPrintable(QString("lands at %1 s").arg(moveTo.first().at(2).toFloat())));
    }
    auto *puff = w.area->findChild<SlideshowLabel *>(QStringLiteral("removeAnimation"));
    QCOMPARE(puff != nullptr, where == "remove");
    if (puff) {
      const QPoint centre = w.area->mapFromGlobal(QPoint(removeCentre.x(), removeCentre.y() - 40));
      QCOMPARE(puff->geometry(), QRect(centre - QPoint(20, 20), QSize(40, 40)));
      QCOMPARE(puff->pictureCount(), 4);
      QTRY_VERIFY(!w.area->findChild<SlideshowLabel *>(QStringLiteral("removeAnimation")));
    }
  }

  void rowsTakingABlock_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("sharesItsRow");
    QTest::addColumn<QString>("targetType");
    QTest::addColumn<int>("movieRows");
    QTest::addColumn<bool>("taken");
    QTest::newRow("fifth movie row refused to a movie sharing its row") << "MOVIE" << true << "" << 4 << false;
    QTest::newRow("a movie alone on its row may move to an empty one") << "MOVIE" << false << "" << 4 << true;
    QTest::newRow("with three movie rows an empty row takes it") << "MOVIE" << true << "" << 3 << true;
    QTest::newRow("text over music refused") << "TEXT" << false << "MUSIC" << 1 << false;
    QTest::newRow("text over an empty row taken") << "TEXT" << false << "" << 1 << true;
  }
  void rowsTakingABlock()
  {
    QFETCH(QString, type);
    QFETCH(bool, sharesItsRow);
    QFETCH(QString, targetType);
    QFETCH(int, movieRows);
    QFETCH(bool, taken);
    AnimationsOff off;
    TimelineWindow w(1000, 400);
    Segment *s = w.makeSegment(type, 2, 2);
    s->setTrackId(1);
    QList<Segment *> own{s};
    if (sharesItsRow) {
      own << w.makeSegment(type, 8, 2);
      own.last()->setTrackId(1);
    }
    w.addTrack(own);
    for (int i = type == "MOVIE" ? 1 : 0; i < movieRows; ++i)
      w.addTrack({w.makeSegment("MOVIE", 3, 2)});
    TrackWidget *target = targetType.isEmpty() ? w.addTrack({}) : w.addTrack({w.makeSegment(targetType, 20, 1)});
    QSignalSpy moveTo(w.area, &EditScrollArea::editScrollAreaMoveSegmentToTrack);

    SegmentWidget *block = w.area->trackWidgetAt(0)->segmentWidgetAt(0);
    const int rows = w.area->trackCount() - 1;
    const QPoint at = liftAndMove(w, block, QPoint(0, 44 * rows));
    QCOMPARE(target->draggingFrame() && target->draggingFrame()->isVisible(), taken);
    Gestures::release(w.window.centralWidget(), at);
    QCOMPARE(moveTo.count(), taken ? 1 : 0);
    if (taken)
      QCOMPARE(moveTo.first().at(1).value<TrackWidget *>(), target);
  }

  void equalSnapsTakeTheUpperRow()
  {
    TimelineWindow w;
    w.addTrack({w.makeSegment("IMAGE", 0, 3)});   // ends at 3.0
    w.addTrack({w.makeSegment("IMAGE", 3.2f, 1)}); // starts at 3.2
    bool found = false;
    QCOMPARE(w.area->alignTimeAcrossTracks(3.1f, nullptr, nullptr, &found), 3.0f);
    QVERIFY(found);
    QCOMPARE(w.area->alignTimeAcrossTracks(3.1f, nullptr, w.area->trackWidgetAt(0)), 3.2f);
  }

  void edgeScrolling_data()
  {
    QTest::addColumn<int>("startValue");
    QTest::addColumn<bool>("toTheLeft");
    QTest::addColumn<QList<int>>("values");
    QTest::newRow("left at zoom 0.5: 12 px, then 6") << 300 << true << QList<int>{288, 282, 276};
    QTest::newRow("left stops at 0") << 5 << true << QList<int>{0};
    QTest::newRow("right stops at the end") << -3 << false << QList<int>{0};
  }
  void edgeScrolling()
  {
    QFETCH(int, startValue);
    QFETCH(bool, toTheLeft);
    QFETCH(QList<int>, values);
    AnimationsOff off;
    TimelineWindow w(1000, 400);
    w.area->setScale(0.5f, 300);
    QScrollBar *bar = w.area->horizontalScrollBar();
    const int maximum = w.area->contentSize().width() - w.area->width();
    if (startValue < 0) {
      startValue += maximum;
      values = {maximum};
    }
    bar->setValue(startValue);
    // A block in view at the left: 12 pixels a second at zoom 0.5.
    const float start = (float(startValue) + 300 - 60) / 12;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", start, 4)});
    row->setScale(0.5f, false);
    w.area->setScale(0.5f, 300);
    bar->setValue(startValue);
    QCOMPARE(w.area->zoom(), 0.5f);
    SegmentWidget *block = row->segmentWidgetAt(0);
    const int vertical = w.area->verticalScrollBar()->value();

    QList<int> seen;
    QList<qint64> times;
    QElapsedTimer clock;
    connect(bar, &QScrollBar::valueChanged, this, [&](int value) {
      seen << value;
      times << clock.elapsed();
    });
    const QPoint from = TimelineWindow::rectInViewport(block, w.area).center();
    // Below the row, so the drop is refused and the block flies back.
    const QPoint delta(toTheLeft ? 30 - from.x() : w.area->width() - 30 - from.x(), 100);
    QSignalSpy dragSpy(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    Gestures::press(w.area->viewport(), from);
    QTRY_VERIFY(!dragSpy.isEmpty());
    QWidget *central = w.window.centralWidget();
    const QPoint start2 = w.area->viewport()->mapTo(central, from);
    clock.start();
    Gestures::move(central, start2 + delta);
    QTRY_VERIFY(seen.size() >= values.size());
    if (values.size() == 1)
      Gestures::hold(200); // no further step past the end
    // Animated, the block flies to where its home now lies on screen, scrolled along.
    setAnimationEnabled(true);
    const QPoint home = central->mapFromGlobal(row->mapToGlobal(block->homeGeometry().topLeft()));
    Gestures::release(central, start2 + delta);
    auto *flight = block->findChild<QPropertyAnimation *>();
    QVERIFY(flight);
    QCOMPARE(flight->endValue().toPoint(), home);
    QTRY_COMPARE(block->parentWidget(), row);
    setAnimationEnabled(false);
    const int stepsAtRelease = seen.size();
    QCOMPARE(seen.mid(0, values.size()), values);
    QVERIFY2(times.first() >= 490, qPrintable(QString("first step after %1 ms").arg(times.first())));
    for (int i = 1; i < times.size(); ++i)
      QVERIFY2(times[i] - times[i - 1] >= 45, qPrintable(QString("step after %1 ms").arg(times[i] - times[i - 1])));
    QCOMPARE(bar->value(), values.size() == 1 ? values.first() : bar->value());
    QCOMPARE(w.area->verticalScrollBar()->value(), vertical);
    Gestures::hold(150);
    QCOMPARE(seen.size(), stepsAtRelease); // steps end with the drag
  }

  void noVerticalScrollOverADropTarget()
  {
    AnimationsOff off;
    TimelineWindow w(1000, 300);
    for (int i = 0; i < 10; ++i)
      w.addTrack({w.makeSegment("IMAGE", 2, 2)});
    QSignalSpy scrolled(w.area->verticalScrollBar(), &QScrollBar::valueChanged);
    SegmentWidget *block = w.area->trackWidgetAt(0)->segmentWidgetAt(0);
    const QPoint at = liftAndMove(w, block, QPoint(0, 20));
    QWidget *central = w.window.centralWidget();
    const QPoint target = centreIn(central, w.area->dropTargets()->trashButton());
    QVERIFY(target.y() > w.area->height() - 44); // the targets lie in the bottom zone
    Gestures::moveInSteps(central, at, target, 2);
    Gestures::hold(700);
    QCOMPARE(scrolled.count(), 0);
    // Beside the targets the bottom zone scrolls.
    const QPoint beside(60 + 40, target.y());
    Gestures::move(central, beside);
    QTRY_VERIFY(scrolled.count() > 0);
    Gestures::release(central, beside);
  }

  void rowDrags_data()
  {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("onto"); // -1: below every row, 9: the Remove target
    QTest::addColumn<QList<int>>("order"); // original indices, top to bottom
    QTest::addColumn<int>("empty");        // the row without blocks, -1 none
    QTest::addColumn<bool>("animated");
    QTest::newRow("first onto third") << 0 << 2 << QList<int>{1, 0, 2} << -1 << false;
    QTest::newRow("third onto first") << 2 << 0 << QList<int>{2, 0, 1} << -1 << false;
    QTest::newRow("third onto first, animated") << 2 << 0 << QList<int>{2, 0, 1} << -1 << true;
    QTest::newRow("onto itself") << 1 << 1 << QList<int>{0, 1, 2} << -1 << false;
    QTest::newRow("below every row") << 1 << -1 << QList<int>{0, 1, 2} << -1 << false;
    QTest::newRow("onto Remove") << 1 << 9 << QList<int>{0, 1, 2} << -1 << false;
    // A row without blocks stands for the spare last row: the dragged one goes before the last.
    QTest::newRow("onto the empty last row") << 0 << 2 << QList<int>{1, 0, 2} << 2 << false;
    QTest::newRow("onto an empty row in the middle") << 0 << 1 << QList<int>{1, 0, 2} << 1 << false;
    QTest::newRow("up onto an empty row in the middle") << 2 << 1 << QList<int>{0, 2, 1} << 1 << false;
    QTest::newRow("onto an empty row in the middle, animated") << 0 << 1 << QList<int>{1, 0, 2} << 1 << true;
  }
  void rowDrags()
  {
    QFETCH(int, from);
    QFETCH(int, onto);
    QFETCH(QList<int>, order);
    QFETCH(int, empty);
    QFETCH(bool, animated);
    std::unique_ptr<AnimationsOff> off(animated ? nullptr : new AnimationsOff);
    TimelineWindow w(1000, 400);
    QList<TrackWidget *> rows;
    for (int i = 0; i < 3; ++i)
      rows << (i == empty ? w.addTrack({}) : w.addTrack({w.makeSegment("IMAGE", 1, 1)}));
    QSignalSpy begin(w.area, &EditScrollArea::editScrollAreaBeginDraggingTrackWidget);
    QSignalSpy end(w.area, &EditScrollArea::editScrollAreaEndDraggingTrackWidget);
    QSignalSpy removeRow(w.area, &EditScrollArea::editScrollAreaRemoveTrack);
    QSignalSpy dragSpy(rows[from], &TrackWidget::trackWidgetDraggingStateChanged);

    const QPoint press(600, 22 + 44 * from);
    QElapsedTimer clock;
    clock.start();
    Gestures::press(w.area->viewport(), press);
    QTRY_VERIFY(!dragSpy.isEmpty());
    QVERIFY(clock.elapsed() >= 490);
    QCOMPARE(begin.count(), 1);
    QVERIFY(w.area->dropTargets());
    QVERIFY(!w.area->dropTargets()->duplicateButton()->isVisible()); // only Remove for rows
    QWidget *central = w.window.centralWidget();
    const QPoint start = w.area->viewport()->mapTo(central, press);
    QPoint to = start + QPoint(0, 44 * (onto - from));
    if (onto == -1)
      to = start + QPoint(0, 44 * (4 - from));
    else if (onto == 9)
      to = centreIn(central, w.area->dropTargets()->trashButton());
    Gestures::moveInSteps(central, start, to, 3);
    if (onto >= 0 && onto < 3 && onto != from) {
      QVERIFY(w.area->trackDropFrame());
      QCOMPARE(w.area->trackDropFrame()->geometry().top(), rows[onto]->geometry().top());
      QCOMPARE(w.area->trackDropFrame()->width(), w.area->width());
    }
    Gestures::release(central, to);
    QTRY_COMPARE(end.count(), 1);
    QCOMPARE(end.first().at(0).value<TrackWidget *>(), rows[from]);
    const bool reordered = order != QList<int>{0, 1, 2};
    QCOMPARE(end.first().at(1).toBool(), reordered);
    QCOMPARE(removeRow.count(), onto == 9 ? 1 : 0);
    QVERIFY(!w.area->trackDropFrame());
    for (int i = 0; i < 3; ++i) {
      TrackWidget *row = w.area->trackWidgetAt(i);
      QCOMPARE(row, rows[order[i]]);
      QCOMPARE(row->tag(), i + 1);
      QCOMPARE(row->parentWidget(), w.area->widget());
    }
    QTRY_VERIFY(!w.area->isAnimating());
    // Each band of the edit area shows the row listed there, not another row or bare content.
    QCoreApplication::processEvents();
    const QImage shot = PixelProbe::grab(w.area);
    QVERIFY(shot.save(TestEnv::shotPath(QString("rowdrag-%1.png").arg(QTest::currentDataTag()).replace(' ', '_'))));
    QWidget *content = w.area->widget();
    for (int i = 0; i < 3; ++i) {
      TrackWidget *row = w.area->trackWidgetAt(i);
      const int right = content->mapFrom(w.area->viewport(), QPoint(w.area->viewport()->width() - 20, 0)).x();
      const QPoint inContent(right, 44 * i + 22); // right of every block
      const QRgb expected = PixelProbe::grab(row).pixel(inContent.x() - row->x(), 22);
      const QPoint inArea = content->mapTo(w.area, inContent);
      QVERIFY2(PixelProbe::near(shot.pixel(inArea), QColor(expected), 2),
               qPrintable(QString("band %1 shows %2, its row %3").arg(i).arg(PixelProbe::text(shot.pixel(inArea)),
                                                                          PixelProbe::text(expected))));
    }

    // The screen shows the rows in list order, one under the other, so the tags the editor
    // reads match what the user sees.
    for (int i = 0; i < 3; ++i) {
      const QRect r = w.area->trackWidgetAt(i)->geometry();
      QVERIFY2(r.top() == 44 * i && r.height() == 44,
               qPrintable(QString("row %1 at y %2, height %3").arg(i).arg(r.top()).arg(r.height())));
      for (int j = i + 1; j < 3; ++j)
        QVERIFY2(!r.intersects(w.area->trackWidgetAt(j)->geometry()), qPrintable(QString("rows %1 and %2 overlap").arg(i).arg(j)));
    }
    // Dropped on a row with blocks or on the last row, the dragged row ends just above it.
    if (onto >= 0 && onto < 3 && onto != from && (empty != onto || onto == 2))
      QCOMPARE(rows[from]->y(), rows[onto]->y() - 44);
  }
};

TAVO_TEST_MAIN(TestDrag)
#include "tst_drag.moc"
