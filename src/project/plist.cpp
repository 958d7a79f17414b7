#include "plist.h"

#include <boost/locale/encoding_utf.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <new>

namespace Plist {

void _parseBinary(const char *bytes, int64_t size, Value &value);
void _parseXml(const char *bytes, int64_t size, Value &value);

// ---- dates

Date::Date() : time(static_cast<int64_t>(std::time(nullptr))) {}

void Date::set(int month, int day, int year, int hour, int minute, int second, bool utc)
{
  const int64_t tmYear = int64_t(year) - 1900;
  if (tmYear < std::numeric_limits<int>::min() || month == std::numeric_limits<int>::min())
    throw Error("Plist::Date::set() date invalid");
  std::tm t{};
  t.tm_year = static_cast<int>(tmYear);
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  errno = 0;
  std::time_t result;
  if (utc) {
    result = timegm(&t);
  } else {
    // Take the daylight-saving flag that the current moment has.
    const std::time_t now = std::time(nullptr);
    std::tm current{};
    localtime_r(&now, &current);
    t.tm_isdst = current.tm_isdst;
    result = std::mktime(&t);
  }
  if (result == static_cast<std::time_t>(-1) && errno != 0)
    throw Error("Plist::Date::set() date invalid");
  time = static_cast<int64_t>(result);
}

void Date::setTimeFromAppleEpoch(double seconds)
{
  const double sum = seconds + 978307200.0;
  // Outside this range the conversion to an integer has no defined result.
  if (!(sum > -9.2e18 && sum < 9.2e18))
    throw Error("Plist::Date::set() date invalid");
  time = static_cast<int64_t>(sum);
}

void Date::setFromXmlString(const std::string &text)
{
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ", &year, &month, &day, &hour, &minute,
                  &second) != 6)
    throw Error("Plist::Date::set() date invalid");
  set(month, day, year, hour, minute, second, true);
}

// ---- entry points

void readFile(const std::u16string &path, Dictionary &dictionary)
{
  const std::string localPath =
      boost::locale::conv::utf_to_utf<char>(path, boost::locale::conv::stop);
  // A folder opens as a stream whose length is nonsense; only regular files are read.
  std::error_code error;
  if (!std::filesystem::is_regular_file(localPath, error))
    throw Error("Can't open file.");
  std::ifstream stream(localPath, std::ios::in | std::ios::binary);
  if (!stream.is_open())
    throw Error("Can't open file.");
  readDictionary(stream, dictionary);
}

void readDictionary(std::istream &stream, Dictionary &dictionary)
{
  Value value;
  readStream(stream, value);
  Dictionary &parsed = boost::any_cast<Dictionary &>(value);
  dictionary.swap(parsed);
}

void readStream(std::istream &stream, Value &value)
{
  const std::streamoff start = stream.tellg();
  stream.seekg(0, std::ios::end);
  const std::streamoff end = stream.tellg();
  const int64_t size = (start < 0 || end < 0) ? 0 : int64_t(end) - int64_t(start);
  if (size < 1)
    throw Error("Can't read zero length data");
  if (size > kMaxFileSize)
    throw Error("Plist: data too large");
  std::vector<char> bytes(static_cast<size_t>(size));
  stream.seekg(0, std::ios::beg);
  stream.read(bytes.data(), size);
  if (stream.gcount() != size)
    throw Error("Plist: read error");
  readBuffer(bytes.data(), size, value);
}

void readBuffer(const char *bytes, int64_t size, Value &value)
{
  if (!bytes || size <= 0)
    throw Error("Plist: Empty plist data");
  if (size > kMaxFileSize)
    throw Error("Plist: data too large");
  Value parsed;
  if (size >= 8 && std::memcmp(bytes, "bplist00", 8) == 0)
    _parseBinary(bytes, size, parsed);
  else
    _parseXml(bytes, size, parsed);
  value.swap(parsed);
}

