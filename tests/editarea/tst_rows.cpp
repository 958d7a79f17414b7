// Track rows (snapping, the drop frame, picking a row up, range selection) and the small
// overlays of the timeline (drop targets, selection bar, editing background).
#include "animationswitch.h"
#include "editscrollarea.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "segmentdraggingframewidget.h"
#include "segmentdraggingoperationwidget.h"
#include "segmenteditingstatebackgroundwidget.h"
#include "segmentwidget.h"
#include "selectionoperationwidget.h"
#include "testenv.h"
#include "timelinefixture.h"
#include "tooltipbutton.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>

class TestRows : public QObject
{
  Q_OBJECT
private:
  const int S = TimelineWindow::screenSide();

  // Where content x lies in the viewport of an unscrolled area.
  static QPoint atTime(EditScrollArea *area, TrackWidget *row, float seconds)
  {
    return row->mapTo(area->viewport(), QPoint(int(60 + seconds * 24 * area->zoom()) + TimelineWindow::screenSide(), 22));
  }

private slots:
  void cleanup() { UserSettings::instance()->setAutoDragDropAlign(true); }

  void alignTime_data()
  {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<float>("time");
    QTest::addColumn<bool>("exceptFirst");
    QTest::addColumn<bool>("autoAlign");
    QTest::addColumn<float>("aligned");
    // Blocks at 2-4 s, 6-7 s and 9-9.2 s.
    QTest::newRow("near a start") << 1.0f << 2.2f << false << true << 2.0f;
    QTest::newRow("near an end") << 1.0f << 4.24f << false << true << 4.0f;
    QTest::newRow("just out of reach") << 1.0f << 4.26f << false << true << 4.26f;
    QTest::newRow("zoom 2: 0.1 s after an end") << 2.0f << 4.1f << false << true << 4.0f;
    QTest::newRow("zoom 2: 0.13 s after an end") << 2.0f << 4.13f << false << true << 4.13f;
    QTest::newRow("zoom 0.5: 0.45 s before a start") << 0.5f << 5.55f << false << true << 6.0f;
    QTest::newRow("start before end") << 1.0f << 9.15f << false << true << 9.0f;
    QTest::newRow("the dragged segment's own ends") << 1.0f << 2.1f << true << true << 2.1f;
    QTest::newRow("auto-align off") << 1.0f << 2.1f << false << false << 2.1f;
  }
  void alignTime()
  {
    QFETCH(float, zoom);
    QFETCH(float, time);
    QFETCH(bool, exceptFirst);
    QFETCH(bool, autoAlign);
    QFETCH(float, aligned);
    TimelineWindow w;
    Segment *first = w.makeSegment("IMAGE", 2, 2);
    TrackWidget *row = w.addTrack({first, w.makeSegment("IMAGE", 6, 1), w.makeSegment("TEXT", 9, 0.2f)});
    row->setScale(zoom, false);
    UserSettings::instance()->setAutoDragDropAlign(autoAlign);
    QCOMPARE(row->alignTime(time, exceptFirst ? first : nullptr), aligned);
    QCOMPARE(row->contentDuration(), 9.2f);
  }

