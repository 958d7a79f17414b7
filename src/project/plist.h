#pragma once
// Reader of property lists in the binary ("bplist00") and XML forms. The files come from
// archives made on other machines, so every byte is treated as hostile: all ranges are
// checked, and work, nesting and memory are capped. Every failure is an exception.

#include <boost/any.hpp>

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace pugi {
class xml_node;
}

namespace Plist {

using Value = boost::any;
using Dictionary = std::map<std::string, Value>;
using Array = std::vector<Value>;
using Data = std::vector<char>;
using Integer = int64_t;
// A keyed-archive reference: a kind of its own, never mixed with Integer.
using Uid = int32_t;

class Error : public std::runtime_error
{
public:
  explicit Error(const char *message) : std::runtime_error(message) {}
  explicit Error(const std::string &message) : std::runtime_error(message) {}
};

// Seconds since 1970-01-01T00:00:00Z. A new date holds the current time.
class Date
{
public:
  Date();
  explicit Date(int64_t seconds) : time(seconds) {}

  void set(int month, int day, int year, int hour, int minute, int second, bool utc);
  void setTimeFromAppleEpoch(double seconds);
  void setFromXmlString(const std::string &text);

  int64_t time = 0;
};

// Limits against hostile input.
constexpr int64_t kMaxFileSize = 64 * 1024 * 1024;
constexpr int kMaxDepth = 256;
constexpr int64_t kMaxValues = 1'000'000;              // values produced (or attempted) per parse
constexpr int64_t kMaxPayloadBytes = 128 * 1024 * 1024; // string and data bytes per parse
constexpr int64_t kMaxBrokenElements = 10'000;          // array elements left out per parse

// Reading entry points. The caller's dictionary is replaced only after a complete parse.
void readFile(const std::u16string &path, Dictionary &dictionary);
void readDictionary(std::istream &stream, Dictionary &dictionary);
void readStream(std::istream &stream, Value &value);
void readBuffer(const char *bytes, int64_t size, Value &value);

// Working record of one binary parse.
struct BinaryState
{
  std::vector<uint32_t> offsetTable;
  std::vector<unsigned char> objectData; // file bytes 0 .. offset table offset
  uint32_t offsetIntSize = 0;
  uint64_t offsetTableOffset = 0;
  uint32_t objectRefSize = 0;

  // Guards: objects on the current path (cycles), nesting depth, work done.
  std::vector<char> onPath;
  int depth = 0;
  int64_t values = 0;
  int64_t payloadBytes = 0;
  int64_t brokenElements = 0;
  bool exhausted = false; // a limit was hit: the whole parse fails, no array swallows it
};

void parseTrailer(BinaryState &state, const std::vector<unsigned char> &trailer);
void parseOffsetTable(BinaryState &state, const std::vector<unsigned char> &table);
Value parseBinaryObject(BinaryState &state, int64_t objectNumber);
Array parseBinaryArray(BinaryState &state, int64_t objectNumber);
Dictionary parseBinaryDictionary(BinaryState &state, int64_t objectNumber);
std::vector<uint32_t> parseContainerRefs(BinaryState &state, int64_t objectNumber);
int64_t parseBinaryInt(BinaryState &state, int64_t headerPosition, int64_t &intByteCount);
double parseBinaryReal(BinaryState &state, int64_t headerPosition);
std::string parseBinaryString(BinaryState &state, int64_t headerPosition);
std::string parseBinaryUnicode(BinaryState &state, int64_t headerPosition);

Value parseXmlNode(const pugi::xml_node &node);
Dictionary parseXmlDictionary(const pugi::xml_node &node);
void base64Decode(const char *begin, const char *end, Data &data);
int base64Value(char c);

} // namespace Plist
