// What a property shows under transitions and groups: windows, replacement, the end value
// that holds, group precedence, linear transparency and volume, and the kinds' segment classes.
#include "testenv.h"

#include "avlayersegment.h"
#include "avsoundsegment.h"
#include "avtransition.h"

#include <cmath>

namespace {
// A layer evaluated directly, as its update does once it has a picture.
class ProbeLayer : public AVLayerSegment
{
public:
  explicit ProbeLayer(double duration = 10) : AVLayerSegment(0, duration, 1280, 720) {}
  void at(double t)
  {
    resetEffectiveValues();
    evaluateTransitions(t);
  }
};

class ProbeSound : public AVSoundSegment
{
public:
  explicit ProbeSound(double start = 0, double duration = 10) : AVSoundSegment(start, duration) {}
  void update(double, bool, bool) override {}
  void seek(double, bool) override {}
};

// A group on [start, start + duration] of the segment, linear unless told.
TransitionGroup *group(AVSegment &segment, uint32_t id, double start, double duration, AVEasingType easing = 0)
{
  auto *g = new TransitionGroup(id, start, duration);
  g->setEasing(easing);
  segment.addGroup(g);
  return g;
}

QString pair(vec2 v)
{
  return QString("(%1, %2)").arg(v.x).arg(v.y);
}

#define QCOMPARE_VEC2(actual, ex, ey)                                                                                  \
  do {                                                                                                                 \
    const vec2 _a = (actual);                                                                                          \
    QVERIFY2(std::abs(_a.x - (ex)) < 1e-5f && std::abs(_a.y - (ey)) < 1e-5f,                                           \
             qPrintable(QString("expected (%1, %2) got %3").arg(ex).arg(ey).arg(pair(_a))));                        \
  } while (false)
} // namespace

class TestTransitions : public QObject
{
  Q_OBJECT

private slots:
  void activeAtBothEdges();
  void zeroLengthWindowWritesTheEndValue();
  void transitionReplacesTheUserValue();
  void latestFinishedEndValueHolds();
  void higherGroupIdWins();
  void groupsOverrideThePlainList();
  void transparencyAndVolumeAreLinear();
  void colourEffectTruncates();
  void storedValuesAndDefaults();
  void groupPassesWindowAndEasingOn();
  void kindsActOnlyOnTheirClass();
  void soundVolume();
};

void TestTransitions::activeAtBothEdges()
{
  ProbeLayer layer; // 10 s
  layer.setPosition(0.3f, 0.3f);
  TransitionGroup *g = group(layer, 1, 0.2, 0.4); // [2 s, 6 s]
  g->setBeginPosition(0, 0);
  g->setEndPosition(1, -1);
  layer.at(1.999);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.3f, 0.3f);
  layer.at(2.0);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.0f, 0.0f);
  layer.at(4.0);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.5f, -0.5f);
  layer.at(6.0);
  QCOMPARE_VEC2(layer.effectivePosition(), 1.0f, -1.0f);
  layer.at(9.0);
  QCOMPARE_VEC2(layer.effectivePosition(), 1.0f, -1.0f);
}

void TestTransitions::zeroLengthWindowWritesTheEndValue()
{
  ProbeLayer layer;
  TransitionGroup *g = group(layer, 1, 0.5, 0.0); // only at 5 s
  g->setBeginScale(3, 3);
  g->setEndScale(2, 0.5f);
  g->setBeginTransparency(0);
  g->setEndTransparency(0.75f);
  layer.at(5.0);
  QCOMPARE_VEC2(layer.effectiveScale(), 2.0f, 0.5f);
  QCOMPARE(layer.effectiveTransparency(), 0.75f);
  layer.at(5.5);
  QCOMPARE_VEC2(layer.effectiveScale(), 2.0f, 0.5f);

  // A segment of no duration puts every window at 0: nothing is divided by it.
  ProbeLayer empty(0);
  TransitionGroup *e = group(empty, 1, 0.25, 0.5, 6);
  e->setBeginPosition(0, 0);
  e->setEndPosition(0.4f, 0.2f);
  e->setBeginEffectColor(0, 0);
  e->setEndEffectColor(0, 50);
  empty.at(0);
  QCOMPARE_VEC2(empty.effectivePosition(), 0.4f, 0.2f);
  QCOMPARE(empty.effectiveColorEffect(0), 50);
}

