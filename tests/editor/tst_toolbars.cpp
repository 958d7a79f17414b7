// The segment and transition tool strips: which buttons each kind of segment gets and in which
// order, the easing button's hint and icons, where the strips lie and how they follow up.

#include "editingfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "editscrollarea.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "tooltipbutton.h"

#include <QtTest>

#include <algorithm>

namespace {

using Attributes = QList<QPair<QString, QString>>;

// Button commands from left to right; 0 stands for a separator.
QList<int> order(ScrollableToolBar *bar)
{
  QList<TooltipButton *> buttons = bar->rowWidget()->findChildren<TooltipButton *>(QString(), Qt::FindDirectChildrenOnly);
  std::sort(buttons.begin(), buttons.end(), [](TooltipButton *a, TooltipButton *b) { return a->x() < b->x(); });
  QList<int> ids;
  for (TooltipButton *button : buttons)
    ids << button->commandId();
  return ids;
}

QString listText(const QList<int> &ids)
{
  QStringList parts;
  for (int id : ids)
    parts << QString::number(id);
  return parts.join(' ');
}

const QList<int> Head = {10001, 10010, 10020, 10011, 0, 10002};
const QList<int> VisualTail = {10006, 10007, 10008, 10009, 0, 10003, 10004};
const QList<int> LayerTools = {10024, 10025, 10027, 10012, 10013, 10014};

} // namespace

class TestToolbars : public QObject
{
  Q_OBJECT

  EditingSession session;

  // By the value of its "Text", "File" or "Title" attribute: every segment here has one.
  Segment *named(const QString &name)
  {
    for (int i = 0; i < session.segmentCount(); ++i) {
      PropertyMap *map = session.segmentAt(i)->properties();
      if (map->text("Text") == name || map->text("File") == name || map->text("Title") == name)
        return session.segmentAt(i);
    }
    return nullptr;
  }

  ScrollableToolBar *segmentBar(Segment *segment, float time = 0)
  {
    session.edit(segment);
    session.window->_buildSegmentToolBar(segment, time);
    return session.window->_segmentToolBar;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(session.project.isValid());
    QVERIFY(MediaFixtures::writeColorVideo(session.project.directory() + "/silent.mp4", 320, 240, 30, 30));
    QVERIFY(MediaFixtures::writeTone(session.project.directory() + "/voice.wav", 2));
    QList<SegmentSpec> segments = EditingProject::standardSegments();
    segments << SegmentSpec{"MOVIE", 4, 0, 1, Attributes{{"File", "silent.mp4"}, {"TrimStart", "0"}, {"TrimDuration", "1"}}}
             << SegmentSpec{"VOICE", 5, 0, 2, Attributes{{"File", "voice.wav"}, {"TrimStart", "0"}, {"TrimDuration", "2"}}}
             << SegmentSpec{"TEXT", 6, 0, 2, Attributes{{"Text", "Right"}, {"Alignment", "2"}}};
    QVERIFY(session.open(segments));
    QTRY_VERIFY_WITH_TIMEOUT(named("clip.mp4")->hasAudio(), 20000);
  }

