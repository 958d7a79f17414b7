// The window's answers to the timeline's requests: moves and removals in insert and overwrite
// mode, gestures as undo steps, the easing choice, the context menu, the keys, frame grabs and
// the scroll while media is dragged at an edge.

#include "timelinewindow.h"

#include "avengine.h"
#include "gutterscrollarea.h"
#include "popupeasingfunctionswidget.h"
#include "testenv.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

QStringList grabbedFiles()
{
  QDir dir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/Tavo REN Pictures");
  return dir.entryList({"IMG_*.png"}, QDir::Files, QDir::Name);
}

} // namespace

class TestTimeline : public QObject
{
  Q_OBJECT

private slots:
  void moveSegment_data()
  {
    QTest::addColumn<QList<Spans>>("rows");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<float>("time");
    QTest::addColumn<float>("landsAt");
    QTest::addColumn<QList<Spans>>("expected");
    const Spans three{{0, 2}, {2, 4}, {4, 6}};
    // Asked for 4 s with the block still in place: after the gap closed that is 2 s.
    QTest::newRow("later on its own row") << QList<Spans>{three} << 0 << 0 << 0 << 4.0f << 2.0f
                                          << QList<Spans>{three};
    // The block under the wanted time goes whole after the moved one.
    QTest::newRow("earlier on its own row") << QList<Spans>{three} << 0 << 2 << 0 << 1.0f << 1.0f
                                            << QList<Spans>{{{1, 3}, {3, 5}, {5, 7}}};
    QTest::newRow("into a block of another row") << QList<Spans>{{{0, 2}, {2, 4}}, {{0, 3}}} << 0 << 1 << 1 << 1.0f
                                                 << 1.0f << QList<Spans>{{{0, 2}}, {{1, 3}, {3, 6}}};
    QTest::newRow("into a gap of another row") << QList<Spans>{{{0, 2}, {2, 4}}, {{0, 1}, {5, 6}}} << 0 << 0 << 1
                                               << 2.0f << 2.0f << QList<Spans>{{{0, 2}}, {{0, 1}, {2, 4}, {7, 8}}};
  }

  void moveSegment()
  {
    QFETCH(QList<Spans>, rows);
    QFETCH(int, fromRow);
    QFETCH(int, index);
    QFETCH(int, toRow);
    QFETCH(float, time);
    QFETCH(float, landsAt);
    QFETCH(QList<Spans>, expected);
    TimelineProject p;
    QVERIFY(p.open(rows));
    Segment *moving = p.segment(fromRow, index);
    const int history = p.historyCount();
    emit p.area()->editScrollAreaMoveSegmentToTrack(moving, p.row(toRow), time);
    for (int r = 0; r < expected.size(); ++r)
      COMPARE_SPANS(p.spans(r), expected[r]);
    QCOMPARE(moving->rangeStart(), landsAt);
    QCOMPARE(moving->trackId(), p.row(toRow)->tag());
    QVERIFY(p.block(moving) && p.block(moving)->parentWidget() == p.row(toRow));
    QCOMPARE(p.historyCount(), history + 1);
    QVERIFY(p.manager()->isModified());
  }

