// Undo and redo run long enough that the process-wide track tags pass 10,240: every rebuild
// hands out new tags, and the rebuilt tracks must still be found by their old ids.

#include "editingfixture.h"
#include "testenv.h"

#include "avengine.h"
#include "editscrollarea.h"
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
    EditingSession session;
    QVERIFY(session.open(texts));
    session.edit(session.segmentAt(0));
    session.window->_segmentCommand(nullptr, 10023);
    const QString edited = session.state();
    session.window->undoRedoOperation(true);
    AVEngine *engine = session.window->_engine;
    // A step runs at once only on an idle engine; otherwise it waits for its retry.
    auto step = [&](bool undo) {
      QTRY_VERIFY(engine->isIdle());
      session.window->undoRedoOperation(undo);
    };
    int cycles = 0;
    while (session.window->editScrollArea()->trackWidgetAt(0)->tag() <= 10240 && cycles < 3000) {
      step(false);
      step(true);
      ++cycles;
      // The log would hold every call of the run.
      session.engine.clear();
    }
    QVERIFY2(cycles < 3000, "the track tags stopped growing");
    step(false);
    QCOMPARE(session.state(), edited);
    QCOMPARE(session.trackCount(), 5);
    qInfo("%d undo/redo cycles", cycles);
  }
};

TAVO_TEST_MAIN(TestUndoCycles)
#include "tst_undo_cycles.moc"
