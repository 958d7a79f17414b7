// Segments into the engine: creating a segment's engine objects when it starts loading, and
// copying its stored properties and transitions into the engine's layers.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "segmentengine.h"
#include "soundsegment.h"
#include "textsegment.h"
#include "usersettings.h"
#include "videothumbnailscache.h"

#include <QMutexLocker>

#include <array>

namespace {

struct LayerValue
{
  int id;
  float a;
  float b;
};

// The values of kinds 1-9 and 20-28 in that order, from the segment itself or from one set of a
// transition: both read through the same names.
template <typename Source> std::array<LayerValue, 18> layerValues(const Source &s)
{
  const QPointF translation = s.translation();
  const QSizeF scale = s.scale();
  const QPointF anchor = s.anchor();
  const QPointF cropTopLeft = s.cropTopLeft();
  const QPointF cropBottomRight = s.cropBottomRight();
  return {{{kAVPropertyTransparency, s.transparency(), 0},
           {2, float(translation.x()), float(translation.y())},
           {3, float(scale.width()), float(scale.height())},
           {4, float(s.rotation()), 0},
           {5, s.rotationX(), 0},
           {6, s.rotationY(), 0},
           {7, float(anchor.x()), float(anchor.y())},
           {8, float(cropTopLeft.x()), float(cropTopLeft.y())},
           {9, float(cropBottomRight.x()), float(cropBottomRight.y())},
           {20, float(s.saturation()), 0},
           {21, float(s.brightness()), 0},
           {22, float(s.contrast()), 0},
           {23, float(s.whiteBalance()), 0},
           {24, float(s.exposure()), 0},
           {25, float(s.hue()), 0},
           {26, float(s.red()), 0},
           {27, float(s.green()), 0},
           {28, float(s.blue()), 0}}};
}

struct OwnValues
{
  const Segment *s;
  float transparency() const { return s->userTransparency(); }
  QPointF translation() const { return s->userTranslation(); }
  QSizeF scale() const { return s->userScale(); }
  double rotation() const { return s->userRotation(); }
  float rotationX() const { return s->userRotationX(); }
  float rotationY() const { return s->userRotationY(); }
  QPointF anchor() const { return s->userAnchorPoint(); }
  QPointF cropTopLeft() const { return s->cropTopLeft(); }
  QPointF cropBottomRight() const { return s->cropBottomRight(); }
  int saturation() const { return s->clrSaturation(); }
  int brightness() const { return s->clrBrightness(); }
  int contrast() const { return s->clrContrast(); }
  int whiteBalance() const { return s->clrWhiteBalance(); }
  int exposure() const { return s->clrExposure(); }
  int hue() const { return s->clrHue(); }
  int red() const { return s->clrRed(); }
  int green() const { return s->clrGreen(); }
  int blue() const { return s->clrBlue(); }
};

struct TransitionValues
{
  const Segment *s;
  int id;
  bool begin;
  float transparency() const { return s->transitionUserTransparency(id, begin); }
  QPointF translation() const { return s->transitionUserTranslation(id, begin); }
  QSizeF scale() const { return s->transitionUserScale(id, begin); }
  double rotation() const { return s->transitionUserRotation(id, begin); }
  float rotationX() const { return s->transitionUserRotationX(id, begin); }
  float rotationY() const { return s->transitionUserRotationY(id, begin); }
  QPointF anchor() const { return s->transitionUserAnchorPoint(id, begin); }
  QPointF cropTopLeft() const { return s->transitionCropTopLeft(id, begin); }
  QPointF cropBottomRight() const { return s->transitionCropBottomRight(id, begin); }
  int saturation() const { return s->transitionClrSaturation(id, begin); }
  int brightness() const { return s->transitionClrBrightness(id, begin); }
  int contrast() const { return s->transitionClrContrast(id, begin); }
  int whiteBalance() const { return s->transitionClrWhiteBalance(id, begin); }
  int exposure() const { return s->transitionClrExposure(id, begin); }
  int hue() const { return s->transitionClrHue(id, begin); }
  int red() const { return s->transitionClrRed(id, begin); }
  int green() const { return s->transitionClrGreen(id, begin); }
  int blue() const { return s->transitionClrBlue(id, begin); }
};

bool isVisualType(const QString &type)
{
  return type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING") || type == QLatin1String("TEXT")
         || type == QLatin1String("MOVIE");
}

bool isSoundType(const QString &type)
{
  return type == QLatin1String("MUSIC") || type == QLatin1String("VOICE");
}

void sendColour(AVEngine *engine, quint32 id, int property, quint32 argb)
{
  engine->setSegmentProperty(id, property, ((argb >> 16) & 255) / 255.0f, ((argb >> 8) & 255) / 255.0f,
                             (argb & 255) / 255.0f, 1.0f);
}

// The engine's id for a segment's sound: its audio part for a movie, itself for music and voice.
quint32 soundId(const Segment *segment, const QString &type)
{
  if (type == QLatin1String("MOVIE"))
    return segment->audioPartId();
  return isSoundType(type) ? segment->id() : 0;
}

// Pixels of a width stored as a fraction of the frame or, in older projects, as pixels of a
// 1280-wide frame.
float legacyPixels(float fraction, float legacy, float frameWidth)
{
  if (fraction > 0)
    return frameWidth * fraction;
  if (legacy > 0)
    return frameWidth * (legacy / 1280);
  return 0;
}

} // namespace

