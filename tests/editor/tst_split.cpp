// Splitting a segment at the play head: where it is refused, how the track settles after the
// range commit in either mode, the two ways of dealing with transitions, and a failed copy.

#include "timelinewindow.h"

#include <QElapsedTimer>

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avsegment.h"
#include "avtransition.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "avengine.h"
#include "desktopmainwindowform.h"
#include "pointerwidget.h"
#include "rulerwidget.h"

namespace {

// The split segment spans [10, 16]; a later one follows at [17, 18].
const QList<Spans> Track{{{10, 16}, {17, 18}}};
const QString Refused = QStringLiteral("Move timeline to the position to split");
const QString Shorten = QStringLiteral("Duplicate and shorten the transition(s)");
const QString Keep = QStringLiteral("Don't shorten the transition(s)");

struct Transition
{
  float start;
  float duration;
};

QList<Transition> transitions(Segment *segment)
{
  QList<Transition> list;
  for (int id = 1; id <= segment->transitionCount(); ++id)
    list << Transition{segment->rangeStart() + segment->transitionStart(id), segment->transitionDuration(id)};
  return list;
}

} // namespace

class TestSplit : public QObject
{
  Q_OBJECT

private slots:
  void refusedNearTheEndsAndOutside_data()
  {
    QTest::addColumn<float>("playhead");
    QTest::newRow("before the segment") << 9.0f;
    QTest::newRow("0.03 s after the start") << 10.03f;
    QTest::newRow("0.03 s before the end") << 15.97f;
    QTest::newRow("at the end") << 16.0f;
  }

  void refusedNearTheEndsAndOutside()
  {
    QFETCH(float, playhead);
    TimelineProject p;
    QVERIFY(p.open(Track));
    p.playheadAt(playhead);
    const int history = p.historyCount();
    emit p.area()->editScrollAreaSplitSegment(p.segment(0, 0));
    QTRY_VERIFY(p.messages().contains(Refused));
    COMPARE_SPANS(p.spans(0), Track[0]);
    QCOMPARE(p.historyCount(), history);
  }

  // Right after the split the new part waits at the old end with the rest of the track moved
  // on; the commit 200 ms later closes up, in overwrite mode as well.
  void splitWithoutTransitions_data()
  {
    QTest::addColumn<int>("mode");
    QTest::newRow("insert mode") << 0;
    QTest::newRow("overwrite mode") << 1;
  }

  void splitWithoutTransitions()
  {
    QFETCH(int, mode);
    TimelineProject p;
    QVERIFY(p.open(Track));
    p.manager()->setSegmentMode(mode);
    p.playheadAt(12.0f);
    const int history = p.historyCount();
    emit p.area()->editScrollAreaSplitSegment(p.segment(0, 0));
    COMPARE_SPANS(p.spans(0), (Spans{{10, 12}, {16, 20}, {21, 22}}));
    QTRY_VERIFY(sameSpans(p.spans(0), (Spans{{10, 12}, {12, 16}, {17, 18}})));
    QCOMPARE(p.historyCount(), history + 1);
    QCOMPARE(p.manager()->segmentCount(), 3);
    QVERIFY(p.block(p.segment(0, 1)));
    // The split's own snapshot is its only undo step.
    p.window->undoRedoOperation(true);
    QTRY_VERIFY(sameSpans(p.spans(0), Track[0]));
  }

