// Segment base, layer state and the composition's lists, without GL.
#include "testenv.h"

#include "avcomposition.h"
#include "fakesegments.h"

#include <thread>

class TestSegment : public QObject
{
  Q_OBJECT

private slots:
  void groupsStaySortedById();
  void renumberDoesNotResort();
  void listenerNotSetIsSilent();
  void layerUserValues();
  void findGroupLocksUntilApply();
  void evaluationPassPicksLatestFinished();
  void compositionFindsAndSizesLayers();
  void removeParksLayersAndDeletesSounds();
  void listenersAreUniqueAndRecomputeOnSuccessOnly();
  void layerOrderKeepsUnnamedLayers();
  void durationFollowsSegmentsAndWindow();
};

namespace {
QList<uint32_t> groupIds(const AVSegment &segment)
{
  QList<uint32_t> ids;
  for (TransitionGroup *group : segment.groups())
    ids << group->id();
  return ids;
}
} // namespace

void TestSegment::groupsStaySortedById()
{
  FakeSound segment(0, 10);
  auto *second2 = new TransitionGroup(2, 0.5, 0.1);
  segment.addGroup(new TransitionGroup(5, 0, 0.1));
  segment.addGroup(new TransitionGroup(2, 0, 0.1));
  segment.addGroup(new TransitionGroup(9, 0, 0.1));
  segment.addGroup(second2);
  QCOMPARE(groupIds(segment), (QList<uint32_t>{2, 2, 5, 9}));
  QCOMPARE(segment.groups()[1], second2); // equal ids keep arrival order
  segment.removeGroup(42);
  QCOMPARE(groupIds(segment), (QList<uint32_t>{2, 2, 5, 9}));
  segment.removeGroup(2);
  QCOMPARE(groupIds(segment), (QList<uint32_t>{2, 5, 9}));
  QCOMPARE(segment.groups()[0], second2);
  segment.clearGroups();
  QVERIFY(segment.groups().empty());
}

void TestSegment::renumberDoesNotResort()
{
  FakeSound segment(0, 10);
  for (uint32_t id : {5u, 2u, 9u})
    segment.addGroup(new TransitionGroup(id, 0, 0.1));
  segment.renumberGroup(9, 1);
  QCOMPARE(groupIds(segment), (QList<uint32_t>{2, 5, 1}));
  QVERIFY(segment.findGroup(1));
  QCOMPARE(segment.findGroup(1), segment.groups().back());
  QVERIFY(!segment.findGroup(9));
}

void TestSegment::listenerNotSetIsSilent()
{
  FakeSound segment(0, 1);
  QCOMPARE(segment.loadError(), int(kAVLoadPending));
  QVERIFY(segment.isAsleep());
  QVERIFY(segment.isEnabled());
  segment.notifyListener(0);
  segment.notifyAuxListener(0);
  int calls = 0;
  segment.setListener([](AVSegment *, int code, void *user) { *static_cast<int *>(user) += code; }, &calls);
  segment.notifyListener(3);
  QCOMPARE(calls, 3);
}

void TestSegment::layerUserValues()
{
  FakeLayer layer(0, 5);
  layer.setTransparency(1.4f);
  QCOMPARE(layer.transparency(), 1.0f);
  layer.setTransparency(-0.2f);
  QCOMPARE(layer.transparency(), 0.0f);
  layer.setColorEffect(25, 7);
  QCOMPARE(layer.effectiveColorEffect(25), 0);
  layer.setEffectiveTransparency(3);
  QCOMPARE(layer.effectiveTransparency(), 1.0f);
  // Without a texture the update leaves the effective values alone.
  layer.setPosition(0.3f, 0.1f);
  layer.update(1.0, true, false);
  QCOMPARE(layer.effectivePosition().x, 0.0f);
  QCOMPARE(layer.effectiveScale().x, 1.0f);
  QCOMPARE(layer.effectiveCropBottomRight().y, 1.0f);
}

void TestSegment::findGroupLocksUntilApply()
{
  FakeLayer layer(0, 5);
  layer.addGroup(new TransitionGroup(4, 0, 0.5));
  // No such group: nothing stays locked, a locking setter goes through.
  QVERIFY(!layer.findGroup(8));
  layer.applyGroup(8);
  layer.setTransparency(0.5f);

  QVERIFY(layer.findGroup(4));
  std::atomic<bool> setterDone{false};
  std::thread other([&] {
    layer.setTransparency(0.25f);
    setterDone = true;
  });
  QTest::qWait(50);
  QVERIFY2(!setterDone, "a setter ran while the group was being edited");
  layer.applyGroup(4);
  other.join();
  QVERIFY(setterDone);
  QCOMPARE(layer.transparency(), 0.25f);
}

void TestSegment::evaluationPassPicksLatestFinished()
{
  FakeLayer layer(0, 10);
  // Windows [1, 2] and [4, 6] s of a 10 s segment.
  layer.addTransition(new FakePositionTransition(0.1, 0.1, 0.0f, 0.2f));
  layer.addTransition(new FakePositionTransition(0.4, 0.2, 0.5f, 0.9f));
  layer.setEffectivePosition(-1, 0);
  layer.evaluate(0.5); // before both: untouched
  QCOMPARE(layer.effectivePosition().x, -1.0f);
  layer.evaluate(2.0); // end inclusive: end value
  QCOMPARE(layer.effectivePosition().x, 0.2f);
  layer.evaluate(3.0); // gap: the earlier one's end value
  QCOMPARE(layer.effectivePosition().x, 0.2f);
  layer.evaluate(5.0);
  QCOMPARE(layer.effectivePosition().x, 0.7f);
  layer.evaluate(8.0); // after both: the one that ended last
  QCOMPARE(layer.effectivePosition().x, 0.9f);
}

