// The property popups' values (sliders, colours, switches, shadow offset, colour adjustments)
// applied to the edited segment: live to the engine while a gesture runs, into the model with one
// undo step when it ends. Also the inspector's popup wiring, the text alignment request and the
// in-place text editor's style.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "commonslidercolorpopup.h"
#include "editscrollarea.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Frame sizes of a window without a composition yet.
constexpr float FallbackWidth = 1280.0f;
constexpr float FallbackHeight = 720.0f;

bool habits()
{
  return UserSettings::instance()->applyUserHabits();
}

TextSegment *textOf(Segment *segment)
{
  return segment && segment->type() == QLatin1String("TEXT") ? static_cast<TextSegment *>(segment) : nullptr;
}

// A movie's sound lives in the engine under its sound part's id.
quint32 soundId(const Segment *segment)
{
  return segment->type() == QLatin1String("MOVIE") ? segment->audioPartId() : segment->id();
}

template <class Arg>
using StyleSetter = void (UserStyleDefaults::*)(Arg);

// Remembers a style for new segments of the same type; a null setter means the type has none.
template <class Arg, class V>
void rememberByType(const Segment *segment, StyleSetter<Arg> text, StyleSetter<Arg> image, StyleSetter<Arg> drawing,
                    StyleSetter<Arg> movie, const V &value)
{
  if (!habits())
    return;
  const QString type = segment->type();
  StyleSetter<Arg> setter = type == QLatin1String("TEXT")      ? text
                            : type == QLatin1String("IMAGE")   ? image
                            : type == QLatin1String("DRAWING") ? drawing
                            : type == QLatin1String("MOVIE")   ? movie
                                                               : nullptr;
  if (setter)
    (UserStyleDefaults::instance()->*setter)(value);
}

// The nine colour adjustments in engine id order (saturation .. blue).
struct ColourKey
{
  int (Segment::*get)() const;
  void (Segment::*set)(int);
  int (Segment::*transitionGet)(int, bool) const;
  void (Segment::*transitionSet)(int, bool, int);
};

const ColourKey ColourKeys[9] = {
  {&Segment::clrSaturation, &Segment::setClrSaturation, &Segment::transitionClrSaturation,
   &Segment::setTransitionClrSaturation},
  {&Segment::clrBrightness, &Segment::setClrBrightness, &Segment::transitionClrBrightness,
   &Segment::setTransitionClrBrightness},
  {&Segment::clrContrast, &Segment::setClrContrast, &Segment::transitionClrContrast,
   &Segment::setTransitionClrContrast},
  {&Segment::clrWhiteBalance, &Segment::setClrWhiteBalance, &Segment::transitionClrWhiteBalance,
   &Segment::setTransitionClrWhiteBalance},
  {&Segment::clrExposure, &Segment::setClrExposure, &Segment::transitionClrExposure,
   &Segment::setTransitionClrExposure},
  {&Segment::clrHue, &Segment::setClrHue, &Segment::transitionClrHue, &Segment::setTransitionClrHue},
  {&Segment::clrRed, &Segment::setClrRed, &Segment::transitionClrRed, &Segment::setTransitionClrRed},
  {&Segment::clrGreen, &Segment::setClrGreen, &Segment::transitionClrGreen, &Segment::setTransitionClrGreen},
  {&Segment::clrBlue, &Segment::setClrBlue, &Segment::transitionClrBlue, &Segment::setTransitionClrBlue},
};

const QString EditorMenuStyle = QStringLiteral(
  "QMenu{ background-color: rgba(64,64,64,230); color: white; padding: 10px; border-radius: 10px; }"
  "QMenu::item{ padding: 8px 20px; }"
  "QMenu::item:selected{ background-color: rgb(44,46,50); }"
  "QMenu::item:disabled{ color: rgb(96,96,96); }"
  "QMenu::separator{ height: 1px; background: rgb(44,46,50); }");

} // namespace

// --- Edit target and engine helpers -----------------------------------------------------------

Segment *MainWindow::_popupSegment() const
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  return block ? block->segment() : nullptr;
}

bool MainWindow::_editedTransitionSide(int &transitionId, bool &begin) const
{
  SegmentWidget *block = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  transitionId = block ? block->transitionId() : 0;
  begin = _editedTransitionEnd > 0;
  return transitionId > 0 && _editedTransitionEnd >= 0;
}

