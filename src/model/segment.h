#pragma once

#include "propertymap.h"
#include "util.h"

#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <atomic>
#include <memory>

class QPainter;
class QXmlStreamWriter;
class SegmentListener;

enum SegmentState : quint32 { SegmentCreated = 0, SegmentLoading = 1, SegmentOpened = 2, SegmentReady = 4 };
enum SegmentError : quint32 { SegmentNoError = 0, SegmentLoadError = 1, SegmentFileMissing = 2 };

// One timeline item. All persistent state lives in its property bag, keyed by the XML
// attribute names; the typed accessors read with fixed defaults and write fixed text forms.
// Transitions are addressed by their 1-based position in the start-sorted list (0 = none).
class Segment
{
public:
  // A copy of other placed at rangeStart, with a new UId, time stamp and runtime id.
  Segment(const Segment *other, float rangeStart, SegmentListener *listener);
  explicit Segment(SegmentListener *listener);
  // Adopts a bag read from a file or a snapshot, its values brought into what the timeline
  // can show (StoredValues::fit).
  Segment(PropertyMap *properties, SegmentListener *listener);
  Segment(const Segment &) = delete;
  Segment &operator=(const Segment &) = delete;
  virtual ~Segment();

  // Identity and lifecycle.
  quint32 id() const { return m_id; }
  quint32 state() const { return m_state.load(); }
  void setState(quint32 state);
  quint32 error() const { return m_error.load(); }
  void setError(quint32 error) { m_error.store(error); }
  bool isPaintingSuppressed() const { return m_paintingSuppressed.load(); }
  void setPaintingSuppressed(bool suppressed) { m_paintingSuppressed.store(suppressed); }
  bool isUIdGenerated() const { return m_uidGenerated; }
  bool isNewlyCreated() const { return m_newlyCreated; }
  // The adopted bag held values no block could show, and they were reset.
  bool valuesWereReset() const { return m_valuesReset; }
  void setIsNewlyCreated(bool newlyCreated) { m_newlyCreated = newlyCreated; }
  bool ensureUId();
  SegmentListener *listener() const { return m_listener; }
  void setListener(SegmentListener *listener) { m_listener = listener; }
  PropertyMap *properties() const { return m_properties.get(); }
  void copyFrom(const Segment *other);
  void writeXml(QXmlStreamWriter &writer) const;
  void paintMessage(QPainter *painter, const QRect &rect, const QString &text) const;

  static float trackHeight() { return s_trackHeight; }
  static void setTrackHeight(float height) { s_trackHeight = height; }

