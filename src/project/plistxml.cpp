// The XML form of property lists.

#include "plist.h"

#include <pugixml.hpp>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace Plist {

namespace {

struct _XmlState
{
  int depth = 0;
  int64_t values = 0;
};

Value _parseXmlNode(const pugi::xml_node &node, _XmlState &state);

// Numbers in files are read in the C locale, whatever the user's locale.
locale_t _cLocale()
{
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return locale;
}

const char *_text(const pugi::xml_node &node)
{
  return node.first_child().value();
}

Dictionary _parseXmlDictionary(const pugi::xml_node &node, _XmlState &state)
{
  Dictionary dictionary;
  pugi::xml_node child = node.first_child();
  while (child) {
    if (std::strcmp(child.name(), "key") != 0)
      throw Error("Plist: XML dictionary key expected but not found");
    const std::string key = _text(child);
    child = child.next_sibling();
    if (!child)
      throw Error("Plist: XML dictionary value expected for key " + key + "but not found");
    if (std::strcmp(child.name(), "key") == 0)
      throw Error("Plist: XML dictionary value expected for key " + key + "but found another key node");
    dictionary[key] = _parseXmlNode(child, state);
    child = child.next_sibling();
  }
  return dictionary;
}

Value _parseXmlNode(const pugi::xml_node &node, _XmlState &state)
{
  if (++state.values > kMaxValues)
    throw Error("Plist: too many values");
  const char *name = node.name();
  const bool container = std::strcmp(name, "dict") == 0 || std::strcmp(name, "array") == 0;
  if (container && state.depth >= kMaxDepth)
    throw Error("Plist: nesting too deep");
  if (std::strcmp(name, "dict") == 0) {
    ++state.depth;
    Dictionary dictionary = _parseXmlDictionary(node, state);
    --state.depth;
    return dictionary;
  }
  if (std::strcmp(name, "array") == 0) {
    ++state.depth;
    Array array;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
      array.push_back(_parseXmlNode(child, state));
    --state.depth;
    return array;
  }
  if (std::strcmp(name, "string") == 0)
    return std::string(_text(node));
  if (std::strcmp(name, "integer") == 0)
    return Integer(std::strtoll(_text(node), nullptr, 10));
  if (std::strcmp(name, "real") == 0)
    return strtod_l(_text(node), nullptr, _cLocale());
  if (std::strcmp(name, "false") == 0)
    return false;
  if (std::strcmp(name, "true") == 0)
    return true;
  if (std::strcmp(name, "data") == 0) {
    const char *text = _text(node);
    Data data;
    base64Decode(text, text + std::strlen(text), data);
    return data;
  }
  if (std::strcmp(name, "date") == 0) {
    Date date;
    date.setFromXmlString(_text(node));
    return date;
  }
  throw Error(std::string("Plist: XML unknown node type ") + name);
}

} // namespace

void _parseXml(const char *bytes, int64_t size, Value &value)
{
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_buffer(bytes, size_t(size));
  if (!result)
    throw Error(std::string("Plist: XML parsed with error ") + result.description());
  value = parseXmlNode(document.child("plist").first_child());
}

Value parseXmlNode(const pugi::xml_node &node)
{
  _XmlState state;
  return _parseXmlNode(node, state);
}

Dictionary parseXmlDictionary(const pugi::xml_node &node)
{
  _XmlState state;
  return _parseXmlDictionary(node, state);
}

int base64Value(char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  if (c == '=')
    return -1;
  return -2;
}

void base64Decode(const char *begin, const char *end, Data &data)
{
  int group[4] = {0, 0, 0, 0};
  int count = 0;
  for (const char *p = begin; p != end; ++p) {
    const int v = base64Value(*p);
    if (v == -2)
      continue;
    if (v == -1) {
      if (count == 2) {
        data.push_back(char((group[0] << 2) | (group[1] >> 4)));
      } else if (count == 3) {
        data.push_back(char((group[0] << 2) | (group[1] >> 4)));
        data.push_back(char(((group[1] & 0x0F) << 4) | (group[2] >> 2)));
      }
      return;
    }
    group[count++] = v;
    if (count == 4) {
      data.push_back(char((group[0] << 2) | (group[1] >> 4)));
      data.push_back(char(((group[1] & 0x0F) << 4) | (group[2] >> 2)));
      data.push_back(char(((group[2] & 0x03) << 6) | group[3]));
      count = 0;
    }
  }
}

} // namespace Plist