  void moveOntoTheEmptyLastRow()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {3, 4}}}));
    TimelineWindow &w = *p.window;
    TrackWidget *last = w._lastTrackWidget;
    QVERIFY(last && p.manager()->segmentCountOnTrack(last->tag()) == 0);
    const int rows = p.area()->trackCount();
    const int buttons = w.gutter()->buttonCount();
    Segment *moving = p.segment(0, 1);
    emit p.area()->editScrollAreaMoveSegmentToTrack(moving, last, 0.0f);
    QCOMPARE(moving->trackId(), last->tag());
    QCOMPARE(last->type(), QString("IMAGE"));
    QCOMPARE(p.area()->trackCount(), rows + 1);
    QCOMPARE(w.gutter()->buttonCount(), buttons + 1);
    QVERIFY(w._lastTrackWidget != last);
    QCOMPARE(p.manager()->segmentCountOnTrack(w._lastTrackWidget->tag()), 0);
  }

  void removeSegment_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Spans>("expected");
    QTest::newRow("insert mode closes the gap") << 0 << Spans{{0, 1}, {3, 4}};
    QTest::newRow("overwrite mode leaves it") << 1 << Spans{{2, 3}, {5, 6}};
  }

  void removeSegment()
  {
    QFETCH(int, mode);
    QFETCH(Spans, expected);
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {2, 3}, {5, 6}}, {{0, 1}}}));
    p.manager()->setSegmentMode(mode);
    const int history = p.historyCount();
    emit p.area()->editScrollAreaRemoveSegment(p.segment(0, 0));
    COMPARE_SPANS(p.spans(0), expected);
    QCOMPARE(p.historyCount(), history + 1);
    QCOMPARE(p.manager()->segmentCount(), 3);
    QCOMPARE(p.manager()->duration(), qMax(1.0f, expected.last().second));
  }

  void removingTheLastBlockRemovesTheRow()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}}, {{0, 1}}}));
    TimelineWindow &w = *p.window;
    const int rows = p.area()->trackCount();
    const int buttons = w.gutter()->buttonCount();
    const int tag = p.row(1)->tag();
    emit p.area()->editScrollAreaRemoveSegment(p.segment(1, 0));
    QTRY_COMPARE(p.area()->trackCount(), rows - 1);
    QVERIFY(!p.area()->trackWidgetByTag(tag));
    QVERIFY(!w.gutter()->buttonByTag(tag));
    QTRY_COMPARE(w.gutter()->buttonCount(), buttons - 1);
    QCOMPARE(p.manager()->segmentCount(), 1);
  }

  void rowReorderRecordsOnlyWhenTagsChanged_data()
  {
    QTest::addColumn<bool>("tagsChanged");
    QTest::newRow("changed") << true;
    QTest::newRow("unchanged") << false;
  }

  void rowReorderRecordsOnlyWhenTagsChanged()
  {
    QFETCH(bool, tagsChanged);
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}}, {{0, 1}}}));
    TimelineWindow &w = *p.window;
    p.manager()->setModified(false);
    const int history = p.historyCount();
    emit p.area()->editScrollAreaBeginDraggingTrackWidget(p.row(0));
    QVERIFY(!w.gutter()->isVisible());
    emit p.area()->editScrollAreaEndDraggingTrackWidget(p.row(0), tagsChanged);
    QCOMPARE(p.historyCount(), history + (tagsChanged ? 1 : 0));
    QCOMPARE(p.manager()->isModified(), tagsChanged);
    // The model lists the rows top to bottom.
    QCOMPARE(p.manager()->segmentAt(0)->trackId(), p.row(0)->tag());
    QCOMPARE(p.manager()->segmentAt(1)->trackId(), p.row(1)->tag());
    QTRY_VERIFY(w.gutter()->isVisible() && !w.gutter()->graphicsEffect());
  }

  // A gesture takes its snapshot at the begin and drops it when its end reports no change.
  void gestureUndoSteps_data()
  {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("changed");
    for (const char *gesture : {"trim", "transition move", "transition trim"}) {
      QTest::newRow(qPrintable(QString("%1 changed").arg(gesture))) << QString(gesture) << true;
      QTest::newRow(qPrintable(QString("%1 unchanged").arg(gesture))) << QString(gesture) << false;
    }
  }

  void gestureUndoSteps()
  {
    QFETCH(QString, gesture);
    QFETCH(bool, changed);
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {3, 4}}}));
    EditScrollArea *area = p.area();
    Segment *segment = p.segment(0, 0);
    const int history = p.historyCount();
    if (gesture == "trim") {
      emit area->editScrollAreaBeginTrimSegment(segment);
      if (changed) {
        float end = 1.5f;
        segment->moveRightEdge(&end);
      }
      emit area->editScrollAreaReloadPreviewForSegment(segment, false);
    } else if (gesture == "transition move") {
      emit area->editScrollAreaBeginMoveTransition(1, true);
      emit area->editScrollAreaEndMoveTransition(1, true, changed);
    } else {
      emit area->editScrollAreaBeginTrimTransition(1, true);
      emit area->editScrollAreaEndTrimTransition(1, true, changed);
    }
    QCOMPARE(p.historyCount(), history + (changed ? 1 : 0));
    if (gesture == "trim" && changed) {
      // In insert mode the next block follows the trimmed end.
      COMPARE_SPANS(p.spans(0), (Spans{{0, 1.5f}, {2.5f, 3.5f}}));
      QTRY_VERIFY(qAbs(p.window->_playheadTime() - 1.5f) < 0.05f);
    }
  }

  // A trim that changed nothing leaves Undo and Redo on the edit before it.
  void noOpTrimKeepsUndoOnTheLastEdit()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {2, 3}, {5, 6}}}));
    const Spans before = p.spans(0);
    emit p.area()->editScrollAreaRemoveSegment(p.segment(0, 0));
    const Spans afterEdit = p.spans(0);
    Segment *kept = p.segment(0, 0);
    emit p.area()->editScrollAreaBeginTrimSegment(kept);
    emit p.area()->editScrollAreaReloadPreviewForSegment(kept, true);
    p.window->undoRedoOperation(true);
    QTRY_VERIFY(sameSpans(p.spans(0), before));
    p.window->undoRedoOperation(false);
    QTRY_VERIFY(sameSpans(p.spans(0), afterEdit));
  }

  void easingChoice_data()
  {
    QTest::addColumn<bool>("transitionChosen");
    QTest::newRow("transition chosen") << true;
    QTest::newRow("no transition") << false;
  }

  void easingChoice()
  {
    QFETCH(bool, transitionChosen);
    TimelineProject p;
    QVERIFY(p.open({{{0, 4}}}));
    TimelineWindow &w = *p.window;
    Segment *segment = p.segment(0, 0);
    QVERIFY(segment->insertTransition(1.0f, 0.5f) > 0);
    SegmentWidget *block = p.block(segment);
    p.area()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    if (transitionChosen)
      block->setTransitionId(1);
    auto *popup = new PopupEasingFunctionsWidget(&w);
    QObject::connect(popup, &PopupEasingFunctionsWidget::easingFunctionSelected, &w,
                     &TimelineWindow::easingFunctionPopup_onEasingFunctionSelected);
    QSignalSpy dismissed(popup, &CommonPopup::dismissed);
    const int history = p.historyCount();
    emit popup->easingFunctionSelected(popup, 7);
    QCOMPARE(p.historyCount(), history + 1);
    QCOMPARE(segment->transitionEasingFunction(1), transitionChosen ? 7 : 4);
    QCOMPARE(dismissed.size(), transitionChosen ? 1 : 0);
    if (!transitionChosen)
      delete popup;
  }

  void contextMenu_data()
  {
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("failed segment") << true << QString() << QStringList{"Remove"};
    const QStringList entries{"Edit", "Duplicate", "Remove", "Split", "Add Transition", "Edit Transitions"};
    QTest::newRow("segment") << false << QString() << entries;
    QTest::newRow("a transition preset chosen") << false << "Fade In" << entries;
  }

  void contextMenu()
  {
    QFETCH(bool, failed);
    QFETCH(QString, choice);
    QFETCH(QStringList, entries);
    TimelineProject p;
    const QByteArray missing = "<Segment Type=\"IMAGE\" TrackId=\"1\" RangeStart=\"5\" RangeDuration=\"1\" "
                               "File=\"gone.png\"/>\n";
    QVERIFY(p.open({{{0, 2}}}, missing, 1));
    Segment *segment = p.segment(0, failed ? 1 : 0);
    QCOMPARE(segment->error() != 0, failed);
    TimelineWindow &w = *p.window;
    w.dialogs.calls.clear();
    if (!choice.isEmpty())
      w.dialogs.answers << choice;
    // A right click selects the block before it asks for the menu.
    p.area()->setSelectedSegmentWidget(p.block(segment));
    emit p.area()->editScrollAreaPopupContextMenuForSegmentWidget(p.block(segment), QPoint(10, 10));
    QTRY_COMPARE(w.dialogs.kinds(), QStringList{"menu"});
    QStringList texts = w.dialogs.calls.first().buttons;
    for (QString &text : texts)
      text.remove('&');
    QCOMPARE(texts, entries);
    // The preset goes into the segment once, however the menu ran.
    QCOMPARE(segment->transitionCount(), choice.isEmpty() ? 0 : 1);
  }

  void directionKeys_data()
  {
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<int>("selectedIndex");
    QTest::addColumn<float>("playhead");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expectedRow");
    QTest::addColumn<int>("expectedIndex");
    QTest::newRow("right on the row") << 0 << 0 << 0.0f << int(Qt::Key_Right) << 0 << 1;
    QTest::newRow("left on the row") << 0 << 2 << 0.0f << int(Qt::Key_Left) << 0 << 1;
    QTest::newRow("down at or after") << 0 << 1 << 0.0f << int(Qt::Key_Down) << 1 << 1;
    QTest::newRow("up at or before") << 1 << 0 << 0.0f << int(Qt::Key_Up) << 0 << 0;
    QTest::newRow("up from the top row") << 0 << 1 << 0.0f << int(Qt::Key_Up) << 0 << 1;
    QTest::newRow("right from 0 with nothing chosen") << -1 << 0 << 0.0f << int(Qt::Key_Right) << 0 << 0;
    QTest::newRow("right of the play head on any row") << -1 << 0 << 2.5f << int(Qt::Key_Right) << 0 << 1;
  }

  void directionKeys()
  {
    QFETCH(int, selectedRow);
    QFETCH(int, selectedIndex);
    QFETCH(float, playhead);
    QFETCH(int, key);
    QFETCH(int, expectedRow);
    QFETCH(int, expectedIndex);
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {3, 5}, {6, 8}}, {{0.02f, 4}, {5, 7}}}));
    p.playheadAt(playhead);
    if (selectedRow >= 0)
      p.area()->setSelectedSegmentWidget(p.block(p.segment(selectedRow, selectedIndex)));
    QTest::keyClick(p.area(), Qt::Key(key));
    SegmentWidget *selected = p.area()->selectedSegmentWidget();
    QVERIFY(selected);
    QCOMPARE(selected->segment(), p.segment(expectedRow, expectedIndex));
    // A newly chosen block is sought to.
    const float start = selected->segment()->rangeStart();
    if (expectedRow != selectedRow || expectedIndex != selectedIndex)
      QTRY_VERIFY(qAbs(p.window->_playheadTime() - start) < 0.05f);
  }

  void homeAndEnd()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}, {3, 8}}}));
    p.playheadAt(4);
    p.area()->setSelectedSegmentWidget(p.block(p.segment(0, 1)));
    QTest::keyClick(p.area(), Qt::Key_Home);
    QVERIFY(!p.area()->selectedSegmentWidget());
    QTRY_VERIFY(qAbs(p.window->_playheadTime()) < 0.05f);
    QTest::keyClick(p.area(), Qt::Key_End);
    QTRY_VERIFY(qAbs(p.window->_playheadTime() - 8) < 0.05f);
  }

  void leftAndRightStepThroughTransitions()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 6}, {7, 8}}}));
    Segment *segment = p.segment(0, 0);
    QVERIFY(segment->insertTransition(1.0f, 0.5f) > 0);
    QVERIFY(segment->insertTransition(1.0f, 3.0f) > 0);
    SegmentWidget *block = p.block(segment);
    p.area()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    block->setTransitionId(1);
    QTest::keyClick(p.area(), Qt::Key_Right);
    QCOMPARE(block->transitionId(), 2);
    // None after the last: nothing changes, no other block is chosen.
    QTest::keyClick(p.area(), Qt::Key_Right);
    QCOMPARE(block->transitionId(), 2);
    QCOMPARE(p.area()->selectedSegmentWidget(), block);
    QTest::keyClick(p.area(), Qt::Key_Left);
    QCOMPARE(block->transitionId(), 1);
  }

  // Delete removes the selected block once the engine is idle; an edited one leaves editing first.
  void deleteKeyRemovesTheSelectedSegment_data()
  {
    QTest::addColumn<bool>("edited");
    QTest::newRow("selected") << false;
    QTest::newRow("edited") << true;
  }

  void deleteKeyRemovesTheSelectedSegment()
  {
    QFETCH(bool, edited);
    TimelineProject p;
    QVERIFY(p.open({{{0, 3}, {3, 6}}}));
    Segment *first = p.segment(0, 0);
    SegmentWidget *block = p.block(first);
    p.area()->setSelectedSegmentWidget(block);
    if (edited)
      block->setEditingState(true, false);
    const int count = p.window->projectManager()->segmentCount();
    QTest::keyClick(p.area(), Qt::Key_Delete);
    QTRY_COMPARE(p.window->projectManager()->segmentCount(), count - 1);
    QVERIFY(!p.area()->isEditingSegment());
  }

  void deleteKeyInTransitionModeRemovesTheTransition()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 6}}}));
    Segment *segment = p.segment(0, 0);
    QVERIFY(segment->insertTransition(1.0f, 0.5f) > 0);
    QVERIFY(segment->insertTransition(1.0f, 3.0f) > 0);
    SegmentWidget *block = p.block(segment);
    p.area()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    p.window->_showTransitionTools();
    QTRY_VERIFY(p.window->isEditingTransitions());
    block->setTransitionId(2);
    QTest::keyClick(p.area(), Qt::Key_Delete);
    QTRY_COMPARE(segment->transitionCount(), 1);
    COMPARE_SPANS(p.spans(0), (Spans{{0, 6}}));
  }

  void grabFrame()
  {
    TimelineProject p;
    const QString dir = p.project.directory();
    MediaFixtures::VideoParams clip;
    clip.width = 160;
    clip.height = 120;
    clip.frames = 50;
    QVERIFY(MediaFixtures::writeVideo(dir + "/clip.mp4", clip,
                                      [](int) { return MediaFixtures::quadrantImage(160, 120); }));
    const QByteArray movie = "<Segment Type=\"MOVIE\" TrackId=\"2\" RangeStart=\"0\" RangeDuration=\"2\" "
                             "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"2\"/>\n";
    QVERIFY(p.open({{{0, 2}}}, movie, 1));
    TimelineWindow &w = *p.window;
    Segment *video = p.segment(1, 0);
    Segment *picture = p.segment(0, 0);
    QVERIFY(video && video->type() == "MOVIE");

    p.playheadAt(1.0f);
    w.editScrollArea_grabSegmentScreen(picture);
    QVERIFY(grabbedFiles().isEmpty());
    QVERIFY(p.messages().isEmpty());

    // Two grabs within the same second keep both pictures.
    w.editScrollArea_grabSegmentScreen(video);
    w.editScrollArea_grabSegmentScreen(video);
    const QStringList files = grabbedFiles();
    QCOMPARE(files.size(), 2);
    QVERIFY(files.first().contains(QRegularExpression("^IMG_\\d{8}_\\d{6}( \\(1\\))?\\.png$")));
    QVERIFY(p.messages().contains("Image saved to Pictures successfully"));
    QImage saved(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/Tavo REN Pictures/"
                 + files.first());
    QCOMPARE(saved.size(), QSize(160, 120));
    const QColor topLeft = saved.pixelColor(40, 30); // red, not red and blue swapped
    QVERIFY2(topLeft.red() > 180 && topLeft.blue() < 80, qPrintable(topLeft.name()));

    p.playheadAt(3.0f);
    w.editScrollArea_grabSegmentScreen(video);
    QTRY_VERIFY(p.messages().contains("Move timeline to the position to grab image"));

    // No frame from the engine: nothing is saved.
    p.playheadAt(1.0f);
    w._engine->removeSegment(video->id());
    w.editScrollArea_grabSegmentScreen(video);
    QTRY_VERIFY(p.messages().contains("Save image failed"));
    QCOMPARE(grabbedFiles().size(), 2);
  }

  void scrollWhileDraggingMedia()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 300}}}));
    TimelineWindow &w = *p.window;
    p.area()->setContentOffset(QPoint(30, 0), false);
    QTRY_COMPARE(p.area()->contentOffset().x(), 30);
    float time = 1.0f;
    p.row(0)->showDraggingFrame(nullptr, &time, 2.0f);
    w._dropTrack = p.row(0);
    w._dropTime = 0.5f;
    w._dropLength = 2.0f;
    QSignalSpy scrolled(p.area(), &EditScrollArea::editScrollAreaDidScroll);
    w._dragAtLeftEdge = true;
    w._autoScrollWhileDragging();
    QTRY_COMPARE(p.area()->contentOffset().x(), 0);
    QCOMPARE(scrolled.size(), 3);
    QCOMPARE(scrolled[0].first().toPoint().x(), 18);
    QCOMPARE(scrolled[1].first().toPoint().x(), 6);
    // The drop time never goes below 0, however long the edge is held.
    QCOMPARE(w._dropTime, 0.0f);
    w._dragAtLeftEdge = false;

    // Without a flag a step does nothing and schedules nothing.
    scrolled.clear();
    w._autoScrollWhileDragging();
    w._autoScrollVerticallyWhileDragging();
    QVERIFY(!scrolled.wait(200));
  }
};

TAVO_TEST_MAIN(TestTimeline)
#include "tst_timeline.moc"