  void dropFrame_data()
  {
    QTest::addColumn<float>("time");
    QTest::addColumn<float>("duration");
    QTest::addColumn<bool>("autoAlign");
    QTest::addColumn<float>("landed");
    // Own blocks at 2-4 s and 6-7 s; the other rows snap at 8 s and 3.8 s.
    QTest::newRow("start snaps") << 3.9f << 1.0f << true << 4.0f;
    QTest::newRow("end snaps") << 4.8f << 1.1f << true << 4.9f;
    QTest::newRow("time 0 never snaps") << 0.0f << 1.9f << true << 0.0f;
    QTest::newRow("other rows' start") << 8.1f << 1.0f << true << 8.0f;
    QTest::newRow("other rows' end") << 7.5f << 0.7f << true << 7.3f;
    QTest::newRow("own row before the others") << 3.85f << 0.5f << true << 4.0f;
    QTest::newRow("auto-align off: only the others") << 3.9f << 1.0f << false << 3.8f;
    QTest::newRow("nothing near") << 11.0f << 1.0f << true << 11.0f;
  }
  void dropFrame()
  {
    QFETCH(float, time);
    QFETCH(float, duration);
    QFETCH(bool, autoAlign);
    QFETCH(float, landed);
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 2), w.makeSegment("IMAGE", 6, 1)});
    UserSettings::instance()->setAutoDragDropAlign(autoAlign);
    const auto others = [](float t, Segment *, TrackWidget *) {
      for (float snap : {8.0f, 3.8f})
        if (qAbs(t - snap) <= 0.25f)
          return snap;
      return t;
    };
    float t = time;
    row->showDraggingFrame(nullptr, &t, duration, others);
    QVERIFY2(qAbs(t - landed) < 1e-4f, qPrintable(QString("landed at %1").arg(t)));
    SegmentDraggingFrameWidget *frame = row->draggingFrame();
    QVERIFY(frame && frame->isVisible());
    QCOMPARE(frame->color(), QColor(255, 255, 0, 204));
    QCOMPARE(frame->geometry(), QRect(int(24 * t + 60 + S), 0, int(24 * duration), 44));
    row->hideDraggingFrame();
    QVERIFY(!row->draggingFrame());
  }

  void holdingARowPicksItUp_data()
  {
    QTest::addColumn<QString>("dropped"); // what the edit area said during the drag
    QTest::newRow("nowhere: flies home") << "nowhere";
    QTest::newRow("on the other row: takes its place") << "row";
    QTest::newRow("over the remove target: home at once") << "remove";
  }
  void holdingARowPicksItUp()
  {
    QFETCH(QString, dropped);
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 2)});
    TrackWidget *other = w.addTrack({w.makeSegment("IMAGE", 0, 2)});
    const QRect home = row->geometry();
    QSignalSpy dragSpy(row, &TrackWidget::trackWidgetDraggingStateChanged);
    QSignalSpy moveSpy(row, &TrackWidget::trackWidgetDraggingMoving);
    const QPoint at = atTime(w.area, row, 8);
    QElapsedTimer clock;
    clock.start();
    Gestures::press(w.area->viewport(), at);
    QTRY_COMPARE(dragSpy.count(), 1);
    QVERIFY2(clock.elapsed() >= 490, qPrintable(QString("picked up after %1 ms").arg(clock.elapsed())));
    QVERIFY(row->isDragging());
    QVERIFY(row->highlight());

    // The edit area names the drop row from the cursor: sideways stays over the row itself.
    const QPoint to = at + (dropped == "row" ? QPoint(0, 30) : QPoint(30, 0));
    Gestures::moveInSteps(w.area->viewport(), at, to, 3);
    QCOMPARE(row->parentWidget(), w.window.centralWidget());
    QCOMPARE(moveSpy.count(), 3);
    if (dropped == "remove")
      row->setOverRemoveTarget(true);
    Gestures::release(w.window.centralWidget(), row->geometry().center());
    if (dropped == "nowhere")
      QCOMPARE(row->parentWidget(), w.window.centralWidget()); // on its way back
    QTRY_COMPARE(row->parentWidget(), w.area->widget());
    // Dropped on the row below, it takes that row's place and the area puts it back above it.
    QTRY_COMPARE(row->geometry(), home);
    QCOMPARE(other->y(), 44);
    QVERIFY(!row->graphicsEffect());
    QCOMPARE(dragSpy.last().at(1).toBool(), false);
    QVERIFY(!row->isDragging());
    QTRY_VERIFY(!row->highlight());
  }

  void rowsThatStayPut_data()
  {
    QTest::addColumn<QString>("why");
    QTest::newRow("moved before the hold") << "move";
    QTest::newRow("a block is edited") << "editing";
    QTest::newRow("a block is inactive") << "inactive";
    QTest::newRow("empty row") << "empty";
    QTest::newRow("locked") << "locked";
  }
  void rowsThatStayPut()
  {
    QFETCH(QString, why);
    TimelineWindow w;
    TrackWidget *row = why == "empty" ? w.area->addTrack(1.0f, 10) : w.addTrack({w.makeSegment("IMAGE", 2, 2)});
    if (why == "editing")
      row->segmentWidgetAt(0)->toggleEditing();
    else if (why == "inactive")
      row->segmentWidgetAt(0)->setActive(false, false);
    else if (why == "locked")
      row->setLocked(true, nullptr);
    QSignalSpy dragSpy(row, &TrackWidget::trackWidgetDraggingStateChanged);
    const QPoint at = atTime(w.area, row, 8);
    Gestures::press(w.area->viewport(), at);
    if (why == "move") {
      Gestures::hold(200);
      Gestures::move(w.area->viewport(), at + QPoint(2, 0));
    }
    Gestures::hold(800);
    Gestures::release(w.area->viewport(), at);
    QCOMPARE(dragSpy.count(), 0);
    QVERIFY(!row->isDragging());
  }

  void onlyTheLastPressPicksUp()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 2, 2)});
    QSignalSpy dragSpy(row, &TrackWidget::trackWidgetDraggingStateChanged);
    const QPoint at = atTime(w.area, row, 8);
    Gestures::press(w.area->viewport(), at);
    Gestures::hold(200);
    Gestures::release(w.area->viewport(), at);
    QElapsedTimer clock;
    Gestures::press(w.area->viewport(), at);
    clock.start();
    QTRY_COMPARE(dragSpy.count(), 1);
    QVERIFY2(clock.elapsed() >= 490, qPrintable(QString("picked up %1 ms after the second press").arg(clock.elapsed())));
    Gestures::release(w.area->viewport(), at);
    QTRY_VERIFY(!row->isDragging());
  }

  void rangeSelection()
  {
    TimelineWindow w;
    TrackWidget *row = w.addTrack({w.makeSegment("IMAGE", 0, 6)});
    TrackWidget *empty = w.area->addTrack(1.0f, 10);
    w.area->selectionStart = 4;
    w.area->selectionEnd = 1;
    w.area->updateSelectionRange();
    QVERIFY(!empty->selectionButton());
    QPushButton *button = row->selectionButton();
    QVERIFY(button);
    QCOMPARE(button->geometry(), QRect(24 + 60 + S, 0, 72, 44));
    QVERIFY(row->hasSelection());
    QVERIFY(w.area->hasSelectionOnAnyTrack());
    QCOMPARE(button->styleSheet(), QString("QPushButton { background-color: rgba(255,255,0,76); }"));

    const QPoint at = button->mapTo(w.area->viewport(), button->rect().center());
    Gestures::click(w.area->viewport(), at);
    QTRY_VERIFY(!row->hasSelection());
    QCOMPARE(button->styleSheet(), QString("background-color: transparent"));
    QVERIFY(!w.area->hasSelectionOnAnyTrack());
    Gestures::click(w.area->viewport(), at);
    QTRY_VERIFY(row->hasSelection());
    QCOMPARE(button->styleSheet(), QString("QPushButton { background-color: rgba(255,255,0,76); }"));

    w.area->clearSelection();
    QVERIFY(!row->selectionButton());
  }

  void removingBlocks()
  {
    TimelineWindow w;
    Segment *a = w.makeSegment("IMAGE", 0, 2);
    Segment *b = w.makeSegment("TEXT", 3, 2);
    TrackWidget *row = w.addTrack({a, b});
    row->removeSegment(a, true);
    QCOMPARE(row->segmentWidgetCount(), 2); // fading out
    QTRY_COMPARE(row->segmentWidgetCount(), 1);
    QCOMPARE(row->segmentWidgetAt(0)->segment(), b);
    row->removeSegment(a, false); // already gone: nothing
    row->removeSegment(b, false);
    QCOMPARE(row->segmentWidgetCount(), 0);
    QVERIFY(!row->segmentWidgetAt(0));
  }

  void deletingARowSaysSo()
  {
    auto *row = new TrackWidget(QRect(0, 0, 100, 44), 1.0f, nullptr);
    row->setTag(7);
    QTest::ignoreMessage(QtDebugMsg, "TrackWidget[7] deleted");
    delete row;
  }

  void dropTargets_data()
  {
    QTest::addColumn<bool>("hideDuplicate");
    QTest::addColumn<bool>("animations");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("both") << false << true << QRect(600, 330, 180, 60);
    QTest::newRow("remove only") << true << true << QRect(680, 330, 100, 60);
    QTest::newRow("both, switch off") << false << false << QRect(600, 330, 180, 60);
  }
  void dropTargets()
  {
    QFETCH(bool, hideDuplicate);
    QFETCH(bool, animations);
    QFETCH(QRect, placed);
    QWidget area;
    area.resize(800, 400);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    AnimationsOff off;
    setAnimationEnabled(animations);
    auto *targets = new SegmentDraggingOperationWidget(&area);
    targets->showAt(area.rect(), hideDuplicate);
    if (animations)
      QCOMPARE(targets->pos(), QPoint(placed.x(), 400));
    QTRY_COMPARE(targets->geometry(), placed);
    QCoreApplication::processEvents(); // the layout places the buttons

    struct Probe
    {
      QWidget *button;
      QPoint offset; // from the button's top-left
      int hit;
    };
    const QRect trash = targets->trashButton()->geometry();
    QList<Probe> probes{{targets->trashButton(), {-10, 5}, 1},
                        {targets->trashButton(), {trash.width() + 9, trash.height() + 9}, 1},
                        {targets->trashButton(), {trash.width() + 10, 5}, -1},
                        {targets->trashButton(), {5, -11}, -1}};
    if (!hideDuplicate) {
      const QRect dup = targets->duplicateButton()->geometry();
      probes.append({targets->duplicateButton(), {-10, -10}, 0});
      probes.append({targets->duplicateButton(), {-11, 5}, -1});
      probes.append({targets->duplicateButton(), {dup.width() / 2, dup.height() / 2}, 0});
    } else {
      QVERIFY(targets->duplicateButton()->isHidden());
      // Where the duplicate target would be: nothing.
      for (int x = 0; x < trash.x() - 10; x += 3)
        QCOMPARE(targets->hitTest(QPoint(x, trash.center().y())), -1);
    }
    for (const Probe &p : probes) {
      const int hit = targets->hitTest(p.button->geometry().topLeft() + p.offset);
      QVERIFY2(hit == p.hit, qPrintable(QString("%1 at %2,%3: %4, not %5")
                                          .arg(p.button->objectName())
                                          .arg(p.offset.x())
                                          .arg(p.offset.y())
                                          .arg(hit)
                                          .arg(p.hit)));
      QCOMPARE(targets->trashButton()->isSelected(), hit == 1);
      QCOMPARE(targets->duplicateButton()->isSelected(), hit == 0);
    }
    const QPoint centre = targets->removeButtonCenter();
    QCOMPARE(centre, targets->trashButton()->mapToGlobal(targets->trashButton()->rect().center()));
  }

  void selectionBar()
  {
    QWidget area;
    area.resize(800, 300);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto *bar = new SelectionOperationWidget(&area);
    bar->updatePosition(&area);
    bar->show();
    QCOMPARE(bar->geometry(), QRect(225, 225, 350, 45));
    QSignalSpy spy(bar, &SelectionOperationWidget::selectionOperationWidgetCommandClicked);
    const QList<QPair<QPushButton *, QString>> buttons{{bar->cancelSelectionButton(), "Cancel selection"},
                                                       {bar->insertBlankButton(), "Insert blank"},
                                                       {bar->deleteButton(), "Delete"}};
    for (int i = 0; i < buttons.size(); ++i) {
      QCOMPARE(buttons[i].first->text(), buttons[i].second);
      QTest::mouseClick(buttons[i].first, Qt::LeftButton);
      QCOMPARE(spy.count(), i + 1);
      QCOMPARE(spy.last().at(0).value<SelectionOperationWidget *>(), bar);
      QCOMPARE(spy.last().at(1).toInt(), i);
    }
  }

  void editingBackgroundWithoutSegment()
  {
    QWidget parent;
    parent.resize(200, 60);
    PixelProbe::plainBackground(&parent, QColor(200, 100, 0));
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    auto *background = new SegmentEditingStateBackgroundWidget(QRect(10, 5, 100, 44), nullptr, 1.0f, &parent);
    background->show();
    QCOMPARE(background->geometry(), QRect(10, 5, 100, 44));
    const QImage shot = PixelProbe::grab(&parent);
    PROBE(shot, 50, 25, QColor(100, 50, 0), 3);
    PROBE(shot, 150, 25, QColor(200, 100, 0), 3);
  }
};

TAVO_TEST_MAIN(TestRows)
#include "tst_rows.moc"
