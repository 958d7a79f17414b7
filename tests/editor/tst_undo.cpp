// Undo and redo on the open window: the project state after every step, the empty history, the
// rebuilt tracks, segments that come and go, the selection and the view kept across a rebuild.

#include "editingfixture.h"
#include "testenv.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "trackwidget.h"

#include <QtTest>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

// The heap as a busy program often behaves: the block of one object, once freed, goes to the
// next allocation of its size, so a new segment can live at a deleted one's address. Under
// AddressSanitizer the heap stays its own: it reports the stale read itself.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kBlocksReused = false;
#else
constexpr bool kBlocksReused = true;
#endif

std::atomic<void *> g_watchedBlock{nullptr};
std::atomic<void *> g_freedBlock{nullptr};
std::atomic<std::size_t> g_freedSize{0};

void reuseBlockOf(void *object, std::size_t size)
{
  g_freedSize = size;
  g_watchedBlock = object;
}

void stopReusing()
{
  g_watchedBlock = nullptr;
  g_freedSize = 0;
  std::free(g_freedBlock.exchange(nullptr));
}

} // namespace

#if !defined(__SANITIZE_ADDRESS__)
void *operator new(std::size_t size)
{
  if (size == g_freedSize.load())
    if (void *block = g_freedBlock.exchange(nullptr))
      return block;
  if (void *block = std::malloc(size ? size : 1))
    return block;
  throw std::bad_alloc();
}

void operator delete(void *block) noexcept
{
  void *watched = block;
  if (block && g_watchedBlock.compare_exchange_strong(watched, nullptr)) {
    g_freedBlock = block;
    return;
  }
  std::free(block);
}

void operator delete(void *block, std::size_t) noexcept
{
  operator delete(block);
}
#endif

namespace {

// The snapshot a record would write now, with the track ids given per segment (all kept when
// the list is empty) and without the segments of the skipped identities.
PropertyMapList snapshotOf(EditingSession &session, const QList<int> &trackIds = {},
                           const QStringList &skipped = {})
{
  PropertyMapList list;
  for (int i = 0; i < session.segmentCount(); ++i) {
    Segment *segment = session.segmentAt(i);
    if (skipped.contains(segment->uid()))
      continue;
    auto map = std::make_unique<PropertyMap>(*segment->properties());
    if (!trackIds.isEmpty())
      map->setText("TrackId", QString::number(trackIds.value(i)));
    list.push_back(std::move(map));
  }
  return list;
}

} // namespace

class TestUndo : public QObject
{
  Q_OBJECT

  EditingSession session;

  EditingWindow *window() { return session.window.get(); }

  // Segments ordered by track and start, each with its own block on the track of its id.
  void checkInvariants()
  {
    ProjectManager *project = window()->projectManager();
    for (int i = 0; i < project->segmentCount(); ++i) {
      Segment *segment = project->segmentAt(i);
      auto *block = static_cast<SegmentWidget *>(project->segmentWidgetAt(i));
      QVERIFY2(block && block->segment() == segment, qPrintable(QString("block %1").arg(i)));
      TrackWidget *track = window()->editScrollArea()->trackWidgetByTag(segment->trackId());
      QVERIFY2(track && track->segmentWidgetForSegment(segment) == block, qPrintable(QString("track %1").arg(i)));
      if (i > 0) {
        Segment *previous = project->segmentAt(i - 1);
        QVERIFY(previous->trackId() < segment->trackId()
                || (previous->trackId() == segment->trackId() && previous->rangeStart() <= segment->rangeStart()));
      }
    }
    const ProjectHistory &history = project->history();
    QVERIFY(history.position() >= -1 && history.position() < history.count());
  }

  // Undo or redo once the engine is idle, so the step runs at once rather than on a retry.
  void step(bool undo)
  {
    QTRY_VERIFY(window()->_engine->isIdle());
    window()->undoRedoOperation(undo);
  }

  void command(const QString &uid, int cmdId)
  {
    session.edit(session.segmentByUId(uid));
    window()->_segmentCommand(nullptr, cmdId);
  }

private slots:
  void initTestCase() { QVERIFY(session.open()); }

  // Runs first, on the untouched history.
  void emptyHistoryRefuses_data()
  {
    QTest::addColumn<bool>("undo");
    QTest::addColumn<QString>("message");
    QTest::newRow("undo") << true << "No operation to undo";
    QTest::newRow("redo") << false << "No operation to redo";
  }

