// Undo and redo run long enough that the process-wide track tags pass 10,240: every rebuild
// hands out new tags, and the rebuilt tracks must still be found by their old ids.

#include "editingfixture.h"
#include "testenv.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"

#include <QtTest>

class TestUndoCycles : public QObject
{
  Q_OBJECT

private slots:
  void tagsPastTheOldTableStayMapped()
  {
    using Attributes = QList<QPair<QString, QString>>;
    QList<SegmentSpec> texts;
    for (int track = 1; track <= 4; ++track)
      texts << SegmentSpec{"TEXT", track, 0, 2, Attributes{{"Text", QString("Row %1").arg(track)}}};
    // Tags handed out beforehand bring the session's tracks close to 10,240, so that a few
    // cycles take them past it rather than a thousand.
    {
      GutterScrollArea earlier;
      while (earlier.addTrackButton() < 10150) {
      }
    }
    EditingSession session;
    QVERIFY(session.open(texts));
    session.edit(session.segmentAt(0));
    session.window->_segmentCommand(nullptr, 10023);
    const QString edited = session.state();
    session.window->undoRedoOperation(true);
    AVEngine *engine = session.window->_engine;
    // A step runs at once only on an idle engine; otherwise it waits for its retry.
    auto step = [&](bool undo) {
      if (!QTest::qWaitFor([&] { return engine->isIdle(); }, 30000))
        return false;
      session.window->undoRedoOperation(undo);
      return true;
    };
    int cycles = 0;
    // Past the old table, and a few cycles more, each mapping tags beyond it.
    int beyond = 0;
    while (beyond < 3 && cycles < 300) {
      QVERIFY2(step(false) && step(true), "the engine stayed busy");
      ++cycles;
      if (session.window->editScrollArea()->trackWidgetAt(0)->tag() > 10240)
        ++beyond;
      // The log would hold every call of the run.
      session.engine.clear();
    }
    QVERIFY2(beyond == 3, "the track tags stopped growing");
    QVERIFY(step(false));
    QCOMPARE(session.state(), edited);
    QCOMPARE(session.trackCount(), 5);
    qInfo("%d undo/redo cycles", cycles);
  }
};

TAVO_TEST_MAIN(TestUndoCycles)
#include "tst_undo_cycles.moc"
