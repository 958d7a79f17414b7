#pragma once

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <array>

// The style values the user chose last per kind of segment, so new segments start with
// them (settings group "User"). Colours are ARGB; "Fraction" values are fractions of the
// movie frame's size. Written back when the editor window closes.
class UserStyleDefaults
{
public:
  // The store's keys, in the order they are read and written.
  enum Field {
    TextSize, TextVideoSize, TextFont, TextStyle, TextColor, TextBorderSize, TextBorderColor,
    TextShadowOpacity, TextShadowOffset, TextShadowOffsetFraction, TextShadowRadiusFraction, TextShadowColor,
    TextAlignment, TextBackColor, TextBackColorAlpha, TextBackInset, TextBackCornerRadius,
    ImageBorderSize, ImageBorderSizeFraction, ImageBorderColor, ImageBorderStroke, ImageShadowOpacity,
    ImageShadowOffset, ImageShadowOffsetFraction, ImageShadowRadiusFraction, ImageShadowColor,
    ImageCornerRadius, ImageCornerRadiusFraction,
    DrawingBorderSize, DrawingBorderSizeFraction, DrawingBorderColor, DrawingBorderStroke, DrawingShadowOpacity,
    DrawingShadowOffset, DrawingShadowOffsetFraction, DrawingShadowRadiusFraction, DrawingShadowColor,
    DrawingCornerRadius, DrawingCornerRadiusFraction,
    MovieBorderSizeFraction, MovieBorderColor, MovieBorderStroke, MovieShadowOpacity, MovieShadowRadiusFraction,
    MovieShadowColor, MovieShadowOffsetFraction, MovieCornerRadiusFraction,
    ChromaKeySensitivity, ChromaKeySmoothing, ChromaKeyColor, BorderStrokeTolerance, BorderStrokeStrength,
    FieldCount
  };

  // The single instance; after reset() a fresh one is read from the store.
  static UserStyleDefaults *instance();
  // Forgets the instance without saving and removes every key of the group.
  static void reset();
  // The store's key of a field ("TextSize").
  static const char *keyName(Field field);

  void load();
  // Writes all keys and flushes the store when a setter ran since loading.
  void save();
  bool isDirty() const { return m_dirty; }

  // Text
  float textSize() const { return _float(TextSize); }
  QSizeF textVideoSize() const { return _size(TextVideoSize); }
  QString textFont() const { return m_values[TextFont].toString(); }
  QString textStyle() const { return m_values[TextStyle].toString(); }
  QRgb textColor() const { return _rgb(TextColor); }
  float textBorderSize() const { return _float(TextBorderSize); }
  QRgb textBorderColor() const { return _rgb(TextBorderColor); }
  float textShadowOpacity() const { return _float(TextShadowOpacity); }
  QSizeF textShadowOffset() const { return _size(TextShadowOffset); }
  QSizeF textShadowOffsetFraction() const { return _size(TextShadowOffsetFraction); }
  float textShadowRadiusFraction() const { return _float(TextShadowRadiusFraction); }
  QRgb textShadowColor() const { return _rgb(TextShadowColor); }
  int textAlignment() const { return m_values[TextAlignment].toInt(); }
  QRgb textBackColor() const { return _rgb(TextBackColor); }
  float textBackColorAlpha() const { return _float(TextBackColorAlpha); }
  float textBackInset() const { return _float(TextBackInset); }
  float textBackCornerRadius() const { return _float(TextBackCornerRadius); }

  // Pictures
  float imageBorderSize() const { return _float(ImageBorderSize); }
  float imageBorderSizeFraction() const { return _float(ImageBorderSizeFraction); }
  QRgb imageBorderColor() const { return _rgb(ImageBorderColor); }
  bool imageBorderStroke() const { return m_values[ImageBorderStroke].toBool(); }
  float imageShadowOpacity() const { return _float(ImageShadowOpacity); }
  QSizeF imageShadowOffset() const { return _size(ImageShadowOffset); }
  QSizeF imageShadowOffsetFraction() const { return _size(ImageShadowOffsetFraction); }
  float imageShadowRadiusFraction() const { return _float(ImageShadowRadiusFraction); }
  QRgb imageShadowColor() const { return _rgb(ImageShadowColor); }
  float imageCornerRadius() const { return _float(ImageCornerRadius); }
  float imageCornerRadiusFraction() const { return _float(ImageCornerRadiusFraction); }

