#include "segmentxml.h"

#include "propertymap.h"

#include <QDebug>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

bool _isXmlChar(QChar c)
{
  const ushort u = c.unicode();
  return u == '\t' || u == '\n' || u == '\r' || (u >= 0x20 && u < 0xFFFE);
}

// XML cannot carry most control characters, not even as references, and the writer fails
// the whole file on one: a pasted text holding one would make the project unsavable.
QString _xmlText(const QString &text)
{
  if (std::all_of(text.cbegin(), text.cend(), _isXmlChar))
    return text;
  QString kept;
  kept.reserve(text.size());
  for (const QChar c : text)
    if (_isXmlChar(c))
      kept += c;
  return kept;
}

void _writeAttributes(const PropertyMap &map, QXmlStreamWriter &writer)
{
  QStringList names = map.texts().keys();
  names.sort();
  for (const QString &name : qAsConst(names))
    writer.writeAttribute(name, _xmlText(map.text(name)));
}

// Reserved names are refused by setText, so an attribute cannot stand in for a slot.
void _readAttributes(PropertyMap &map, const QXmlStreamReader &reader)
{
  for (const QXmlStreamAttribute &attribute : reader.attributes())
    map.setText(attribute.name().toString(), attribute.value().toString());
}

} // namespace

void writeSegmentXml(const PropertyMap &properties, QXmlStreamWriter &writer)
{
  writer.writeStartElement(QStringLiteral("Segment"));
  _writeAttributes(properties, writer);
  if (const TransitionList *list = properties.transitions()) {
    writer.writeStartElement(QStringLiteral("Transitions"));
    for (const auto &record : *list) {
      writer.writeStartElement(QStringLiteral("Transition"));
      _writeAttributes(*record, writer);
      for (bool begin : {true, false}) {
        if (const PropertyMap *set = record->values(begin)) {
          writer.writeEmptyElement(begin ? QStringLiteral("TBegin") : QStringLiteral("TEnd"));
          _writeAttributes(*set, writer);
        }
      }
      writer.writeEndElement();
    }
    writer.writeEndElement();
  }
  writer.writeEndElement();
}

int readSegmentXml(PropertyMap &properties, QXmlStreamReader &reader)
{
  _readAttributes(properties, reader);
  TransitionList *list = nullptr;
  PropertyMap *record = nullptr;
  // Depths below the Segment element at which the open Transitions and Transition started.
  int depth = 0;
  int listDepth = -1;
  int recordDepth = -1;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++depth;
      const QStringRef name = reader.name();
      if (name == QLatin1String("Transitions")) {
        auto fresh = std::make_unique<TransitionList>();
        list = fresh.get();
        properties.setTransitions(std::move(fresh));
        listDepth = depth;
        record = nullptr;
      } else if (name == QLatin1String("Transition") && list) {
        list->push_back(std::make_unique<PropertyMap>());
        record = list->back().get();
        _readAttributes(*record, reader);
        recordDepth = depth;
      } else if ((name == QLatin1String("TBegin") || name == QLatin1String("TEnd")) && record) {
        auto set = std::make_unique<PropertyMap>();
        _readAttributes(*set, reader);
        record->setValues(name == QLatin1String("TBegin"), std::move(set));
      }
    } else if (token == QXmlStreamReader::EndElement) {
      if (depth == 0)
        return 0; // the Segment element itself
      if (depth == recordDepth) {
        record = nullptr;
        recordDepth = -1;
      }
      if (depth == listDepth) {
        list = nullptr;
        listDepth = -1;
      }
      --depth;
    }
  }
  if (!reader.hasError())
    return 0;
  qWarning().noquote() << "Load segment from xml error: " + reader.errorString();
  return int(reader.error());
}