// Every final value is one undo step, taken before the model changes, also when the tag turns
// out to edit nothing.
Segment *MainWindow::_recordPopupEdit()
{
  _recordOperation();
  _projectManager->setModified(true);
  return _engine ? _popupSegment() : nullptr;
}

float MainWindow::_frameWidth() const
{
  return _composition && _composition->width() > 0 ? float(_composition->width()) : FallbackWidth;
}

float MainWindow::_frameHeight() const
{
  return _composition && _composition->height() > 0 ? float(_composition->height()) : FallbackHeight;
}

void MainWindow::_sendTransitionValue(quint32 id, int transitionId, bool begin, int property, float a, float b,
                                      float c, float d)
{
  if (_engine)
    _engine->setTransitionValue(id, quint32(transitionId), !begin, property, a, b, c, d);
}

void MainWindow::_sendColour(quint32 id, int property, quint32 argb, float alpha)
{
  if (_engine)
    _engine->setSegmentProperty(id, property, qRed(argb) / 255.0f, qGreen(argb) / 255.0f, qBlue(argb) / 255.0f,
                                alpha);
}

void MainWindow::_afterTextStyleChange(Segment *segment)
{
  if (_textEditWidget) {
    _refreshTextEditorStyle(_textEditWidget, segment);
    _textEditWidget->setFocus(Qt::OtherFocusReason);
  } else if (_engine) {
    _engine->refresh();
  }
}

// --- Slider 1 -------------------------------------------------------------------------------

