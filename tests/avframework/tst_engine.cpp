// The engine facade: the property table, the easing map, group edits by segment and group id,
// segment adds and edits, and a facade-built scene composed at several times.
#include "testenv.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avheadlessrenderer.h"
#include "avimageloader.h"
#include "avsoundsegment.h"
#include "avtextsegment.h"
#include "avtransition.h"
#include "glprobe.h"

#include "avcommon.h"
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <memory>

namespace {
const float kPi = float(M_PI);

class ProbeLayer : public AVLayerSegment
{
public:
  ProbeLayer() : AVLayerSegment(0, 10, 160, 90) {}
  // The effective values as an update would leave them at t.
  void at(double t)
  {
    resetEffectiveValues();
    evaluateTransitions(t);
  }
  bool isLocked() const
  {
    if (!layerMutex()->try_lock())
      return true;
    layerMutex()->unlock();
    return false;
  }
};

class ProbeSound : public AVSoundSegment
{
public:
  ProbeSound() : AVSoundSegment(0, 10) {}
  void update(double, bool, bool) override {}
  void seek(double, bool) override {}
  bool isLocked() const
  {
    if (!soundMutex()->try_lock())
      return true;
    soundMutex()->unlock();
    return false;
  }
};

// Every value a property can reach, to see that an edit changed nothing else.
QVector<float> snapshot(ProbeLayer *layer)
{
  layer->at(0);
  QVector<float> v;
  auto add2 = [&v](vec2 p) { v << p.x << p.y; };
  auto add4 = [&v](vec4 c) { v << c.x << c.y << c.z << c.w; };
  v << layer->transparency() << layer->effectiveRotation() << layer->effectiveRotationX()
    << layer->effectiveRotationY() << layer->borderWidth() << layer->cornerRadius() << layer->shadowOpacity()
    << layer->shadowRadius() << float(layer->borderStroke()) << float(layer->borderStrokeTolerance())
    << float(layer->borderStrokeStrength()) << float(layer->keyEnabled()) << float(layer->keySensitivity())
    << float(layer->keySmoothing());
  add2(layer->effectivePosition());
  add2(layer->effectiveScale());
  add2(layer->effectiveAnchor());
  add2(layer->effectiveCropTopLeft());
  add2(layer->effectiveCropBottomRight());
  add2(layer->shadowOffset());
  add4(layer->borderColor());
  add4(layer->shadowColor());
  add4(layer->keyColor());
  for (int i = 0; i < AVLayerSegment::kColorEffects; ++i)
    v << float(layer->effectiveColorEffect(i));
  return v;
}

bool near(double a, double b, double tolerance = 1e-5)
{
  return std::abs(a - b) <= tolerance;
}

QImage solid(int width, int height, QColor colour)
{
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}
} // namespace

class TestEngine : public QObject
{
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void easingMap();
  void layerPropertyTable();
  void ignoredPropertiesChangeNothing();
  void soundTakesOnlyVolume();
  void textPropertiesReachTheRasteriser();
  void transitionValuesBeginAndEnd();
  void transitionValueKindsPerClass();
  void groupEditsByGroupId();
  void unknownIdsDoNothing();
  void segmentEdits();
  void recordAndProcessState();
  void plistConversionEntries();
  void facadeSceneFadeAndMove();

private:
  ProbeLayer *addProbe(uint32_t id);
  ProbeSound *addSound(uint32_t id);

  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVEngine> _engine;
};

void TestEngine::init()
{
  _composition = std::make_unique<AVComposition>(160, 90, 44100, 2, nullptr);
  _engine = std::make_unique<AVEngine>(_composition.get(), nullptr, nullptr);
}

void TestEngine::cleanup()
{
  _engine.reset();
  _composition.reset();
}

ProbeLayer *TestEngine::addProbe(uint32_t id)
{
  auto *layer = new ProbeLayer;
  layer->setId(id);
  _composition->addSegment(layer, id);
  return layer;
}

ProbeSound *TestEngine::addSound(uint32_t id)
{
  auto *sound = new ProbeSound;
  sound->setId(id);
  _composition->addSegment(sound, id);
  return sound;
}

