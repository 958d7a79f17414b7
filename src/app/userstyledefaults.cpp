#include "userstyledefaults.h"

#include "settingsvalue.h"

#include <QSettings>

#include <memory>

namespace {
const char kGroup[] = "User";

enum class Kind { Float, Size, Text, Int, Color, Bool };

struct KeySpec
{
  UserStyleDefaults::Field field;
  const char *name;
  Kind kind;
  QVariant defaultValue;
};

constexpr float kShadowRadius = 0.003125f;
const QSizeF kNoSize(0, 0);

// In the order of the Field enumeration.
const KeySpec &spec(UserStyleDefaults::Field field)
{
  using F = UserStyleDefaults;
  static const KeySpec specs[] = {
    {F::TextSize, "TextSize", Kind::Float, 80.0f},
    {F::TextVideoSize, "TextVideoSize", Kind::Size, kNoSize},
    {F::TextFont, "TextFont", Kind::Text, QStringLiteral("Arial")},
    {F::TextStyle, "TextStyle", Kind::Text, QString()},
    {F::TextColor, "TextColor", Kind::Color, 0xFFFFFFFFu},
    {F::TextBorderSize, "TextBorderSize", Kind::Float, 0.0f},
    {F::TextBorderColor, "TextBorderColor", Kind::Color, 0xFFFFFF00u},
    {F::TextShadowOpacity, "TextShadowOpacity", Kind::Float, 0.0f},
    {F::TextShadowOffset, "TextShadowOffset", Kind::Size, kNoSize},
    {F::TextShadowOffsetFraction, "TextShadowOffsetFraction", Kind::Size, kNoSize},
    {F::TextShadowRadiusFraction, "TextShadowRadiusFraction", Kind::Float, kShadowRadius},
    {F::TextShadowColor, "TextShadowColor", Kind::Color, 0xFF000000u},
    {F::TextAlignment, "TextAlignment", Kind::Int, 1},
    {F::TextBackColor, "TextBackColor", Kind::Color, 0x00FF00FFu},
    {F::TextBackColorAlpha, "TextBackColorAlpha", Kind::Float, 0.0f},
    {F::TextBackInset, "TextBackInset", Kind::Float, 0.0f},
    {F::TextBackCornerRadius, "TextBackCornerRadius", Kind::Float, 0.0f},
    {F::ImageBorderSize, "ImageBorderSize", Kind::Float, 0.0f},
    {F::ImageBorderSizeFraction, "ImageBorderSizeFraction", Kind::Float, 0.0f},
    {F::ImageBorderColor, "ImageBorderColor", Kind::Color, 0xFFFFFFFFu},
    {F::ImageBorderStroke, "ImageBorderStroke", Kind::Bool, false},
    {F::ImageShadowOpacity, "ImageShadowOpacity", Kind::Float, 0.0f},
    {F::ImageShadowOffset, "ImageShadowOffset", Kind::Size, kNoSize},
    {F::ImageShadowOffsetFraction, "ImageShadowOffsetFraction", Kind::Size, kNoSize},
    {F::ImageShadowRadiusFraction, "ImageShadowRadiusFraction", Kind::Float, kShadowRadius},
    {F::ImageShadowColor, "ImageShadowColor", Kind::Color, 0xFF000000u},
    {F::ImageCornerRadius, "ImageCornerRadius", Kind::Float, 0.0f},
    {F::ImageCornerRadiusFraction, "ImageCornerRadiusFraction", Kind::Float, 0.0f},
    {F::DrawingBorderSize, "DrawingBorderSize", Kind::Float, 0.0f},
    {F::DrawingBorderSizeFraction, "DrawingBorderSizeFraction", Kind::Float, 0.0f},
    {F::DrawingBorderColor, "DrawingBorderColor", Kind::Color, 0xFFFFFFFFu},
    {F::DrawingBorderStroke, "DrawingBorderStroke", Kind::Bool, false},
    {F::DrawingShadowOpacity, "DrawingShadowOpacity", Kind::Float, 0.0f},
    {F::DrawingShadowOffset, "DrawingShadowOffset", Kind::Size, kNoSize},
    {F::DrawingShadowOffsetFraction, "DrawingShadowOffsetFraction", Kind::Size, kNoSize},
    {F::DrawingShadowRadiusFraction, "DrawingShadowRadiusFraction", Kind::Float, kShadowRadius},
    {F::DrawingShadowColor, "DrawingShadowColor", Kind::Color, 0xFF000000u},
    {F::DrawingCornerRadius, "DrawingCornerRadius", Kind::Float, 0.0f},
    {F::DrawingCornerRadiusFraction, "DrawingCornerRadiusFraction", Kind::Float, 0.0f},
    {F::MovieBorderSizeFraction, "MovieBorderSizeFraction", Kind::Float, 0.0f},
    {F::MovieBorderColor, "MovieBorderColor", Kind::Color, 0xFFFFFFFFu},
    {F::MovieBorderStroke, "MovieBorderStroke", Kind::Bool, false},
    {F::MovieShadowOpacity, "MovieShadowOpacity", Kind::Float, 0.0f},
    {F::MovieShadowRadiusFraction, "MovieShadowRadiusFraction", Kind::Float, kShadowRadius},
    {F::MovieShadowColor, "MovieShadowColor", Kind::Color, 0xFF000000u},
    {F::MovieShadowOffsetFraction, "MovieShadowOffsetFraction", Kind::Size, kNoSize},
    {F::MovieCornerRadiusFraction, "MovieCornerRadiusFraction", Kind::Float, 0.0f},
    {F::ChromaKeySensitivity, "ChromaKeySensitivity", Kind::Int, 40},
    {F::ChromaKeySmoothing, "ChromaKeySmoothing", Kind::Int, 10},
    {F::ChromaKeyColor, "ChromaKeyColor", Kind::Color, 0xFF00FF00u},
    {F::BorderStrokeTolerance, "BorderStrokeTolerance", Kind::Int, 100},
    {F::BorderStrokeStrength, "BorderStrokeStrength", Kind::Int, 50},
  };
  static_assert(sizeof(specs) / sizeof(specs[0]) == UserStyleDefaults::FieldCount, "one key per field");
  Q_ASSERT(specs[field].field == field);
  return specs[field];
}

// A stored value converted to the key's kind; colours accept signed and unsigned forms.
QVariant fromStore(const QVariant &stored, Kind kind)
{
  switch (kind) {
  case Kind::Float:
    return stored.toFloat();
  case Kind::Size:
    return stored.toSizeF();
  case Kind::Text:
    return stored.toString();
  case Kind::Int:
    return stored.toInt();
  case Kind::Color:
    return qint64(quint32(stored.toLongLong()));
  case Kind::Bool:
    return stored.toBool();
  }
  return stored;
}

QVariant toStore(const QVariant &value, Kind kind)
{
  switch (kind) {
  case Kind::Float:
    return floatSettingValue(value.toFloat());
  case Kind::Color:
    return int(quint32(value.toLongLong())); // ARGB as a signed 32-bit integer
  default:
    return fromStore(value, kind);
  }
}

std::unique_ptr<UserStyleDefaults> &theInstance()
{
  static std::unique_ptr<UserStyleDefaults> instance;
  return instance;
}
} // namespace