void addSegmentToEngine(AVEngine *engine, Segment *segment, int thumbnailHeight, bool softwareOnly)
{
  if (!engine)
    return;
  const QString type = segment->type();
  const quint32 id = segment->id();
  const float start = segment->rangeStart();
  const float duration = segment->duration();
  if (type == QLatin1String("MOVIE")) {
    auto *movie = static_cast<MovieSegment *>(segment);
    const std::string file = movie->filePath().toStdString();
    engine->addVideoSegment(id, file.c_str(), start, movie->trimStart(), movie->trimDuration(), thumbnailHeight,
                            softwareOnly);
    engine->setSegmentDuration(id, duration);
    engine->addAudioSegment(movie->audioPartId(), file.c_str(), start, movie->trimStart(), movie->trimDuration());
    engine->setSegmentDuration(movie->audioPartId(), duration);
  } else if (type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING")) {
    auto *image = static_cast<ImageSegment *>(segment);
    // A drawing answers false: it is never animated. Opening an animation may fit the
    // segment to it, so the length is read after.
    const bool animated = image->loadAnimation();
    engine->addImageSegment(id, image->filePath().toStdString().c_str(), animated, start, segment->duration());
  } else if (isSoundType(type)) {
    auto *sound = static_cast<FileSoundSegment *>(segment);
    engine->addAudioSegment(id, sound->filePath().toStdString().c_str(), start, sound->trimStart(),
                            sound->trimDuration());
  } else if (type == QLatin1String("TEXT")) {
    engine->addTextSegment(id, static_cast<TextSegment *>(segment)->text().toStdString().c_str(), start, duration);
  }
}

void MainWindow::_addSegmentToEngine(Segment *segment)
{
  if (!_engine)
    return;
  if (segment->type() != QLatin1String("MOVIE")) {
    addSegmentToEngine(_engine, segment, 0, false);
    return;
  }
  const QString path = static_cast<MovieSegment *>(segment)->filePath();
  const int thumbnailHeight =
      _thumbnailsCache->hasThumbnails(path) ? 0 : int(Segment::trackHeight() * devicePixelRatio());
  addSegmentToEngine(_engine, segment, thumbnailHeight, !UserSettings::instance()->hardwareCodec());
}

