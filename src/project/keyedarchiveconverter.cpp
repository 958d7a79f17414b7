#include "keyedarchiveconverter.h"

#include <boost/locale/encoding_utf.hpp>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <locale>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KeyedArchive {

using Plist::Array;
using Plist::Dictionary;
using Plist::Uid;
using Plist::Value;

namespace {

// Work per conversion is counted on the output stream itself (its iword slots), so a small
// archive whose objects refer to each other many times cannot make the walk endless.
constexpr long kMaxSteps = 32L * 1000 * 1000;
const int kStepsSlot = std::ios_base::xalloc();
const int kBytesSlot = std::ios_base::xalloc();

void _charge(std::ostream &out, long steps, long bytes)
{
  long &spentSteps = out.iword(kStepsSlot);
  long &spentBytes = out.iword(kBytesSlot);
  spentSteps += steps;
  spentBytes += bytes;
  if (spentSteps > kMaxSteps || spentBytes > kMaxOutputBytes)
    throw Plist::Error("Keyed archive: output too large");
}

const Value &_entry(const Dictionary &dictionary, const char *key)
{
  const auto it = dictionary.find(key);
  if (it == dictionary.end())
    throw std::out_of_range("invalid map<K, T> key");
  return it->second;
}

const Value &_object(const Array &objects, Uid uid)
{
  if (uid < 0 || size_t(uid) >= objects.size())
    throw std::out_of_range("invalid vector subscript");
  return objects[size_t(uid)];
}

const Dictionary &_dictionaryAt(const Array &objects, Uid uid)
{
  return boost::any_cast<const Dictionary &>(_object(objects, uid));
}

const Array &_arrayEntry(const Dictionary &dictionary, const char *key)
{
  return boost::any_cast<const Array &>(_entry(dictionary, key));
}

// The attributes of one element: each name once, the last value wins, in order of first
// appearance. Names that XML cannot hold and values without a text form are left out.
class _Attributes
{
public:
  void add(const std::string &name, const Value &value, std::ostream &document, const Array &objects)
  {
    // The value is written through a scratch stream that carries the document's number
    // notation (and work counters) both ways.
    std::ostringstream scratch;
    scratch.copyfmt(document);
    writeArchivedValue(value, name, scratch, objects);
    document.copyfmt(scratch);
    std::string text = scratch.str();
    _charge(document, 1, long(name.size() + text.size()));
    if (text.empty() || !isXmlName(name))
      return;
    const auto found = m_index.find(name);
    if (found != m_index.end()) {
      m_list[found->second].second = std::move(text);
      return;
    }
    m_index.emplace(name, m_list.size());
    m_list.emplace_back(name, std::move(text));
  }