UserStyleDefaults *UserStyleDefaults::instance()
{
  std::unique_ptr<UserStyleDefaults> &instance = theInstance();
  if (!instance)
    instance.reset(new UserStyleDefaults);
  return instance.get();
}

UserStyleDefaults::UserStyleDefaults()
{
  load();
  m_dirty = false;
}

void UserStyleDefaults::reset()
{
  theInstance().reset();
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.remove(QString());
  settings.endGroup();
}

const char *UserStyleDefaults::keyName(Field field)
{
  return spec(field).name;
}

void UserStyleDefaults::load()
{
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < FieldCount; ++i) {
    const KeySpec &key = spec(Field(i));
    m_values[i] = fromStore(settings.value(key.name, key.defaultValue), key.kind);
  }
  settings.endGroup();
}

void UserStyleDefaults::save()
{
  if (!m_dirty)
    return;
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < FieldCount; ++i) {
    const KeySpec &key = spec(Field(i));
    settings.setValue(key.name, toStore(m_values[i], key.kind));
  }
  settings.endGroup();
  settings.sync();
  m_dirty = false;
}

void UserStyleDefaults::setTextSize(float size, const QSizeF &videoSize)
{
  _set(TextSize, size);
  _set(TextVideoSize, videoSize);
}

void UserStyleDefaults::setTextFont(const QString &font, const QString &style)
{
  _set(TextFont, font);
  _set(TextStyle, style);
}

void UserStyleDefaults::_set(Field field, const QVariant &value)
{
  m_values[field] = fromStore(value, spec(field).kind);
  m_dirty = true;
}

void UserStyleDefaults::_setFraction(Field fraction, Field absolute, float value)
{
  _set(fraction, value);
  if (value == 0.0f)
    _set(absolute, 0.0f);
}
