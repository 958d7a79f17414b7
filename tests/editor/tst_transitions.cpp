// The transition toolbar's commands on a chosen transition: removing and duplicating with the
// engine's groups kept in step under every engine id, turning a state, seeking to a state,
// transition mode, and images over engine picture buffers.

#include "transitionproject.h"

#include "editingfixture.h"

#include "avpixelbuffer.h"
#include "popupcolorsscrollwidget.h"
#include "popupsliderwidget.h"
#include "projecthistory.h"
#include "scrollabletoolbar.h"
#include "testenv.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

using Groups = QList<QPair<int, double>>;

// Three 0.3-s transitions on the 2-s movie, at 0, 0.84 and 1.44 s (a slot after the start
// keeps 0.04 s from what lies before).
void threeTransitions(Segment *movie)
{
  for (float at : {0.0f, 0.8f, 1.4f})
    movie->insertTransition(0.3f, movie->rangeStart() + at);
}

// A timer started after the window's 200-ms one, and longer than its coarse slack, fires after it.
bool waitPastToolsDelay()
{
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QSignalSpy fired(&timer, &QTimer::timeout);
  timer.start(300);
  return fired.wait(5000);
}

// The engine's transition list calls in order: "remove V 1", "change A 2>1", "add V 2", with V
// the segment's engine id and A its sound part's.
QStringList listCalls(const EngineCallLog &log, const Segment *segment)
{
  QStringList calls;
  for (const EngineCallLog::Call &call : log.calls()) {
    const QString who = call.id == segment->id() ? "V" : call.id == segment->audioPartId() ? "A" : "?";
    if (call.name == "removeTransition")
      calls << QString("remove %1 %2").arg(who).arg(call.groupId);
    else if (call.name == "addTransition")
      calls << QString("add %1 %2").arg(who).arg(call.groupId);
    else if (call.name == "changeTransitionId")
      calls << QString("change %1 %2>%3").arg(who).arg(call.groupId).arg(call.propertyId);
  }
  return calls;
}

// The segment as its project file keeps it, but for the track tag a rebuild hands out anew.
QString xmlOf(const Segment *segment)
{
  QByteArray bytes;
  QXmlStreamWriter writer(&bytes);
  segment->writeXml(writer);
  return QString::fromUtf8(bytes).remove(QRegularExpression(" TrackId=\"\\d+\""));
}

int g_released = 0;
void countingRelease(AVPixelBuffer *buffer)
{
  ++g_released;
  freePixelBuffer(buffer);
}

} // namespace