  void write(std::ostream &out, int tabs) const
  {
    const std::string indent(size_t(tabs), '\t');
    for (const auto &attribute : m_list)
      out << indent << attribute.first << '=' << attribute.second << '\n';
  }

private:
  std::vector<std::pair<std::string, std::string>> m_list;
  std::unordered_map<std::string, size_t> m_index;
};

// Decodes one UTF-8 sequence at pos; false (and one byte consumed) for an invalid one.
bool _decodeUtf8(const std::string &text, size_t &pos, uint32_t &codePoint)
{
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(pos);
  int extra;
  uint32_t minimum;
  if (first < 0x80) {
    codePoint = first;
    ++pos;
    return true;
  } else if ((first & 0xE0) == 0xC0) {
    extra = 1, minimum = 0x80, codePoint = first & 0x1F;
  } else if ((first & 0xF0) == 0xE0) {
    extra = 2, minimum = 0x800, codePoint = first & 0x0F;
  } else if ((first & 0xF8) == 0xF0) {
    extra = 3, minimum = 0x10000, codePoint = first & 0x07;
  } else {
    ++pos;
    return false;
  }
  if (pos + size_t(extra) >= text.size()) {
    ++pos;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char next = byte(pos + size_t(i));
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += size_t(extra) + 1;
  return true;
}

bool _isNameStart(uint32_t c)
{
  return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool _isNameChar(uint32_t c)
{
  return _isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool _isXmlChar(uint32_t c)
{
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// Writes a number list: the reals among the referenced objects, comma separated.
void _writeNumberList(const Array &elements, std::ostream &out, const Array &objects)
{
  out << '"';
  bool first = true;
  for (const Value &element : elements) {
    _charge(out, 1, 0);
    const Value &object = _object(objects, boost::any_cast<Uid>(element));
    if (const double *number = boost::any_cast<double>(&object)) {
      if (!first)
        out << ',';
      out << *number;
      first = false;
    }
  }
  out << '"';
}

std::string _localPath(const std::u16string &path)
{
  return boost::locale::conv::utf_to_utf<char>(path, boost::locale::conv::stop);
}

// Installs the text at path through a temporary in the same folder; checks every write,
// the flush to disk and the close before the rename, and removes the temporary on failure.
bool _saveFile(const std::string &path, const std::string &text, std::string &errorText)
{
  static std::atomic<unsigned> serial{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST)
      break;
  }
  if (fd < 0) {
    errorText = "Cannot create output file";
    return false;
  }
  bool written = true;
  size_t done = 0;
  while (written && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      written = false;
    else
      done += size_t(n);
  }
  written = written && ::fsync(fd) == 0;
  written = (::close(fd) == 0) && written;
  if (!written) {
    ::unlink(temporary.c_str());
    errorText = "Cannot write output file";
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    errorText = "Cannot create output file";
    return false;
  }
  return true;
}

int _convert(const std::u16string &inputPath, const std::u16string &outputPath, std::string &errorText,
             std::string (*document)(const Dictionary &))
{
  try {
    Dictionary archive;
    Plist::readFile(inputPath, archive);
    const std::string text = document(archive);
    return _saveFile(_localPath(outputPath), text, errorText) ? 0 : 1;
  } catch (const Plist::Error &error) {
    errorText = error.what();
  } catch (const std::exception &error) {
    errorText = error.what();
  } catch (...) {
    errorText = "Exception occurs";
  }
  return 1;
}

// The archived root object, found through "$top"'s "root" UID.
const Dictionary &_rootObject(const Dictionary &archive, const Array *&objects)
{
  objects = &_arrayEntry(archive, "$objects");
  const auto &top = boost::any_cast<const Dictionary &>(_entry(archive, "$top"));
  const auto root = top.find("root");
  if (root == top.end())
    throw boost::bad_any_cast();
  return _dictionaryAt(*objects, boost::any_cast<Uid>(root->second));
}

std::ostringstream _documentStream()
{
  std::ostringstream out;
  out.imbue(std::locale::classic()); // numbers in files never follow the user's locale
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  return out;
}

// The name, key UID and value UID of each position present in both arrays.
template <typename Visit>
void _forEachEntry(const Dictionary &object, const Array &objects, std::ostream &out, Visit visit)
{
  const Array &keys = _arrayEntry(object, "NS.keys");
  const Array &values = _arrayEntry(object, "NS.objects");
  const size_t count = std::min(keys.size(), values.size());
  for (size_t i = 0; i < count; ++i) {
    _charge(out, 1, 0);
    const Uid keyUid = boost::any_cast<Uid>(keys[i]);
    const Uid valueUid = boost::any_cast<Uid>(values[i]);
    visit(boost::any_cast<const std::string &>(_object(objects, keyUid)), valueUid);
  }
}

} // namespace

std::string projectXml(const Dictionary &archive)
{
  const Array *objects = nullptr;
  const Dictionary &root = _rootObject(archive, objects);
  const Array &segments = _arrayEntry(root, "NS.objects");
  std::ostringstream out = _documentStream();
  out << "<Project>\n";
  for (const Value &segment : segments)
    writeSegmentElement(*objects, boost::any_cast<Uid>(segment), out);
  out << "</Project>\n";
  return out.str();
}

std::string propertiesXml(const Dictionary &archive)
{
  const Array *objects = nullptr;
  const Dictionary &root = _rootObject(archive, objects);
  // Both arrays must be there even when one is empty.
  _arrayEntry(root, "NS.keys");
  _arrayEntry(root, "NS.objects");
  std::ostringstream out = _documentStream();
  _Attributes attributes;
  _forEachEntry(root, *objects, out, [&](const std::string &name, Uid valueUid) {
    attributes.add(name, _object(*objects, valueUid), out, *objects);
  });
  out << "<Properties\n";
  attributes.write(out, 1);
  out << "/>\n";
  return out.str();
}

void writeSegmentElement(const Array &objects, Uid uid, std::ostream &out)
{
  const Dictionary &object = _dictionaryAt(objects, uid);
  const Array &keys = _arrayEntry(object, "NS.keys");
  _arrayEntry(object, "NS.objects");
  _charge(out, 1, 0);
  out << "\t<Segment\n";
  if (keys.empty()) {
    out << "\t/>\n";
    return;
  }
  _Attributes attributes;
  std::optional<Uid> transitions;
  _forEachEntry(object, objects, out, [&](const std::string &name, Uid valueUid) {
    if (name == "Transition")
      transitions = valueUid;
    else
      attributes.add(name, _object(objects, valueUid), out, objects);
  });
  attributes.write(out, 2);
  if (!transitions) {
    out << "\t/>\n";
    return;
  }
  out << "\t>\n";
  const Array &list = _arrayEntry(_dictionaryAt(objects, *transitions), "NS.objects");
  out << "\t\t<Transitions>\n";
  for (const Value &transition : list)
    writeTransitionElement(objects, boost::any_cast<Uid>(transition), out);
  out << "\t\t</Transitions>\n";
  out << "\t</Segment>\n";
}

void writeTransitionElement(const Array &objects, Uid uid, std::ostream &out)
{
  const Dictionary &object = _dictionaryAt(objects, uid);
  _charge(out, 1, 0);
  std::optional<Uid> begin, end;
  _Attributes attributes;
  _forEachEntry(object, objects, out, [&](const std::string &name, Uid valueUid) {
    if (name == "TBegin")
      begin = valueUid;
    else if (name == "TEnd")
      end = valueUid;
    else
      attributes.add(name, _object(objects, valueUid), out, objects);
  });
  out << "\t\t\t<Transition\n";
  attributes.write(out, 4);
  out << "\t\t\t>\n";
  if (begin)
    writeTransitionEndElement(objects, *begin, out, true);
  if (end)
    writeTransitionEndElement(objects, *end, out, false);
  out << "\t\t\t</Transition>\n";
}

void writeTransitionEndElement(const Array &objects, Uid uid, std::ostream &out, bool begin)
{
  const Dictionary &object = _dictionaryAt(objects, uid);
  _charge(out, 1, 0);
  _Attributes attributes;
  _forEachEntry(object, objects, out, [&](const std::string &name, Uid valueUid) {
    attributes.add(name, _object(objects, valueUid), out, objects);
  });
  out << (begin ? "\t\t\t\t<TBegin\n" : "\t\t\t\t<TEnd\n");
  attributes.write(out, 5);
  out << "\t\t\t\t/>\n";
}

void writeArchivedValue(const Value &value, const std::string &name, std::ostream &out, const Array &objects)
{
  // Boxed values (rectangles, sizes, points, strings, relative paths) are unwrapped until a
  // plain value is reached; a reference back to an object already seen ends in an error.
  static const char *const kReferenceKeys[] = {"NS.rectval", "NS.sizeval", "NS.string", "NS.pointval",
                                               "NS.relative"};
  std::set<Uid> seen;
  const Value *current = &value;
  for (;;) {
    _charge(out, 1, 0);
    if (const auto *text = boost::any_cast<std::string>(current)) {
      std::string decoded = name == "URL" ? percentDecode(*text) : *text;
      out << '"' << escapeAttribute(xmlSafeText(decoded)) << '"';
      return;
    }
    if (const auto *number = boost::any_cast<double>(current)) {
      out << '"' << std::fixed << *number << '"';
      return;
    }
    if (const auto *flag = boost::any_cast<bool>(current)) {
      out << '"' << (*flag ? '1' : '0') << '"';
      return;
    }
    if (const auto *integer = boost::any_cast<Plist::Integer>(current)) {
      out << '"' << *integer << '"';
      return;
    }
    const auto *dictionary = boost::any_cast<Dictionary>(current);
    if (!dictionary)
      return;
    const Value *next = nullptr;
    for (const char *key : kReferenceKeys) {
      const auto found = dictionary->find(key);
      if (found == dictionary->end())
        continue;
      if (std::strcmp(key, "NS.string") == 0) {
        next = &found->second;
      } else {
        const Uid uid = boost::any_cast<Uid>(found->second);
        if (!seen.insert(uid).second)
          throw Plist::Error("Keyed archive: value refers back to itself");
        next = &_object(objects, uid);
      }
      break;
    }
    if (next) {
      current = next;
      continue;
    }
    const auto list = dictionary->find("NS.objects");
    if (list != dictionary->end())
      _writeNumberList(boost::any_cast<const Array &>(list->second), out, objects);
    return;
  }
}

std::string &replaceAll(std::string &text, const std::string &from, const std::string &to)
{
  if (from.empty())
    return text;
  size_t position = 0;
  while ((position = text.find(from, position)) != std::string::npos) {
    text.replace(position, from.size(), to);
    position += to.size();
  }
  return text;
}

std::string percentDecode(const std::string &text)
{
  std::string decoded;
  decoded.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%' || i + 2 >= text.size()) {
      decoded += text[i++];
      continue;
    }
    // The two characters are read as the C library's "%x" reads them: blanks, a sign, digits.
    const char pair[3] = {text[i + 1], text[i + 2], '\0'};
    const char *p = pair;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
      ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
      negative = *p++ == '-';
    unsigned value = 0;
    bool any = false;
    for (; *p; ++p) {
      const int digit = (*p >= '0' && *p <= '9') ? *p - '0'
                        : (*p >= 'a' && *p <= 'f') ? *p - 'a' + 10
                        : (*p >= 'A' && *p <= 'F') ? *p - 'A' + 10
                                                   : -1;
      if (digit < 0)
        break;
      value = value * 16 + unsigned(digit);
      any = true;
    }
    if (!any) {
      // No number: the three characters stay as they are.
      decoded.append(text, i, 3);
    } else {
      decoded += char((negative ? 0u - value : value) & 0xFF);
    }
    i += 3;
  }
  return decoded;
}

bool isXmlName(const std::string &name)
{
  if (name.empty() || name == "xmlns")
    return false;
  size_t pos = 0;
  bool first = true;
  while (pos < name.size()) {
    uint32_t c = 0;
    if (!_decodeUtf8(name, pos, c))
      return false;
    if (first ? !_isNameStart(c) : !_isNameChar(c))
      return false;
    first = false;
  }
  return true;
}

std::string xmlSafeText(const std::string &text)
{
  std::string safe;
  safe.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    uint32_t c = 0;
    if (!_decodeUtf8(text, pos, c))
      safe += "\xEF\xBF\xBD"; // U+FFFD
    else if (_isXmlChar(c))
      safe.append(text, start, pos - start);
  }
  return safe;
}