void MainWindow::_refreshSegment(Segment *segment)
{
  AVEngine *engine = _engine;
  // Fractions of the frame need its width: nothing is sent before the composition has a size.
  if (!engine || !engine->composition() || engine->composition()->width() <= 0)
    return;
  const quint32 id = segment->id();
  const QString type = segment->type();
  const float frameWidth = float(engine->composition()->width());
  const float frameHeight = float(engine->composition()->height());
  if (isVisualType(type)) {
    for (const LayerValue &v : layerValues(OwnValues{segment}))
      engine->setSegmentProperty(id, v.id, v.a, v.b);
    engine->setSegmentProperty(id, 50, segment->keyEnabled() ? 1 : 0);
    engine->setSegmentProperty(id, 51, float(segment->keySensitivity()));
    engine->setSegmentProperty(id, 52, float(segment->keySmoothing()));
    sendColour(engine, id, 53, segment->keyColor());

    if (type == QLatin1String("TEXT")) {
      auto *text = static_cast<TextSegment *>(segment);
      engine->setSegmentProperty(id, 10, text->borderWidth());
      if (text->borderWidth() > 0)
        sendColour(engine, id, 11, text->borderColor());
      engine->setSegmentProperty(id, 16, text->scaledFontSize(QSizeF(frameWidth, frameHeight)) / frameWidth);
      sendColour(engine, id, 17, text->color());
      engine->setTextFont(id, text->fontName().toStdString().c_str(), text->fontStyle().toStdString().c_str());
      engine->setSegmentProperty(id, 19, float(text->alignment()));
      const quint32 back = text->backColorRgb();
      engine->setSegmentProperty(id, 30, ((back >> 16) & 255) / 255.0f, ((back >> 8) & 255) / 255.0f,
                                 (back & 255) / 255.0f, text->backColorAlpha());
      engine->setSegmentProperty(id, 31, text->backInset());
      engine->setSegmentProperty(id, 32, text->backCorner());
    } else {
      const float border = legacyPixels(segment->borderWidthFraction(), segment->borderWidth(), frameWidth);
      engine->setSegmentProperty(id, 10, border / frameWidth);
      if (border > 0)
        sendColour(engine, id, 11, segment->borderColor());
      engine->setSegmentProperty(id, 40, segment->borderStroke() ? 1 : 0);
      engine->setSegmentProperty(id, 41, float(segment->borderStrokeTolerance()));
      engine->setSegmentProperty(id, 42, float(segment->borderStrokeStrength()));
      const float corner = legacyPixels(segment->cornerRadiusFraction(), segment->cornerRadius(), frameWidth);
      engine->setSegmentProperty(id, 12, corner / frameWidth);
    }

    engine->setSegmentProperty(id, 13, segment->shadowOpacity());
    QSizeF offset;
    if (segment->hasShadowOffsetFraction())
      offset = segment->shadowOffsetFraction();
    else if (segment->shadowPixelOffset() == QSizeF(0, 0))
      offset = segment->shadowOffset();
    else
      offset = segment->shadowPixelOffset() / 1280;
    engine->setSegmentProperty(id, 14, float(offset.width() * frameWidth) / frameWidth,
                               float(offset.height() * frameWidth) / frameWidth);
    engine->setSegmentProperty(id, 60, segment->shadowRadiusFraction());
    sendColour(engine, id, 61, segment->shadowColor());
  }
  if (const quint32 sound = soundId(segment, type))
    engine->setSegmentProperty(sound, 15, segment->userVolume());

  // A split holds the mutex while it rewrites the transitions this rebuild reads.
  QMutexLocker splitLock(_splitting.load() ? &_splitMutex : nullptr);
  const quint32 audioId = segment->audioPartId();
  engine->removeAllTransitions(id);
  if (audioId)
    engine->removeAllTransitions(audioId);
  const float duration = segment->duration();
  for (int position = 0; position < segment->transitionCount(); ++position) {
    const int t = segment->transitionIdAt(position);
    const float start = duration > 0 ? segment->transitionStart(t) / duration : 0;
    const float length = duration > 0 ? segment->transitionDuration(t) / duration : 0;
    const int easing = segment->transitionEasingFunction(t);
    engine->addTransition(id, quint32(t), start, length, easing);
    if (audioId)
      engine->addTransition(audioId, quint32(t), start, length, easing);
    _applyTransitionToEngine(segment, t);
  }
}

void MainWindow::_applyLayerPropertiesToEngine(Segment *segment)
{
  AVEngine *engine = _engine;
  if (!engine)
    return;
  const QString type = segment->type();
  if (isVisualType(type))
    for (const LayerValue &v : layerValues(OwnValues{segment}))
      engine->setSegmentProperty(segment->id(), v.id, v.a, v.b);
  if (const quint32 sound = soundId(segment, type))
    engine->setSegmentProperty(sound, 15, segment->userVolume());
}

void MainWindow::_updateEngineSegmentRange(Segment *segment)
{
  AVEngine *engine = _engine;
  if (!engine)
    return;
  const QString type = segment->type();
  if (type == QLatin1String("MOVIE")) {
    auto *movie = static_cast<MovieSegment *>(segment);
    for (quint32 id : {movie->id(), movie->audioPartId()}) {
      engine->setSegmentRangeStart(id, movie->trimStart());
      engine->setSegmentRangeDuration(id, movie->trimDuration());
    }
  } else if (isSoundType(type)) {
    auto *sound = static_cast<SoundSegment *>(segment);
    engine->setSegmentRangeStart(segment->id(), sound->trimStart());
    engine->setSegmentRangeDuration(segment->id(), sound->trimDuration());
  }
  engine->setSegmentDuration(segment->id(), segment->duration());
}

void MainWindow::_applyTransitionToEngine(Segment *segment, int transitionId)
{
  if (!_engine)
    return;
  const QString type = segment->type();
  if (isVisualType(type)) {
    const auto begin = layerValues(TransitionValues{segment, transitionId, true});
    const auto end = layerValues(TransitionValues{segment, transitionId, false});
    for (size_t i = 0; i < begin.size(); ++i) {
      _sendTransitionValue(segment->id(), transitionId, true, begin[i].id, begin[i].a, begin[i].b);
      _sendTransitionValue(segment->id(), transitionId, false, end[i].id, end[i].a, end[i].b);
    }
  }
  if (const quint32 sound = soundId(segment, type)) {
    _sendTransitionValue(sound, transitionId, true, 15, segment->transitionUserVolume(transitionId, true));
    _sendTransitionValue(sound, transitionId, false, 15, segment->transitionUserVolume(transitionId, false));
  }
}