// ---- binary form

namespace {

constexpr int64_t kTrailerSize = 32;

const unsigned char *_getRange(const std::vector<unsigned char> &buffer, int64_t position,
                               int64_t length)
{
  const uint64_t size = buffer.size();
  if (position < 0 || length < 0 || uint64_t(position) > size ||
      uint64_t(length) > size - uint64_t(position))
    throw Error("Out of bounds getRange");
  return buffer.data() + position;
}

// Big-endian number of `count` bytes of which only the low `n` bytes count.
uint64_t _readNumber(const unsigned char *bytes, int64_t count, int n)
{
  uint64_t value = 0;
  const int64_t first = count > n ? count - n : 0;
  for (int64_t i = first; i < count; ++i)
    value = (value << 8) | bytes[i];
  return value;
}

uint64_t _readBigEndian64(const unsigned char *bytes)
{
  return _readNumber(bytes, 8, 8);
}

double _doubleFromBits(uint64_t bits)
{
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

[[noreturn]] void _exhaust(BinaryState &state, const char *message)
{
  state.exhausted = true;
  throw Error(message);
}

void _chargePayload(BinaryState &state, int64_t bytes)
{
  state.payloadBytes += bytes;
  if (state.payloadBytes > kMaxPayloadBytes)
    _exhaust(state, "Plist: too much data");
}

unsigned char _marker(BinaryState &state, int64_t objectNumber, int64_t &offset)
{
  if (objectNumber < 0 || uint64_t(objectNumber) >= state.offsetTable.size())
    throw Error("Out of bounds getRange");
  offset = state.offsetTable[size_t(objectNumber)];
  return *_getRange(state.objectData, offset, 1);
}

// The length of a data, string or container object, and where its payload starts.
int64_t _length(BinaryState &state, int64_t headerPosition, int64_t &payloadStart)
{
  const unsigned char marker = *_getRange(state.objectData, headerPosition, 1);
  const int nibble = marker & 0x0F;
  if (nibble != 0x0F) {
    payloadStart = headerPosition + 1;
    return nibble;
  }
  const unsigned char intMarker = *_getRange(state.objectData, headerPosition + 1, 1);
  if ((intMarker >> 4) != 0x1)
    throw Error("Plist: length is not an integer");
  int64_t intByteCount = 0;
  const int64_t length = parseBinaryInt(state, headerPosition + 1, intByteCount);
  payloadStart = headerPosition + 2 + intByteCount;
  return length;
}

// Marks a container as being parsed, so a reference back to it is found.
class _PathGuard
{
public:
  _PathGuard(BinaryState &state, int64_t objectNumber) : m_state(state), m_object(size_t(objectNumber))
  {
    if (m_state.onPath.size() != m_state.offsetTable.size())
      m_state.onPath.assign(m_state.offsetTable.size(), 0);
    if (m_state.onPath[m_object])
      throw Error("Plist: object refers to itself");
    if (m_state.depth >= kMaxDepth)
      _exhaust(m_state, "Plist: nesting too deep");
    m_state.onPath[m_object] = 1;
    ++m_state.depth;
  }
  ~_PathGuard()
  {
    m_state.onPath[m_object] = 0;
    --m_state.depth;
  }
  _PathGuard(const _PathGuard &) = delete;
  _PathGuard &operator=(const _PathGuard &) = delete;

private:
  BinaryState &m_state;
  size_t m_object;
};

} // namespace

void _parseBinary(const char *bytes, int64_t size, Value &value)
{
  if (size < 8 + kTrailerSize)
    throw Error("Out of bounds getRange");
  const auto *data = reinterpret_cast<const unsigned char *>(bytes);
  BinaryState state;
  const int64_t trailerStart = size - kTrailerSize;
  parseTrailer(state, std::vector<unsigned char>(data + trailerStart, data + size));
  if (state.offsetTableOffset > uint64_t(trailerStart))
    throw Error("Out of bounds getRange");
  const int64_t tableStart = int64_t(state.offsetTableOffset);
  state.objectData.assign(data, data + tableStart);
  parseOffsetTable(state, std::vector<unsigned char>(data + tableStart, data + trailerStart));
  value = parseBinaryObject(state, 0);
}

void parseTrailer(BinaryState &state, const std::vector<unsigned char> &trailer)
{
  const unsigned char *t = _getRange(trailer, 0, kTrailerSize);
  state.offsetIntSize = t[6];
  state.objectRefSize = t[7];
  state.offsetTableOffset = _readBigEndian64(t + 24);
  if (state.offsetIntSize == 0 || state.objectRefSize == 0)
    throw Error("Plist: invalid trailer");
}

void parseOffsetTable(BinaryState &state, const std::vector<unsigned char> &table)
{
  const int64_t entrySize = state.offsetIntSize;
  if (entrySize <= 0)
    throw Error("Plist: invalid trailer");
  const int64_t size = int64_t(table.size());
  if ((size + entrySize - 1) / entrySize > kMaxValues)
    throw Error("Plist: too many objects");
  state.offsetTable.clear();
  state.offsetTable.reserve(size_t((size + entrySize - 1) / entrySize));
  for (int64_t position = 0; position < size; position += entrySize)
    state.offsetTable.push_back(uint32_t(_readNumber(_getRange(table, position, entrySize), entrySize, 4)));
}

Value parseBinaryObject(BinaryState &state, int64_t objectNumber)
{
  if (state.exhausted)
    throw Error("Plist: too many values");
  if (++state.values > kMaxValues)
    _exhaust(state, "Plist: too many values");
  int64_t offset = 0;
  const unsigned char marker = _marker(state, objectNumber, offset);
  switch (marker >> 4) {
  case 0x0:
    if (marker == 0x00)
      throw Error("Plist: null byte encountered, unsure how to parse");
    if (marker == 0x08)
      return false;
    if (marker == 0x09)
      return true;
    if (marker == 0x0F)
      throw Error("Plist: fill byte encountered, unsure how to parse");
    throw Error(std::string("Plist: unknown header ") + char(marker));
  case 0x1: {
    int64_t byteCount = 0;
    return Integer(parseBinaryInt(state, offset, byteCount));
  }
  case 0x2:
    return parseBinaryReal(state, offset);
  case 0x3: {
    Date date;
    date.setTimeFromAppleEpoch(_doubleFromBits(_readBigEndian64(_getRange(state.objectData, offset + 1, 8))));
    return date;
  }
  case 0x4: {
    int64_t start = 0;
    const int64_t length = _length(state, offset, start);
    const unsigned char *bytes = _getRange(state.objectData, start, length);
    _chargePayload(state, length);
    return Data(bytes, bytes + length);
  }
  case 0x5:
    return parseBinaryString(state, offset);
  case 0x6:
    return parseBinaryUnicode(state, offset);
  case 0x8: {
    const int64_t count = (marker & 0x0F) + 1;
    return Uid(uint32_t(_readNumber(_getRange(state.objectData, offset + 1, count), count, 4)));
  }
  case 0xA:
    return parseBinaryArray(state, objectNumber);
  case 0xD:
    return parseBinaryDictionary(state, objectNumber);
  default:
    throw Error("This type is not supported");
  }
}

std::vector<uint32_t> parseContainerRefs(BinaryState &state, int64_t objectNumber)
{
  int64_t offset = 0;
  const unsigned char marker = _marker(state, objectNumber, offset);
  int64_t start = 0;
  int64_t count = _length(state, offset, start);
  const int64_t refSize = state.objectRefSize;
  if (count < 0 || refSize <= 0 || count > int64_t(state.objectData.size()) / refSize)
    throw Error("Out of bounds getRange");
  if ((marker >> 4) == 0xD)
    count *= 2;
  // Every reference costs at least one parse: refuse early what would exceed the budget.
  if (count > kMaxValues - state.values)
    _exhaust(state, "Plist: too many values");
  const unsigned char *bytes = _getRange(state.objectData, start, count * refSize);
  std::vector<uint32_t> refs(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i)
    refs[size_t(i)] = uint32_t(_readNumber(bytes + i * refSize, refSize, 4));
  return refs;
}

Array parseBinaryArray(BinaryState &state, int64_t objectNumber)
{
  const std::vector<uint32_t> refs = parseContainerRefs(state, objectNumber);
  _PathGuard guard(state, objectNumber);
  Array array;
  array.reserve(refs.size());
  for (uint32_t ref : refs) {
    // A broken element is left out; only a spent limit (or memory) ends the whole parse.
    try {
      array.push_back(parseBinaryObject(state, ref));
    } catch (const std::bad_alloc &) {
      throw;
    } catch (...) {
      if (state.exhausted)
        throw;
      if (++state.brokenElements > kMaxBrokenElements)
        _exhaust(state, "Plist: too many broken elements");
    }
  }
  return array;
}

Dictionary parseBinaryDictionary(BinaryState &state, int64_t objectNumber)
{
  const std::vector<uint32_t> refs = parseContainerRefs(state, objectNumber);
  _PathGuard guard(state, objectNumber);
  Dictionary dictionary;
  const size_t half = refs.size() / 2;
  for (size_t i = 0; i < half; ++i) {
    Value key = parseBinaryObject(state, refs[i]);
    if (std::string *name = boost::any_cast<std::string>(&key))
      dictionary[*name] = parseBinaryObject(state, refs[i + half]);
  }
  return dictionary;
}

int64_t parseBinaryInt(BinaryState &state, int64_t headerPosition, int64_t &intByteCount)
{
  const unsigned char marker = *_getRange(state.objectData, headerPosition, 1);
  intByteCount = int64_t(1) << (marker & 0x0F);
  const unsigned char *bytes = _getRange(state.objectData, headerPosition + 1, intByteCount);
  return int64_t(_readNumber(bytes, intByteCount, 8));
}

double parseBinaryReal(BinaryState &state, int64_t headerPosition)
{
  const unsigned char marker = *_getRange(state.objectData, headerPosition, 1);
  const int64_t byteCount = int64_t(1) << (marker & 0x0F);
  const unsigned char *bytes = _getRange(state.objectData, headerPosition + 1, byteCount);
  if (byteCount == 8)
    return _doubleFromBits(_readNumber(bytes, 8, 8));
  if (byteCount == 4) {
    const uint32_t bits = uint32_t(_readNumber(bytes, 4, 4));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return double(f);
  }
  return 0.0;
}

std::string parseBinaryString(BinaryState &state, int64_t headerPosition)
{
  int64_t start = 0;
  const int64_t length = _length(state, headerPosition, start);
  const unsigned char *bytes = _getRange(state.objectData, start, length);
  _chargePayload(state, length);
  return std::string(reinterpret_cast<const char *>(bytes), size_t(length));
}

std::string parseBinaryUnicode(BinaryState &state, int64_t headerPosition)
{
  int64_t start = 0;
  const int64_t units = _length(state, headerPosition, start);
  if (units < 0 || units > std::numeric_limits<int64_t>::max() / 2)
    throw Error("Out of bounds getRange");
  const unsigned char *bytes = _getRange(state.objectData, start, units * 2);
  _chargePayload(state, units * 3); // the UTF-8 form takes up to three bytes a unit
  std::u16string text(size_t(units), u'\0');
  for (int64_t i = 0; i < units; ++i)
    text[size_t(i)] = char16_t((bytes[2 * i] << 8) | bytes[2 * i + 1]);
  return boost::locale::conv::utf_to_utf<char>(text, boost::locale::conv::stop);
}

} // namespace Plist
