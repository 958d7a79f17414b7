// Undo and redo run long enough that the process-wide track tags pass 10,240: every rebuild
// hands out new tags, and the rebuilt tracks must still be found by their old ids.

#include "editingfixture.h"
#include "testenv.h"

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
    int cycles = 0;
    while (session.window->editScrollArea()->trackWidgetAt(0)->tag() <= 10240) {
      session.window->undoRedoOperation(false);
      session.window->undoRedoOperation(true);
      ++cycles;
    }
    session.window->undoRedoOperation(false);
    QCOMPARE(session.state(), edited);
    QCOMPARE(session.trackCount(), 5);
    qInfo("%d undo/redo cycles", cycles);
  }
};

TAVO_TEST_MAIN(TestUndoCycles)
#include "tst_undo_cycles.moc"