  // A press and release on the ruler with nothing between them (a quick click, a tap) moves the
  // time with the pointer: the split happens there, and playing starts from there.
  void quickRulerClickMovesTheTime()
  {
    TimelineProject p;
    QVERIFY(p.open({Spans{{0, 5}}}));
    TimelineWindow &w = *p.window;
    const DesktopMainWindowForm &form = w.form();
    const float x = 60 + 2.5f * 24 * w._zoom - p.area()->horizontalOffset();
    const QPoint global = form.pointerAreaWidget->mapToGlobal(QPoint(qRound(x), 0));
    const QPoint onRuler(form.rulerWidget->mapFromGlobal(global).x(), form.rulerWidget->height() / 2);
    QTest::mouseClick(form.rulerWidget, Qt::LeftButton, {}, onRuler);
    QVERIFY2(qAbs(w._playheadTime() - 2.5f) < 0.05f, qPrintable(QString::number(w._playheadTime())));
    QCOMPARE(w.playheadPointer()->centerX(), w._playheadX + 60);

    emit p.area()->editScrollAreaSplitSegment(p.segment(0, 0));
    QTRY_VERIFY2(p.spans(0).size() == 2, qPrintable(spansText(p.spans(0)) + " " + p.messages().join(' ')));
    QVERIFY(qAbs(p.spans(0)[0].second - 2.5f) < 0.05f);
    QVERIFY(!p.messages().contains(Refused));

    w.actions().playPause->trigger();
    QTRY_VERIFY(w._playing);
    const float from = w._engine->currentTime();
    w.actions().playPause->trigger();
    QVERIFY2(from >= 2.45f, qPrintable(QString::number(from)));
  }

  // Leaving a block commits its range after the gutter has faded in; selecting another block
  // meanwhile must neither lose that commit nor let it use the other block's range.
  void commitsOfTwoBlocksInterleave_data()
  {
    QTest::addColumn<bool>("otherFirst");
    QTest::newRow("the other block left just before the split") << true;
    QTest::newRow("the other block selected just after the split") << false;
  }

  void commitsOfTwoBlocksInterleave()
  {
    QFETCH(bool, otherFirst);
    TimelineProject p;
    QVERIFY(p.open({Track[0], Spans{{0, 2}}}));
    SegmentWidget *other = p.block(p.segment(1, 0));
    SegmentWidget *split = p.block(p.segment(0, 0));
    p.playheadAt(12.0f);
    if (otherFirst) {
      other->setEditingState(true, false);
      other->setEditingState(false, true);
    }
    split->setEditingState(true, false);
    emit p.area()->editScrollAreaSplitSegment(p.segment(0, 0));
    if (!otherFirst)
      other->setEditingState(true, false);
    QTRY_VERIFY2(sameSpans(p.spans(0), (Spans{{10, 12}, {12, 16}, {17, 18}})), qPrintable(spansText(p.spans(0))));
    COMPARE_SPANS(p.spans(1), (Spans{{0, 2}}));
  }

  void transitionChoice_data()
  {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QList<float>>("firstStarts");
    QTest::addColumn<QList<float>>("secondStarts");
    // Transitions at 10.5-11.5 and 14-15 of [10, 16], split at 12.
    QTest::newRow("closed without a choice") << QString() << QList<float>{10.5f, 14} << QList<float>{};
    // Both parts keep both, scaled with their lengths (2 s and 4 s of 6 s).
    QTest::newRow("shorten") << Shorten << QList<float>{10 + 0.5f / 3, 10 + 4.0f / 3}
                             << QList<float>{12 + 0.5f * 4 / 6, 12 + 4.0f * 4 / 6};
    // Each part keeps what lies inside it, at the old times.
    QTest::newRow("keep") << Keep << QList<float>{10.5f} << QList<float>{14};
  }

