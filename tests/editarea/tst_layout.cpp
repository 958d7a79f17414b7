// The edit area: timeline geometry, rows and their animated removal, keys, wheel and zoom
// gestures, and the selection of one block.
#include "animationswitch.h"
#include "editscrollarea.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "segmentwidget.h"
#include "testenv.h"
#include "timelinefixture.h"
#include "timelinegeometry.h"
#include "trackwidget.h"

#include <QElapsedTimer>
#include <QNativeGestureEvent>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>

class TestLayout : public QObject
{
  Q_OBJECT
private:
  const int S = TimelineWindow::screenSide();

  static QList<QPoint> rowPositions(EditScrollArea *area)
  {
    QList<QPoint> positions;
    for (int i = 0; i < area->trackCount(); ++i)
      positions.append(area->trackWidgetAt(i)->pos());
    return positions;
  }

private slots:
  void contentWidth_data()
  {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<float>("duration");
    QTest::addColumn<double>("expected");
    QTest::newRow("zoom 1, 10 s") << 1.0f << 10.0f << 3228.0;
    QTest::newRow("zoom 2, 0 s") << 2.0f << 0.0f << 24.0 * 122 * 2 + 60;
    // Zoomed out, the screen adds room: 40 more seconds at S = 768, 56.25 at S = 1080.
    QTest::newRow("zoom 0.5, 10 s") << 0.5f << 10.0f << 24.0 * (132 + S / 768.0 * 40) * 0.5 + 60;
  }
  void contentWidth()
  {
    QFETCH(float, zoom);
    QFETCH(float, duration);
    QFETCH(double, expected);
    QCOMPARE(::contentWidth(zoom, duration), float(expected));
  }

  void rowsAndBlocksArePlacedOnTheTimeline()
  {
    TimelineWindow w;
    Segment *s = w.makeSegment("IMAGE", 2, 3);
    for (int i = 0; i < 3; ++i)
      w.area->addTrack(1.0f, 10);
    QCOMPARE(w.area->contentSize(), QSize(3204, 202));
    for (int i = 0; i < 3; ++i)
      QCOMPARE(w.area->trackWidgetAt(i)->geometry(), QRect(-S, 44 * i, int(3228.0f + 2 * S), 44));
    QVERIFY(!w.area->trackWidgetAt(-1));
    QVERIFY(!w.area->trackWidgetAt(w.area->trackCount()));

    SegmentWidget *block = w.area->trackWidgetAt(1)->addSegment(s);
    w.area->trackWidgetAt(1)->setScale(1.0f, false);
    QCOMPARE(block->mapTo(w.area->widget(), QPoint(0, 0)), QPoint(108, 44));
    QCOMPARE(block->size(), QSize(72, 44));

    // A new zoom re-lays rows and blocks.
    w.area->setScale(2.0f, 10);
    QCOMPARE(w.area->contentSize().width(), int(::contentWidth(2.0f, 10) - 48));
    QCOMPARE(w.area->trackWidgetAt(2)->geometry(), QRect(-S, 88, int(::contentWidth(2.0f, 10) + 2 * S), 44));
    QCOMPARE(block->mapTo(w.area->widget(), QPoint(0, 0)).x(), 156);
    QCOMPARE(block->width(), 144);
  }

  void rowsAlternateTheirBackgrounds()
  {
    TimelineWindow w;
    for (int i = 0; i < 3; ++i)
      w.area->addTrack(1.0f, 10);
    const QImage colour = w.area->trackBackColorPixmap().toImage();
    const QImage plain = w.area->trackBackPixmap().toImage();
    QVERIFY(!colour.isNull() && !plain.isNull());
    for (int i = 0; i < 3; ++i) {
      TrackWidget *row = w.area->trackWidgetAt(i);
      const QImage shot = PixelProbe::grab(row);
      const QImage &expected = i % 2 == 0 ? colour : plain;
      for (int y : {5, 22, 40})
        PROBE(shot, 3, y, expected.pixelColor(3 % expected.width(), y), 2);
    }
    // After a removal the rows below take the backgrounds of their new places.
    w.area->removeTrackWidget(w.area->trackWidgetAt(0));
    const QImage shot = PixelProbe::grab(w.area->trackWidgetAt(0));
    PROBE(shot, 3, 22, colour.pixelColor(3, 22), 2);
  }

