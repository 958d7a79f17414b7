#pragma once

#include "layersegment.h"
#include "segmentloader.h"

#include <QFont>
#include <QRgb>

class UserStyleDefaults;

// A text layer with a font, a colour and an optional rounded background box. The font size
// is kept with the frame size it was chosen for, so the text scales with the output size.
// Needs no file: ready as soon as its loading task ran.
class TextSegment : public LayerSegment
{
public:
  TextSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  TextSegment(const QString &text, float rangeStart, float duration, SegmentListener *listener,
              const UserStyleDefaults *defaults);
  TextSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);
  ~TextSegment() override;

  bool isLoaded() const override { return true; }
  bool isTimelineContentReady() const override { return true; }
  // Opaque yellow when "BorderColor" is absent.
  quint32 borderColor() const override;
  LayerGeometry fitGeometry(const QSizeF &frameSize) const override;
  void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;

  QString text() const;
  void setText(const QString &text);
  QString fontName() const;
  void setFontName(const QString &name);
  QString fontStyle() const;
  void setFontStyle(const QString &style);
  QFont font() const;
  float fontSize() const;
  // Without a valid reference size only "FontSize" is written.
  void setFontSize(float size, const QSizeF &referenceSize = QSizeF());
  QSizeF videoSize() const;
  // The pixel size for a frame of outputSize's width.
  float scaledFontSize(const QSizeF &outputSize) const;
  quint32 color() const;
  void setColor(quint32 argb);
  // "BackColor" with the alpha forced to 255; the setter keeps the stored alpha.
  quint32 backColorRgb() const;
  void setBackColorRgb(QRgb rgb);
  // Alpha as 0..1; the setter keeps red, green and blue.
  float backColorAlpha() const;
  void setBackColorAlpha(float alpha);
  float backCorner() const;
  void setBackCorner(float corner);
  float backInset() const;
  void setBackInset(float inset);
  int alignment() const;
  void setAlignment(int alignment);

  // The frame size a font size refers to when the text has none of its own.
  static QSizeF referenceFrameSize(int resolution, bool landscape);

private:
  void _startLoading();
  quint32 _backColor() const;

  SegmentLoader m_loader;
};

// Moves a text segment through loading to ready; there is nothing to read.
class TextLoadingTask : public LoadingTask
{
public:
  explicit TextLoadingTask(TextSegment *segment) : m_segment(segment) {}

protected:
  void work() override;

private:
  TextSegment *m_segment;
};