std::string escapeAttribute(std::string text)
{
  replaceAll(text, "&", "&amp;");
  replaceAll(text, ">", "&gt;");
  replaceAll(text, "<", "&lt;");
  replaceAll(text, "\"", "&quot;");
  replaceAll(text, "'", "&apos;");
  replaceAll(text, "\n", "&#10;");
  replaceAll(text, "\r", "&#13;");
  replaceAll(text, "\t", "&#9;");
  return text;
}

int writeProjectXml(const std::u16string &inputPath, const std::u16string &outputPath, std::string &errorText)
{
  return _convert(inputPath, outputPath, errorText, &projectXml);
}

int writePropertiesXml(const std::u16string &inputPath, const std::u16string &outputPath,
                       std::string &errorText)
{
  return _convert(inputPath, outputPath, errorText, &propertiesXml);
}

} // namespace KeyedArchive

namespace {

std::u16string _text(const char16_t *text)
{
  return text ? std::u16string(text) : std::u16string();
}

int _finish(int result, const std::string &text, char *errorText, int errorTextLength)
{
  if (!text.empty() && errorText && errorTextLength > 0) {
    const size_t n = text.size() < size_t(errorTextLength) ? text.size() : size_t(errorTextLength) - 1;
    std::memcpy(errorText, text.data(), n);
    errorText[n] = '\0';
  }
  return result;
}

} // namespace

int KeyedArchiveConverter::convertProject(const char16_t *inputPath, const char16_t *outputPath,
                                          char *errorText, int errorTextLength)
{
  std::string text;
  const int result = KeyedArchive::writeProjectXml(_text(inputPath), _text(outputPath), text);
  return _finish(result, text, errorText, errorTextLength);
}

int KeyedArchiveConverter::convertProperties(const char16_t *inputPath, const char16_t *outputPath,
                                             char *errorText, int errorTextLength)
{
  std::string text;
  const int result = KeyedArchive::writePropertiesXml(_text(inputPath), _text(outputPath), text);
  return _finish(result, text, errorText, errorTextLength);
}