void TestEngine::easingMap()
{
  const int engine[] = {0, 4, 5, 6, 16, 17, 18, 25, 26, 27, 22, 23, 24, 28, 29, 30};
  for (int editor = 1; editor <= 16; ++editor)
    QCOMPARE(AVEngine::mapEasingType(editor), engine[editor - 1]);
  for (int other : {0, 17, -1, 100})
    QCOMPARE(AVEngine::mapEasingType(other), 6);
}

void TestEngine::layerPropertyTable()
{
  ProbeLayer *layer = addProbe(1);
  _engine->setSegmentProperty(1, kAVPropertyTransparency, 1.7f);
  QCOMPARE(layer->transparency(), 1.0f);
  _engine->setSegmentProperty(1, kAVPropertyPosition, 0.1f, -0.2f);
  _engine->setSegmentProperty(1, kAVPropertyScale, 2, 3);
  _engine->setSegmentProperty(1, kAVPropertyRotation, kPi);
  _engine->setSegmentProperty(1, kAVPropertyRotationX, kPi / 2);
  _engine->setSegmentProperty(1, kAVPropertyRotationY, -kPi / 4);
  _engine->setSegmentProperty(1, kAVPropertyAnchor, 0, 1);
  _engine->setSegmentProperty(1, kAVPropertyCropTopLeft, 0.1f, 0.2f);
  _engine->setSegmentProperty(1, kAVPropertyCropBottomRight, 0.8f, 0.9f);
  _engine->setSegmentProperty(1, kAVPropertyBorderWidth, 0.01f);
  _engine->setSegmentProperty(1, kAVPropertyBorderColor, 0.1f, 0.2f, 0.3f, 0.4f);
  _engine->setSegmentProperty(1, kAVPropertyCornerRadius, 0.05f);
  _engine->setSegmentProperty(1, kAVPropertyShadowOpacity, 0.6f);
  _engine->setSegmentProperty(1, kAVPropertyShadowOffset, 0.01f, 0.02f);
  _engine->setSegmentProperty(1, 20, -37.9f);
  _engine->setSegmentProperty(1, 28, 55.5f);
  _engine->setSegmentProperty(1, kAVPropertyStrokeTolerance, 12.7f);
  _engine->setSegmentProperty(1, kAVPropertyStrokeStrength, 40.2f);
  _engine->setSegmentProperty(1, kAVPropertyKeySensitivity, 33.9f);
  _engine->setSegmentProperty(1, kAVPropertyKeySmoothing, 7.1f);
  _engine->setSegmentProperty(1, kAVPropertyKeyColor, 0, 1, 0, 0.5f);
  _engine->setSegmentProperty(1, kAVPropertyShadowRadius, 0.02f);
  _engine->setSegmentProperty(1, kAVPropertyShadowColor, 1, 0, 1, 0);
  layer->at(0);
  QCOMPARE(layer->effectivePosition().x, 0.1f);
  QCOMPARE(layer->effectivePosition().y, -0.2f);
  QCOMPARE(layer->effectiveScale().y, 3.0f);
  QVERIFY(near(layer->effectiveRotation(), 180));
  QVERIFY(near(layer->effectiveRotationX(), 90));
  QVERIFY(near(layer->effectiveRotationY(), -45));
  QCOMPARE(layer->effectiveAnchor().y, 1.0f);
  QCOMPARE(layer->effectiveCropTopLeft().y, 0.2f);
  QCOMPARE(layer->effectiveCropBottomRight().x, 0.8f);
  QCOMPARE(layer->borderWidth(), 0.01f);
  QCOMPARE(layer->borderColor().z, 0.3f);
  QCOMPARE(layer->borderColor().w, 1.0f); // d is not used: colours are opaque
  QCOMPARE(layer->cornerRadius(), 0.05f);
  QCOMPARE(layer->shadowOpacity(), 0.6f);
  QCOMPARE(layer->shadowOffset().y, 0.02f);
  QCOMPARE(layer->effectiveColorEffect(0), -37);
  QCOMPARE(layer->effectiveColorEffect(8), 55);
  QCOMPARE(layer->borderStrokeTolerance(), 12);
  QCOMPARE(layer->borderStrokeStrength(), 40);
  QCOMPARE(layer->keySensitivity(), 33);
  QCOMPARE(layer->keySmoothing(), 7);
  QCOMPARE(layer->keyColor().y, 1.0f);
  QCOMPARE(layer->keyColor().w, 1.0f);
  QCOMPARE(layer->shadowRadius(), 0.02f);
  QCOMPARE(layer->shadowColor().z, 1.0f);
  QCOMPARE(layer->shadowColor().w, 1.0f);

  // Switches are on for exactly 1.
  _engine->setSegmentProperty(1, kAVPropertyBorderStroke, 1.0f);
  QVERIFY(layer->borderStroke());
  _engine->setSegmentProperty(1, kAVPropertyBorderStroke, 2.0f);
  QVERIFY(!layer->borderStroke());
  _engine->setSegmentProperty(1, kAVPropertyKeyEnabled, 1.9f);
  QVERIFY(layer->keyEnabled());
  _engine->setSegmentProperty(1, kAVPropertyKeyEnabled, 0.5f);
  QVERIFY(!layer->keyEnabled());
}

