#pragma once

#include <QHash>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

class PropertyMap;

// A segment's transitions, sorted by start; each record is a PropertyMap with TBegin/TEnd sets.
using TransitionList = std::vector<std::unique_ptr<PropertyMap>>;
// Property bags as they travel between files, undo snapshots and segments.
using PropertyMapList = std::vector<std::unique_ptr<PropertyMap>>;

// The property bag of a segment: texts keyed by the XML attribute names. The transition
// list and a record's begin and end sets live in typed slots, never in the texts, so an
// attribute called "Transition", "TBegin" or "TEnd" cannot take their place.
// Copies are deep.
class PropertyMap
{
public:
  PropertyMap();
  PropertyMap(const PropertyMap &other);
  PropertyMap &operator=(const PropertyMap &other);
  PropertyMap(PropertyMap &&) noexcept;
  PropertyMap &operator=(PropertyMap &&) noexcept;
  ~PropertyMap();

  // Names that only the typed slots may use.
  static bool isReservedName(const QString &name);

  bool contains(const QString &name) const { return m_texts.contains(name); }
  QString text(const QString &name) const { return m_texts.value(name); }
  // Ignored for reserved names.
  void setText(const QString &name, const QString &value);
  void remove(const QString &name) { m_texts.remove(name); }
  const QHash<QString, QString> &texts() const { return m_texts; }

  // The "Transition" entry: absent (null) differs from an empty list.
  bool hasTransitions() const { return m_transitions != nullptr; }
  TransitionList *transitions() const { return m_transitions.get(); }
  TransitionList &ensureTransitions();
  void setTransitions(std::unique_ptr<TransitionList> list) { m_transitions = std::move(list); }

  // A transition record's "TBegin" and "TEnd" value sets.
  PropertyMap *values(bool begin) const { return begin ? m_begin.get() : m_end.get(); }
  void setValues(bool begin, std::unique_ptr<PropertyMap> set);

  // Drops every text and slot.
  void clear();

  // Same texts and equal slots, recursively.
  bool operator==(const PropertyMap &other) const;
  bool operator!=(const PropertyMap &other) const { return !(*this == other); }

private:
  QHash<QString, QString> m_texts;
  std::unique_ptr<TransitionList> m_transitions;
  std::unique_ptr<PropertyMap> m_begin;
  std::unique_ptr<PropertyMap> m_end;
};

// Generic typed access. Setters write the fixed text forms (C locale, whatever the user's);
// getters return the default when the name is absent.
void setIntValue(PropertyMap &map, const QString &name, int value);
void setFloatValue(PropertyMap &map, const QString &name, float value);
void setDoubleValue(PropertyMap &map, const QString &name, double value, int precision = 6);
void setStringValue(PropertyMap &map, const QString &name, const QString &value);
void setPointValue(PropertyMap &map, const QString &name, const QPointF &value);
void setSizeValue(PropertyMap &map, const QString &name, const QSizeF &value);
void setColorValue(PropertyMap &map, const QString &name, quint32 argb);

int intValue(const PropertyMap &map, const QString &name, int defaultValue);
float floatValue(const PropertyMap &map, const QString &name, float defaultValue);
double doubleValue(const PropertyMap &map, const QString &name, double defaultValue);
bool boolValue(const PropertyMap &map, const QString &name, bool defaultValue);
QString stringValue(const PropertyMap &map, const QString &name, const QString &defaultValue);
// Present but malformed reads as (0, 0) for a point and (-1, -1) for a size.
QPointF pointValue(const PropertyMap &map, const QString &name, const QPointF &defaultValue);
QSizeF sizeValue(const PropertyMap &map, const QString &name, const QSizeF &defaultValue);
// Absent or empty: the default; unreadable: opaque black.
quint32 colorValue(const PropertyMap &map, const QString &name, quint32 defaultValue);

// Text forms.
QString floatText(double value, int precision = 6);
QString sizeText(const QSizeF &size);
QString pointText(const QPointF &point);
QString colorText(quint32 argb);
// A colour text as the readers take it: "{r, g, b, a}" floats 0..1, or a colour name;
// false when unreadable.
bool parseColorText(const QString &text, quint32 *argb);
// A colour name (#aarrggbb, #rrggbb, a named colour); unreadable names give opaque black.
quint32 rgbaFromColorName(const QString &name);