void TestSegment::compositionFindsAndSizesLayers()
{
  AVComposition composition(640, 360, 44100, 2, nullptr);
  QList<FakeLayer *> layers;
  for (uint32_t id : {7u, 3u, 5u}) {
    auto *layer = new FakeLayer(0, 1);
    layer->setId(id);
    composition.addSegment(layer, id);
    layers << layer;
  }
  QCOMPARE(composition.findSegment(3), static_cast<AVSegment *>(layers[1]));
  QVERIFY(!composition.findSegment(4));
  QCOMPARE(composition.removeSegment(4), 0);
  composition.setRenderSize(1920, 1080, false);
  for (FakeLayer *layer : layers) {
    QCOMPARE(layer->renderWidth(), 1920u);
    QCOMPARE(layer->renderHeight(), 1080u);
  }
  QCOMPARE(composition.width(), 640); // until a frame is composed at the new size
}

void TestSegment::removeParksLayersAndDeletesSounds()
{
  std::atomic<int> deleted{0};
  {
    AVComposition composition(640, 360, 44100, 2, nullptr);
    auto *layer = new FakeLayer(0, 2, &deleted);
    layer->setId(1);
    composition.addSegment(layer, 1);
    auto *sound = new FakeSound(0, 4, &deleted);
    sound->setId(2);
    composition.addSegment(sound, 2);
    QCOMPARE(composition.duration(), 4.0);

    QCOMPARE(composition.removeSegment(2), 1);
    QCOMPARE(deleted.load(), 1); // the sound at once
    QCOMPARE(composition.duration(), 2.0);
    QCOMPARE(composition.removeSegment(1), 1);
    QCOMPARE(deleted.load(), 1); // the layer waits for the rendering thread
    QCOMPARE(composition.parkedCount(), 1);
    QVERIFY(!composition.findSegment(1));
    QCOMPARE(composition.duration(), 0.0);

    // A sound still loading joins its loader when deleted, and the loader reports its
    // duration to the composition: the removal must not hold the lists meanwhile.
    struct LoadingSound : FakeSound
    {
      using FakeSound::FakeSound;
      AVComposition *composition = nullptr;
      ~LoadingSound() override { std::thread([this] { composition->updateDuration(); }).join(); }
    };
    auto *loading = new LoadingSound(0, 3, &deleted);
    loading->composition = &composition;
    loading->setId(3);
    composition.addSegment(loading, 3);
    QCOMPARE(composition.removeSegment(3), 1);
    QCOMPARE(deleted.load(), 2);
  }
  QCOMPARE(deleted.load(), 3);
}

namespace {
struct ListenerLog
{
  QList<QPair<void *, AVSegment *>> calls;
};

void listenerA(AVComposition *, AVSegment *segment, void *user)
{
  static_cast<ListenerLog *>(user)->calls.append({user, segment});
}
} // namespace

void TestSegment::listenersAreUniqueAndRecomputeOnSuccessOnly()
{
  AVComposition composition(640, 360, 44100, 2, nullptr);
  ListenerLog first, second;
  composition.addListener(listenerA, &first);
  composition.addListener(listenerA, &second);
  auto *layer = new FakeLayer(1, 2);
  layer->setId(1);
  composition.addSegment(layer, 1);
  QCOMPARE(composition.duration(), 3.0);

  // A duration change is picked up only when a segment reports success.
  layer->setDuration(9);
  layer->notifyListener(kAVLoadReadError);
  QCOMPARE(composition.duration(), 3.0);
  QCOMPARE(first.calls.size(), 0);
  QCOMPARE(second.calls.size(), 1); // one entry, the newer user data
  layer->notifyListener(0);
  QCOMPARE(composition.duration(), 10.0);
  layer->notifyAuxListener(5);
  QCOMPARE(second.calls.size(), 3);
  QCOMPARE(second.calls.last().second, static_cast<AVSegment *>(layer));
  composition.removeListener(listenerA);
  layer->notifyListener(0);
  QCOMPARE(second.calls.size(), 3);
}

void TestSegment::layerOrderKeepsUnnamedLayers()
{
  std::atomic<int> deleted{0};
  AVComposition composition(640, 360, 44100, 2, nullptr);
  for (uint32_t id : {1u, 2u, 3u}) {
    auto *layer = new FakeLayer(0, 1, &deleted);
    layer->setId(id);
    composition.addSegment(layer, id);
  }
  const uint32_t partial[] = {3, 99};
  composition.setLayerOrder(partial, 2);
  QCOMPARE(deleted.load(), 0);
  for (uint32_t id : {1u, 2u, 3u})
    QVERIFY2(composition.findSegment(id), qPrintable(QString("layer %1 lost").arg(id)));
}

void TestSegment::durationFollowsSegmentsAndWindow()
{
  AVComposition composition(640, 360, 44100, 2, nullptr);
  QCOMPARE(composition.duration(), 0.0);
  QCOMPARE(composition.mixWindowEnd(), 0);
  auto *sound = new FakeSound(0, 0.25);
  sound->setId(1);
  composition.addSegment(sound, 1);
  // Half a second window, cut at the end of the composition.
  QCOMPARE(composition.mixWindowEnd(), int(44100 * 0.25));
  sound->setDuration(5);
  composition.updateDuration();
  QCOMPARE(composition.mixWindowEnd(), 22050);
  composition.seek(3.0, true);
  QCOMPARE(composition.mixWindowStart(), 3 * 44100);
  QCOMPARE(sound->lastSeek, 3.0);
}

TAVO_TEST_CORE_MAIN(TestSegment)
#include "tst_segment.moc"