void MainWindow::sliderColorPopup_onValueChanged(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  const quint32 id = segment->id();
  const float w = _frameWidth();
  UserStyleDefaults *defaults = UserStyleDefaults::instance();
  switch (popup->tag()) {
  case 1:
    segment->setUserTransparency(value);
    _engine->setSegmentProperty(id, kAVPropertyTransparency, segment->userTransparency());
    break;
  case 5: {
    int t = 0;
    bool begin = false;
    if (!_editedTransitionSide(t, begin))
      return;
    segment->setTransitionUserTransparency(t, begin, value);
    _sendTransitionValue(id, t, begin, kAVPropertyTransparency, segment->transitionUserTransparency(t, begin));
    break;
  }
  case 3:
    segment->setUserVolume(value);
    _engine->setSegmentProperty(soundId(segment), kAVPropertyVolume, segment->userVolume());
    _seekToPlayheadTime(true);
    return;
  case 6: {
    int t = 0;
    bool begin = false;
    if (!_editedTransitionSide(t, begin))
      return;
    segment->setTransitionUserVolume(t, begin, value);
    _sendTransitionValue(soundId(segment), t, begin, kAVPropertyVolume, segment->transitionUserVolume(t, begin));
    _seekToPlayheadTime(true);
    return;
  }
  case 2:
    _changeSpeed(segment, value);
    return;
  case 11:
    segment->setBorderWidth(value);
    segment->setBorderColor(popup->color().rgba());
    _engine->setSegmentProperty(id, kAVPropertyBorderWidth, value);
    if (value > 0)
      _sendColour(id, kAVPropertyBorderColor, segment->borderColor());
    if (habits())
      defaults->setTextBorderSize(value);
    break;
  case 30:
    segment->setBorderWidthFraction(value / w);
    segment->setBorderWidth(0);
    segment->setBorderColor(popup->color().rgba());
    _engine->setSegmentProperty(id, kAVPropertyBorderWidth, value / w);
    if (value > 0)
      _sendColour(id, kAVPropertyBorderColor, segment->borderColor());
    rememberByType<float>(segment, nullptr, &UserStyleDefaults::setImageBorderSizeFraction,
                          &UserStyleDefaults::setDrawingBorderSizeFraction,
                          &UserStyleDefaults::setMovieBorderSizeFraction, value / w);
    break;
  case 4:
    segment->setCornerRadiusFraction(value / w);
    segment->setCornerRadius(0);
    _engine->setSegmentProperty(id, kAVPropertyCornerRadius, value / w);
    rememberByType<float>(segment, nullptr, &UserStyleDefaults::setImageCornerRadiusFraction,
                          &UserStyleDefaults::setDrawingCornerRadiusFraction,
                          &UserStyleDefaults::setMovieCornerRadiusFraction, value / w);
    break;
  case 50:
    segment->setShadowOpacity(value);
    _engine->setSegmentProperty(id, kAVPropertyShadowOpacity, value);
    rememberByType<float>(segment, &UserStyleDefaults::setTextShadowOpacity, &UserStyleDefaults::setImageShadowOpacity,
                          &UserStyleDefaults::setDrawingShadowOpacity, &UserStyleDefaults::setMovieShadowOpacity,
                          value);
    break;
  case 10: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    const QSizeF frame(w, _frameHeight());
    text->setFontSize(value, frame);
    _engine->setSegmentProperty(id, kAVPropertyFontSize, value / w);
    if (habits())
      defaults->setTextSize(value, frame);
    _afterTextStyleChange(text);
    return;
  }
  case 20: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    text->setBackColorAlpha(value);
    _sendColour(id, kAVPropertyTextBackColor, text->backColorRgb(), text->backColorAlpha());
    if (habits())
      defaults->setTextBackColorAlpha(value);
    break;
  }
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onValueChanging(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _popupSegment();
  if (!segment || !_engine)
    return;
  const quint32 id = segment->id();
  const float w = _frameWidth();
  switch (popup->tag()) {
  case 1:
    _engine->setSegmentProperty(id, kAVPropertyTransparency, value);
    break;
  case 5: {
    int t = 0;
    bool begin = false;
    if (!_editedTransitionSide(t, begin))
      return;
    _sendTransitionValue(id, t, begin, kAVPropertyTransparency, value);
    break;
  }
  case 11:
  case 30:
    _engine->setSegmentProperty(id, kAVPropertyBorderWidth, popup->tag() == 30 ? value / w : value);
    if (value > 0)
      _sendColour(id, kAVPropertyBorderColor, popup->color().rgba());
    break;
  case 4:
    _engine->setSegmentProperty(id, kAVPropertyCornerRadius, value / w);
    break;
  case 50:
    _engine->setSegmentProperty(id, kAVPropertyShadowOpacity, value);
    break;
  case 10:
    if (_textEditWidget) {
      // The open editor shows the size at once; the engine sees it when editing ends.
      if (TextSegment *text = textOf(segment)) {
        text->setFontSize(value, QSizeF(w, _frameHeight()));
        _refreshTextEditorStyle(_textEditWidget, text);
      }
      return;
    }
    _engine->setSegmentProperty(id, kAVPropertyFontSize, value / w);
    break;
  case 20:
    _sendColour(id, kAVPropertyTextBackColor, popup->color().rgba(), value);
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::_changeSpeed(Segment *segment, float position)
{
  const float old = segment->speed();
  _saveRange(segment);
  segment->setSpeed(0.25f * position + 0.25f);
  const float speed = segment->speed();
  if (speed == old)
    return;
  if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
    block->setScale(_zoom, false);
  if (!_commitSegmentRangeChange(segment, false))
    _projectManager->discardLastOperation();
  _editScrollArea->updateTrimBarPositions();
  // The same media frame stays under the play head.
  const float start = segment->rangeStart();
  const float time = start + (_playheadTime() - start) * old / speed;
  _scrollTimelineToTime(time, false);
  _seekToTime(time, true);
}

// --- Sliders 2 and 3 ------------------------------------------------------------------------

void MainWindow::sliderColorPopup_onValue2Changed(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  const quint32 id = segment->id();
  const float w = _frameWidth();
  const int whole = int(value);
  UserStyleDefaults *defaults = UserStyleDefaults::instance();
  switch (popup->tag()) {
  case 20: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    text->setBackInset(value / w);
    _engine->setSegmentProperty(id, kAVPropertyTextBackInset, value / w);
    if (habits())
      defaults->setTextBackInset(value / w);
    break;
  }
  case 30:
    segment->setBorderStrokeTolerance(whole);
    _engine->setSegmentProperty(id, kAVPropertyStrokeTolerance, value);
    if (habits())
      defaults->setBorderStrokeTolerance(whole);
    break;
  case 40:
    segment->setKeySensitivity(whole);
    _engine->setSegmentProperty(id, kAVPropertyKeySensitivity, value);
    if (habits())
      defaults->setChromaKeySensitivity(whole);
    break;
  case 50:
    segment->setShadowRadiusFraction(value, w);
    _engine->setSegmentProperty(id, kAVPropertyShadowRadius, segment->shadowRadiusFraction());
    rememberByType<float>(segment, &UserStyleDefaults::setTextShadowRadiusFraction,
                          &UserStyleDefaults::setImageShadowRadiusFraction,
                          &UserStyleDefaults::setDrawingShadowRadiusFraction,
                          &UserStyleDefaults::setMovieShadowRadiusFraction, segment->shadowRadiusFraction());
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onValue2Changing(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _popupSegment();
  if (!segment || !_engine)
    return;
  const quint32 id = segment->id();
  switch (popup->tag()) {
  case 20:
    _engine->setSegmentProperty(id, kAVPropertyTextBackInset, value / _frameWidth());
    break;
  case 30:
    _engine->setSegmentProperty(id, kAVPropertyStrokeTolerance, value);
    break;
  case 40:
    _engine->setSegmentProperty(id, kAVPropertyKeySensitivity, value);
    break;
  case 50:
    _engine->setSegmentProperty(id, kAVPropertyShadowRadius, value / _frameWidth());
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onValue3Changed(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  const quint32 id = segment->id();
  const int whole = int(value);
  UserStyleDefaults *defaults = UserStyleDefaults::instance();
  switch (popup->tag()) {
  case 20: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    text->setBackCorner(value / 100);
    _engine->setSegmentProperty(id, kAVPropertyTextBackCorner, value / 100);
    if (habits())
      defaults->setTextBackCornerRadius(value / 100);
    break;
  }
  case 30:
    segment->setBorderStrokeStrength(whole);
    _engine->setSegmentProperty(id, kAVPropertyStrokeStrength, value);
    if (habits())
      defaults->setBorderStrokeStrength(whole);
    break;
  case 40:
    segment->setKeySmoothing(whole);
    _engine->setSegmentProperty(id, kAVPropertyKeySmoothing, value);
    if (habits())
      defaults->setChromaKeySmoothing(whole);
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onValue3Changing(CommonSliderColorPopup *popup, float value)
{
  Segment *segment = _popupSegment();
  if (!segment || !_engine)
    return;
  const quint32 id = segment->id();
  switch (popup->tag()) {
  case 20:
    _engine->setSegmentProperty(id, kAVPropertyTextBackCorner, value / 100);
    break;
  case 30:
    _engine->setSegmentProperty(id, kAVPropertyStrokeStrength, value);
    break;
  case 40:
    _engine->setSegmentProperty(id, kAVPropertyKeySmoothing, value);
    break;
  default:
    return;
  }
  _engine->refresh();
}

// --- Colour, switch, shadow offset ------------------------------------------------------------

void MainWindow::sliderColorPopup_onColorChanged(CommonSliderColorPopup *popup, QColor color)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  const quint32 id = segment->id();
  const quint32 rgb = color.rgba();
  UserStyleDefaults *defaults = UserStyleDefaults::instance();
  switch (popup->tag()) {
  case 11:
    segment->setBorderColor(rgb);
    _sendColour(id, kAVPropertyBorderColor, segment->borderColor());
    if (habits())
      defaults->setTextBorderColor(rgb);
    break;
  case 10: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    text->setColor(rgb);
    _sendColour(id, kAVPropertyTextColor, text->color());
    if (habits())
      defaults->setTextColor(text->color());
    _afterTextStyleChange(text);
    return;
  }
  case 20: {
    TextSegment *text = textOf(segment);
    if (!text)
      return;
    // The background keeps its own opacity; the colour comes opaque.
    text->setBackColorRgb(rgb | 0xFF000000u);
    _sendColour(id, kAVPropertyTextBackColor, rgb, text->backColorAlpha());
    if (habits())
      defaults->setTextBackColor(text->backColorRgb());
    break;
  }
  case 30:
    segment->setBorderColor(rgb);
    _sendColour(id, kAVPropertyBorderColor, segment->borderColor());
    rememberByType<QRgb>(segment, nullptr, &UserStyleDefaults::setImageBorderColor,
                         &UserStyleDefaults::setDrawingBorderColor, &UserStyleDefaults::setMovieBorderColor, rgb);
    break;
  case 40:
    segment->setKeyColor(rgb);
    _sendColour(id, kAVPropertyKeyColor, segment->keyColor());
    if (habits())
      defaults->setChromaKeyColor(rgb);
    break;
  case 50:
    segment->setShadowColor(rgb);
    _sendColour(id, kAVPropertyShadowColor, segment->shadowColor());
    rememberByType<QRgb>(segment, &UserStyleDefaults::setTextShadowColor, &UserStyleDefaults::setImageShadowColor,
                         &UserStyleDefaults::setDrawingShadowColor, &UserStyleDefaults::setMovieShadowColor,
                         segment->shadowColor());
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onSwitchValueChanged(CommonSliderColorPopup *popup, bool value)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  switch (popup->tag()) {
  case 30:
    segment->setBorderStroke(value);
    _engine->setSegmentProperty(segment->id(), kAVPropertyBorderStroke, value ? 1.0f : 0.0f);
    rememberByType<bool>(segment, nullptr, &UserStyleDefaults::setImageBorderStroke,
                         &UserStyleDefaults::setDrawingBorderStroke, &UserStyleDefaults::setMovieBorderStroke, value);
    break;
  case 40:
    segment->setKeyEnabled(value);
    _engine->setSegmentProperty(segment->id(), kAVPropertyKeyEnabled, value ? 1.0f : 0.0f);
    break;
  default:
    return;
  }
  _engine->refresh();
}

void MainWindow::sliderColorPopup_onNeedColorPickingImage(CommonSliderColorPopup *, QImage *image)
{
  if (image)
    *image = _grabPreviewImage();
}

void MainWindow::sliderColorPopup_onGetPlaybackAreaFrame(CommonSliderColorPopup *, QRect *rect, QWidget *inWidget)
{
  if (!rect || !_previewWidget)
    return;
  const QPoint global = _previewWidget->mapToGlobal(QPoint(0, 0));
  *rect = QRect(inWidget ? inWidget->mapFromGlobal(global) : global, _previewWidget->size());
}

// Offsets are fractions of the frame width in both directions.
void MainWindow::sliderColorShadowPopup_onShadowOffsetChanged(PopupSliderColorShadowWidget *, QSizeF offset)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  const float w = _frameWidth();
  const QSizeF fraction(offset.width() / w, offset.height() / w);
  segment->setShadowOffsetFraction(fraction);
  segment->setShadowPixelOffset(QSizeF(0, 0));
  _engine->setSegmentProperty(segment->id(), kAVPropertyShadowOffset, float(fraction.width()),
                              float(fraction.height()));
  rememberByType<const QSizeF &>(segment, &UserStyleDefaults::setTextShadowOffsetFraction,
                                 &UserStyleDefaults::setImageShadowOffsetFraction,
                                 &UserStyleDefaults::setDrawingShadowOffsetFraction,
                                 &UserStyleDefaults::setMovieShadowOffsetFraction, fraction);
  _engine->refresh();
}

void MainWindow::sliderColorShadowPopup_onShadowOffsetChanging(PopupSliderColorShadowWidget *, QSizeF offset)
{
  Segment *segment = _popupSegment();
  if (!segment || !_engine)
    return;
  const float w = _frameWidth();
  _engine->setSegmentProperty(segment->id(), kAVPropertyShadowOffset, float(offset.width() / w),
                              float(offset.height() / w));
  _engine->refresh();
}

// --- Colour adjustments ---------------------------------------------------------------------

void MainWindow::_writeColourAdjustment(Segment *segment, int transitionId, bool side, bool begin, int property,
                                        int value)
{
  const ColourKey &key = ColourKeys[property - kAVPropertySaturation];
  if (side)
    (segment->*key.transitionSet)(transitionId, begin, value);
  else
    (segment->*key.set)(value);
}

int MainWindow::_readColourAdjustment(Segment *segment, int transitionId, bool side, bool begin, int property) const
{
  const ColourKey &key = ColourKeys[property - kAVPropertySaturation];
  return side ? (segment->*key.transitionGet)(transitionId, begin) : (segment->*key.get)();
}

void MainWindow::_previewColourAdjustment(int property, int value)
{
  Segment *segment = _popupSegment();
  if (!segment || !_engine)
    return;
  int t = 0;
  bool begin = false;
  if (_editedTransitionSide(t, begin))
    _sendTransitionValue(segment->id(), t, begin, property, float(value), 0);
  else
    _engine->setSegmentProperty(segment->id(), property, float(value));
  _engine->refresh();
}

void MainWindow::_storeColourAdjustment(int property, int value)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  int t = 0;
  bool begin = false;
  const bool side = _editedTransitionSide(t, begin);
  _writeColourAdjustment(segment, t, side, begin, property, value);
  const float stored = float(_readColourAdjustment(segment, t, side, begin, property));
  if (side)
    _sendTransitionValue(segment->id(), t, begin, property, stored, 0);
  else
    _engine->setSegmentProperty(segment->id(), property, stored);
  _engine->refresh();
}

#define TAVO_COLOUR_SLOTS(Name, Property)                                                                              \
  void MainWindow::scrollColorsPopup_on##Name##Changing(PopupColorsScrollWidget *, int value)                        \
  {                                                                                                                  \
    _previewColourAdjustment(Property, value);                                                                       \
  }                                                                                                                  \
  void MainWindow::scrollColorsPopup_on##Name##Changed(PopupColorsScrollWidget *, int value)                         \
  {                                                                                                                  \
    _storeColourAdjustment(Property, value);                                                                         \
  }

TAVO_COLOUR_SLOTS(Saturation, 20)
TAVO_COLOUR_SLOTS(Brightness, 21)
TAVO_COLOUR_SLOTS(Contrast, 22)
TAVO_COLOUR_SLOTS(WhiteBalance, 23)
TAVO_COLOUR_SLOTS(Exposure, 24)
TAVO_COLOUR_SLOTS(Hue, 25)
TAVO_COLOUR_SLOTS(Red, 26)
TAVO_COLOUR_SLOTS(Green, 27)
TAVO_COLOUR_SLOTS(Blue, 28)

#undef TAVO_COLOUR_SLOTS

void MainWindow::scrollColorsPopup_onSchemeChanged(PopupColorsScrollWidget *, int saturation, int brightness,
                                                   int contrast, int whiteBalance, int exposure, int hue, int red,
                                                   int green, int blue)
{
  Segment *segment = _recordPopupEdit();
  if (!segment)
    return;
  int t = 0;
  bool begin = false;
  const bool side = _editedTransitionSide(t, begin);
  const int values[9] = {saturation, brightness, contrast, whiteBalance, exposure, hue, red, green, blue};
  for (int i = 0; i < 9; ++i)
    _writeColourAdjustment(segment, t, side, begin, kAVPropertySaturation + i, values[i]);
  for (int i = 0; i < 9; ++i) {
    const int property = kAVPropertySaturation + i;
    const float stored = float(_readColourAdjustment(segment, t, side, begin, property));
    if (side)
      _sendTransitionValue(segment->id(), t, begin, property, stored, 0);
    else
      _engine->setSegmentProperty(segment->id(), property, stored);
  }
  _engine->refresh();
}

void MainWindow::scrollColorsPopup_onNeedToDisplayMessage(PopupColorsScrollWidget *, QString message)
{
  ProgressHUD::showTextMessage(message, this, 2000);
}

// --- Wiring ---------------------------------------------------------------------------------

void MainWindow::_connectPopupValueHandlers(CommonPopup *popup)
{
  if (auto *colors = qobject_cast<PopupColorsScrollWidget *>(popup))
    _connectColorsPopup(colors);
  else if (auto *slider = qobject_cast<CommonSliderColorPopup *>(popup))
    _connectSliderPopup(slider);
}

void MainWindow::_connectSliderPopup(CommonSliderColorPopup *popup)
{
  using C = CommonSliderColorPopup;
  using M = MainWindow;
  const int tag = popup->tag();
  const Qt::ConnectionType unique = Qt::UniqueConnection;
  // The chroma key popup has no first slider of its own meaning.
  if (tag != 40) {
    connect(popup, &C::sliderColorPopupValueChanged, this, &M::sliderColorPopup_onValueChanged, unique);
    connect(popup, &C::sliderColorPopupValueChanging, this, &M::sliderColorPopup_onValueChanging, unique);
  }
  if (tag == 20 || tag == 30 || tag == 40 || tag == 50) {
    connect(popup, &C::sliderColorPopupValue2Changed, this, &M::sliderColorPopup_onValue2Changed, unique);
    connect(popup, &C::sliderColorPopupValue2Changing, this, &M::sliderColorPopup_onValue2Changing, unique);
  }
  if (tag == 20 || tag == 30 || tag == 40) {
    connect(popup, &C::sliderColorPopupValue3Changed, this, &M::sliderColorPopup_onValue3Changed, unique);
    connect(popup, &C::sliderColorPopupValue3Changing, this, &M::sliderColorPopup_onValue3Changing, unique);
  }
  if (tag >= 10) {
    connect(popup, &C::sliderColorPopupColorChanged, this, &M::sliderColorPopup_onColorChanged, unique);
    connect(popup, &C::sliderColorPopupNeedColorPickingImage, this, &M::sliderColorPopup_onNeedColorPickingImage,
            unique);
    connect(popup, &C::sliderColorPopupGetPlaybackAreaFrame, this, &M::sliderColorPopup_onGetPlaybackAreaFrame,
            unique);
  }
  if (tag == 30 || tag == 40)
    connect(popup, &C::sliderColorPopupSwitchValueChanged, this, &M::sliderColorPopup_onSwitchValueChanged, unique);
  if (auto *key = qobject_cast<PopupChromaKeyWidget *>(popup))
    connect(key, &PopupChromaKeyWidget::valuesChanged, this, &M::chromaKeyPopup_onValuesChanged, unique);
  if (auto *shadow = qobject_cast<PopupSliderColorShadowWidget *>(popup)) {
    connect(shadow, &PopupSliderColorShadowWidget::shadowOffsetChanging, this,
            &M::sliderColorShadowPopup_onShadowOffsetChanging, unique);
    connect(shadow, &PopupSliderColorShadowWidget::shadowOffsetChanged, this,
            &M::sliderColorShadowPopup_onShadowOffsetChanged, unique);
  }
}

void MainWindow::_connectColorsPopup(PopupColorsScrollWidget *popup)
{
  using P = PopupColorsScrollWidget;
  using M = MainWindow;
  connect(popup, &P::saturationChanged, this, &M::scrollColorsPopup_onSaturationChanged);
  connect(popup, &P::brightnessChanged, this, &M::scrollColorsPopup_onBrightnessChanged);
  connect(popup, &P::contrastChanged, this, &M::scrollColorsPopup_onContrastChanged);
  connect(popup, &P::whiteBalanceChanged, this, &M::scrollColorsPopup_onWhiteBalanceChanged);
  connect(popup, &P::exposureChanged, this, &M::scrollColorsPopup_onExposureChanged);
  connect(popup, &P::hueChanged, this, &M::scrollColorsPopup_onHueChanged);
  connect(popup, &P::redChanged, this, &M::scrollColorsPopup_onRedChanged);
  connect(popup, &P::greenChanged, this, &M::scrollColorsPopup_onGreenChanged);
  connect(popup, &P::blueChanged, this, &M::scrollColorsPopup_onBlueChanged);
  connect(popup, &P::saturationChanging, this, &M::scrollColorsPopup_onSaturationChanging);
  connect(popup, &P::brightnessChanging, this, &M::scrollColorsPopup_onBrightnessChanging);
  connect(popup, &P::contrastChanging, this, &M::scrollColorsPopup_onContrastChanging);
  connect(popup, &P::whiteBalanceChanging, this, &M::scrollColorsPopup_onWhiteBalanceChanging);
  connect(popup, &P::exposureChanging, this, &M::scrollColorsPopup_onExposureChanging);
  connect(popup, &P::hueChanging, this, &M::scrollColorsPopup_onHueChanging);
  connect(popup, &P::redChanging, this, &M::scrollColorsPopup_onRedChanging);
  connect(popup, &P::greenChanging, this, &M::scrollColorsPopup_onGreenChanging);
  connect(popup, &P::blueChanging, this, &M::scrollColorsPopup_onBlueChanging);
  connect(popup, &P::schemeChanged, this, &M::scrollColorsPopup_onSchemeChanged);
  connect(popup, &P::needtoDisplayMessage, this, &M::scrollColorsPopup_onNeedToDisplayMessage);
}

// The tag goes first: a value sent right after the wiring must reach the right branch.
void MainWindow::_segmentEditingSetConnectionsForTransparencyPopupSliderWidget(PopupSliderWidget *popup,
                                                                               bool transition)
{
  popup->setTag(transition ? 5 : 1);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForVolumePopupSliderWidget(PopupSliderWidget *popup, bool transition)
{
  popup->setTag(transition ? 6 : 3);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForSpeedPopupSliderWidget(PopupSliderWidget *popup)
{
  popup->setTag(2);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForRoundCornerPopupSliderWidget(PopupSliderWidget *popup)
{
  popup->setTag(4);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForBorderPopupSliderColorWidget(PopupSliderColorWidget *popup)
{
  popup->setTag(11);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForTextSizePopupSliderColorWidget(PopupSliderColorWidget *popup)
{
  popup->setTag(10);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForTextBackPopupSliderColor2SlidersWidget(
  PopupSliderColor2SlidersWidget *popup)
{
  popup->setTag(20);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForStrokeBorderPopupSliderColorSwitchWidget(
  PopupSliderColor1Switch2SlidersWidget *popup)
{
  popup->setTag(30);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForChromaKeyPopupChromaKeyWidget(PopupChromaKeyWidget *popup)
{
  popup->setTag(40);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForShadowPopupSliderColorShadowWidget(PopupSliderColorShadowWidget *popup)
{
  popup->setTag(50);
  _connectSliderPopup(popup);
}

void MainWindow::_segmentEditingSetConnectionsForColorsPopupColorsScrollWidget(PopupColorsScrollWidget *popup, bool)
{
  _connectColorsPopup(popup);
}

// --- Text alignment and the in-place editor's style -------------------------------------------

void MainWindow::_segmentEditingSetTextAlignment(int alignment)
{
  TextSegment *text = textOf(_popupSegment());
  if (!text)
    return;
  _recordOperation();
  _projectManager->setModified(true);
  text->setAlignment(alignment);
  if (habits())
    UserStyleDefaults::instance()->setTextAlignment(text->alignment());
  if (_engine)
    _engine->setSegmentProperty(text->id(), kAVPropertyTextAlignment, float(text->alignment()));
  _afterTextStyleChange(text);
}

void MainWindow::_refreshTextEditorStyle(QWidget *editor, Segment *segment)
{
  auto *textEdit = qobject_cast<QTextEdit *>(editor);
  if (TextSegment *text = textOf(segment); textEdit && text)
    _applyTextEditorStyle(textEdit, text);
}

void MainWindow::_applyTextEditorStyle(QTextEdit *editor, TextSegment *segment)
{
  const int alignment = segment->alignment();
  const Qt::Alignment horizontal = alignment == 0 ? Qt::AlignLeft : alignment == 2 ? Qt::AlignRight : Qt::AlignHCenter;

  // The editor shows the text at the size it has on the preview.
  const float frameWidth = _frameWidth();
  const float previewWidth = _previewWidget ? float(_previewWidget->width()) : frameWidth;
  QFont font = segment->font();
  const float scaled = segment->scaledFontSize(QSizeF(frameWidth, _frameHeight()));
  font.setPixelSize(qMax(1, int(scaled * previewWidth / frameWidth)));

  QTextDocument *document = editor->document();
  QTextOption option = document->defaultTextOption();
  option.setAlignment(horizontal);
  document->setDefaultTextOption(option);
  editor->setFont(font);
  QTextCursor all(document);
  all.select(QTextCursor::Document);
  QTextBlockFormat block;
  block.setAlignment(horizontal);
  all.mergeBlockFormat(block);
  QTextCharFormat characters;
  characters.setFont(font);
  all.mergeCharFormat(characters);
  editor->setCurrentFont(font);
  editor->setAlignment(horizontal);

  const quint32 colour = segment->color();
  const QString name = QColor::fromRgb(colour).name();
  const QString style = colour != 0xFF000000u
                          ? QStringLiteral("QTextEdit{ background-color: black; color:%1; border:none; }")
                          : QStringLiteral("QTextEdit{ background-color: rgb(230,230,230); color:%1; border: none; }");
  editor->setStyleSheet(style.arg(name) + EditorMenuStyle);
}
