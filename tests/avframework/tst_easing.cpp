// Easing curves at their characteristic points.
#include "testenv.h"

#include "aveasing.h"
#include "avtransition.h"

#include <cmath>

class TestEasing : public QObject
{
  Q_OBJECT

private slots:
  void valueAtHalf_data();
  void valueAtHalf();
  void everyCurveRunsFromZeroToOne();
  void backAndElasticLeaveTheUnitRange();
  void exponentialEndsAreExact();
  void bounceArcsTouchOne();
  void outOfRangeTypesAreLinear();
  void smoothstepIsTheDefault();
};

void TestEasing::valueAtHalf_data()
{
  QTest::addColumn<int>("type");
  QTest::addColumn<double>("expected");
  const double s = std::sqrt(0.5);
  const double elastic = s / 32; // sin(13 pi / 4) and sin(-39 pi / 4) are -/+ sqrt(1/2), times 2^-5
  const struct
  {
    int type;
    double value;
  } rows[] = {{1, 0.25},      {2, 0.75},           {3, 0.5},       {4, 0.125},          {5, 0.875},
              {6, 0.5},       {7, 0.0625},         {8, 0.9375},    {9, 0.5},            {10, 0.03125},
              {11, 0.96875},  {12, 0.5},           {13, 1 - s},    {14, s},             {15, 0.5},
              {16, 1 - std::sqrt(0.75)},           {17, std::sqrt(0.75)},               {18, 0.5},
              {19, 0.03125},  {20, 0.96875},       {21, 0.5},      {22, -elastic},      {23, 1 + elastic},
              {24, 0.5},      {25, -0.125},        {26, 1.125},    {27, 0.5},           {28, 0.28125},
              {29, 0.71875},  {30, 0.5}};
  for (const auto &row : rows)
    QTest::addRow("type %d", row.type) << row.type << row.value;
}

// p = 0.5 takes the second half of every in-out curve.
void TestEasing::valueAtHalf()
{
  QFETCH(int, type);
  QFETCH(double, expected);
  const double actual = easingFunction(type)(0.5);
  QVERIFY2(std::abs(actual - expected) < 1e-9,
           qPrintable(QString("type %1 at 0.5: expected %2 got %3").arg(type).arg(expected, 0, 'g', 12).arg(actual, 0, 'g', 12)));
}

void TestEasing::everyCurveRunsFromZeroToOne()
{
  for (int type = 0; type <= 31; ++type) {
    const AVEasingFunction curve = easingFunction(type);
    QVERIFY2(std::abs(curve(0.0)) < 1e-3, qPrintable(QString("type %1 at 0: %2").arg(type).arg(curve(0.0))));
    QVERIFY2(std::abs(curve(1.0) - 1) < 1e-9, qPrintable(QString("type %1 at 1: %2").arg(type).arg(curve(1.0))));
  }
}

void TestEasing::backAndElasticLeaveTheUnitRange()
{
  auto lowest = [](int type) {
    double m = 1;
    for (int i = 0; i <= 100; ++i)
      m = std::min(m, easingFunction(type)(i / 100.0));
    return m;
  };
  auto highest = [](int type) {
    double m = 0;
    for (int i = 0; i <= 100; ++i)
      m = std::max(m, easingFunction(type)(i / 100.0));
    return m;
  };
  QVERIFY(lowest(25) < -0.05);  // back in dips first
  QVERIFY(highest(26) > 1.05);  // back out overshoots
  QVERIFY(lowest(27) < 0 && highest(27) > 1);
  QVERIFY(lowest(22) < 0);
  QVERIFY(highest(23) > 1);
  QVERIFY(lowest(24) < 0 && highest(24) > 1);
  // The gentler back curve: half the usual dip.
  QVERIFY(lowest(25) > -0.2);
  // Position-like curves stay inside.
  for (int type : {1, 3, 6, 9, 15, 18, 21, 28, 29, 30}) {
    QVERIFY2(lowest(type) >= -1e-12 && highest(type) <= 1 + 1e-12, qPrintable(QString("type %1").arg(type)));
  }
}

void TestEasing::exponentialEndsAreExact()
{
  QCOMPARE(easingFunction(19)(0.0), 0.0);
  QCOMPARE(easingFunction(20)(1.0), 1.0);
  QCOMPARE(easingFunction(21)(0.0), 0.0);
  QCOMPARE(easingFunction(21)(1.0), 1.0);
  // Just inside the ends they never reach 0 or 1 exactly.
  const double tiny = 1e-9;
  QVERIFY(std::abs(easingFunction(19)(tiny) - std::pow(2, -10)) < 1e-6);
  QVERIFY(easingFunction(20)(1 - tiny) < 1);
  QVERIFY(easingFunction(21)(tiny) > 0);
  QVERIFY(easingFunction(21)(1 - tiny) < 1);
}

void TestEasing::bounceArcsTouchOne()
{
  for (double p : {4.0 / 11, 8.0 / 11, 0.9, 1.0})
    QVERIFY2(std::abs(bounceOut(p) - 1) < 1e-9, qPrintable(QString("bounce at %1: %2").arg(p).arg(bounceOut(p))));
  // Each arc dips between its ends: the ball comes down again.
  QVERIFY(bounceOut(6.0 / 11) < 0.8);
  QVERIFY(bounceOut(0.82) < 0.95);
  QVERIFY(bounceOut(0.95) < 1);
  QVERIFY(easingFunction(29) == &bounceOut);
}

void TestEasing::outOfRangeTypesAreLinear()
{
  for (int type : {0, 31, -1, 1000}) {
    for (double p : {0.0, 0.3, 0.5, 0.77, 1.0})
      QCOMPARE(easingFunction(type)(p), p);
  }
}

void TestEasing::smoothstepIsTheDefault()
{
  const AVEasingFunction smooth = easingFunction(6);
  QCOMPARE(smooth(0.5), 0.5);
  // Zero slope at both ends.
  const double h = 1e-6;
  QVERIFY(std::abs((smooth(h) - smooth(0)) / h) < 1e-5);
  QVERIFY(std::abs((smooth(1) - smooth(1 - h)) / h) < 1e-5);
  QCOMPARE(kAVEasingDefault, 6);

  TransitionGroup group(1, 0, 1);
  QCOMPARE(group.easingType(), 6);
  group.setBeginPosition(0, 0);
  QCOMPARE(group.transition(TransitionGroup::Position)->easingType(), 6);
  AVPositionTransition single;
  QCOMPARE(single.easingType(), 6);
}

TAVO_TEST_CORE_MAIN(TestEasing)
#include "tst_easing.moc"