  void removingRowsMovesTheOthersUp_data()
  {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("removed");
    QTest::addColumn<bool>("animations");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("middle of three") << 3 << QList<int>{1} << true << QList<int>{0, 88} << QList<int>{0, 44};
    QTest::newRow("middle of three, switch off") << 3 << QList<int>{1} << false << QList<int>{0, 88}
                                                 << QList<int>{0, 44};
    QTest::newRow("first two of four") << 4 << QList<int>{0, 1} << true << QList<int>{88, 132} << QList<int>{0, 44};
    QTest::newRow("first and third of four") << 4 << QList<int>{0, 2} << true << QList<int>{44, 132}
                                             << QList<int>{0, 44};
  }
  void removingRowsMovesTheOthersUp()
  {
    QFETCH(int, rows);
    QFETCH(QList<int>, removed);
    QFETCH(bool, animations);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    TimelineWindow w;
    for (int i = 0; i < rows; ++i)
      w.area->addTrack(1.0f, 10);
    QList<TrackWidget *> gone;
    for (int i : removed)
      gone.append(w.area->trackWidgetAt(i));
    AnimationsOff off;
    setAnimationEnabled(animations);
    QElapsedTimer clock;
    clock.start();
    if (gone.size() == 1)
      w.area->removeTrackWidget(gone.first());
    else
      w.area->removeTracks(gone);
    QCOMPARE(w.area->trackCount(), rows - removed.size());
    QList<int> ys;
    for (const QPoint &p : rowPositions(w.area))
      ys.append(p.y());
    QCOMPARE(ys, before);
    QVERIFY(w.area->isAnimating());
    QTRY_VERIFY(!w.area->isAnimating());
    QVERIFY2(clock.elapsed() >= 190, qPrintable(QString("took %1 ms").arg(clock.elapsed())));
    ys.clear();
    for (const QPoint &p : rowPositions(w.area))
      ys.append(p.y());
    QCOMPARE(ys, after);
  }

  void removingTheLastRowStartsNoAnimation()
  {
    TimelineWindow w;
    for (int i = 0; i < 3; ++i)
      w.area->addTrack(1.0f, 10);
    w.area->removeTrackWidget(w.area->trackWidgetAt(2));
    QVERIFY(!w.area->isAnimating());
    QCOMPARE(w.area->trackCount(), 2);
    // A row that is not the area's, and an empty list: nothing.
    TrackWidget stranger(QRect(0, 0, 10, 44), 1.0f, nullptr);
    w.area->removeTrackWidget(&stranger);
    w.area->removeTracks({});
    QCOMPARE(w.area->trackCount(), 2);
    QVERIFY(!w.area->isAnimating());
  }

  void overlappingRemovalsKeepTheAreaBusy()
  {
    TimelineWindow w;
    for (int i = 0; i < 5; ++i)
      w.area->addTrack(1.0f, 10);
    TrackWidget *third = w.area->trackWidgetAt(2);
    w.area->removeTrackWidget(w.area->trackWidgetAt(1));
    const auto groups = w.area->findChildren<QParallelAnimationGroup *>();
    QCOMPARE(groups.size(), 1);
    bool busyWhenFirstEnded = false;
    connect(groups.first(), &QAbstractAnimation::finished, this, [&] { busyWhenFirstEnded = w.area->isAnimating(); });
    // Start the second removal while the first group runs.
    QPointer<QParallelAnimationGroup> first = groups.first();
    QVERIFY(QTest::qWaitFor([&] { return third->y() < 88; }, 1000));
    QVERIFY(first && first->state() == QAbstractAnimation::Running);
    w.area->removeTrackWidget(w.area->trackWidgetAt(2));
    QTRY_VERIFY(!first);
    QVERIFY2(busyWhenFirstEnded, "isAnimating was false while the second group still ran");
    QTRY_VERIFY(!w.area->isAnimating());
    QCOMPARE(rowPositions(w.area), (QList<QPoint>{{-S, 0}, {-S, 44}, {-S, 88}}));
  }

