// Pacing work over turns of the event loop: a step gets what the turn's other work left of
// its share, never less than its minimum, and a step that cannot be split waits for a quiet
// turn, though not for ever. Time comes from a clock the test moves.
#include "turnpacer.h"

#include <QtTest>

class TestTurnPacer : public QObject
{
  Q_OBJECT

private slots:
  // Units of 1 ms each are done while the step has time, after `others` ms of other work
  // since the previous step ended.
  void stepTakesWhatTheTurnLeft_data()
  {
    QTest::addColumn<bool>("afterAStep");
    QTest::addColumn<qint64>("others");
    QTest::addColumn<int>("units");
    QTest::newRow("first step: the whole share") << false << qint64(100) << 32;
    QTest::newRow("quiet turn") << true << qint64(2) << 30;
    QTest::newRow("busy turn") << true << qint64(20) << 12;
    QTest::newRow("turn already used up: the minimum") << true << qint64(50) << 4;
  }
  void stepTakesWhatTheTurnLeft()
  {
    QFETCH(bool, afterAStep);
    QFETCH(qint64, others);
    QFETCH(int, units);
    qint64 now = 1000;
    TurnPacer pacer(32, 4, [&now] { return now; });
    if (afterAStep) {
      pacer.beginStep();
      pacer.endStep();
    }
    now += others;
    pacer.beginStep();
    int done = 0;
    while (pacer.hasTime()) {
      ++done;
      ++now;
    }
    pacer.endStep();
    QCOMPARE(done, units);
  }

  // A whole step runs in a turn whose other work left at least half the share; after three
  // busy turns it runs anyway, and the count starts again.
  void wholeStepWaitsForAQuietTurn_data()
  {
    QTest::addColumn<QList<qint64>>("others");
    QTest::addColumn<QList<bool>>("runs");
    QTest::newRow("quiet") << QList<qint64>{0} << QList<bool>{true};
    QTest::newRow("half the share left") << QList<qint64>{16} << QList<bool>{true};
    QTest::newRow("busy, then quiet") << QList<qint64>{20, 1} << QList<bool>{false, true};
    QTest::newRow("busy for ever") << QList<qint64>{20, 20, 20, 20, 20, 20, 20}
                                   << QList<bool>{false, false, false, true, false, false, false};
  }
  void wholeStepWaitsForAQuietTurn()
  {
    QFETCH(QList<qint64>, others);
    QFETCH(QList<bool>, runs);
    qint64 now = 0;
    TurnPacer pacer(32, 4, [&now] { return now; });
    pacer.beginStep();
    pacer.endStep();
    QList<bool> ran;
    for (const qint64 o : others) {
      now += o;
      pacer.beginStep();
      ran << pacer.mayRunWhole();
      pacer.endStep();
    }
    QCOMPARE(ran, runs);
  }
};

QTEST_MAIN(TestTurnPacer)
#include "tst_turnpacer.moc"
