#include "segmentxml.h"

#include "propertymap.h"

#include <QDebug>
#include <QIODevice>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstring>

namespace {

bool _isXmlChar(QChar c)
{
  const ushort u = c.unicode();
  return u == '\t' || u == '\n' || u == '\r' || (u >= 0x20 && u < 0xFFFE);
}

// Every character goes into the file as it is and reads back the same: nothing to drop, and
// no lone surrogate for the encoder to replace.
bool _isPlainXmlText(const QString &text)
{
  const ushort *c = text.utf16();
  const ushort *end = c + text.size();
  for (; c != end; ++c) {
    const ushort u = *c;
    if (u >= 0x20 && u < 0xD800)
      continue;
    if (QChar::isHighSurrogate(u) && c + 1 != end && QChar::isLowSurrogate(c[1])) {
      ++c;
      continue;
    }
    if (u == '\t' || u == '\n' || u == '\r' || (u >= 0xE000 && u < 0xFFFE))
      continue;
    return false;
  }
  return true;
}

// XML cannot carry most control characters, not even as references, and the writer fails
// the whole file on one: a pasted text holding one would make the project unsavable. A lone
// surrogate is written as bytes no reader takes back, so the project could not be opened
// again: it becomes the replacement character.
QString _xmlText(const QString &text)
{
  if (_isPlainXmlText(text))
    return text;
  const auto whole = [&text](int i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
      return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
      return i > 0 && text.at(i - 1).isHighSurrogate();
    return true;
  };
  QString kept;
  kept.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    if (!_isXmlChar(text.at(i)))
      continue;
    kept += whole(i) ? text.at(i) : QChar(QChar::ReplacementCharacter);
  }
  return kept;
}

// From this length on, a plain value bypasses the stream writer, whose escaping builds a copy
// of the text and encodes it again: for a pasted text of megabytes that was most of a save.
constexpr int kLongValue = 4096;

// Writes ` name="value"` into the writer's device as the writer itself would, escaping and
// encoding as UTF-8 in one pass. The writer has just written the element's name or an
// attribute, so its encoder holds nothing pending and no byte of its own is due in between.
// False, with nothing written, when the value is short or not plain text.
bool _writeLongAttribute(QXmlStreamWriter &writer, const QString &name, const QString &value)
{
  QIODevice *device = writer.device();
  if (!device || value.size() < kLongValue || !_isPlainXmlText(value))
    return false;
  constexpr int kChunk = 1 << 16;
  QByteArray buffer(kChunk, Qt::Uninitialized);
  char *out = buffer.data();
  int used = 0;
  const auto put = [&](const char *text, int length) {
    memcpy(out + used, text, size_t(length));
    used += length;
  };
  const QByteArray head = ' ' + name.toUtf8() + "=\"";
  device->write(head);
  const ushort *c = value.utf16();
  const ushort *end = c + value.size();
  for (; c != end; ++c) {
    // An escape or a surrogate pair takes at most six bytes.
    if (used > kChunk - 8) {
      device->write(out, used);
      used = 0;
    }
    const uint u = *c;
    if (u < 0x80) {
      switch (u) {
      case '<': put("&lt;", 4); break;
      case '>': put("&gt;", 4); break;
      case '&': put("&amp;", 5); break;
      case '"': put("&quot;", 6); break;
      case '\t': put("&#9;", 4); break;
      case '\n': put("&#10;", 5); break;
      case '\r': put("&#13;", 5); break;
      default: out[used++] = char(u);
      }
    } else if (u < 0x800) {
      out[used++] = char(0xC0 | (u >> 6));
      out[used++] = char(0x80 | (u & 0x3F));
    } else if (QChar::isHighSurrogate(u)) {
      const uint code = QChar::surrogateToUcs4(ushort(u), *++c);
      out[used++] = char(0xF0 | (code >> 18));
      out[used++] = char(0x80 | ((code >> 12) & 0x3F));
      out[used++] = char(0x80 | ((code >> 6) & 0x3F));
      out[used++] = char(0x80 | (code & 0x3F));
    } else {
      out[used++] = char(0xE0 | (u >> 12));
      out[used++] = char(0x80 | ((u >> 6) & 0x3F));
      out[used++] = char(0x80 | (u & 0x3F));
    }
  }
  out[used++] = '"';
  // A failed write leaves its error on the device, where the file's writer looks for it.
  device->write(out, used);
  return true;
}

void _writeAttributes(const PropertyMap &map, QXmlStreamWriter &writer)
{
  QStringList names = map.texts().keys();
  names.sort();
  for (const QString &name : qAsConst(names)) {
    const QString value = map.text(name);
    if (!_writeLongAttribute(writer, name, value))
      writer.writeAttribute(name, _xmlText(value));
  }
}

// A name the reader gives back as it is: no namespace prefix, nothing a name cannot hold.
bool _isPlainName(const QString &name)
{
  if (name.isEmpty() || name.at(0).isDigit() || name.at(0) == QLatin1Char('-') || name.at(0) == QLatin1Char('.'))
    return false;
  return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.'));
  });
}

// Every text reads back as it is, under its own name.
bool _plainTexts(const PropertyMap &map)
{
  for (auto it = map.texts().cbegin(); it != map.texts().cend(); ++it)
    if (!_isPlainName(it.key()) || !_isPlainXmlText(it.value()))
      return false;
  return true;
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

bool writtenSegmentProperties(const PropertyMap &properties, PropertyMap *written)
{
  if (!_plainTexts(properties))
    return false;
  // The copy shares the texts; the slots the element does not hold go.
  *written = properties;
  written->setValues(true, nullptr);
  written->setValues(false, nullptr);
  if (TransitionList *list = written->transitions()) {
    for (auto &record : *list) {
      if (!_plainTexts(*record))
        return false;
      record->setTransitions(nullptr);
      for (bool begin : {true, false}) {
        if (PropertyMap *set = record->values(begin)) {
          if (!_plainTexts(*set))
            return false;
          set->setTransitions(nullptr);
          set->setValues(true, nullptr);
          set->setValues(false, nullptr);
        }
      }
    }
  }
  return true;
}

bool isWrittenFrom(const PropertyMap &written, const PropertyMap &properties)
{
  // A table shared is a table unchanged: a change detaches it first.
  if (!written.texts().isSharedWith(properties.texts()))
    return false;
  const TransitionList *kept = written.transitions();
  const TransitionList *now = properties.transitions();
  if (!kept || !now)
    return !kept && !now;
  if (kept->size() != now->size())
    return false;
  for (size_t i = 0; i < kept->size(); ++i) {
    if (!(*kept)[i]->texts().isSharedWith((*now)[i]->texts()))
      return false;
    for (bool begin : {true, false}) {
      const PropertyMap *keptSet = (*kept)[i]->values(begin);
      const PropertyMap *set = (*now)[i]->values(begin);
      if (!keptSet != !set || (set && !keptSet->texts().isSharedWith(set->texts())))
        return false;
    }
  }
  return true;
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