void TestEngine::ignoredPropertiesChangeNothing()
{
  ProbeLayer *layer = addProbe(1);
  const QVector<float> before = snapshot(layer);
  // Gaps in the table, ids past it, volume and the text-only ids on a picture layer.
  for (int id : {0, -1, 18, 29, 33, 39, 43, 49, 54, 59, 62, 1000, 15, 16, 17, 19, 30, 31, 32})
    _engine->setSegmentProperty(1, id, 0.3f, 0.4f, 0.5f, 0.6f);
  QCOMPARE(snapshot(layer), before);
}

void TestEngine::soundTakesOnlyVolume()
{
  ProbeSound *sound = addSound(2);
  _engine->setSegmentProperty(2, kAVPropertyVolume, 0.4f);
  QCOMPARE(sound->volume(), 0.4f);
  _engine->setSegmentProperty(2, kAVPropertyVolume, -3);
  QCOMPARE(sound->volume(), 0.0f);
  _engine->setSegmentProperty(2, kAVPropertyVolume, 2.5f);
  for (int id : {1, 2, 4, 20, 40})
    _engine->setSegmentProperty(2, id, 0.7f, 0.7f);
  QCOMPARE(sound->volume(), 2.5f);
  sound->evaluateVolume(1);
  QCOMPARE(sound->effectiveVolume(), 2.5f);
}

// The text ids end up in the rasteriser's arguments: the layer's picture equals one rendered
// directly with the converted values.
void TestEngine::textPropertiesReachTheRasteriser()
{
  _composition = std::make_unique<AVComposition>(640, 360, 44100, 2, nullptr);
  _engine = std::make_unique<AVEngine>(_composition.get(), nullptr, nullptr);
  QCOMPARE(_engine->addTextSegment(7, "first", 1, 4), 7u);
  auto *text = static_cast<AVTextSegment *>(_composition->findSegment(7));
  QVERIFY(text && text->isText());
  QCOMPARE(text->id(), 7u);
  QCOMPARE(text->startTime(), 1.0);
  QCOMPARE(text->boxWidth(), 640u);
  QCOMPARE(text->boxHeight(), 180u);
  QCOMPARE(text->renderHeight(), 360u);

  _engine->setText(7, "Caption\nsecond line");
  _engine->setTextFont(7, "DejaVu Sans", "Bold");
  _engine->setSegmentProperty(7, kAVPropertyFontSize, 0.05f);
  _engine->setSegmentProperty(7, kAVPropertyTextColor, 1, 0.5f, 0, 0.1f);
  _engine->setSegmentProperty(7, kAVPropertyTextAlignment, 2.9f);
  _engine->setSegmentProperty(7, kAVPropertyTextBackColor, 0, 0, 1, 0.5f);
  _engine->setSegmentProperty(7, kAVPropertyTextBackInset, 0.01f);
  _engine->setSegmentProperty(7, kAVPropertyTextBackCorner, 0.5f);
  _engine->setSegmentProperty(7, kAVPropertyBorderWidth, 3);
  _engine->setSegmentProperty(7, kAVPropertyBorderColor, 0, 1, 0);
  _engine->setSegmentProperty(7, kAVPropertyCornerRadius, 0.2f);
  QVERIFY(text->isDirty());
  // The font engine's first use of a face draws a few edge pixels differently: warm it up.
  auto expectedPicture = [] {
    return renderTextImage(640, 180, "Caption\nsecond line", 32, vec4{1, 0.5f, 0, 1}, "DejaVu Sans", "Bold", 2, 3,
                           vec4{0, 1, 0, 1}, vec4{0, 0, 1, 0.5f}, 640 * 0.01f, 0.5f);
  };
  freePixelBuffer(expectedPicture());
  text->wake();
  QCOMPARE(text->loadError(), kAVLoadOk);
  AVPixelBuffer *expected = expectedPicture();
  QVERIFY(expected && text->pixelBuffer());
  const size_t bytes = size_t(expected->width) * expected->height * 4;
  QCOMPARE(text->pixelBuffer()->width, expected->width);
  QVERIFY(memcmp(text->pixelBuffer()->data, expected->data, bytes) == 0);
  freePixelBuffer(expected);
  QCOMPARE(text->cornerRadius(), 0.0f);

  // Picture layers ignore the text setters.
  ProbeLayer *layer = addProbe(8);
  const QVector<float> before = snapshot(layer);
  _engine->setText(8, "nothing");
  _engine->setTextFont(8, "DejaVu Sans", "");
  QCOMPARE(snapshot(layer), before);

  // A new render size gives the text a new box.
  _engine->setRenderSize(320, 180);
  QCOMPARE(_composition->renderWidth(), 320);
  QCOMPARE(text->boxWidth(), 320u);
  QCOMPARE(text->boxHeight(), 90u);
  QVERIFY(text->isDirty());
}