  void trackQueries()
  {
    TimelineWindow w;
    QList<TrackWidget *> rows;
    for (const char *type : {"MOVIE", "MOVIE", "MOVIE", "MOVIE"})
      rows.append(w.addTrack({w.makeSegment(type, 0, 2)}));
    TrackWidget *empty = w.area->addTrack(1.0f, 10);
    empty->setTag(9);
    QCOMPARE(w.area->movieTrackCount(), 4);
    QVERIFY(!w.area->canTrackTakeSegmentType("MOVIE", empty));
    QVERIFY(w.area->canTrackTakeSegmentType("MOVIE", rows[0]));
    QVERIFY(w.area->canTrackTakeSegmentType("MUSIC", empty));
    w.area->removeTrackWidget(rows[3]);
    QVERIFY(w.area->canTrackTakeSegmentType("MOVIE", empty));

    QCOMPARE(w.area->trackWidgetByTag(9), empty);
    QVERIFY(!w.area->trackWidgetByTag(77));
    QCOMPARE(w.area->firstTrack(), rows[0]);
    QCOMPARE(w.area->firstMovieTrack(), rows[0]);
    QTRY_VERIFY(!w.area->isAnimating());
    QCOMPARE(w.area->lowerTrackTag(rows[2]->tag()), 9);
    QCOMPARE(w.area->upperTrackTag(rows[2]->tag()), rows[1]->tag());
    QCOMPARE(w.area->upperTrackTag(rows[0]->tag()), 0);
    QCOMPARE(w.area->lowerTrackTag(9), 0);
    QCOMPARE(w.area->lowerTrackTag(77), 0);
  }

  void keys_data()
  {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("deletes");
    QTest::addColumn<int>("directionKey"); // 0: none raised
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << 1 << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 1 << 0;
    for (int key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
      QTest::newRow(qPrintable(QKeySequence(key).toString())) << key << 0 << 0 << key;
    QTest::newRow("Shift+Left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 0 << 0;
    QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << 0 << 0;
    QTest::newRow("A") << int(Qt::Key_A) << 0 << 0 << 0;
  }
  void keys()
  {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, deletes);
    QFETCH(int, directionKey);
    TimelineWindow w(400, 300);
    w.area->addTrack(1.0f, 60);
    w.area->horizontalScrollBar()->setValue(100);
    QSignalSpy scrollSpy(w.area, &EditScrollArea::editScrollAreaDidScroll);
    QSignalSpy deleteSpy(w.area, &EditScrollArea::editScrollAreaDeleteKeyPressed);
    QSignalSpy directionSpy(w.area, &EditScrollArea::editScrollAreaSelectNextSegmentByDirectionKey);
    QTest::keyClick(w.area, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(deleteSpy.count(), deletes);
    QCOMPARE(directionSpy.count(), directionKey ? 1 : 0);
    if (directionKey)
      QCOMPARE(directionSpy.first().first().toInt(), directionKey);
    if (key == Qt::Key_Left && modifiers == Qt::ShiftModifier) {
      QVERIFY2(w.area->horizontalScrollBar()->value() < 100, "Shift+Left did not scroll");
      QCOMPARE(scrollSpy.count(), 1);
      QCOMPARE(scrollSpy.first().first().toPoint(), w.area->contentOffset());
    }
  }

  void contentOffset_data()
  {
    QTest::addColumn<bool>("animated");
    QTest::addColumn<bool>("animations");
    QTest::newRow("animated") << true << true;
    QTest::newRow("switch off") << true << false;
    QTest::newRow("at once") << false << true;
  }
  void contentOffset()
  {
    QFETCH(bool, animated);
    QFETCH(bool, animations);
    TimelineWindow w(400, 150);
    for (int i = 0; i < 6; ++i)
      w.area->addTrack(1.0f, 60);
    AnimationsOff off;
    setAnimationEnabled(animations);
    QElapsedTimer clock;
    clock.start();
    w.area->setContentOffset(QPoint(300, 40), animated);
    if (animated && animations) {
      QCOMPARE(w.area->contentOffset(), QPoint(0, 0));
      QTRY_COMPARE(w.area->contentOffset(), QPoint(300, 40));
      QVERIFY2(clock.elapsed() >= 190, qPrintable(QString("scrolled in %1 ms").arg(clock.elapsed())));
    }
    QCOMPARE(w.area->contentOffset(), QPoint(300, 40));
    QCOMPARE(w.area->horizontalOffset(), 300.0f);
  }

  void ctrlWheelAsksForAZoom_data()
  {
    QTest::addColumn<int>("delta");
    QTest::addColumn<float>("scale");
    QTest::newRow("away from the user") << 120 << 1.1f;
    QTest::newRow("toward the user") << -120 << 0.98f;
  }
  void ctrlWheelAsksForAZoom()
  {
    QFETCH(int, delta);
    QFETCH(float, scale);
    TimelineWindow w;
    w.area->addTrack(1.0f, 60);
    QSignalSpy spy(w.area, &EditScrollArea::editScrollAreaScaleChanged);
    const QPoint at(200, 100);
    QWheelEvent wheel(at, w.area->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.area->viewport(), &wheel);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toFloat(), scale);
    QCOMPARE(w.area->zoom(), 1.0f); // the editor answers with setScale
  }

  void nativeGestures_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("began");
    QTest::addColumn<int>("ended");
    QTest::addColumn<float>("scale"); // 0: no scale change raised
    QTest::newRow("begin") << int(Qt::BeginNativeGesture) << 1 << 0 << 0.0f;
    QTest::newRow("zoom 0.2") << int(Qt::ZoomNativeGesture) << 0 << 0 << 1.2f;
    QTest::newRow("end") << int(Qt::EndNativeGesture) << 0 << 1 << 0.0f;
    QTest::newRow("rotate") << int(Qt::RotateNativeGesture) << 0 << 0 << 0.0f;
  }
  void nativeGestures()
  {
    QFETCH(int, type);
    QFETCH(int, began);
    QFETCH(int, ended);
    QFETCH(float, scale);
    TimelineWindow w;
    QSignalSpy beganSpy(w.area, &EditScrollArea::editScrollAreaScaleBegan);
    QSignalSpy endSpy(w.area, &EditScrollArea::editScrollAreaScaleEnd);
    QSignalSpy scaleSpy(w.area, &EditScrollArea::editScrollAreaScaleChanged);
    QNativeGestureEvent gesture(Qt::NativeGestureType(type), nullptr, QPointF(10, 10), QPointF(10, 10),
                                QPointF(10, 10), 0.2, 0, 0);
    gesture.ignore();
    QVERIFY(QApplication::sendEvent(w.area, &gesture));
    QVERIFY(gesture.isAccepted());
    QCOMPARE(beganSpy.count(), began);
    QCOMPARE(endSpy.count(), ended);
    QCOMPARE(scaleSpy.count(), scale > 0 ? 1 : 0);
    if (scale > 0)
      QCOMPARE(scaleSpy.first().first().toFloat(), scale);
  }

