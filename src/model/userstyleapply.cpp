#include "userstyleapply.h"

#include "segment.h"
#include "textsegment.h"
#include "userstyledefaults.h"

namespace {

// One picture kind's remembered values (pictures and drawings keep separate ones).
struct _PictureStyle
{
  float borderSize, borderSizeFraction;
  QRgb borderColor;
  bool borderStroke;
  float shadowOpacity;
  QSizeF shadowOffset, shadowOffsetFraction;
  float shadowRadiusFraction;
  QRgb shadowColor;
  float cornerRadius, cornerRadiusFraction;
};

void _applyShared(const UserStyleDefaults &d, Segment &s, bool withStroke)
{
  s.setKeySensitivity(d.chromaKeySensitivity());
  s.setKeySmoothing(d.chromaKeySmoothing());
  s.setKeyColor(d.chromaKeyColor());
  if (withStroke) {
    s.setBorderStrokeTolerance(d.borderStrokeTolerance());
    s.setBorderStrokeStrength(d.borderStrokeStrength());
  }
}

void _applyPicture(const UserStyleDefaults &d, const _PictureStyle &p, Segment &s)
{
  s.setBorderWidthFraction(p.borderSizeFraction);
  if (p.borderSizeFraction == 0)
    s.setBorderWidth(p.borderSize);
  s.setBorderColor(p.borderColor);
  s.setBorderStroke(p.borderStroke);
  s.setShadowOpacity(p.shadowOpacity);
  s.setShadowOffsetFraction(p.shadowOffsetFraction);
  if (p.shadowOffsetFraction.isEmpty())
    s.setShadowPixelOffset(p.shadowOffset);
  s.setShadowRadiusFraction(p.shadowRadiusFraction);
  s.setShadowColor(p.shadowColor);
  s.setCornerRadiusFraction(p.cornerRadiusFraction);
  if (p.cornerRadiusFraction == 0)
    s.setCornerRadius(p.cornerRadius);
  _applyShared(d, s, true);
}

} // namespace

namespace UserStyleApply {

void applyImageStyle(const UserStyleDefaults &d, Segment &segment)
{
  _applyPicture(d,
                {d.imageBorderSize(), d.imageBorderSizeFraction(), d.imageBorderColor(), d.imageBorderStroke(),
                 d.imageShadowOpacity(), d.imageShadowOffset(), d.imageShadowOffsetFraction(),
                 d.imageShadowRadiusFraction(), d.imageShadowColor(), d.imageCornerRadius(),
                 d.imageCornerRadiusFraction()},
                segment);
}

void applyDrawingStyle(const UserStyleDefaults &d, Segment &segment)
{
  _applyPicture(d,
                {d.drawingBorderSize(), d.drawingBorderSizeFraction(), d.drawingBorderColor(),
                 d.drawingBorderStroke(), d.drawingShadowOpacity(), d.drawingShadowOffset(),
                 d.drawingShadowOffsetFraction(), d.drawingShadowRadiusFraction(), d.drawingShadowColor(),
                 d.drawingCornerRadius(), d.drawingCornerRadiusFraction()},
                segment);
}

void applyMovieStyle(const UserStyleDefaults &d, Segment &s)
{
  s.setBorderWidthFraction(d.movieBorderSizeFraction());
  s.setBorderColor(d.movieBorderColor());
  s.setBorderStroke(d.movieBorderStroke());
  s.setShadowOpacity(d.movieShadowOpacity());
  s.setShadowOffsetFraction(d.movieShadowOffsetFraction());
  s.setShadowRadiusFraction(d.movieShadowRadiusFraction());
  s.setShadowColor(d.movieShadowColor());
  s.setCornerRadiusFraction(d.movieCornerRadiusFraction());
  _applyShared(d, s, true);
}

void applyTextStyle(const UserStyleDefaults &d, TextSegment &s)
{
  if (d.textVideoSize().isEmpty())
    s.setFontSize(d.textSize());
  else
    s.setFontSize(d.textSize(), d.textVideoSize());
  s.setFontName(d.textFont());
  s.setFontStyle(d.textStyle());
  s.setColor(d.textColor());
  s.setBorderWidth(d.textBorderSize());
  s.setBorderColor(d.textBorderColor());
  s.setShadowOpacity(d.textShadowOpacity());
  s.setShadowOffsetFraction(d.textShadowOffsetFraction());
  if (d.textShadowOffsetFraction().isEmpty())
    s.setShadowPixelOffset(d.textShadowOffset());
  s.setShadowRadiusFraction(d.textShadowRadiusFraction());
  s.setShadowColor(d.textShadowColor());
  s.setAlignment(d.textAlignment());
  s.setBackColorRgb(d.textBackColor());
  s.setBackColorAlpha(d.textBackColorAlpha());
  s.setBackInset(d.textBackInset());
  s.setBackCorner(d.textBackCornerRadius());
  _applyShared(d, s, false);
}

} // namespace UserStyleApply
