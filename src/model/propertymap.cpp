#include "propertymap.h"

#include <QColor>
#include <QStringList>

#include <cmath>

namespace {

std::unique_ptr<PropertyMap> _copyOf(const PropertyMap *map)
{
  return map ? std::make_unique<PropertyMap>(*map) : nullptr;
}

bool _sameMaps(const PropertyMap *a, const PropertyMap *b)
{
  if (!a || !b)
    return a == b;
  return *a == *b;
}

// The two numbers of "{x,y}"; false when the text has no braces.
bool _parsePair(const QString &text, double *first, double *second)
{
  if (text.size() <= 2 || !text.startsWith(QLatin1Char('{')) || !text.endsWith(QLatin1Char('}')))
    return false;
  const QStringList fields = text.mid(1, text.size() - 2).split(QLatin1Char(','));
  // QString::toFloat is locale-independent and yields 0 for unparsable text.
  *first = fields.value(0).trimmed().toFloat();
  *second = fields.value(1).trimmed().toFloat();
  return true;
}

} // namespace

PropertyMap::PropertyMap() = default;
PropertyMap::PropertyMap(PropertyMap &&) noexcept = default;
PropertyMap &PropertyMap::operator=(PropertyMap &&) noexcept = default;
PropertyMap::~PropertyMap() = default;

PropertyMap::PropertyMap(const PropertyMap &other)
    : m_texts(other.m_texts), m_begin(_copyOf(other.m_begin.get())), m_end(_copyOf(other.m_end.get()))
{
  if (other.m_transitions) {
    m_transitions = std::make_unique<TransitionList>();
    m_transitions->reserve(other.m_transitions->size());
    for (const auto &record : *other.m_transitions)
      m_transitions->push_back(_copyOf(record.get()));
  }
}

PropertyMap &PropertyMap::operator=(const PropertyMap &other)
{
  if (this != &other) {
    PropertyMap copy(other);
    *this = std::move(copy);
  }
  return *this;
}

bool PropertyMap::isReservedName(const QString &name)
{
  return name == QLatin1String("Transition") || name == QLatin1String("TBegin") ||
         name == QLatin1String("TEnd");
}

void PropertyMap::setText(const QString &name, const QString &value)
{
  if (isReservedName(name))
    return;
  m_texts.insert(name, value);
}

TransitionList &PropertyMap::ensureTransitions()
{
  if (!m_transitions)
    m_transitions = std::make_unique<TransitionList>();
  return *m_transitions;
}

void PropertyMap::setValues(bool begin, std::unique_ptr<PropertyMap> set)
{
  (begin ? m_begin : m_end) = std::move(set);
}

void PropertyMap::clear()
{
  m_texts.clear();
  m_transitions.reset();
  m_begin.reset();
  m_end.reset();
}

bool PropertyMap::operator==(const PropertyMap &other) const
{
  if (m_texts != other.m_texts || !_sameMaps(m_begin.get(), other.m_begin.get()) ||
      !_sameMaps(m_end.get(), other.m_end.get()))
    return false;
  if (!m_transitions || !other.m_transitions)
    return m_transitions == other.m_transitions;
  if (m_transitions->size() != other.m_transitions->size())
    return false;
  for (size_t i = 0; i < m_transitions->size(); ++i)
    if (!_sameMaps((*m_transitions)[i].get(), (*other.m_transitions)[i].get()))
      return false;
  return true;
}

QString floatText(double value, int precision)
{
  return QString::number(value, 'g', precision);
}

QString sizeText(const QSizeF &size)
{
  return QLatin1Char('{') + floatText(size.width()) + QLatin1Char(',') + floatText(size.height()) +
         QLatin1Char('}');
}

QString pointText(const QPointF &point)
{
  return sizeText(QSizeF(point.x(), point.y()));
}

QString colorText(quint32 argb)
{
  return QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0'));
}

quint32 rgbaFromColorName(const QString &name)
{
  const QColor color(name);
  return color.isValid() ? color.rgba() : 0xFF000000u;
}