void TestTransitions::transitionReplacesTheUserValue()
{
  ProbeLayer layer;
  layer.setScale(2, 2);
  layer.setRotation(30);
  TransitionGroup *g = group(layer, 1, 0, 0.5);
  g->setBeginScale(1, 1);
  g->setEndScale(0.5f, 0.5f);
  g->setBeginRotation(0);
  g->setEndRotation(90);
  layer.at(2.5); // halfway
  QCOMPARE_VEC2(layer.effectiveScale(), 0.75f, 0.75f);
  QCOMPARE(layer.effectiveRotation(), 45.0f);
  // Other properties keep the user's value.
  QCOMPARE_VEC2(layer.effectiveAnchor(), 0.5f, 0.5f);
}

void TestTransitions::latestFinishedEndValueHolds()
{
  ProbeLayer layer;
  layer.setPosition(0.9f, 0.9f);
  // The higher id finishes first: what holds is the one that ended last, not the last evaluated.
  TransitionGroup *late = group(layer, 5, 0.3, 0.1); // [3, 4]
  late->setEndPosition(0.5f, 0);
  TransitionGroup *early = group(layer, 9, 0.1, 0.1); // [1, 2]
  early->setEndPosition(0.2f, 0);
  layer.at(0.5);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.9f, 0.9f);
  layer.at(2.5); // the gap: the earlier one's end value
  QCOMPARE_VEC2(layer.effectivePosition(), 0.2f, 0.0f);
  layer.at(7);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.5f, 0.0f);

  // Equal end times: the first in evaluation order stays.
  ProbeLayer tie;
  group(tie, 1, 0.1, 0.2)->setEndScale(3, 3); // [1, 3]
  group(tie, 2, 0.2, 0.1)->setEndScale(4, 4); // [2, 3]
  tie.at(5);
  QCOMPARE_VEC2(tie.effectiveScale(), 3.0f, 3.0f);
}

void TestTransitions::higherGroupIdWins()
{
  ProbeLayer layer;
  TransitionGroup *seven = group(layer, 7, 0.4, 0.4); // [4, 8]
  seven->setBeginScale(7, 7);
  seven->setEndScale(7, 7);
  TransitionGroup *three = group(layer, 3, 0.2, 0.4); // [2, 6]
  three->setBeginScale(3, 3);
  three->setEndScale(3, 3);
  layer.at(3);
  QCOMPARE_VEC2(layer.effectiveScale(), 3.0f, 3.0f);
  layer.at(5);
  QCOMPARE_VEC2(layer.effectiveScale(), 7.0f, 7.0f);
  // Renumbered below 3 it still evaluates last: the list is not re-sorted.
  layer.renumberGroup(7, 1);
  layer.at(5);
  QCOMPARE_VEC2(layer.effectiveScale(), 7.0f, 7.0f);
}

void TestTransitions::groupsOverrideThePlainList()
{
  ProbeLayer layer;
  auto *single = new AVPositionTransition;
  single->setStart(0);
  single->setDuration(1);
  single->setBegin(0.8f, 0.8f);
  single->setEnd(0.8f, 0.8f);
  layer.addTransition(single);
  TransitionGroup *g = group(layer, 1, 0.2, 0.2); // [2, 4]
  g->setBeginPosition(0.1f, 0.1f);
  g->setEndPosition(0.1f, 0.1f);
  layer.at(1);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.8f, 0.8f);
  layer.at(3);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.1f, 0.1f);
}

