#include "webviewbridge.h"

#include <cstring>

namespace {

constexpr size_t kBroken = std::string::npos;

bool _isSeparator(unsigned char c)
{
  return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',' || c == ':';
}

// Numbers and the words true, false and null. '.', '+' and 'E' too, so that a fraction or
// an exponent among a call's arguments does not make the whole message unreadable.
bool _isLiteral(unsigned char c)
{
  return (c >= '0' && c <= '9') || (c != 0 && std::strchr("-+.Etruefalsn", c));
}

// Length of the well-formed UTF-8 sequence of two or more bytes at `i`, 0 when broken
// (overlong forms and surrogates included).
size_t _utf8Length(const std::string &text, size_t i)
{
  const unsigned char c = text[i];
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    low = c == 0xE0 ? 0xA0 : 0x80;
    high = c == 0xED ? 0x9F : 0xBF;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    low = c == 0xF0 ? 0x90 : 0x80;
    high = c == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + length > text.size())
    return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char b = text[i + k];
    if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
      return 0;
  }
  return length;
}

// Index just past the closing quote of the string that opens at `begin`; kBroken for a bad
// escape or byte, or a text that ends inside the string. \u is let through (see _unescape).
size_t _skipString(const std::string &text, size_t begin)
{
  size_t i = begin + 1;
  while (i < text.size()) {
    const unsigned char c = text[i];
    if (c == '"')
      return i + 1;
    if (c == '\\') {
      if (i + 1 >= text.size() || text[i + 1] == 0 || !std::strchr("\"\\/bfnrtu", text[i + 1]))
        return kBroken;
      i += 2;
    } else if (c < 0x20) {
      return kBroken;
    } else if (c < 0x80) {
      ++i;
    } else {
      const size_t length = _utf8Length(text, i);
      if (!length)
        return kBroken;
      i += length;
    }
  }
  return kBroken;
}

// The contents of a string token (quotes included) with its escapes resolved. \u is not
// decoded: such a value counts as unreadable.
bool _unescape(const std::string &quoted, std::string *out)
{
  out->clear();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '\\') {
      switch (quoted[++i]) {
      case 'b': c = '\b'; break;
      case 'f': c = '\f'; break;
      case 'n': c = '\n'; break;
      case 'r': c = '\r'; break;
      case 't': c = '\t'; break;
      case 'u': return false;
      default: c = quoted[i]; break; // " \ and /
      }
    }
    out->push_back(c);
  }
  return true;
}

} // namespace

namespace WebViewBridge {

std::string extract(const std::string &json, const std::string &key, int index)
{
  int depth = 0;
  char container = 0;
  bool keyTurn = true, keyMatched = false;
  int position = 0;
  size_t nestedBegin = 0, foundBegin = kBroken, foundEnd = 0;

  // A whole token (or nested value) directly inside the outermost object or array.
  auto member = [&](size_t begin, size_t end) {
    if (container == '{' && keyTurn) {
      keyMatched = !key.empty() && end - begin == key.size() + 2 && json[begin] == '"' &&
                   json.compare(begin + 1, key.size(), key) == 0;
      keyTurn = false;
      return;
    }
    const bool wanted = key.empty() ? position == index : keyMatched;
    if (wanted && foundBegin == kBroken) {
      foundBegin = begin;
      foundEnd = end;
    }
    ++position;
    keyTurn = true;
    keyMatched = false;
  };

  // The whole text is walked, so a broken byte anywhere rejects the message.
  size_t i = 0;
  while (i < json.size()) {
    const unsigned char c = json[i];
    if (_isSeparator(c)) {
      ++i;
    } else if (c == '{' || c == '[') {
      if (depth == 0) {
        container = c;
        keyTurn = true;
      } else if (depth == 1) {
        nestedBegin = i;
      }
      ++depth;
      ++i;
    } else if (c == '}' || c == ']') {
      if (depth == 0)
        return {};
      --depth;
      ++i;
      if (depth == 1)
        member(nestedBegin, i);
    } else if (c == '"') {
      const size_t end = _skipString(json, i);
      if (end == kBroken)
        return {};
      if (depth == 1)
        member(i, end);
      i = end;
    } else if (_isLiteral(c)) {
      size_t end = i;
      while (end < json.size() && _isLiteral(json[end]))
        ++end;
      if (depth == 1)
        member(i, end);
      i = end;
    } else {
      return {};
    }
  }
  if (depth != 0 || foundBegin == kBroken)
    return {};

  const std::string value = json.substr(foundBegin, foundEnd - foundBegin);
  if (value[0] != '"')
    return value;
  std::string text;
  return _unescape(value, &text) ? text : std::string();
}

bool isBindableName(const std::string &name)
{
  if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
    return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
    if (!ok)
      return false;
  }
  return true;
}

std::string bindScript(const std::string &name)
{
  return "(function() { var name = '" + name +
         "';"
         " var rpc = window._rpc = window._rpc || {nextSeq: 1};"
         " window[name] = function() {"
         "  var seq = rpc.nextSeq++;"
         "  var promise = new Promise(function(resolve, reject) {"
         "   rpc[seq] = {resolve: resolve, reject: reject};"
         "  });"
         "  window.nativeBridge.invoke(JSON.stringify({"
         "   id: seq, method: name, params: Array.prototype.slice.call(arguments)}));"
         "  return promise;"
         " };"
         "})()";
}

std::string resolveScript(const std::string &sequence, int status, const std::string &result)
{
  const char *settle = status == 0 ? ".resolve(" : ".reject(";
  return "window._rpc[" + sequence + "]" + settle + result + "); delete window._rpc[" + sequence + "]";
}

bool isSequenceId(const std::string &sequence)
{
  if (sequence.empty() || sequence.size() > 15)
    return false;
  for (const char c : sequence)
    if (c < '0' || c > '9')
      return false;
  return true;
}

} // namespace WebViewBridge