  // Drawings
  float drawingBorderSize() const { return _float(DrawingBorderSize); }
  float drawingBorderSizeFraction() const { return _float(DrawingBorderSizeFraction); }
  QRgb drawingBorderColor() const { return _rgb(DrawingBorderColor); }
  bool drawingBorderStroke() const { return m_values[DrawingBorderStroke].toBool(); }
  float drawingShadowOpacity() const { return _float(DrawingShadowOpacity); }
  QSizeF drawingShadowOffset() const { return _size(DrawingShadowOffset); }
  QSizeF drawingShadowOffsetFraction() const { return _size(DrawingShadowOffsetFraction); }
  float drawingShadowRadiusFraction() const { return _float(DrawingShadowRadiusFraction); }
  QRgb drawingShadowColor() const { return _rgb(DrawingShadowColor); }
  float drawingCornerRadius() const { return _float(DrawingCornerRadius); }
  float drawingCornerRadiusFraction() const { return _float(DrawingCornerRadiusFraction); }

  // Movies (fractions only)
  float movieBorderSizeFraction() const { return _float(MovieBorderSizeFraction); }
  QRgb movieBorderColor() const { return _rgb(MovieBorderColor); }
  bool movieBorderStroke() const { return m_values[MovieBorderStroke].toBool(); }
  float movieShadowOpacity() const { return _float(MovieShadowOpacity); }
  float movieShadowRadiusFraction() const { return _float(MovieShadowRadiusFraction); }
  QRgb movieShadowColor() const { return _rgb(MovieShadowColor); }
  QSizeF movieShadowOffsetFraction() const { return _size(MovieShadowOffsetFraction); }
  float movieCornerRadiusFraction() const { return _float(MovieCornerRadiusFraction); }

  // Chroma key and border stroke, shared by every kind
  int chromaKeySensitivity() const { return m_values[ChromaKeySensitivity].toInt(); }
  int chromaKeySmoothing() const { return m_values[ChromaKeySmoothing].toInt(); }
  QRgb chromaKeyColor() const { return _rgb(ChromaKeyColor); }
  int borderStrokeTolerance() const { return m_values[BorderStrokeTolerance].toInt(); }
  int borderStrokeStrength() const { return m_values[BorderStrokeStrength].toInt(); }

  // The text size remembered with the frame size it was chosen in.
  void setTextSize(float size, const QSizeF &videoSize);
  void setTextFont(const QString &font, const QString &style);
  void setTextColor(QRgb color) { _set(TextColor, int(color)); }
  void setTextBorderSize(float size) { _set(TextBorderSize, size); }
  void setTextBorderColor(QRgb color) { _set(TextBorderColor, int(color)); }
  void setTextShadowOpacity(float opacity) { _set(TextShadowOpacity, opacity); }
  void setTextShadowOffsetFraction(const QSizeF &offset) { _set(TextShadowOffsetFraction, offset); }
  void setTextShadowRadiusFraction(float radius) { _set(TextShadowRadiusFraction, radius); }
  void setTextShadowColor(QRgb color) { _set(TextShadowColor, int(color)); }
  void setTextAlignment(int alignment) { _set(TextAlignment, alignment); }
  void setTextBackColor(QRgb color) { _set(TextBackColor, int(color)); }
  void setTextBackColorAlpha(float alpha) { _set(TextBackColorAlpha, alpha); }
  void setTextBackInset(float inset) { _set(TextBackInset, inset); }
  void setTextBackCornerRadius(float radius) { _set(TextBackCornerRadius, radius); }