void TestTransitions::transparencyAndVolumeAreLinear()
{
  ProbeLayer layer;
  TransitionGroup *g = group(layer, 1, 0, 1, 25); // back in over the whole segment
  g->setBeginTransparency(0);
  g->setEndTransparency(1);
  g->setBeginPosition(0, 0);
  g->setEndPosition(1, 0);
  layer.at(2.5);
  QCOMPARE(layer.effectiveTransparency(), 0.25f);
  // Back in first moves against the direction of travel.
  QVERIFY2(layer.effectivePosition().x < 0, qPrintable(pair(layer.effectivePosition())));
  layer.at(5);
  QCOMPARE(layer.effectiveTransparency(), 0.5f);
  QCOMPARE(layer.effectivePosition().x, -0.125f);

  ProbeSound sound;
  TransitionGroup *v = group(sound, 1, 0, 1, 6);
  v->setBeginVolume(1);
  v->setEndVolume(0);
  sound.evaluateVolume(2.5);
  QCOMPARE(sound.effectiveVolume(), 0.75f); // smoothstep would give 0.84375
}

void TestTransitions::colourEffectTruncates()
{
  ProbeLayer layer;
  TransitionGroup *g = group(layer, 1, 0, 1);
  g->setBeginEffectColor(3, 0);
  g->setEndEffectColor(3, 9);
  g->setBeginEffectColor(4, 0);
  g->setEndEffectColor(4, -9);
  layer.at(5);
  QCOMPARE(layer.effectiveColorEffect(3), 4);  // 4.5
  QCOMPARE(layer.effectiveColorEffect(4), -4); // toward zero
  // Index 20 creates nothing.
  g->setEndEffectColor(20, 5);
  g->setBeginEffectColor(-1, 5);
  for (int i = 0; i < TransitionGroup::kColorEffectSlots; ++i)
    QCOMPARE(g->effectTransition(i) != nullptr, i == 3 || i == 4);
  QVERIFY(!g->effectTransition(20));
}

void TestTransitions::storedValuesAndDefaults()
{
  TransitionGroup g(1, 0, 1);
  g.setEndVolume(1.7f);
  g.setBeginVolume(-0.5f);
  QCOMPARE(g.transition(TransitionGroup::Volume)->endX(), 1.0f);
  QCOMPARE(g.transition(TransitionGroup::Volume)->beginX(), 0.0f);
  g.setEndTransparency(1.7f); // clamped only when written to the layer
  QCOMPARE(g.transition(TransitionGroup::Transparency)->endX(), 1.7f);

  // A kind given only one value keeps its class's other default.
  g.setEndScale(2, 2);
  g.setEndAnchor(0, 0);
  g.setEndCropBottomRight(0.5f, 0.5f);
  QCOMPARE(g.transition(TransitionGroup::Scale)->beginX(), 1.0f);
  QCOMPARE(g.transition(TransitionGroup::Anchor)->beginY(), 0.5f);
  QCOMPARE(g.transition(TransitionGroup::CropBottomRight)->beginX(), 1.0f);
  QVERIFY(!g.transition(TransitionGroup::Position));

  ProbeLayer layer;
  TransitionGroup *t = group(layer, 1, 0, 0.5);
  t->setEndTransparency(1.7f);
  layer.at(4);
  QCOMPARE(layer.effectiveTransparency(), 1.0f);
  layer.at(9);
  QCOMPARE(layer.effectiveTransparency(), 1.0f);

  // Kind ids.
  const struct
  {
    TransitionGroup::Slot slot;
    int kind;
  } kinds[] = {{TransitionGroup::Volume, 1},    {TransitionGroup::Transparency, 2}, {TransitionGroup::Position, 3},
               {TransitionGroup::Scale, 4},     {TransitionGroup::Rotation, 5},     {TransitionGroup::RotationX, 6},
               {TransitionGroup::RotationY, 7}, {TransitionGroup::Anchor, 8},       {TransitionGroup::CropTopLeft, 9},
               {TransitionGroup::CropBottomRight, 10}};
  TransitionGroup all(1, 0, 1);
  all.setEndVolume(1);
  all.setEndTransparency(1);
  all.setEndPosition(1, 1);
  all.setEndScale(1, 1);
  all.setEndRotation(1);
  all.setEndRotationX(1);
  all.setEndRotationY(1);
  all.setEndAnchor(1, 1);
  all.setEndCropTopLeft(1, 1);
  all.setEndCropBottomRight(1, 1);
  all.setEndEffectColor(19, 1);
  for (const auto &k : kinds)
    QCOMPARE(all.transition(k.slot)->kind(), k.kind);
  QCOMPARE(all.effectTransition(19)->kind(), 30);
}