void TestEngine::transitionValuesBeginAndEnd()
{
  ProbeLayer *layer = addProbe(1);
  layer->setPosition(0.3f, 0.3f);
  _engine->addTransition(1, 4, 0.25f, 0.5f, 1); // [2.5 s, 7.5 s], linear
  // Added but empty: no visible effect.
  for (double t : {1.0, 2.5, 5.0, 9.0}) {
    layer->at(t);
    QCOMPARE(layer->effectivePosition().x, 0.3f);
  }
  QVERIFY(!layer->isLocked());
  _engine->setTransitionValue(1, 4, false, kAVPropertyPosition, 0.0f, 0.1f, 0.9f, 0.9f);
  _engine->setTransitionValue(1, 4, true, kAVPropertyPosition, 1.0f, 0.5f, 0.9f, 0.9f);
  QVERIFY(!layer->isLocked());
  // At the start the layer shows the begin value: the flag is "is end".
  layer->at(2.5);
  QCOMPARE(layer->effectivePosition().x, 0.0f);
  QCOMPARE(layer->effectivePosition().y, 0.1f);
  layer->at(7.5);
  QCOMPARE(layer->effectivePosition().x, 1.0f);
  QCOMPARE(layer->effectivePosition().y, 0.5f);
  layer->at(5);
  QVERIFY(near(layer->effectivePosition().x, 0.5));

  // Rotations arrive in radians, colour effects are truncated.
  _engine->setTransitionValue(1, 4, false, kAVPropertyRotation, 0, 0);
  _engine->setTransitionValue(1, 4, true, kAVPropertyRotation, kPi / 2, 0);
  _engine->setTransitionValue(1, 4, false, kAVPropertyRotationY, kPi, 0);
  _engine->setTransitionValue(1, 4, true, 22, 9.9f, 0);
  _engine->setTransitionValue(1, 4, false, 22, -9.9f, 0);
  layer->at(7.5);
  QVERIFY(near(layer->effectiveRotation(), 90));
  QCOMPARE(layer->effectiveColorEffect(2), 9);
  layer->at(2.5);
  QVERIFY(near(layer->effectiveRotationY(), 180));
  QCOMPARE(layer->effectiveColorEffect(2), -9);

  // Edits of window and easing reach every transition of the group.
  _engine->setTransitionStart(1, 4, 0.5f);
  _engine->setTransitionDuration(1, 4, 0.2f); // [5, 7]
  _engine->setTransitionEasing(1, 4, 4);      // smoothstep
  QVERIFY(!layer->isLocked());
  TransitionGroup *group = layer->groups().front();
  QCOMPARE(group->start(), 0.5);
  QCOMPARE(group->easingType(), 6);
  QCOMPARE(group->transition(TransitionGroup::Rotation)->easingType(), 6);
  layer->at(5.5); // p = 0.25: smoothstep 0.15625
  QVERIFY2(near(layer->effectivePosition().x, 0.15625), qPrintable(QString::number(layer->effectivePosition().x)));
}