  void emptyHistoryRefuses()
  {
    QFETCH(bool, undo);
    QFETCH(QString, message);
    const QString before = session.state();
    const int beeps = session.beeps.count;
    session.huds.clear();
    QTRY_VERIFY(window()->_engine->isIdle());
    session.engine.clear();
    window()->undoRedoOperation(undo);
    QCOMPARE(session.beeps.count - beeps, 1);
    QCOMPARE(session.huds.texts(), QStringList{message});
    // It goes by itself, not before its time; a busy machine can only make it late.
    QTRY_VERIFY_WITH_TIMEOUT(session.huds.entries().first().shownMs >= 0, 20000);
    const qint64 shown = session.huds.entries().first().shownMs;
    QVERIFY2(shown >= 1800, qPrintable(QString::number(shown)));
    QCOMPARE(session.state(), before);
    // A redraw still due from the step before may land here; it changes nothing.
    QStringList changes = session.engine.names();
    changes.removeAll(QStringLiteral("refresh"));
    QVERIFY2(changes.isEmpty(), qPrintable(changes.join(' ')));
  }

  void stepsRestoreTheRecordedStates()
  {
    QStringList states{session.state()};
    struct Step
    {
      QString what;
      QString uid;
      int command; // 0: undo, -1: redo
      int expected; // index of the state after the step; -1 a new state
    };
    const QList<Step> steps = {
      {"rotate the picture", "seg-2", 10006, -1},   // state 1
      {"align the text", "seg-3", 10023, -1},       // state 2
      {"flip the movie", "seg-1", 10008, -1},       // state 3
      {"undo", "", 0, 2},
      {"undo", "", 0, 1},
      {"redo", "", -1, 2},
      {"undo", "", 0, 1},
      {"undo", "", 0, 0},
      {"redo", "", -1, 1},
      {"flip the drawing", "seg-4", 10009, -1},     // state 4, the redo tail goes
      {"redo at the newest", "", -1, 4},
      {"undo", "", 0, 1},
      {"redo", "", -1, 4},
    };
    for (const Step &step : steps) {
      if (step.command > 0)
        command(step.uid, step.command);
      else
        this->step(step.command == 0);
      const QString now = session.state();
      if (step.expected < 0) {
        QVERIFY2(!states.contains(now), qPrintable(step.what));
        states << now;
      } else {
        QVERIFY2(now == states[step.expected], qPrintable(step.what + ":\n" + now + "\ninstead of\n" + states[step.expected]));
      }
      checkInvariants();
      QVERIFY(session.waitUntilLoaded());
    }
  }

  void trackIdsAreRenumberedInOrder()
  {
    // One kind to a row, as the project opened: the rows of the history's snapshots stay.
    const QList<int> trackIds{1, 3, 7, 8, 12};
    QCOMPARE(session.segmentCount(), trackIds.size());
    PropertyMapList snapshot = snapshotOf(session, trackIds);
    GutterScrollArea *gutter = window()->gutter();
    const int last = gutter->addTrackButton();
    gutter->removeTrackButton(last);
    window()->_applySnapshot(snapshot);

    QCOMPARE(session.trackCount(), trackIds.size() + 1);
    QList<int> tags;
    for (int i = 0; i < session.trackCount(); ++i)
      tags << window()->editScrollArea()->trackWidgetAt(i)->tag();
    QCOMPARE(tags, (QList<int>{last + 1, last + 2, last + 3, last + 4, last + 5, last + 6}));
    QCOMPARE(window()->editScrollArea()->trackWidgetAt(trackIds.size())->segmentWidgetCount(), 0);
    for (int i = 0; i < session.segmentCount(); ++i)
      QCOMPARE(session.segmentAt(i)->trackId(), last + 1 + i);
    checkInvariants();
  }