void TestTransitions::groupPassesWindowAndEasingOn()
{
  ProbeLayer layer;
  TransitionGroup *g = group(layer, 1, 0, 0.1);
  g->setEndRotationX(90);
  g->setStart(0.5);
  g->setDuration(0.2); // [5, 7]
  g->setEasing(1);     // quadratic in
  g->setEndRotationY(90); // created after: takes the group's window and easing
  layer.at(4.9);
  QCOMPARE(layer.effectiveRotationX(), 0.0f);
  layer.at(6);
  QCOMPARE(layer.effectiveRotationX(), 22.5f);
  QCOMPARE(layer.effectiveRotationY(), 22.5f);
  QCOMPARE(g->transition(TransitionGroup::RotationY)->easingType(), 1);
}

void TestTransitions::kindsActOnlyOnTheirClass()
{
  ProbeSound sound;
  sound.setVolume(0.6f);
  auto *position = new AVPositionTransition;
  position->setDuration(1);
  sound.addTransition(position);
  TransitionGroup *g = group(sound, 1, 0, 1);
  g->setEndPosition(1, 1);
  g->setBeginVolume(0.2f);
  g->setEndVolume(0.2f);
  sound.evaluateVolume(5);
  QCOMPARE(sound.effectiveVolume(), 0.2f);

  // A volume transition on a layer, like a position one on a sound, never counts as active.
  ProbeLayer layer;
  auto *volume = new AVVolumeTransition;
  volume->setDuration(1);
  layer.addTransition(volume);
  AVTransition *finished = nullptr;
  QVERIFY(!volume->apply(&layer, 5, &finished));
  QVERIFY(!position->apply(&sound, 5, &finished));
  layer.at(5);
  QCOMPARE_VEC2(layer.effectivePosition(), 0.0f, 0.0f);
}

void TestTransitions::soundVolume()
{
  ProbeSound sound(10, 8); // timeline [10, 18]
  sound.setVolume(-1);
  QCOMPARE(sound.volume(), 0.0f);
  sound.setVolume(2.5f);
  QCOMPARE(sound.volume(), 2.5f);
  sound.evaluateVolume(12);
  QCOMPARE(sound.effectiveVolume(), 2.5f); // no groups: the user's volume

  // A fade over the second half leaves the clip silent to its end (and past it).
  TransitionGroup *fade = group(sound, 1, 0.5, 0.5);
  fade->setBeginVolume(1);
  fade->setEndVolume(0);
  sound.evaluateVolume(13);
  QCOMPARE(sound.effectiveVolume(), 2.5f);
  sound.evaluateVolume(16);
  QCOMPARE(sound.effectiveVolume(), 0.5f);
  for (double t : {18.0, 18.5, 30.0}) {
    sound.evaluateVolume(t);
    QCOMPARE(sound.effectiveVolume(), 0.0f);
  }
  // The edit protocol: locked from findGroup to applyGroup, then free for the setters again.
  QVERIFY(!sound.findGroup(99));
  sound.applyGroup(99);
  TransitionGroup *found = sound.findGroup(1);
  QCOMPARE(found, fade);
  found->setEndVolume(0.5f);
  sound.applyGroup(1);
  sound.setVolume(1);
  sound.evaluateVolume(30);
  QCOMPARE(sound.effectiveVolume(), 0.5f);
}

TAVO_TEST_CORE_MAIN(TestTransitions)
#include "tst_transitions.moc"