  void segmentToolBarOrder_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("MUSIC") << "Tune" << (Head + QList<int>{10018, 10022});
    QTest::newRow("VOICE") << "voice.wav" << (Head + QList<int>{10018, 10022});
    QTest::newRow("IMAGE") << "still.png" << (Head + QList<int>{10005, 10028} + LayerTools + VisualTail);
    QTest::newRow("DRAWING") << "sketch.png" << (Head + QList<int>{10005, 10019} + LayerTools + VisualTail);
    QTest::newRow("MOVIE with sound")
        << "clip.mp4"
        << (Head + QList<int>{10018, 10005, 10022} + LayerTools + QList<int>{10006, 10007, 10008, 10009, 0, 10021}
            + VisualTail.mid(4));
    QTest::newRow("MOVIE without sound")
        << "silent.mp4"
        << (Head + QList<int>{10005, 10022} + LayerTools + QList<int>{10006, 10007, 10008, 10009, 0, 10021}
            + VisualTail.mid(4));
    QTest::newRow("TEXT") << "Hello"
                          << (Head
                              + QList<int>{10005, 10015, 10024, 10025, 10027, 10017, 10016, 10012, 10026, 10023, 10014}
                              + VisualTail);
  }

  void segmentToolBarOrder()
  {
    QFETCH(QString, name);
    QFETCH(QList<int>, expected);
    Segment *segment = named(name);
    QVERIFY(segment);
    if (name == "voice.wav")
      QCOMPARE(segment->type(), QString("VOICE"));
    const QList<int> ids = order(segmentBar(segment));
    QVERIFY2(ids == expected, qPrintable(listText(ids) + " instead of " + listText(expected)));
  }

  // The text's own border icon, and the alignment button starting from the stored alignment.
  void textButtonsFollowTheText_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("text border") << "Hello" << 10012 << "textBorder" << "Border";
    QTest::newRow("picture border") << "still.png" << 10012 << "border" << "Border";
    QTest::newRow("left aligned") << "Hello" << 10023 << "leftAlign" << "Text Alignment: Left";
    QTest::newRow("right aligned") << "Right" << 10023 << "rightAlign" << "Text Alignment: Right";
  }

  void textButtonsFollowTheText()
  {
    QFETCH(QString, name);
    QFETCH(int, command);
    QFETCH(QString, icon);
    QFETCH(QString, toolTip);
    TooltipButton *button = segmentBar(named(name))->button(command);
    QVERIFY(button);
    QCOMPARE(button->normalIcon(), ":/images/toolbar/" + icon);
    QCOMPARE(button->selectedIcon(), ":/images/toolbar/" + icon + "2");
    QCOMPARE(button->toolTip(), toolTip);
  }

  void transitionToolBarOrder_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("expected");
    const QList<int> head = {10101, 10111, 10102, 10103, 0};
    const QList<int> visual = {10106, 10114, 10115, 10107, 10108, 10109, 10110, 0, 10104, 10105, 0, 10113};
    QTest::newRow("MUSIC has no easing") << "Tune" << (head + QList<int>{10112});
    QTest::newRow("picture") << "still.png" << (head + visual);
    QTest::newRow("movie with sound") << "clip.mp4" << (head + QList<int>{10112} + visual);
  }

  void transitionToolBarOrder()
  {
    QFETCH(QString, name);
    QFETCH(QList<int>, expected);
    session.edit(named(name));
    session.window->_buildTransitionToolBar();
    ScrollableToolBar *bar = session.window->_transitionToolBar;
    QVERIFY(bar);
    const QList<int> ids = order(bar);
    QVERIFY2(ids == expected, qPrintable(listText(ids) + " instead of " + listText(expected)));
  }

  void easingHintAndIcons_data()
  {
    QTest::addColumn<int>("easing");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("icon");
    QTest::newRow("new transition") << 4 << true << "Easing type: Smooth InOut"
                                    << ":/images/easing/easing_in_out_default";
    QTest::newRow("none chosen") << 4 << false << "Easing type: Linear" << ":/images/easing/easing_linear";
    QTest::newRow("linear") << 1 << true << "Easing type: Linear" << ":/images/easing/easing_linear";
    QTest::newRow("bounce out") << 15 << true << "Easing type: Bounce Out" << ":/images/easing/easing_out_bounce";
    QTest::newRow("circular in") << 5 << true << "Easing type: Circular In" << ":/images/easing/easing_in_circular";
    QTest::newRow("code 0") << 0 << true << "" << "";
    QTest::newRow("code 17") << 17 << true << "" << "";
  }

  void easingHintAndIcons()
  {
    QFETCH(int, easing);
    QFETCH(bool, chosen);
    QFETCH(QString, hint);
    QFETCH(QString, icon);
    Segment *picture = named("still.png");
    const int id = picture->transitionCount() ? picture->transitionIdAt(0) : picture->insertTransition(1, 2.5f);
    QVERIFY(id > 0);
    picture->setTransitionEasingFunction(id, easing);
    SegmentWidget *block = session.edit(picture);
    block->setTransitionId(chosen ? id : 0);
    session.window->_buildTransitionToolBar();
    TooltipButton *button = session.window->_transitionToolBar->button(10113);
    QVERIFY(button);
    // The hint names the easing; the desktop window's own answer (the bare name) is what its
    // tool bar shows.
    QCOMPARE(session.window->MainWindow::_easingHint(picture, chosen ? id : 0), hint);
    QCOMPARE(button->toolTip(), session.window->_easingHint(picture, chosen ? id : 0));
    QCOMPARE(button->normalIcon(), icon);
    QCOMPARE(button->selectedIcon(), icon.isEmpty() ? QString() : icon + "2");
    block->setTransitionId(0);
  }

  void stripsRunAlongTheCentralWidget()
  {
    Segment *picture = named("still.png");
    ScrollableToolBar *segmentStrip = segmentBar(picture);
    session.window->_buildTransitionToolBar();
    ScrollableToolBar *transitionStrip = session.window->_transitionToolBar;
    const QWidget *central = session.window->centralWidget();
    for (ScrollableToolBar *bar : {segmentStrip, transitionStrip}) {
      QCOMPARE(bar->parentWidget(), central);
      QCOMPARE(bar->height(), 50);
      QCOMPARE(bar->width(), central->width());
      QVERIFY(bar->isVisible());
    }
    // Built again, the old strips go.
    QPointer<ScrollableToolBar> old = segmentStrip;
    segmentBar(picture);
    QTRY_VERIFY(old.isNull());
  }

  // The tools take the play-head time only once the strip has slid in.
  void toolsFollowTheSlideIn()
  {
    Segment *picture = named("still.png");
    ScrollableToolBar *bar = segmentBar(picture, picture->rangeStart() + picture->duration() + 1);
    TooltipButton *border = bar->button(10012);
    QVERIFY(border->isEnabled());
    QTRY_VERIFY(!border->isEnabled());
  }

  void transitionModeCollapsesThenBuilds()
  {
    ScrollableToolBar *bar = segmentBar(named("still.png"));
    QVERIFY(!session.window->_transitionToolBar);
    QTest::mouseClick(bar->button(10002), Qt::LeftButton);
    QVERIFY(bar->isCollapsed());
    QVERIFY(!session.window->_transitionToolBar);
    QTRY_VERIFY(session.window->_transitionToolBar);
    QCOMPARE(session.window->_segmentToolBar.data(), bar);
  }
};

TAVO_TEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