  // A step renews the edited segment only: the other blocks stay the same objects and the engine
  // hears nothing about the other segments, nor about a text that did not change (a pasted text
  // of megabytes is laid out again for it).
  void stepKeepsWhatItDidNotChange_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("cmdId"); // 0: the text retyped, as the in-place editor leaves it
    QTest::addColumn<bool>("textHeard");
    QTest::newRow("picture rotated") << "seg-2" << 10006 << false;
    QTest::newRow("text aligned") << "seg-3" << 10023 << false;
    QTest::newRow("text retyped") << "seg-3" << 0 << true;
    QTest::newRow("movie flipped") << "seg-1" << 10008 << false;
  }

  void stepKeepsWhatItDidNotChange()
  {
    QFETCH(QString, uid);
    QFETCH(int, cmdId);
    QFETCH(bool, textHeard);
    QVERIFY(session.waitUntilLoaded());
    if (cmdId) {
      command(uid, cmdId);
    } else {
      auto *text = static_cast<TextSegment *>(session.segmentByUId(uid));
      session.edit(text);
      window()->_recordOperation();
      text->setText(text->text() + " retyped");
      window()->_engine->setText(text->id(), text->text().toUtf8().constData());
    }
    for (bool undo : {true, false}) {
      QHash<QString, QPointer<SegmentWidget>> blocks;
      QSet<quint32> untouched;
      for (int i = 0; i < session.segmentCount(); ++i) {
        Segment *segment = session.segmentAt(i);
        if (segment->uid() == uid)
          continue;
        blocks.insert(segment->uid(), session.block(segment));
        untouched << segment->id();
        if (segment->audioPartId())
          untouched << segment->audioPartId();
      }
      QTRY_VERIFY(window()->_engine->isIdle());
      session.engine.clear();
      window()->undoRedoOperation(undo);
      for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        QVERIFY2(it.value(), qPrintable(it.key()));
        QCOMPARE(session.block(session.segmentByUId(it.key())), it.value().data());
      }
      bool changedHeard = false;
      const quint32 changed = session.segmentByUId(uid)->id();
      for (const EngineCallLog::Call &call : session.engine.calls()) {
        QVERIFY2(!untouched.contains(call.id), qPrintable(call.name));
        changedHeard = changedHeard || call.id == changed;
      }
      QVERIFY(changedHeard);
      QStringList texts;
      for (const EngineCallLog::Call &call : session.engine.calls("setText"))
        texts << call.text;
      const QString now = session.segmentByUId(uid)->properties()->text("Text");
      QCOMPARE(texts, textHeard ? QStringList{now} : QStringList());
      checkInvariants();
    }
  }

  // The rebuild without a movie removes both of its engine parts; undo brings it back loaded.
  void removedSegmentComesBack()
  {
    Segment *movie = session.segment("MOVIE");
    QTRY_VERIFY_WITH_TIMEOUT(movie->audioPartId() != 0, 20000);
    const QString uid = movie->uid();
    PropertyMap kept = *movie->properties();
    const quint32 ids[] = {movie->id(), movie->audioPartId()};
    window()->_recordOperation();
    PropertyMapList without = snapshotOf(session, {}, {uid});
    session.engine.clear();
    window()->_applySnapshot(without);
    QVERIFY(!session.segmentByUId(uid));
    QList<quint32> removed;
    for (const EngineCallLog::Call &call : session.engine.calls("removeSegment"))
      removed << call.id;
    QCOMPARE(removed, (QList<quint32>{ids[0], ids[1]}));
    checkInvariants();

    session.engine.clear();
    step(true);
    Segment *back = session.segmentByUId(uid);
    QVERIFY(back);
    QVERIFY(back->id() != ids[0]);
    PropertyMap restored = *back->properties();
    restored.setText("TrackId", kept.text("TrackId"));
    QVERIFY(restored == kept);
    QVERIFY(session.waitUntilLoaded());
    QVERIFY(session.block(back)->isVisible());
    QCOMPARE(session.engine.calls("addVideoSegment").size(), 1);
    QCOMPARE(session.engine.calls("addVideoSegment").first().id, back->id());
    checkInvariants();

    QTRY_VERIFY_WITH_TIMEOUT(back->audioPartId() != 0, 20000);
    const quint32 again[] = {back->id(), back->audioPartId()};
    session.engine.clear();
    step(false);
    QVERIFY(!session.segmentByUId(uid));
    removed.clear();
    for (const EngineCallLog::Call &call : session.engine.calls("removeSegment"))
      removed << call.id;
    QCOMPARE(removed, (QList<quint32>{again[0], again[1]}));
    step(true);
    QVERIFY(session.waitUntilLoaded());
  }

  // A loading task's report waits in the queue while the segment goes and a rebuild makes a new
  // one (often at the freed address): the report must not reach the new segment's block.
  void reportsOutlivingTheirSegmentChangeNothing_data()
  {
    QTest::addColumn<QString>("removal");
    QTest::newRow("kept") << "";
    QTest::newRow("undo rebuild") << "snapshot";
    QTest::newRow("delete") << "segment";
    QTest::newRow("delete track") << "track";
  }

  void reportsOutlivingTheirSegmentChangeNothing()
  {
    QFETCH(QString, removal);
    QVERIFY(session.waitUntilLoaded());
    QTRY_VERIFY(window()->_engine->isIdle());
    Segment *movie = session.segment("MOVIE");
    const QString uid = movie->uid();
    const quint32 id = movie->id();
    QTRY_VERIFY(!session.block(movie)->loadingIndicator());
    PropertyMapList whole = snapshotOf(session);

    // From here until the queue is run, nothing may spin the event loop.
    window()->segmentStateChanged(movie, SegmentOpened);
    if (!removal.isEmpty())
      reuseBlockOf(movie, sizeof(MovieSegment));
    if (removal == "snapshot") {
      window()->_recordOperation();
      PropertyMapList without = snapshotOf(session, {}, {uid});
      window()->_applySnapshot(without);
    } else if (removal == "segment") {
      window()->editScrollArea_removeSegment(movie);
    } else if (removal == "track") {
      window()->editScrollArea_removeTrack(window()->editScrollArea()->trackWidgetByTag(movie->trackId()));
    }
    if (!removal.isEmpty()) {
      QVERIFY(!session.segmentByUId(uid));
      window()->_applySnapshot(whole);
    }
    Segment *now = session.segmentByUId(uid);
    stopReusing();
    QVERIFY(now);
    QCOMPARE(now->id() == id, removal.isEmpty());
    if (kBlocksReused)
      QCOMPARE(now, movie);
    QCoreApplication::sendPostedEvents(window(), QEvent::MetaCall);
    QCOMPARE(session.block(now)->loadingIndicator() != nullptr, removal.isEmpty());

    if (removal.isEmpty())
      window()->segmentStateChanged(now, SegmentReady);
    QVERIFY(session.waitUntilLoaded());
    QTRY_VERIFY(!session.block(now)->loadingIndicator());
    checkInvariants();
  }

  void transitionToolsReopenOnTheSameTransition()
  {
    Segment *picture = session.segmentByUId("seg-2");
    while (picture->transitionCount())
      picture->removeTransition(picture->transitionIdAt(0));
    QVERIFY(picture->insertTransition(0.5f, picture->rangeStart() + 0.1f) > 0);
    const int second = picture->insertTransition(0.5f, picture->rangeStart() + 1.5f);
    QVERIFY(second > 0);
    const float start = picture->transitionStart(second);
    const float duration = picture->transitionDuration(second);
    SegmentWidget *block = session.edit(picture);
    // The desktop window's transition tools live in its inspector.
    window()->showEditingToolsFor(block, picture->rangeStart());
    QTRY_VERIFY(window()->segmentInspectorWidget());
    window()->_showTransitionTools();
    block->setTransitionId(second);
    window()->_recordOperation();
    command("seg-2", 10006);
    window()->_showTransitionTools();
    session.block(picture)->setTransitionId(second);

    step(true);
    SegmentWidget *editing = window()->editScrollArea()->editingSegmentWidget();
    QVERIFY(editing);
    QCOMPARE(editing->segment()->uid(), QString("seg-2"));
    QVERIFY(window()->isEditingTransitions());
    const int chosen = editing->transitionId();
    QVERIFY(chosen > 0);
    QVERIFY(std::abs(editing->segment()->transitionStart(chosen) - start) <= 0.01f);
    QVERIFY(std::abs(editing->segment()->transitionDuration(chosen) - duration) <= 0.01f);
  }

  void viewSurvives()
  {
    window()->_setTimelineScale(8);
    window()->editScrollArea()->setContentOffset(QPoint(300, 0), false);
    QCOMPARE(window()->editScrollArea()->contentOffset().x(), 300);
    command("seg-3", 10023);
    QTRY_VERIFY(window()->_engine->isIdle());
    // Entering the segment's editing may have brought its start under the play head.
    const int offset = window()->editScrollArea()->contentOffset().x();
    const float time = window()->_playheadTime();
    session.engine.clear();
    window()->undoRedoOperation(true);
    // A refresh still due from the command defers the undo until the engine is idle again.
    QTRY_VERIFY(!session.engine.calls("seek").isEmpty());
    QCOMPARE(window()->editScrollArea()->contentOffset().x(), offset);
    QCOMPARE(window()->_playheadTime(), time);
    const QList<EngineCallLog::Call> seeks = session.engine.calls("seek");
    QVERIFY(std::abs(seeks.last().a - time) < 1e-3);
    window()->_setTimelineScale(1);
  }

  // Waits for the playback threads to park, then steps back once.
  void undoWhilePlayingWaitsForIdle()
  {
    command("seg-2", 10007);
    const QString once = session.state();
    command("seg-2", 10007);
    const QString twice = session.state();
    AVEngine *engine = window()->_engine;
    engine->seek(0, true);
    engine->togglePlayPause();
    QTRY_VERIFY(!engine->isIdle());
    window()->undoRedoOperation(true);
    QCOMPARE(session.state(), twice);
    engine->pause();
    QTRY_COMPARE(session.state(), once);
    QTest::qWait(300);
    QCOMPARE(session.state(), once);
  }
};

TAVO_TEST_MAIN(TestUndo)
#include "tst_undo.moc"