void TestEngine::transitionValueKindsPerClass()
{
  ProbeLayer *layer = addProbe(1);
  ProbeSound *sound = addSound(2);
  _engine->addTransition(1, 1, 0, 1, 0);
  _engine->addTransition(2, 1, 0, 1, 0);
  TransitionGroup *layerGroup = layer->groups().front();
  TransitionGroup *soundGroup = sound->groups().front();
  // Volume only on sounds, the layer kinds only on layers; 10-19 and 29+ are not animated.
  _engine->setTransitionValue(1, 1, true, kAVPropertyVolume, 0.5f, 0);
  _engine->setTransitionValue(2, 1, true, kAVPropertyPosition, 0.5f, 0.5f);
  for (int id : {10, 11, 12, 13, 14, 16, 17, 19, 29, 30, 40})
    _engine->setTransitionValue(1, 1, true, id, 0.5f, 0.5f);
  for (int slot = 0; slot < TransitionGroup::SlotCount; ++slot) {
    QVERIFY(!layerGroup->transition(TransitionGroup::Slot(slot)));
    QVERIFY(!soundGroup->transition(TransitionGroup::Slot(slot)));
  }
  QVERIFY(!layer->isLocked());
  QVERIFY(!sound->isLocked());

  _engine->setTransitionValue(2, 1, false, kAVPropertyVolume, 1.7f, 0);
  _engine->setTransitionValue(2, 1, true, kAVPropertyVolume, 0.2f, 0);
  QVERIFY(!sound->isLocked());
  QCOMPARE(soundGroup->transition(TransitionGroup::Volume)->beginX(), 1.0f); // clamped
  sound->evaluateVolume(5);
  QVERIFY(near(sound->effectiveVolume(), 0.6));
  // Each layer kind lands in its own slot.
  const struct
  {
    int property;
    TransitionGroup::Slot slot;
  } kinds[] = {{1, TransitionGroup::Transparency}, {2, TransitionGroup::Position},  {3, TransitionGroup::Scale},
               {4, TransitionGroup::Rotation},     {5, TransitionGroup::RotationX}, {6, TransitionGroup::RotationY},
               {7, TransitionGroup::Anchor},       {8, TransitionGroup::CropTopLeft},
               {9, TransitionGroup::CropBottomRight}};
  for (const auto &k : kinds) {
    _engine->setTransitionValue(1, 1, true, k.property, 0.25f, 0.75f);
    QVERIFY2(layerGroup->transition(k.slot), qPrintable(QString("property %1").arg(k.property)));
  }
  for (int id = 20; id <= 28; ++id)
    _engine->setTransitionValue(1, 1, true, id, 5, 0);
  for (int i = 0; i < TransitionGroup::kColorEffectSlots; ++i)
    QCOMPARE(layerGroup->effectTransition(i) != nullptr, i <= 8);
  QCOMPARE(layerGroup->transition(TransitionGroup::CropTopLeft)->endY(), 0.75f);
}

void TestEngine::groupEditsByGroupId()
{
  ProbeLayer *layer = addProbe(1);
  auto ids = [layer] {
    QList<uint32_t> list;
    for (TransitionGroup *g : layer->groups())
      list << g->id();
    return list;
  };
  _engine->addTransition(1, 5, 0, 0.1f, 1);
  _engine->addTransition(1, 2, 0, 0.1f, 1);
  _engine->addTransition(1, 9, 0, 0.1f, 1);
  QCOMPARE(ids(), (QList<uint32_t>{2, 5, 9}));
  // (segment, old id, new id)
  _engine->changeTransitionId(1, 9, 1);
  QCOMPARE(ids(), (QList<uint32_t>{2, 5, 1}));
  _engine->changeTransitionId(1, 42, 3);
  QCOMPARE(ids(), (QList<uint32_t>{2, 5, 1}));
  // Edits of a group that does not exist change nothing and lock nothing.
  _engine->setTransitionValue(1, 42, true, kAVPropertyPosition, 1, 1);
  _engine->setTransitionStart(1, 42, 0.5f);
  _engine->setTransitionEasing(1, 42, 3);
  QVERIFY(!layer->isLocked());
  _engine->removeTransition(1, 5);
  QCOMPARE(ids(), (QList<uint32_t>{2, 1}));
  _engine->removeTransition(1, 5);
  QCOMPARE(ids(), (QList<uint32_t>{2, 1}));
  _engine->removeAllTransitions(1);
  QVERIFY(layer->groups().empty());
}