  // Virtual operations; the subclasses differ here.
  virtual quint32 audioPartId() const { return 0; }
  virtual void setProperties(PropertyMap *properties);
  virtual bool isLoaded() const { return false; }
  virtual bool isLayer() const { return false; }
  virtual void loadStatusUpdated(quint32 segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo);
  virtual float mediaDuration() const { return duration(); }
  virtual double timeStamp() const;
  virtual bool hasTimeStamp() const { return false; }
  virtual void rotateRight();
  virtual void rotateLeft();
  virtual void setFlippedHorizontally(bool flipped);
  virtual bool isFlippedHorizontally() const;
  virtual void setFlippedVertically(bool flipped);
  virtual bool isFlippedVertically() const;
  virtual quint32 borderColor() const;
  virtual void rotateTransitionRight(int id, bool begin);
  virtual void rotateTransitionLeft(int id, bool begin);
  virtual void setTransitionFlippedHorizontally(int id, bool begin, bool flipped);
  virtual bool isTransitionFlippedHorizontally(int id, bool begin) const;
  virtual void setTransitionFlippedVertically(int id, bool begin, bool flipped);
  virtual bool isTransitionFlippedVertically(int id, bool begin) const;
  virtual bool isTimelineContentReady() const { return false; }
  virtual void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond);
  virtual void paintOverlay(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond);
  // May change *time to where the edge can go; false when it had to.
  virtual bool moveLeftEdge(float *time);
  virtual bool moveRightEdge(float *time);
  virtual QTransform fitTransform(const QSizeF &frameSize, QRectF *placed = nullptr) const;
  virtual QTransform userTransform(const QSizeF &frameSize, QRectF *placed = nullptr) const;
  virtual QTransform transitionTransform(int id, bool begin, const QSizeF &frameSize, QRectF *placed = nullptr) const;
  virtual LayerGeometry fitGeometry(const QSizeF &frameSize) const;
  virtual LayerGeometry layerGeometry(const QSizeF &frameSize) const;
  virtual LayerGeometry transitionLayerGeometry(int id, bool begin, const QSizeF &frameSize) const;
  virtual bool hasAudio() const { return false; }
  virtual QString fileName() const { return QString(); }

  // Identity and timeline properties.
  QString type() const;
  void setType(const QString &type);
  QString uid() const;
  int trackId() const;
  void setTrackId(int track);
  void setTimeStamp();
  float rangeStart() const;
  void setRangeStart(float seconds);
  float rangeDuration() const;
  void setRangeDuration(float mediaSeconds);
  float speed() const;
  void setSpeed(float speed);
  // Timeline seconds: RangeDuration / Speed.
  float duration() const;
  void setDuration(float seconds);

  // User transform.
  QSizeF userScale() const;
  void setUserScale(const QSizeF &scale);
  QPointF userTranslation() const;
  void setUserTranslation(const QPointF &translation);
  QPointF userAnchorPoint() const;
  void setUserAnchorPoint(const QPointF &anchor);
  double userRotation() const;
  void setUserRotation(double rotation);
  float userRotationX() const;
  void setUserRotationX(float radians);
  float userRotationY() const;
  void setUserRotationY(float radians);
  int userFlip() const;
  void setUserFlip(int flip);
  float userTransparency() const;
  void setUserTransparency(float transparency);
  float userVolume() const;
  void setUserVolume(float volume);
  QPointF cropTopLeft() const;
  void setCropTopLeft(const QPointF &point);
  QPointF cropBottomRight() const;
  void setCropBottomRight(const QPointF &point);

  // Colour effects, -100..100.
  int clrSaturation() const;
  void setClrSaturation(int value);
  int clrBrightness() const;
  void setClrBrightness(int value);
  int clrContrast() const;
  void setClrContrast(int value);
  int clrWhiteBalance() const;
  void setClrWhiteBalance(int value);
  int clrExposure() const;
  void setClrExposure(int value);
  int clrHue() const;
  void setClrHue(int value);
  int clrRed() const;
  void setClrRed(int value);
  int clrGreen() const;
  void setClrGreen(int value);
  int clrBlue() const;
  void setClrBlue(int value);

  // Border, chroma key, corners.
  void setBorderColor(quint32 argb);
  float borderWidth() const;
  void setBorderWidth(float width);
  float borderWidthFraction() const;
  void setBorderWidthFraction(float fraction);
  bool borderStroke() const;
  void setBorderStroke(bool stroke);
  int borderStrokeStrength() const;
  void setBorderStrokeStrength(int strength);
  int borderStrokeTolerance() const;
  void setBorderStrokeTolerance(int tolerance);
  quint32 keyColor() const;
  void setKeyColor(quint32 argb);
  bool keyEnabled() const;
  void setKeyEnabled(bool enabled);
  int keySensitivity() const;
  void setKeySensitivity(int sensitivity);
  int keySmoothing() const;
  void setKeySmoothing(int smoothing);
  float cornerRadius() const;
  void setCornerRadius(float radius);
  float cornerRadiusFraction() const;
  void setCornerRadiusFraction(float fraction);

  // Shadow.
  quint32 shadowColor() const;
  void setShadowColor(quint32 argb);
  float shadowOpacity() const;
  void setShadowOpacity(float opacity);
  float shadowRadiusFraction() const;
  void setShadowRadiusFraction(float fraction);
  // Stores radius / referenceSize.
  void setShadowRadiusFraction(float radius, float referenceSize);
  float shadowRadius(float referenceSize) const;
  QSizeF shadowOffsetFraction() const;
  void setShadowOffsetFraction(const QSizeF &fraction);
  bool hasShadowOffsetFraction() const;
  QSizeF shadowPixelOffset() const;
  void setShadowPixelOffset(const QSizeF &offset);
  QSizeF shadowOffset() const;

  // Transitions: lookup and numbering.
  int transitionCount() const;
  PropertyMap *transition(int id) const;
  PropertyMap *transitionValues(int id, bool begin) const;
  int transitionIdAt(int position) const;
  int nextTransitionId(int id) const;
  int nextTransition(int id) const;
  int previousTransition(int id) const;
  // Absolute timeline seconds.
  int transitionAt(float time) const;
  bool isBeforeFirstTransition(float time) const;

  // Times (seconds from the segment start) and easing of an existing transition.
  float transitionStart(int id) const;
  void setTransitionStart(int id, float seconds);
  float transitionDuration(int id) const;
  void setTransitionDuration(int id, float seconds);
  int transitionEasingFunction(int id) const;
  void setTransitionEasingFunction(int id, int easing);

  // Begin (true) or end values of a transition; missing names read their defaults. A missing
  // transition or set reads the defaults too, and setters then do nothing.
  float transitionUserVolume(int id, bool begin) const;
  void setTransitionUserVolume(int id, bool begin, float value);
  QSizeF transitionUserScale(int id, bool begin) const;
  void setTransitionUserScale(int id, bool begin, const QSizeF &value);
  QPointF transitionUserTranslation(int id, bool begin) const;
  void setTransitionUserTranslation(int id, bool begin, const QPointF &value);
  float transitionUserTransparency(int id, bool begin) const;
  void setTransitionUserTransparency(int id, bool begin, float value);
  float transitionUserRotation(int id, bool begin) const;
  void setTransitionUserRotation(int id, bool begin, float value);
  int transitionUserFlip(int id, bool begin) const;
  void setTransitionUserFlip(int id, bool begin, int value);
  float transitionUserRotationX(int id, bool begin) const;
  void setTransitionUserRotationX(int id, bool begin, float value);
  float transitionUserRotationY(int id, bool begin) const;
  void setTransitionUserRotationY(int id, bool begin, float value);
  QPointF transitionUserAnchorPoint(int id, bool begin) const;
  void setTransitionUserAnchorPoint(int id, bool begin, const QPointF &value);
  QPointF transitionCropTopLeft(int id, bool begin) const;
  void setTransitionCropTopLeft(int id, bool begin, const QPointF &value);
  QPointF transitionCropBottomRight(int id, bool begin) const;
  void setTransitionCropBottomRight(int id, bool begin, const QPointF &value);
  int transitionClrSaturation(int id, bool begin) const;
  void setTransitionClrSaturation(int id, bool begin, int value);
  int transitionClrBrightness(int id, bool begin) const;
  void setTransitionClrBrightness(int id, bool begin, int value);
  int transitionClrContrast(int id, bool begin) const;
  void setTransitionClrContrast(int id, bool begin, int value);
  int transitionClrWhiteBalance(int id, bool begin) const;
  void setTransitionClrWhiteBalance(int id, bool begin, int value);
  int transitionClrExposure(int id, bool begin) const;
  void setTransitionClrExposure(int id, bool begin, int value);
  int transitionClrHue(int id, bool begin) const;
  void setTransitionClrHue(int id, bool begin, int value);
  int transitionClrRed(int id, bool begin) const;
  void setTransitionClrRed(int id, bool begin, int value);
  int transitionClrGreen(int id, bool begin) const;
  void setTransitionClrGreen(int id, bool begin, int value);
  int transitionClrBlue(int id, bool begin) const;
  void setTransitionClrBlue(int id, bool begin, int value);

  // Editing the list. insertTransition takes absolute timeline seconds; both return the new id or 0.
  int insertTransition(float duration, float time);
  int duplicateTransition(int id);
  void removeTransition(int id);
  void resetTransitionValues(int id, bool begin);
  void copyUserPropertiesFromTransition(int id, const Segment *source, bool begin);
  // A start (seconds from the segment start) with room for duration at or after time, or -1.
  float findTransitionSlot(float duration, float time) const;

protected:
  // A fresh value of the runtime-id counter, for a second engine part of one segment.
  static quint32 takeRuntimeId() { return ++s_nextId; }

private:
  void _construct(SegmentListener *listener);
  int _insertTransitionRecord(std::unique_ptr<PropertyMap> record, float start);

  std::atomic<quint32> m_state{SegmentCreated};
  std::atomic<quint32> m_error{SegmentNoError};
  std::atomic<bool> m_paintingSuppressed{false};
  quint32 m_id = 0;
  SegmentListener *m_listener = nullptr;
  std::unique_ptr<PropertyMap> m_properties;
  bool m_uidGenerated = false;
  bool m_newlyCreated = false;
  bool m_valuesReset = false;

  static std::atomic<quint32> s_nextId;
  static float s_trackHeight;
};