class TestTransitions : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase()
  {
    QVERIFY(_w.open());
  }

  void init()
  {
    _w.reset();
  }

  void listChangesKeepGroupsInStep_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<Groups>("expected");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("remove 1 of 3") << 10103 << 1 << Groups{{1, 0.42}, {2, 0.72}}
                                   << QStringList{"remove V 1", "remove A 1", "change V 2>1", "change A 2>1",
                                                  "change V 3>2", "change A 3>2"};
    QTest::newRow("remove the last") << 10103 << 3 << Groups{{1, 0.0}, {2, 0.42}}
                                     << QStringList{"remove V 3", "remove A 3"};
    // The groups move up from the top before the copy comes in as 2.
    QTest::newRow("duplicate 1 of 3") << 10102 << 1 << Groups{{1, 0.0}, {2, 0.17}, {3, 0.42}, {4, 0.72}}
                                      << QStringList{"change V 3>4", "change A 3>4", "change V 2>3",
                                                     "change A 2>3", "add V 2", "add A 2"};
  }

  void listChangesKeepGroupsInStep()
  {
    QFETCH(int, command);
    QFETCH(int, chosen);
    QFETCH(Groups, expected);
    QFETCH(QStringList, calls);
    Segment *movie = _w.segment(Movie);
    threeTransitions(movie);
    _w.window->_refreshSegment(movie);
    SegmentWidget *block = _w.edit(Movie);
    block->setTransitionId(chosen);
    const int history = _w.window->projectManager()->history().count();
    _w.window->projectManager()->setModified(false);
    EngineCallLog log;
    _w.window->_transitionCommand(nullptr, command);
    QCOMPARE(listCalls(log, movie), calls);
    QCOMPARE(_w.window->projectManager()->history().count(), history + 1);
    QVERIFY(_w.window->projectManager()->isModified());
    QCOMPARE(movie->transitionCount(), expected.size());
    QCOMPARE(block->transitionId(), command == 10102 ? 2 : 0);
    for (quint32 id : {movie->id(), movie->audioPartId()}) {
      const Groups groups = _w.groups(id);
      QCOMPARE(groups.size(), expected.size());
      for (int i = 0; i < groups.size(); ++i) {
        QCOMPARE(groups[i].first, expected[i].first);
        QVERIFY2(qAbs(groups[i].second - expected[i].second) < 1e-3, qPrintable(QString::number(groups[i].second)));
      }
    }
  }

  // No room after the transition: the message for 2 s, nothing chosen, list and history as
  // before, and Undo then Redo still ends after the edit before it.
  void duplicateWithoutRoom()
  {
    Segment *picture = _w.segment(Picture);
    SegmentWidget *block = _w.editWithTransition(Picture, 1.0f, 3.0f);
    _w.window->_editedTransitionEnd = 1;
    _w.window->_transitionCommand(nullptr, 10109);
    const QString afterEdit = xmlOf(picture);
    const ProjectHistory &history = _w.window->projectManager()->history();
    const int count = history.count();
    const int position = history.position();
    HudTextLog huds;
    _w.window->_transitionCommand(nullptr, 10102);
    QCOMPARE(picture->transitionCount(), 1);
    QCOMPARE(block->transitionId(), 0);
    QCOMPARE(history.count(), count);
    QCOMPARE(history.position(), position);
    QCOMPARE(_w.groups(picture->id()).size(), 1);
    QCOMPARE(huds.texts(), QStringList{"No enough space for another transition"});
    QTRY_VERIFY_WITH_TIMEOUT(huds.entries().value(0).shownMs >= 0, 20000);
    const qint64 shown = huds.entries().value(0).shownMs;
    QVERIFY2(shown >= 1800, qPrintable(QString::number(shown)));
    for (bool undo : {true, false}) {
      QTRY_VERIFY(_w.window->_engine->isIdle());
      _w.window->undoRedoOperation(undo);
    }
    QCOMPARE(xmlOf(_w.segment(Picture)), afterEdit);
  }

  // A state turns on its own, and only the picture hears of it: rotation 4, flips 6 and 5.
  void stateCommands_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("property");
    QTest::newRow("rotate the begin") << 10107 << 1 << 4;
    QTest::newRow("rotate the end") << 10108 << 0 << 4;
    QTest::newRow("flip the begin") << 10109 << 1 << 6;
    QTest::newRow("flip the end vertically") << 10110 << 0 << 5;
    QTest::newRow("no side") << 10107 << -1 << 0;
  }

  void stateCommands()
  {
    QFETCH(int, command);
    QFETCH(int, side);
    QFETCH(int, property);
    Segment *movie = _w.segment(Movie);
    _w.editWithTransition(Movie, 1.0f, 1.0f);
    _w.window->_editedTransitionEnd = side;
    auto state = [&](bool begin) {
      return QVector<double>{movie->transitionUserRotation(1, begin), movie->transitionUserRotationX(1, begin),
                             movie->transitionUserRotationY(1, begin)};
    };
    const auto begin = state(true);
    const auto end = state(false);
    EngineCallLog log;
    _w.window->_transitionCommand(nullptr, command);
    QCOMPARE(state(true) != begin, side == 1);
    QCOMPARE(state(false) != end, side == 0);
    QCOMPARE(movie->userRotation(), 0.0);
    const auto calls = log.calls("setTransitionValue");
    QCOMPARE(calls.size(), property ? 1 : 0);
    if (property) {
      QCOMPARE(calls[0].id, movie->id());
      QCOMPARE(calls[0].propertyId, property);
      // The facade's flag is "is end".
      QCOMPARE(calls[0].flag, side == 0);
    }
  }

  // The property popups show the edited state's value and become the window's popup.
  void statePopups_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("tag");
    QTest::addColumn<float>("value");
    QTest::newRow("transparency of the begin") << 10106 << 1 << 5 << 0.4f;
    QTest::newRow("volume of the end") << 10112 << 0 << 6 << 1.5f;
    QTest::newRow("colours") << 10115 << 1 << 0 << 0.0f;
    QTest::newRow("no side") << 10106 << -1 << 0 << 0.0f;
  }

  void statePopups()
  {
    QFETCH(int, command);
    QFETCH(int, side);
    QFETCH(int, tag);
    QFETCH(float, value);
    Segment *movie = _w.segment(Movie);
    _w.editWithTransition(Movie, 1.0f, 1.0f);
    movie->setTransitionUserTransparency(1, true, 0.4f);
    movie->setTransitionUserVolume(1, false, 1.5f);
    _w.window->_editedTransitionEnd = side;
    ScrollableToolBar *toolbar = _w.transitionBar();
    toolbar->addButton(":/images/toolbar/colors", ":/images/toolbar/colors2", "Colors", 10115, true);
    toolbar->addButton(":/images/toolbar/volume", ":/images/toolbar/volume2", "Volume", 10112, true);
    toolbar->addButton(":/images/toolbar/transparency", ":/images/toolbar/transparency2", "Transparency", 10106, true);
    _w.window->_transitionCommand(toolbar, command);
    CommonPopup *popup = _w.window->_currentPopup;
    QCOMPARE(bool(popup), side >= 0);
    if (!popup)
      return;
    QCOMPARE(_w.window->_selectedToolBarCommand, command);
    QCOMPARE(popup->tag(), tag);
    if (auto *slider = qobject_cast<PopupSliderWidget *>(popup))
      QVERIFY(qAbs(slider->value() - value) < 1e-3);
    else
      QVERIFY(qobject_cast<PopupColorsScrollWidget *>(popup));
    popup->dismiss();
    QVERIFY(!_w.window->_currentPopup);
  }

  // The begin state is shown 1/600 s inside the transition, the end state at its end.
  void seekingToAState_data()
  {
    QTest::addColumn<bool>("begin");
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("side");
    QTest::newRow("begin") << true << 5.0 + 1.0 / 600 << 1;
    QTest::newRow("end") << false << 5.5 << 0;
  }

  void seekingToAState()
  {
    QFETCH(bool, begin);
    QFETCH(double, time);
    QFETCH(int, side);
    Segment *picture = _w.segment(ShortPicture);
    picture->insertTransition(0.5f, 5.0f);
    _w.edit(ShortPicture);
    _w.window->_editedTransitionEnd = -1;
    _w.window->editScrollArea_seekToTransition(1, begin);
    QTRY_VERIFY2(qAbs(_w.window->_playheadTime() - time) < 2e-3,
                 qPrintable(QString::number(_w.window->_playheadTime())));
    QTRY_VERIFY(qAbs(_w.window->_engine->currentTime() - time) < 2e-3);
    QCOMPARE(_w.window->_editedTransitionEnd, side);
  }

  void transitionModeChoosesTheFirst_data()
  {
    QTest::addColumn<int>("transitions");
    QTest::addColumn<int>("chosenBefore");
    QTest::addColumn<int>("chosenAfter");
    QTest::newRow("first chosen") << 2 << 0 << 1;
    QTest::newRow("a chosen one stays") << 2 << 2 << 2;
    QTest::newRow("none to choose") << 0 << 0 << 0;
  }

  void transitionModeChoosesTheFirst()
  {
    QFETCH(int, transitions);
    QFETCH(int, chosenBefore);
    QFETCH(int, chosenAfter);
    Segment *picture = _w.segment(Picture);
    for (int i = 0; i < transitions; ++i)
      picture->insertTransition(1.0f, 2.0f * i);
    SegmentWidget *block = _w.edit(Picture);
    block->setTransitionId(chosenBefore);
    QSignalSpy chosen(block, &SegmentWidget::segmentWidgetTransitionIdChanged);
    bool builtFirst = true;
    connect(block, &SegmentWidget::segmentWidgetTransitionIdChanged, this,
            [&] { builtFirst = builtFirst && _w.window->_transitionToolBar; });
    // The base window's form; the desktop window answers with its inspector instead.
    _w.window->MainWindow::_startTransitionMode();
    // Chosen only after the tools are built, 200 ms on.
    QCOMPARE(block->transitionId(), chosenBefore);
    QVERIFY(waitPastToolsDelay());
    QCOMPARE(block->transitionId(), chosenAfter);
    QCOMPARE(chosen.count(), chosenAfter == chosenBefore ? 0 : 1);
    QVERIFY(_w.window->_transitionToolBar);
    QVERIFY(builtFirst);
    disconnect(block, nullptr, this, nullptr);
  }

  // Back: the segment tools return, no transition stays chosen, and the overlay comes back only
  // while the play head is before the first transition.
  void backLeavesTheTransitionTools_data()
  {
    QTest::addColumn<float>("playhead");
    QTest::addColumn<bool>("overlay");
    QTest::newRow("before the first") << 0.5f << true;
    QTest::newRow("inside it") << 1.5f << false;
  }

  void backLeavesTheTransitionTools()
  {
    QFETCH(float, playhead);
    QFETCH(bool, overlay);
    SegmentWidget *block = _w.editWithTransition(Picture, 1.0f, 1.0f);
    auto *toolbar = new ScrollableToolBar(_w.window->centralWidget());
    toolbar->collapse();
    _w.window->_segmentToolBar = toolbar;
    _w.window->_scrollTimelineToTime(0, false);
    _w.window->_setPlayheadTime(playhead, false);
    _w.window->_transitionCommand(nullptr, 10101);
    QCOMPARE(block->transitionId(), 0);
    QVERIFY(!toolbar->isCollapsed());
    QCOMPARE(bool(_w.window->_transformWidget), overlay);
  }

  // With the segment tools already collapsed only the end state is sought.
  void collapsedToolsOnlySeek()
  {
    Segment *picture = _w.segment(Picture);
    picture->insertTransition(1.0f, 0.0f);
    SegmentWidget *block = _w.edit(Picture);
    auto *toolbar = new ScrollableToolBar(_w.window->centralWidget());
    toolbar->collapse();
    QVERIFY(toolbar->isCollapsed());
    _w.window->_segmentToolBar = toolbar;
    _w.window->MainWindow::_showTransitionToolsFor(0, 1);
    QTRY_VERIFY(qAbs(_w.window->_playheadTime() - 1.0f) < 2e-3);
    QCOMPARE(_w.window->_editedTransitionEnd, 0);
    QVERIFY(waitPastToolsDelay());
    QCOMPARE(block->transitionId(), 0);
    QVERIFY(toolbar->isCollapsed());
  }

  // The image shares the buffer's pixels; the last copy frees the buffer, once.
  void wrappedBufferLivesWithItsImage()
  {
    g_released = 0;
    auto *previous = TransitionWindow::_releasePixelBuffer;
    TransitionWindow::_releasePixelBuffer = countingRelease;
    AVPixelBuffer *buffer = createPixelBuffer(4, 2, 1);
    std::fill(buffer->data, buffer->data + 4 * 2 * 4, uint8_t(200));
    auto image = std::make_unique<QImage>(TransitionWindow::_imageFromPixelBuffer(buffer));
    QCOMPARE(image->constBits(), buffer->data);
    QImage copy = *image;
    image.reset();
    QCOMPARE(g_released, 0);
    QCOMPARE(qRed(copy.pixel(3, 1)), 200);
    copy = QImage();
    QCOMPARE(g_released, 1);
    TransitionWindow::_releasePixelBuffer = previous;
  }

private:
  TransitionProject _w;
};

TAVO_TEST_MAIN(TestTransitions)
#include "tst_transitions.moc"