  void transitionChoice()
  {
    QFETCH(QString, answer);
    QFETCH(QList<float>, firstStarts);
    QFETCH(QList<float>, secondStarts);
    TimelineProject p;
    QVERIFY(p.open(Track));
    TimelineWindow &w = *p.window;
    Segment *segment = p.segment(0, 0);
    QVERIFY(segment->insertTransition(1.0f, 10.5f) == 1);
    QVERIFY(segment->insertTransition(1.0f, 14.0f) == 2);
    // Insertion keeps a small gap after a start; place them exactly.
    segment->setTransitionStart(1, 0.5f);
    segment->setTransitionStart(2, 4.0f);
    segment->setTransitionUserTransparency(2, false, 0.4f);
    p.playheadAt(12.0f);
    const int history = p.historyCount();
    w.dialogs.answers << (answer.isEmpty() ? QVariant() : QVariant(answer));
    emit p.area()->editScrollAreaSplitSegment(segment);
    QCOMPARE(w.dialogs.kinds(), QStringList{"menu"});
    QCOMPARE(w.dialogs.calls.first().title, QString("How to deal with the existing transition(s)?"));
    QVERIFY(w.dialogs.calls.first().buttons.contains(Shorten));
    QVERIFY(w.dialogs.calls.first().buttons.contains(Keep));
    if (answer.isEmpty()) {
      COMPARE_SPANS(p.spans(0), Track[0]);
      QCOMPARE(p.historyCount(), history);
      QCOMPARE(transitions(segment).size(), 2);
      return;
    }
    QTRY_VERIFY(sameSpans(p.spans(0), (Spans{{10, 12}, {12, 16}, {17, 18}})));
    QCOMPARE(p.historyCount(), history + 1);
    Segment *second = p.segment(0, 1);
    const QList<Transition> first = transitions(segment);
    const QList<Transition> next = transitions(second);
    QCOMPARE(first.size(), firstStarts.size());
    QCOMPARE(next.size(), secondStarts.size());
    for (int i = 0; i < first.size(); ++i)
      QVERIFY2(qAbs(first[i].start - firstStarts[i]) < 1e-3, qPrintable(QString::number(first[i].start)));
    for (int i = 0; i < next.size(); ++i)
      QVERIFY2(qAbs(next[i].start - secondStarts[i]) < 1e-3, qPrintable(QString::number(next[i].start)));
    if (answer == Keep) {
      QCOMPARE(first[0].duration, 1.0f);
      QCOMPARE(next[0].duration, 1.0f);
    }
  }

  // The new part goes on from the end state of the split segment's last transition.
  void keptPartTakesTheLastTransitionsEndState()
  {
    TimelineProject p;
    QVERIFY(p.open(Track));
    TimelineWindow &w = *p.window;
    Segment *segment = p.segment(0, 0);
    QVERIFY(segment->insertTransition(1.0f, 10.5f) == 1);
    segment->setTransitionUserTransparency(1, false, 0.4f);
    p.playheadAt(12.0f);
    w.dialogs.answers << Keep;
    emit p.area()->editScrollAreaSplitSegment(segment);
    Segment *second = p.segment(0, 1);
    QVERIFY(second && second != segment);
    QCOMPARE(second->transitionCount(), 0);
    QVERIFY(qAbs(second->userTransparency() - 0.4f) < 1e-4);
  }

  // Kept transitions stay where they were on the timeline in the engine as well, for a picture
  // and for both parts of a movie with sound: the preview fades at the kept times.
  void keptTransitionsPlayAtTheirTimes_data()
  {
    QTest::addColumn<bool>("movie");
    QTest::newRow("picture") << false;
    QTest::newRow("movie with sound") << true;
  }