  void wheelBurstEndsOnce()
  {
    TimelineWindow w(400, 200);
    for (int i = 0; i < 8; ++i)
      w.area->addTrack(1.0f, 60);
    QSignalSpy endSpy(w.area, &EditScrollArea::editScrollAreaWillEndDragging);
    QElapsedTimer sinceLast;
    for (int i = 0; i < 4; ++i) {
      Gestures::wheel(w.area->viewport(), QPoint(100, 50), -120);
      sinceLast.start();
    }
    QCOMPARE(endSpy.count(), 0);
    QTRY_COMPARE(endSpy.count(), 1);
    QVERIFY2(sinceLast.elapsed() >= 95, qPrintable(QString("after %1 ms").arg(sinceLast.elapsed())));
    // Nothing more follows the burst.
    QTest::qWait(200);
    QCOMPARE(endSpy.count(), 1);
  }

  void selection()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 1, 2), w.makeSegment("TEXT", 4, 2)});
    SegmentWidget *a = row->segmentWidgetAt(0);
    SegmentWidget *b = row->segmentWidgetAt(1);
    QSignalSpy spy(w.area, &EditScrollArea::editScrollAreaSelectedSegmentWidgetChanged);

    w.area->setSelectedSegmentWidget(a);
    w.area->setSelectedSegmentWidget(a); // raised again though nothing changed
    QCOMPARE(spy.count(), 2);
    QVERIFY(a->isSelected());
    w.area->setSelectedSegmentWidget(b);
    QVERIFY(!a->isSelected() && b->isSelected());
    QCOMPARE(w.area->selectedSegmentWidget(), b);

    // Range selection mode ignores single selection.
    w.area->rangeSelectionMode = true;
    w.area->setSelectedSegmentWidget(a);
    QCOMPARE(w.area->selectedSegmentWidget(), b);
    QCOMPARE(spy.count(), 3);
    w.area->rangeSelectionMode = false;

    // A press on a block selects it; a press on empty timeline unselects.
    const QRect blockRect = TimelineWindow::rectInViewport(a, w.area);
    Gestures::click(w.area->viewport(), blockRect.center());
    QTRY_COMPARE(w.area->selectedSegmentWidget(), a);
    QCOMPARE(spy.last().first().toBool(), true);
    Gestures::click(w.area->viewport(), QPoint(blockRect.center().x(), 44 + 20));
    QTRY_VERIFY(!w.area->selectedSegmentWidget());
    QCOMPARE(spy.last().first().toBool(), false);
    QVERIFY(!a->isSelected());

    // A right press selects and asks for the context menu at the global position.
    QSignalSpy menuSpy(w.area, &EditScrollArea::editScrollAreaPopupContextMenuForSegmentWidget);
    const QRect bRect = TimelineWindow::rectInViewport(b, w.area);
    Gestures::press(w.area->viewport(), bRect.center(), Qt::RightButton);
    Gestures::release(w.area->viewport(), bRect.center(), Qt::RightButton);
    QTRY_COMPARE(menuSpy.count(), 1);
    QCOMPARE(menuSpy.first().at(0).value<SegmentWidget *>(), b);
    QCOMPARE(menuSpy.first().at(1).toPoint(), w.area->viewport()->mapToGlobal(bRect.center()));
    QCOMPARE(w.area->selectedSegmentWidget(), b);

    // The selected block going unselects.
    spy.clear();
    row->removeSegment(b->segment(), false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toBool(), false);
    QVERIFY(!w.area->selectedSegmentWidget());
  }

  void pressOnABlockThatGoesAtOnce()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 1, 2), w.makeSegment("TEXT", 4, 2)});
    SegmentWidget *a = row->segmentWidgetAt(0);
    QSignalSpy selectSpy(w.area, &EditScrollArea::editScrollAreaSelectedSegmentWidgetChanged);
    QSignalSpy menuSpy(w.area, &EditScrollArea::editScrollAreaPopupContextMenuForSegmentWidget);
    // Both presses reach the block with no event processed in between, as in one busy turn
    // of the event loop; the block goes before the area handles the queued presses.
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), a->mapToGlobal(QPoint(10, 10)), button, button,
                        Qt::NoModifier);
      QApplication::sendEvent(a, &press);
    }
    row->removeSegment(a->segment(), false);
    QCoreApplication::processEvents();
    QVERIFY(!w.area->selectedSegmentWidget());
    for (const QList<QVariant> &changed : qAsConst(selectSpy))
      QVERIFY(!changed.first().toBool()); // the right press passed on to the area unselects
    QCOMPARE(menuSpy.count(), 0);
  }

  void removingTheEditedRowEndsEditing()
  {
    TimelineWindow w;
    w.addTrack({w.makeSegment("IMAGE", 0, 2)});
    TrackWidget *row = w.addTrack({w.makeSegment("MOVIE", 1, 3)});
    w.addTrack({w.makeSegment("TEXT", 0, 2)});
    SegmentWidget *block = row->segmentWidgetAt(0);
    QSignalSpy spy(w.area, &EditScrollArea::editScrollAreaSelectedSegmentWidgetChanged);
    block->toggleEditing();
    QVERIFY(w.area->isEditingSegment());
    QCOMPARE(w.area->selectedSegmentWidget(), block);
    w.area->removeTrackWidget(row);
    QVERIFY(!w.area->isEditingSegment());
    QVERIFY(!w.area->editingSegmentWidget());
    QVERIFY(!w.area->selectedSegmentWidget());
    QCOMPARE(spy.last().first().toBool(), false);
    // A zoom change afterwards re-lays what is left.
    w.area->setScale(2.0f, 10);
    QTRY_VERIFY(!w.area->isAnimating());
    QCOMPARE(w.area->trackWidgetAt(1)->y(), 44);
  }
};

TAVO_TEST_MAIN(TestLayout)
#include "tst_layout.moc"