void TestEngine::unknownIdsDoNothing()
{
  ProbeLayer *layer = addProbe(1);
  _engine->addTransition(1, 1, 0, 1, 1);
  const QVector<float> before = snapshot(layer);
  const uint32_t order[] = {1};
  _engine->setSegmentStartTime(99, 3);
  _engine->setSegmentDuration(99, 3);
  _engine->setSegmentEnabled(99, false);
  _engine->setSegmentProperty(99, kAVPropertyTransparency, 0.5f);
  _engine->setText(99, "x");
  _engine->setTextFont(99, "x", "y");
  _engine->addTransition(99, 1, 0, 1, 1);
  _engine->setTransitionValue(99, 1, true, kAVPropertyPosition, 1, 1);
  _engine->setTransitionStart(99, 1, 0.5f);
  _engine->setTransitionDuration(99, 1, 0.5f);
  _engine->setTransitionEasing(99, 1, 2);
  _engine->changeTransitionId(99, 1, 2);
  _engine->removeTransition(99, 1);
  _engine->removeAllTransitions(99);
  _engine->removeSegment(99);
  _engine->setLayerOrder(order, 1);
  QCOMPARE(snapshot(layer), before);
  QCOMPARE(layer->groups().size(), size_t(1));
  QCOMPARE(layer->startTime(), 0.0);
  QVERIFY(layer->isEnabled());
  QCOMPARE(_composition->findSegment(1), layer);
}

void TestEngine::segmentEdits()
{
  ProbeLayer *layer = addProbe(1);
  addSound(2);
  QCOMPARE(_composition->duration(), 10.0);
  _engine->setSegmentStartTime(1, 2.5f);
  _engine->setSegmentDuration(1, 20);
  _engine->setSegmentEnabled(1, false);
  QCOMPARE(layer->startTime(), 2.5);
  QCOMPARE(layer->duration(), 20.0);
  QVERIFY(!layer->isEnabled());
  // The duration follows only when asked.
  QCOMPARE(_composition->duration(), 10.0);
  _engine->updateDuration();
  QCOMPARE(_composition->duration(), 22.5);

  _engine->removeSegment(2); // a sound goes at once
  QVERIFY(!_composition->findSegment(2));
  _engine->removeSegment(1); // a layer waits for the next compose
  QVERIFY(!_composition->findSegment(1));
  QCOMPARE(_composition->parkedCount(), 1);

  _engine->setBackgroundColor(makeVec4(0.1f, 0.2f, 0.3f, 1));
  QCOMPARE(_composition->backgroundColor().z, 0.3f);
}

void TestEngine::recordAndProcessState()
{
  AVImageLoader loader;
  AVEngine engine(_composition.get(), &loader, nullptr);
  QVERIFY(!engine.owner() && !engine.thumbnailsLoadedCallback());
  QVERIFY(!AVEngine::shared());
  AVEngine::setShared(&engine);
  QCOMPARE(AVEngine::shared(), &engine);
  AVEngine::setShared(nullptr);
  QVERIFY(!AVEngine::shared());
  QCOMPARE(AVEngine::audioSampleRate(), 44100);
  QCOMPARE(AVEngine::audioChannels(), 2);

  // Picture adds: still images go through the facade's loader, animated ones do not.
  QCOMPARE(engine.addImageSegment(3, "/nowhere/picture.png", false, 1, 2), 3u);
  QCOMPARE(engine.addImageSegment(4, "/nowhere/animation.gif", true, 0, 5), 4u);
  AVSegment *still = _composition->findSegment(3);
  AVSegment *animated = _composition->findSegment(4);
  QVERIFY(still && animated && still->isLayer() && animated->isLayer());
  QCOMPARE(still->id(), 3u);
  QCOMPARE(still->duration(), 2.0);
  QCOMPARE(static_cast<AVLayerSegment *>(animated)->renderWidth(), 160u);
  // The layers go before their loader.
  _composition.reset();
}