  void keptTransitionsPlayAtTheirTimes()
  {
    QFETCH(bool, movie);
    TimelineProject p;
    QByteArray clipXml;
    if (movie) {
      MediaFixtures::VideoParams clip;
      clip.width = 160;
      clip.height = 120;
      clip.frames = 180;
      clip.withTone = true;
      QVERIFY(MediaFixtures::writeVideo(p.project.directory() + "/clip.mp4", clip,
                                        [](int) { return MediaFixtures::quadrantImage(160, 120); }));
      clipXml = "<Segment Type=\"MOVIE\" TrackId=\"1\" RangeStart=\"10\" RangeDuration=\"6\" File=\"clip.mp4\" "
                "TrimStart=\"0\" TrimDuration=\"6\"/>\n";
    }
    QVERIFY(p.open(movie ? QList<Spans>{} : Track, clipXml, movie ? 1 : 0));
    TimelineWindow &w = *p.window;
    Segment *segment = p.segment(0, 0);
    QCOMPARE(segment->type(), QString(movie ? "MOVIE" : "IMAGE"));
    QVERIFY(!movie || segment->audioPartId());
    // A fade out over 10.5-11.5 and a change over 14-15 of [10, 16].
    QVERIFY(segment->insertTransition(1.0f, 10.5f) == 1);
    QVERIFY(segment->insertTransition(1.0f, 14.0f) == 2);
    segment->setTransitionStart(1, 0.5f);
    segment->setTransitionStart(2, 4.0f);
    segment->setTransitionUserTransparency(1, false, 1.0f);
    segment->setTransitionUserTransparency(2, true, 1.0f);
    segment->setTransitionUserTransparency(2, false, 0.5f);
    w._refreshSegment(segment);
    QVERIFY2(engineTransitionsDiffer(w, segment).isEmpty(), qPrintable(engineTransitionsDiffer(w, segment)));

    p.playheadAt(12.0f);
    w.dialogs.answers << Keep;
    emit p.area()->editScrollAreaSplitSegment(segment);
    Segment *second = p.segment(0, 1);
    QVERIFY(second && second != segment);
    QCOMPARE(segment->transitionCount(), 1);
    QCOMPARE(second->transitionCount(), 1);
    QTRY_VERIFY2(engineTransitionsDiffer(w, segment).isEmpty(), qPrintable(engineTransitionsDiffer(w, segment)));
    QTRY_VERIFY2(w._composition->findSegment(second->id()) && engineTransitionsDiffer(w, second).isEmpty(),
                 qPrintable(engineTransitionsDiffer(w, second)));
    QTRY_VERIFY(sameSpans(p.spans(0).mid(0, 2), (Spans{{10, 12}, {12, 16}})));

    // Whole before the fade and just into it, gone after it: inside the picture's red quarter.
    AVGLWidget *preview = w.previewWidget();
    const int inset = qMin(preview->width(), preview->height()) / 10;
    const int x = preview->width() / 2 - inset;
    const int y = preview->height() / 2 - inset;
    struct Probe
    {
      float time;
      bool red;
    };
    for (const Probe &probe : {Probe{10.3f, true}, Probe{10.55f, true}, Probe{11.6f, false}}) {
      w._engine->seek(probe.time, true);
      QImage frame;
      // A frame composed while a piece's picture was still being handed to the engine lacks it
      // until the next composition: a busy machine gets a fresh one each second.
      QElapsedTimer sinceSeek;
      sinceSeek.start();
      const bool shown = QTest::qWaitFor(
          [&] {
            if (sinceSeek.hasExpired(1000)) {
              w._engine->seek(probe.time, true);
              sinceSeek.restart();
            }
            preview->update();
            frame = preview->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
            return !frame.isNull() && PixelProbe::near(frame.pixel(x, y), Qt::red, 40) == probe.red;
          },
          10000);
      QVERIFY2(shown, qPrintable(QString("at %1 s (%2, %3) is %4, expected %5")
                                     .arg(probe.time)
                                     .arg(x)
                                     .arg(y)
                                     .arg(frame.isNull() ? QString("nothing") : PixelProbe::text(frame.pixel(x, y)))
                                     .arg(probe.red ? "red" : "no red")));
    }
  }

  void drawingThatCannotBeCopied()
  {
    TimelineProject p;
    const QByteArray drawing = "<Segment Type=\"DRAWING\" TrackId=\"2\" RangeStart=\"0\" RangeDuration=\"6\" "
                               "File=\"missing-drawing.png\"/>\n";
    QVERIFY(p.open(Track, drawing, 1));
    TimelineWindow &w = *p.window;
    Segment *sketch = p.segment(1, 0);
    QVERIFY(sketch && sketch->type() == "DRAWING");
    p.playheadAt(3.0f);
    emit p.area()->editScrollAreaSplitSegment(sketch);
    QTRY_COMPARE(p.spans(1).size(), 1);
    QCOMPARE(p.manager()->segmentCount(), 3);
    // The window's lock came free again: the next split goes through.
    QVERIFY(w._splitMutex.tryLock());
    w._splitMutex.unlock();
    p.playheadAt(12.0f);
    emit p.area()->editScrollAreaSplitSegment(p.segment(0, 0));
    QTRY_VERIFY(sameSpans(p.spans(0), (Spans{{10, 12}, {12, 16}, {17, 18}})));
  }
};

TAVO_TEST_MAIN(TestSplit)
#include "tst_split.moc"