  // The four size/radius fraction setters of pictures and drawings also clear the matching
  // absolute value when the fraction is exactly 0.
  void setImageBorderSizeFraction(float fraction) { _setFraction(ImageBorderSizeFraction, ImageBorderSize, fraction); }
  void setImageBorderColor(QRgb color) { _set(ImageBorderColor, int(color)); }
  void setImageBorderStroke(bool stroke) { _set(ImageBorderStroke, stroke); }
  void setImageShadowOpacity(float opacity) { _set(ImageShadowOpacity, opacity); }
  void setImageShadowOffsetFraction(const QSizeF &offset) { _set(ImageShadowOffsetFraction, offset); }
  void setImageShadowRadiusFraction(float radius) { _set(ImageShadowRadiusFraction, radius); }
  void setImageShadowColor(QRgb color) { _set(ImageShadowColor, int(color)); }
  void setImageCornerRadiusFraction(float fraction)
  {
    _setFraction(ImageCornerRadiusFraction, ImageCornerRadius, fraction);
  }

  void setDrawingBorderSizeFraction(float fraction)
  {
    _setFraction(DrawingBorderSizeFraction, DrawingBorderSize, fraction);
  }
  void setDrawingBorderColor(QRgb color) { _set(DrawingBorderColor, int(color)); }
  void setDrawingBorderStroke(bool stroke) { _set(DrawingBorderStroke, stroke); }
  void setDrawingShadowOpacity(float opacity) { _set(DrawingShadowOpacity, opacity); }
  void setDrawingShadowOffsetFraction(const QSizeF &offset) { _set(DrawingShadowOffsetFraction, offset); }
  void setDrawingShadowRadiusFraction(float radius) { _set(DrawingShadowRadiusFraction, radius); }
  void setDrawingShadowColor(QRgb color) { _set(DrawingShadowColor, int(color)); }
  void setDrawingCornerRadiusFraction(float fraction)
  {
    _setFraction(DrawingCornerRadiusFraction, DrawingCornerRadius, fraction);
  }

  void setMovieBorderSizeFraction(float fraction) { _set(MovieBorderSizeFraction, fraction); }
  void setMovieBorderColor(QRgb color) { _set(MovieBorderColor, int(color)); }
  void setMovieBorderStroke(bool stroke) { _set(MovieBorderStroke, stroke); }
  void setMovieShadowOpacity(float opacity) { _set(MovieShadowOpacity, opacity); }
  void setMovieShadowRadiusFraction(float radius) { _set(MovieShadowRadiusFraction, radius); }
  void setMovieShadowColor(QRgb color) { _set(MovieShadowColor, int(color)); }
  void setMovieShadowOffsetFraction(const QSizeF &offset) { _set(MovieShadowOffsetFraction, offset); }
  void setMovieCornerRadiusFraction(float fraction) { _set(MovieCornerRadiusFraction, fraction); }

  void setChromaKeySensitivity(int sensitivity) { _set(ChromaKeySensitivity, sensitivity); }
  void setChromaKeySmoothing(int smoothing) { _set(ChromaKeySmoothing, smoothing); }
  void setChromaKeyColor(QRgb color) { _set(ChromaKeyColor, int(color)); }
  void setBorderStrokeTolerance(int tolerance) { _set(BorderStrokeTolerance, tolerance); }
  void setBorderStrokeStrength(int strength) { _set(BorderStrokeStrength, strength); }

private:
  UserStyleDefaults();

  float _float(Field field) const { return m_values[field].toFloat(); }
  QSizeF _size(Field field) const { return m_values[field].toSizeF(); }
  QRgb _rgb(Field field) const { return QRgb(m_values[field].toLongLong()); }
  void _set(Field field, const QVariant &value);
  void _setFraction(Field fraction, Field absolute, float value);

  std::array<QVariant, FieldCount> m_values;
  bool m_dirty = false;
};