void TestEngine::plistConversionEntries()
{
  char error[256] = "untouched";
  const std::u16string missing = u"/nowhere/project.plist", out = u"/nowhere/project.xml";
  QCOMPARE(AVEngine::convertProjectPlist(missing.c_str(), out.c_str(), error, sizeof(error)), 1);
  QVERIFY(QByteArray(error) != "untouched" && error[0]);
  strcpy(error, "untouched");
  QCOMPARE(AVEngine::convertPropertiesPlist(missing.c_str(), out.c_str(), error, sizeof(error)), 1);
  QVERIFY(QByteArray(error) != "untouched" && error[0]);
}

// A picture that fades in over the first half and moves right over the second, built through
// the facade only and composed at several times.
void TestEngine::facadeSceneFadeAndMove()
{
  AVHeadlessGLHost host;
  QVERIFY2(host.isValid(), "no GL context: run under Xvfb");
  QTemporaryDir dir;
  const QString path = dir.filePath("red.png");
  QVERIFY(solid(16, 9, Qt::red).save(path));
  AVImageLoader loader;
  {
    AVComposition composition(160, 90, 44100, 2, nullptr);
    AVHeadlessRenderer renderer(&host, &composition);
    QVERIFY(renderer.isValid());
    AVEngine engine(&composition, &loader, nullptr);
    engine.setBackgroundColor(makeVec4Opaque(0, 0, 0));
    engine.addImageSegment(1, path.toUtf8().constData(), false, 0, 8);
    engine.addTransition(1, 1, 0.0f, 0.5f, 1); // [0, 4], linear
    engine.setTransitionValue(1, 1, false, kAVPropertyTransparency, 1, 0);
    engine.setTransitionValue(1, 1, true, kAVPropertyTransparency, 0, 0);
    engine.addTransition(1, 2, 0.5f, 0.5f, 1); // [4, 8], linear
    engine.setTransitionValue(1, 2, false, kAVPropertyPosition, 0, 0);
    engine.setTransitionValue(1, 2, true, kAVPropertyPosition, 0.25f, 0);
    QVERIFY(QTest::qWaitFor([&] { return renderer.compose(4).pixelColor(80, 45) == QColor(Qt::red); }, 5000));

    const QColor black(0, 0, 0), red(255, 0, 0);
    QImage frame = renderer.compose(0); // transparency 1: the begin value
    QVERIFY_PIXEL(frame, 80, 45, black);
    frame = renderer.compose(1); // transparency 0.75
    QVERIFY_PIXEL(frame, 80, 45, QColor(64, 0, 0));
    frame = renderer.compose(2); // transparency 0.5
    QVERIFY_PIXEL(frame, 80, 45, QColor(128, 0, 0));
    frame = renderer.compose(4); // opaque, not moved yet
    QVERIFY_PIXEL(frame, 2, 45, red);
    frame = renderer.compose(6); // x = 0.125 of 160: 20 pixels right
    QVERIFY_PIXEL(frame, 18, 45, black);
    QVERIFY_PIXEL(frame, 22, 45, red);
    QVERIFY_PIXEL(frame, 158, 45, red);
    frame = renderer.compose(7.9); // x = 0.24375: 39 pixels
    QVERIFY_PIXEL(frame, 37, 45, black);
    QVERIFY_PIXEL(frame, 41, 45, red);

    // The editor's easing 4 is smoothstep: at a quarter of the move, 6.25 pixels instead of 10.
    frame = renderer.compose(5);
    QVERIFY_PIXEL(frame, 8, 45, black);
    engine.setTransitionEasing(1, 2, 4);
    frame = renderer.compose(5);
    QVERIFY_PIXEL(frame, 8, 45, red);
    QVERIFY_PIXEL(frame, 4, 45, black);

    // A property edit through the facade shows on the next frame; outside the window, nothing.
    engine.setSegmentProperty(1, kAVPropertyScale, 0.5f, 0.5f);
    frame = renderer.compose(4);
    QVERIFY_PIXEL(frame, 2, 45, black);
    QVERIFY_PIXEL(frame, 80, 45, red);
    frame = renderer.compose(8.1);
    QVERIFY_PIXEL(frame, 80, 45, black);
  }
}

TAVO_TEST_GUI_MAIN(TestEngine)
#include "tst_engine.moc"