bool parseColorText(const QString &text, quint32 *argb)
{
  QColor color;
  if (text.size() > 2 && text.startsWith(QLatin1Char('{')) && text.endsWith(QLatin1Char('}'))) {
    QString inner = text;
    inner.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    const QStringList fields = inner.simplified().split(QLatin1Char(','));
    int c[4];
    for (int i = 0; i < 4; ++i)
      c[i] = int(fields.value(i).trimmed().toFloat() * 255);
    color = QColor(c[0], c[1], c[2], c[3]);
    // QColor warns and stays valid-looking on out-of-range input in some builds: check ourselves.
    for (int v : c)
      if (v < 0 || v > 255)
        color = QColor();
  } else {
    color = QColor(text);
  }
  if (!color.isValid())
    return false;
  *argb = color.rgba();
  return true;
}

void setIntValue(PropertyMap &map, const QString &name, int value)
{
  map.setText(name, QString::number(value));
}

void setFloatValue(PropertyMap &map, const QString &name, float value)
{
  map.setText(name, floatText(double(value)));
}

void setDoubleValue(PropertyMap &map, const QString &name, double value, int precision)
{
  map.setText(name, floatText(value, precision));
}

void setStringValue(PropertyMap &map, const QString &name, const QString &value)
{
  map.setText(name, value);
}

void setPointValue(PropertyMap &map, const QString &name, const QPointF &value)
{
  map.setText(name, pointText(value));
}

void setSizeValue(PropertyMap &map, const QString &name, const QSizeF &value)
{
  map.setText(name, sizeText(value));
}

void setColorValue(PropertyMap &map, const QString &name, quint32 argb)
{
  map.setText(name, colorText(argb));
}

int intValue(const PropertyMap &map, const QString &name, int defaultValue)
{
  return map.contains(name) ? map.text(name).toInt() : defaultValue;
}

// Every number read from a bag: one that is not finite (nan, inf, or beyond a float) means
// nothing to any property and reads as the property's default.
float floatValue(const PropertyMap &map, const QString &name, float defaultValue)
{
  if (!map.contains(name))
    return defaultValue;
  const float value = map.text(name).trimmed().toFloat();
  return std::isfinite(value) ? value : defaultValue;
}

double doubleValue(const PropertyMap &map, const QString &name, double defaultValue)
{
  if (!map.contains(name))
    return defaultValue;
  const double value = map.text(name).trimmed().toDouble();
  return std::isfinite(value) ? value : defaultValue;
}

bool boolValue(const PropertyMap &map, const QString &name, bool defaultValue)
{
  return map.contains(name) ? map.text(name).toInt() == 1 : defaultValue;
}

QString stringValue(const PropertyMap &map, const QString &name, const QString &defaultValue)
{
  return map.contains(name) ? map.text(name) : defaultValue;
}

QPointF pointValue(const PropertyMap &map, const QString &name, const QPointF &defaultValue)
{
  if (!map.contains(name))
    return defaultValue;
  double x = 0, y = 0;
  _parsePair(map.text(name), &x, &y);
  return QPointF(std::isfinite(x) ? x : defaultValue.x(), std::isfinite(y) ? y : defaultValue.y());
}

QSizeF sizeValue(const PropertyMap &map, const QString &name, const QSizeF &defaultValue)
{
  if (!map.contains(name))
    return defaultValue;
  double w = -1, h = -1;
  if (!_parsePair(map.text(name), &w, &h))
    return QSizeF(-1, -1);
  return QSizeF(std::isfinite(w) ? w : defaultValue.width(), std::isfinite(h) ? h : defaultValue.height());
}

quint32 colorValue(const PropertyMap &map, const QString &name, quint32 defaultValue)
{
  const QString text = map.text(name);
  if (text.isEmpty())
    return defaultValue;
  quint32 argb = 0xFF000000u;
  parseColorText(text, &argb);
  return argb;
}
