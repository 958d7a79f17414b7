// Range selection across the tracks: entering and leaving the mode, its pointers and command
// bar, deleting and inserting blank time on the chosen rows, and the scroll at the edges.

#include "timelinewindow.h"

#include "gutterscrollarea.h"
#include "pointerwidget.h"
#include "selectionoperationwidget.h"
#include "testenv.h"
#include "texteditwidget.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

// Marks [from, to] as the user would: the play head's end last.
void select(TimelineProject &p, float from, float to)
{
  p.area()->selectionStart = from;
  p.area()->selectionEnd = to;
  p.area()->updateSelectionRange();
}

QPushButton *command(TimelineProject &p, int cmdId)
{
  SelectionOperationWidget *bar = p.window->_selectionOperationWidget;
  if (!bar)
    return nullptr;
  return cmdId == 0 ? bar->cancelSelectionButton() : cmdId == 1 ? bar->insertBlankButton() : bar->deleteButton();
}

} // namespace

class TestRange : public QObject
{
  Q_OBJECT

private slots:
  void enteringSetsUpPointersAndBar()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 3}, {6, 8}}}));
    TimelineWindow &w = *p.window;
    // 0.03 s after a block end: the range start snaps to it, the play head stays.
    p.playheadAt(3.03f);
    const float before = w._playheadTime();
    w._enterRangeSelection();
    QVERIFY(p.area()->rangeSelectionMode);
    QCOMPARE(p.area()->selectionStart, 3.0f);
    QCOMPARE(p.area()->selectionEnd, before);
    QCOMPARE(w._playheadTime(), before);

    QCOMPARE(w.playheadPointer()->pointerStyle(), 2);
    QVERIFY(w._rangeStartPointer);
    QCOMPARE(w._rangeStartPointer->pointerStyle(), 3);
    QCOMPARE(w._rangeStartPointer->width(), 52);
    QCOMPARE(w._rangeStartPointer->y(), 0);
    QVERIFY(qAbs(w._rangeStartPointer->centerX() - (60 + 24 * w.zoom() * 3.0f - p.area()->horizontalOffset())) <= 1);

    SelectionOperationWidget *bar = w._selectionOperationWidget;
    QVERIFY(bar && bar->isVisible());
    QWidget *central = w.centralWidget();
    QCOMPARE(bar->geometry().bottom() + 1, central->height() - 30);
    QCOMPARE(bar->x(), (central->width() - bar->width()) / 2);
    QTRY_VERIFY(!w._gutter->isVisible());
    w.grab().save(TestEnv::shotPath("timeline-range.png"));

    // The cancel button leaves; a second leave does nothing.
    QTest::mouseClick(command(p, 0), Qt::LeftButton);
    QVERIFY(!p.area()->rangeSelectionMode);
    QVERIFY(!w._rangeStartPointer);
    QVERIFY(!w._selectionOperationWidget);
    QCOMPARE(w.playheadPointer()->pointerStyle(), 0);
    QTRY_VERIFY(w._gutter->isVisible());
    w.playheadPointer()->setPointerStyle(1);
    w._exitRangeSelection();
    QCOMPARE(w.playheadPointer()->pointerStyle(), 1);
  }

  void enteringRefusedWhileTextIsEdited()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 3}}}));
    TimelineWindow &w = *p.window;
    w._textEditWidget = new TextEditWidget(&w);
    w._enterRangeSelection();
    QVERIFY(!p.area()->rangeSelectionMode);
    QVERIFY(!w._rangeStartPointer);
    QVERIFY(!w._selectionOperationWidget);
    QCOMPARE(w.playheadPointer()->pointerStyle(), 0);
    delete w._textEditWidget;
    w._textEditWidget = nullptr;
  }

  void commandsOverTheRange_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("cmdId");
    QTest::addColumn<float>("from");
    QTest::addColumn<float>("to");
    QTest::addColumn<Spans>("row");
    QTest::addColumn<Spans>("expected");
    const Spans gap{{0, 3}, {6, 8}};
    QTest::newRow("delete, insert mode") << 0 << 2 << 2.0f << 5.0f << gap << Spans{{0, 2}, {3, 5}};
    QTest::newRow("delete, overwrite mode") << 1 << 2 << 2.0f << 5.0f << gap << Spans{{0, 2}, {6, 8}};
    QTest::newRow("delete marked right to left") << 0 << 2 << 5.0f << 2.0f << gap << Spans{{0, 2}, {3, 5}};
    QTest::newRow("delete inside one segment") << 0 << 2 << 1.0f << 2.0f << gap << Spans{{0, 1}, {1, 2}, {5, 7}};
    QTest::newRow("blank inside a segment pushes it whole") << 0 << 1 << 4.0f << 6.0f << Spans{{0, 3}, {3, 6}, {7, 8}}
                                                           << Spans{{0, 3}, {6, 9}, {10, 11}};
    QTest::newRow("blank in a gap") << 0 << 1 << 4.0f << 6.0f << gap << Spans{{0, 3}, {8, 10}};
    QTest::newRow("blank ignores overwrite mode") << 1 << 1 << 6.0f << 4.0f << Spans{{0, 3}, {3, 6}}
                                                  << Spans{{0, 3}, {6, 9}};
  }

  void commandsOverTheRange()
  {
    QFETCH(int, mode);
    QFETCH(int, cmdId);
    QFETCH(float, from);
    QFETCH(float, to);
    QFETCH(Spans, row);
    QFETCH(Spans, expected);
    TimelineProject p;
    // The second row takes part too: one command acts on every chosen row.
    QVERIFY(p.open({row, row}));
    TimelineWindow &w = *p.window;
    p.manager()->setSegmentMode(mode);
    w._enterRangeSelection();
    select(p, from, to);
    p.manager()->setModified(false);
    const int history = p.historyCount();
    QTest::mouseClick(command(p, cmdId), Qt::LeftButton);
    COMPARE_SPANS(p.spans(0), expected);
    COMPARE_SPANS(p.spans(1), expected);
    QVERIFY(!p.area()->rangeSelectionMode);
    QVERIFY(p.manager()->isModified());
    QCOMPARE(p.historyCount(), history + 1);
    QCOMPARE(p.manager()->duration(), expected.last().second);
    // One undo puts both rows back.
    w.undoRedoOperation(true);
    QTRY_VERIFY(sameSpans(p.spans(0), row) && sameSpans(p.spans(1), row));
  }

  void deletingEveryBlockOfARowRemovesIt()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 2}}, {{1, 3}, {5, 6}}}));
    TimelineWindow &w = *p.window;
    const int rows = p.area()->trackCount();
    const int buttons = w.gutter()->buttonCount();
    const int gone = p.row(0)->tag();
    w._enterRangeSelection();
    select(p, 0, 2);
    // Only the first row takes part.
    QTest::mouseClick(p.row(1)->selectionButton(), Qt::LeftButton);
    QVERIFY(!p.row(1)->hasSelection());
    QTest::mouseClick(command(p, 2), Qt::LeftButton);
    QTRY_COMPARE(p.area()->trackCount(), rows - 1);
    QVERIFY(!p.area()->trackWidgetByTag(gone));
    QTRY_COMPARE(w.gutter()->buttonCount(), buttons - 1);
    COMPARE_SPANS(p.spans(0), (Spans{{1, 3}, {5, 6}}));
  }

  void nothingChosenOnlyLeaves()
  {
    TimelineProject p;
    QVERIFY(p.open({{{0, 3}}}));
    TimelineWindow &w = *p.window;
    w._enterRangeSelection();
    select(p, 1, 2);
    QTest::mouseClick(p.row(0)->selectionButton(), Qt::LeftButton);
    p.manager()->setModified(false);
    const int history = p.historyCount();
    QTest::mouseClick(command(p, 2), Qt::LeftButton);
    QVERIFY(!p.area()->rangeSelectionMode);
    QCOMPARE(p.historyCount(), history);
    QVERIFY(!p.manager()->isModified());
    COMPARE_SPANS(p.spans(0), (Spans{{0, 3}}));
  }

  // Each step scrolls 24 px x speed; the speed grows by 0.05 a step up to the zoom factor.
  void scrollWhileSelecting_data()
  {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QList<float>>("steps");
    QTest::newRow("zoom 2 speeds up to 48 px") << 2.0f << QList<float>{24, 25.2f, 26.4f, 27.6f, 28.8f};
    QTest::newRow("zoom 0.5 drops to 12 px") << 0.5f << QList<float>{24, 12, 12};
  }

  void scrollWhileSelecting()
  {
    QFETCH(float, zoom);
    QFETCH(QList<float>, steps);
    TimelineProject p;
    QVERIFY(p.open({{{0, 600}}}));
    TimelineWindow &w = *p.window;
    w._setTimelineScale(zoom);
    p.area()->setContentOffset(QPoint(3000, 0), false);
    w._enterRangeSelection();
    QSignalSpy scrolled(p.area(), &EditScrollArea::editScrollAreaDidScroll);
    w._autoScrollSpeed = 1.0f;
    w._atLeftEdge = true;
    w._autoScrollWhileSelecting();
    QTRY_VERIFY_WITH_TIMEOUT(scrolled.size() >= steps.size(), 10000);
    w._atLeftEdge = false;
    float expected = 3000;
    for (int i = 0; i < steps.size(); ++i) {
      expected -= steps[i];
      const int offset = scrolled[i].first().toPoint().x();
      QVERIFY2(qAbs(offset - expected) <= 1, qPrintable(QStringLiteral("step %1: %2 for %3").arg(i).arg(offset).arg(expected)));
    }
    // The moving end follows the time under the play head.
    QVERIFY(qAbs(p.area()->selectionEnd - w._playheadTime()) < 0.1f);
    QVERIFY(w._autoScrollSpeed <= zoom);
  }
};

TAVO_TEST_MAIN(TestRange)
#include "tst_range.moc"
