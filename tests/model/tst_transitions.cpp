// Transitions of a segment: the room finder, insertion order, numbering, value sets.
#include "segment.h"
#include "testenv.h"

#include <QLocale>

namespace {

// A segment of the given timeline length starting at start.
std::unique_ptr<Segment> makeSegment(float duration, float start = 10)
{
  auto s = std::make_unique<Segment>(nullptr);
  s->setRangeStart(start);
  s->setDuration(duration);
  return s;
}

// Adds a transition at an exact place, bypassing the room finder.
int place(Segment &s, float start, float length)
{
  const int id = s.insertTransition(length, s.rangeStart() + start);
  if (id)
    s.setTransitionStart(id, start);
  return id;
}

// The list is sorted by start and every record has both sets.
void checkInvariants(const Segment &s)
{
  for (int id = 1; id <= s.transitionCount(); ++id) {
    QVERIFY2(s.transitionValues(id, true) && s.transitionValues(id, false), qPrintable(QString::number(id)));
    if (id > 1)
      QVERIFY2(s.transitionStart(id - 1) <= s.transitionStart(id),
               qPrintable(QStringLiteral("transition %1 starts before %2").arg(id).arg(id - 1)));
  }
}

} // namespace

class TestTransitions : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void insertPlacesWithSpacing()
  {
    auto s = makeSegment(5);
    QCOMPARE(s->insertTransition(1, s->rangeStart() + 2), 1);
    QCOMPARE(s->transitionStart(1), 2.04f);
    QCOMPARE(s->transition(1)->text("TStart"), QStringLiteral("0.408"));
    QCOMPARE(s->transition(1)->text("TDuration"), QStringLiteral("0.2"));
    QVERIFY(!s->transition(1)->contains("TEasingFunction"));
    QCOMPARE(s->transitionEasingFunction(1), 4);

    auto atStart = makeSegment(5);
    QCOMPARE(atStart->insertTransition(1, atStart->rangeStart()), 1);
    QCOMPARE(atStart->transitionStart(1), 0.0f);
  }

  void findSlot_data()
  {
    QTest::addColumn<QList<QPointF>>("existing"); // (start, duration) in seconds
    QTest::addColumn<float>("duration");
    QTest::addColumn<float>("time");
    QTest::addColumn<float>("expected");
    using L = QList<QPointF>;
    QTest::newRow("empty from 0") << L{} << 1.f << 0.f << 0.f;
    QTest::newRow("empty inside") << L{} << 1.f << 2.f << 2.04f;
    QTest::newRow("too long") << L{} << 6.f << 0.f << -1.f;
    QTest::newRow("whole segment") << L{} << 5.f << 0.f << 0.f;
    QTest::newRow("gap exactly the duration") << L{{0, 1}, {3, 2}} << 2.f << 0.f << 1.f;
    QTest::newRow("gap within 0.01") << L{{0, 1}, {2.995f, 2.005f}} << 2.f << 0.f << 1.f;
    QTest::newRow("gap 0.02 short") << L{{0, 1}, {2.98f, 2.02f}} << 2.f << 0.f << -1.f;
    QTest::newRow("spacing after a transition") << L{{0, 1}} << 1.f << 0.f << 1.04f;
    QTest::newRow("skip gaps ending before time") << L{{1, 1}} << 0.5f << 3.f << 3.04f;
    QTest::newRow("time inside a transition") << L{{1, 2}} << 1.f << 1.5f << 3.04f;
    QTest::newRow("time at a gap start") << L{{0, 1}} << 1.f << 1.f << 1.04f;
    QTest::newRow("no room after time") << L{{0, 1}} << 1.f << 4.5f << -1.f;
  }
  void findSlot()
  {
    QFETCH(QList<QPointF>, existing);
    QFETCH(float, duration);
    QFETCH(float, time);
    QFETCH(float, expected);
    auto s = makeSegment(5);
    s->properties()->ensureTransitions();
    for (const QPointF &t : existing) {
      auto record = std::make_unique<PropertyMap>();
      setFloatValue(*record, "TStart", float(t.x()) / 5);
      setFloatValue(*record, "TDuration", float(t.y()) / 5);
      s->properties()->transitions()->push_back(std::move(record));
    }
    const float slot = s->findTransitionSlot(duration, time);
    QVERIFY2(qAbs(slot - expected) < 1e-4f,
             qPrintable(QStringLiteral("expected %1, got %2").arg(expected).arg(slot)));
  }

  void insertFallsBackToEarlierGap()
  {
    auto s = makeSegment(5);
    QVERIFY(place(*s, 2, 3));
    // No room at or after 3 s; the search from the start finds 0..2.
    QCOMPARE(s->insertTransition(1, s->rangeStart() + 3), 1);
    QCOMPARE(s->transitionStart(1), 0.0f);
    QCOMPARE(s->transitionStart(2), 2.0f);
    checkInvariants(*s);
    // Nothing else fits.
    QCOMPARE(s->insertTransition(1.5f, s->rangeStart()), 0); // the 1 s gap at 1 s is too short
    QCOMPARE(s->transitionCount(), 2);
  }

  void insertingBeforeRenumbers()
  {
    auto s = makeSegment(10);
    QCOMPARE(s->insertTransition(1, s->rangeStart() + 5), 1);
    s->setTransitionEasingFunction(1, 7);
    QCOMPARE(s->insertTransition(1, s->rangeStart()), 1);
    QCOMPARE(s->transitionEasingFunction(2), 7);
    QCOMPARE(s->transitionIdAt(1), 2);
    QCOMPARE(s->transitionIdAt(2), 0);
    QCOMPARE(s->transitionIdAt(-1), 0);
    QCOMPARE(s->nextTransitionId(1), 2);
    QCOMPARE(s->nextTransitionId(2), 0);
    QVERIFY(!s->transition(0));
    QVERIFY(!s->transition(3));
    checkInvariants(*s);
    s->removeTransition(1);
    QCOMPARE(s->transitionCount(), 1);
    QCOMPARE(s->transitionEasingFunction(1), 7);
    s->removeTransition(5); // not there: nothing happens
    QCOMPARE(s->transitionCount(), 1);
  }

  void equalStartsKeepInsertionOrder()
  {
    auto s = makeSegment(10);
    s->properties()->ensureTransitions();
    for (int i = 0; i < 2; ++i) {
      auto record = std::make_unique<PropertyMap>();
      setFloatValue(*record, "TStart", 0.5f);
      setIntValue(*record, "Tag", i);
      record->setValues(true, std::make_unique<PropertyMap>());
      record->setValues(false, std::make_unique<PropertyMap>());
      s->properties()->transitions()->push_back(std::move(record));
    }
    // Room at 0 for a zero-length transition: placed at 0, before both.
    QCOMPARE(s->insertTransition(0, s->rangeStart()), 1);
    // The two at 5 s keep their order behind it.
    QCOMPARE(intValue(*s->transition(2), "Tag", -1), 0);
    QCOMPARE(intValue(*s->transition(3), "Tag", -1), 1);
    QCOMPARE(s->nextTransition(2), 3);
    QCOMPARE(s->previousTransition(3), 1); // equal starts are not earlier
    QCOMPARE(s->previousTransition(2), 1);
    checkInvariants(*s);
  }

  void valueSets()
  {
    auto s = makeSegment(10);
    s->setUserScale(QSizeF(2, 2));
    s->setUserRotation(45.123456789);
    s->setClrBlue(-30);
    const int first = s->insertTransition(1, s->rangeStart());
    QCOMPARE(s->transitionUserScale(first, true), QSizeF(2, 2));
    QCOMPARE(s->transitionUserScale(first, false), QSizeF(2, 2));
    QCOMPARE(s->transitionValues(first, true)->text("UserRotation"), QStringLiteral("45.1235"));
    QCOMPARE(s->transitionClrBlue(first, false), -30);
    QCOMPARE(s->transitionValues(first, true)->texts().size(), 20);
    QCOMPARE(*s->transitionValues(first, true), *s->transitionValues(first, false));

    s->setTransitionUserTranslation(first, false, QPointF(0.1, 0.2));
    s->setTransitionClrHue(first, false, 12);
    const int second = s->insertTransition(1, s->rangeStart() + 5);
    QCOMPARE(second, 2);
    // The second starts where the first ends.
    QCOMPARE(s->transitionUserTranslation(second, true), QPointF(0.1f, 0.2f));
    QCOMPARE(s->transitionClrHue(second, true), 12);
    s->setTransitionClrHue(second, true, 0);
    s->resetTransitionValues(second, true);
    QCOMPARE(s->transitionClrHue(second, true), 12);
    s->resetTransitionValues(first, true);
    QCOMPARE(s->transitionUserTranslation(first, true), QPointF(0, 0));

    // Missing names read the set's defaults; a missing set reads defaults and ignores writes.
    s->transitionValues(second, false)->clear();
    QCOMPARE(s->transitionUserVolume(second, false), 1.0f);
    QCOMPARE(s->transitionUserAnchorPoint(second, false), QPointF(0.5, 0.5));
    QCOMPARE(s->transitionCropBottomRight(second, false), QPointF(1, 1));
    s->transition(second)->setValues(false, nullptr);
    s->setTransitionClrRed(second, false, 5);
    QCOMPARE(s->transitionClrRed(second, false), 0);
    QCOMPARE(s->transitionUserScale(99, true), QSizeF(1, 1));
  }

  void copyUserPropertiesFromATransition()
  {
    auto s = makeSegment(10);
    const int id = s->insertTransition(1, s->rangeStart());
    s->setTransitionUserRotation(id, false, 90);
    s->setTransitionUserVolume(id, false, 0.5f);
    s->setTransitionClrExposure(id, false, 40);
    auto target = makeSegment(3);
    target->copyUserPropertiesFromTransition(id, s.get(), false);
    QCOMPARE(target->userRotation(), 90.0);
    QCOMPARE(target->userVolume(), 0.5f);
    QCOMPARE(target->clrExposure(), 40);
    QCOMPARE(target->userScale(), QSizeF(1, 1));
  }

  void duplicate()
  {
    auto s = makeSegment(10);
    const int id = place(*s, 1, 2);
    s->setTransitionEasingFunction(id, 2);
    s->setTransitionClrHue(id, false, 9);
    const int copy = s->duplicateTransition(id);
    QCOMPARE(copy, 2);
    QCOMPARE(s->transitionStart(copy), 3.04f);
    QCOMPARE(s->transitionDuration(copy), 2.0f);
    QCOMPARE(s->transitionEasingFunction(copy), 2);
    QCOMPARE(s->transitionClrHue(copy, false), 9);
    s->setTransitionClrHue(copy, false, 1);
    QCOMPARE(s->transitionClrHue(id, false), 9);
    checkInvariants(*s);

    auto full = makeSegment(4);
    const int last = place(*full, 2, 2);
    QVERIFY(place(*full, 0, 1.9f));
    QCOMPARE(full->duplicateTransition(full->transitionCount()), 0);
    QCOMPARE(full->transitionCount(), 2);
    Q_UNUSED(last);
  }

  void neighbours()
  {
    auto s = makeSegment(10);
    const int only = s->insertTransition(1, s->rangeStart() + 2);
    QCOMPARE(s->nextTransition(only), 0);
    QCOMPARE(s->previousTransition(only), 0);
    QCOMPARE(s->nextTransition(5), 0);
    QVERIFY(s->insertTransition(1, s->rangeStart() + 6));
    QCOMPARE(s->nextTransition(1), 2);
    QCOMPARE(s->previousTransition(2), 1);

    // transitionAt takes absolute time.
    QCOMPARE(s->transitionAt(s->rangeStart() + 1), 0);
    QVERIFY(s->isBeforeFirstTransition(s->rangeStart() + 1));
    QVERIFY(!s->isBeforeFirstTransition(s->rangeStart() - 1));
    QVERIFY(!s->isBeforeFirstTransition(s->rangeStart() + 10));
    QCOMPARE(s->transitionAt(s->rangeStart() + 2.05f), 1);
    QCOMPARE(s->transitionAt(s->rangeStart() + 9), 2);
    QVERIFY(!s->isBeforeFirstTransition(s->rangeStart() + 9));

    // Fractions rescale with the segment.
    s->setDuration(20);
    QCOMPARE(s->transitionStart(1), 4.08f);
  }

  void randomEditsKeepOrder()
  {
    auto s = makeSegment(30);
    quint32 seed = 12345;
    auto next = [&seed](int n) {
      seed = seed * 1103515245u + 12345u;
      return int((seed >> 16) % quint32(n));
    };
    for (int step = 0; step < 300; ++step) {
      const int op = next(4);
      const int count = s->transitionCount();
      if (op == 0 || count == 0)
        s->insertTransition(0.2f + next(20) / 10.0f, s->rangeStart() + next(300) / 10.0f);
      else if (op == 1)
        s->duplicateTransition(1 + next(count));
      else if (op == 2)
        s->removeTransition(1 + next(count));
      else
        s->insertTransition(0.5f, s->rangeStart());
      checkInvariants(*s);
      if (QTest::currentTestFailed())
        QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
      // Transitions never overlap beyond the fit tolerance.
      for (int id = 2; id <= s->transitionCount(); ++id)
        QVERIFY(s->transitionStart(id) + 0.011f >= s->transitionStart(id - 1) + s->transitionDuration(id - 1));
    }
  }
};

TAVO_TEST_CORE_MAIN(TestTransitions)
#include "tst_transitions.moc"
