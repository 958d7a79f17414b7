#pragma once
// Small engine segments for tests: a sound stand-in and a layer that counts its life.

#include "avglglue.h"
#include "avlayersegment.h"
#include "avtransition.h"

#include <QImage>
#include <atomic>

class FakeSound : public AVSegment
{
public:
  FakeSound(double start, double duration, std::atomic<int> *deleted = nullptr)
    : AVSegment(start, duration), _deleted(deleted)
  {
  }
  ~FakeSound() override
  {
    if (_deleted)
      ++*_deleted;
  }
  void update(double, bool, bool) override {}
  bool isLayer() const override { return false; }
  void seek(double time, bool) override { lastSeek = time; }
  double lastSeek = -1;

private:
  std::atomic<int> *_deleted;
};

// A plain layer whose picture is a solid colour, uploaded on its first update.
class FakeLayer : public AVLayerSegment
{
public:
  FakeLayer(double start, double duration, std::atomic<int> *deleted = nullptr)
    : AVLayerSegment(start, duration, 1280, 720), _deleted(deleted)
  {
    setLoadError(kAVLoadOk);
  }
  // A layer showing picture, uploaded by its first update.
  FakeLayer(double start, double duration, const QImage &picture, std::atomic<int> *deleted = nullptr)
    : FakeLayer(start, duration, deleted)
  {
    _picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  ~FakeLayer() override
  {
    if (_deleted)
      ++*_deleted;
    // Textures can only be freed where their context is current.
    if (texture() && !avGL())
      ++texturesLeakedOffContext;
  }
  static inline std::atomic<int> texturesLeakedOffContext{0};

  void wake() override
  {
    AVLayerSegment::wake();
    ++wakes;
  }
  void sleep(bool exporting) override
  {
    AVLayerSegment::sleep(exporting);
    ++sleeps;
    // Like the real layers: a discarding sleep lets the texture go.
    if (exporting)
      setFrame(nullptr, 0, 0);
  }
  void update(double time, bool pass, bool playing) override
  {
    lastUpdate = time;
    if (!texture() && !_picture.isNull()) {
      setFrame(_picture.constBits(), uint32_t(_picture.width()), uint32_t(_picture.height()));
      setTextureOpaque(_opaque);
    }
    AVLayerSegment::update(time, pass, playing);
  }
  void evaluate(double t) { evaluateTransitions(t); }
  // The picture counts as opaque, as one decoded without alpha does.
  void setOpaque(bool opaque) { _opaque = opaque; }

  int wakes = 0;
  int sleeps = 0;
  double lastUpdate = -1;

private:
  std::atomic<int> *_deleted;
  QImage _picture;
  bool _opaque = false;
};

// A position transition (kind 3) that writes its interpolated x linearly.
class FakePositionTransition : public AVTransition
{
public:
  FakePositionTransition(double start, double duration, float from, float to)
  {
    setStart(start);
    setDuration(duration);
    setBegin(from, 0);
    setEnd(to, 0);
  }
  bool apply(AVSegment *segment, double t, AVTransition **latestFinished) override
  {
    if (!AVTransition::apply(segment, t, latestFinished))
      return false;
    const double d = segment->duration();
    const double p = durationTime(d) > 0 ? (t - startTime(d)) / durationTime(d) : 1.0;
    static_cast<AVLayerSegment *>(segment)->setEffectivePosition(float(beginX() + p * (endX() - beginX())), 0);
    return true;
  }
  int kind() const override { return 3; }
  void applyEnd(AVSegment *segment) override
  {
    static_cast<AVLayerSegment *>(segment)->setEffectivePosition(endX(), 0);
  }
};
