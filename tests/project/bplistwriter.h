#pragma once
// Test-side writer of binary property lists and keyed archives, and the fixtures built with
// it, so fixtures are made in the test rather than stored. Objects are byte strings; the file
// puts them in number order, object 0 first (the reader always starts there).

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class BplistWriter
{
public:
  // Trailer fields; tests change them to build broken files.
  int offsetIntSize = 4;
  int objectRefSize = 2;
  uint64_t topObject = 0;
  int64_t offsetTableOffsetDelta = 0; // added to the true offset table offset

  int add(std::string bytes)
  {
    m_objects.push_back(std::move(bytes));
    return int(m_objects.size()) - 1;
  }
  int reserve() { return add(std::string()); }
  void set(int object, std::string bytes) { m_objects[size_t(object)] = std::move(bytes); }

  static std::string bigEndian(uint64_t value, int bytes)
  {
    std::string out(size_t(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
      out[size_t(i)] = char(value & 0xFF);
    return out;
  }
  // Marker with a length: in the low nibble, or as an integer object after 0xF.
  static std::string header(int type, uint64_t length)
  {
    if (length < 15)
      return std::string(1, char((type << 4) | int(length)));
    if (length < 0x100)
      return std::string(1, char((type << 4) | 0x0F)) + "\x10" + bigEndian(length, 1);
    if (length < 0x10000)
      return std::string(1, char((type << 4) | 0x0F)) + "\x11" + bigEndian(length, 2);
    return std::string(1, char((type << 4) | 0x0F)) + "\x13" + bigEndian(length, 8);
  }
  std::string ref(int object) const { return bigEndian(uint64_t(object), objectRefSize); }

  int integer(int64_t value) { return add("\x13" + bigEndian(uint64_t(value), 8)); }
  int real(double value)
  {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return add("\x23" + bigEndian(bits, 8));
  }
  int boolean(bool value) { return add(value ? "\x09" : "\x08"); }
  int string(const std::string &text) { return add(header(0x5, text.size()) + text); }
  int unicode(const std::u16string &text)
  {
    std::string bytes = header(0x6, text.size());
    for (char16_t unit : text)
      bytes += bigEndian(unit, 2);
    return add(bytes);
  }
  int data(const std::string &bytes) { return add(header(0x4, bytes.size()) + bytes); }
  int uid(uint32_t value) { return add("\x83" + bigEndian(value, 4)); }
  int date(double appleSeconds)
  {
    uint64_t bits;
    std::memcpy(&bits, &appleSeconds, 8);
    return add("\x33" + bigEndian(bits, 8));
  }
  std::string arrayBytes(const std::vector<int> &refs) const
  {
    std::string bytes = header(0xA, refs.size());
    for (int r : refs)
      bytes += ref(r);
    return bytes;
  }
  int array(const std::vector<int> &refs) { return add(arrayBytes(refs)); }
  std::string dictBytes(const std::vector<int> &keys, const std::vector<int> &values) const
  {
    std::string bytes = header(0xD, keys.size());
    for (int k : keys)
      bytes += ref(k);
    for (int v : values)
      bytes += ref(v);
    return bytes;
  }
  // A dictionary with string keys; the key strings become objects of their own.
  std::string dictBytes(const std::vector<std::pair<std::string, int>> &entries)
  {
    std::vector<int> keys, values;
    for (const auto &entry : entries) {
      keys.push_back(string(entry.first));
      values.push_back(entry.second);
    }
    return dictBytes(keys, values);
  }
  int dict(const std::vector<std::pair<std::string, int>> &entries) { return add(dictBytes(entries)); }

  std::string build() const
  {
    std::string file = "bplist00";
    std::vector<uint64_t> offsets;
    for (const std::string &object : m_objects) {
      offsets.push_back(file.size());
      file += object;
    }
    const uint64_t tableOffset = file.size();
    for (uint64_t offset : offsets)
      file += bigEndian(offset, offsetIntSize);
    file += std::string(6, '\0');
    file += char(offsetIntSize);
    file += char(objectRefSize);
    file += bigEndian(m_objects.size(), 8);
    file += bigEndian(topObject, 8);
    file += bigEndian(uint64_t(int64_t(tableOffset) + offsetTableOffsetDelta), 8);
    return file;
  }

private:
  std::vector<std::string> m_objects;
};

// A keyed archive: "$objects" holds the archived objects, UIDs index into it; element 0 is
// "$null" as archivers write it.
class KeyedArchiveWriter
{
public:
  using Entries = std::vector<std::pair<std::string, int32_t>>;

  KeyedArchiveWriter()
  {
    m_root = w.reserve();
    m_objects.push_back(w.string("$null"));
  }

  int32_t nextUid() const { return int32_t(m_objects.size()); }
  int32_t addObject(int plistObject)
  {
    m_objects.push_back(plistObject);
    return int32_t(m_objects.size()) - 1;
  }
  int32_t string(const std::string &text) { return addObject(w.string(text)); }
  int32_t unicode(const std::u16string &text) { return addObject(w.unicode(text)); }
  int32_t real(double value) { return addObject(w.real(value)); }
  int32_t integer(int64_t value) { return addObject(w.integer(value)); }
  int32_t boolean(bool value) { return addObject(w.boolean(value)); }
  int32_t data(const std::string &bytes) { return addObject(w.data(bytes)); }
  // An archived dictionary: "NS.keys" and "NS.objects" arrays of UIDs.
  int32_t dictionary(const Entries &entries)
  {
    std::vector<int32_t> keys, values;
    for (const auto &entry : entries) {
      keys.push_back(string(entry.first));
      values.push_back(entry.second);
    }
    return dictionaryOfUids(keys, values);
  }
  int32_t dictionaryOfUids(const std::vector<int32_t> &keys, const std::vector<int32_t> &values)
  {
    return addObject(w.dict({{"NS.keys", uidArray(keys)}, {"NS.objects", uidArray(values)}, {"$class", w.uid(0)}}));
  }
  // An archived array: "NS.objects" only.
  int32_t array(const std::vector<int32_t> &elements)
  {
    return addObject(w.dict({{"NS.objects", uidArray(elements)}, {"$class", w.uid(0)}}));
  }
  // A boxed value such as {"NS.sizeval": UID}.
  int32_t boxed(const std::string &key, int32_t target) { return addObject(w.dict({{key, w.uid(uint32_t(target))}})); }

  int uidArray(const std::vector<int32_t> &uids)
  {
    std::vector<int> refs;
    for (int32_t u : uids)
      refs.push_back(w.uid(uint32_t(u)));
    return w.array(refs);
  }

  std::string build(int32_t root)
  {
    const int top = w.dict({{"root", w.uid(uint32_t(root))}});
    const int objects = w.array(m_objects);
    w.set(m_root, w.dictBytes({{"$archiver", w.string("NSKeyedArchiver")},
                               {"$objects", objects},
                               {"$top", top},
                               {"$version", w.integer(100000)}}));
    return w.build();
  }

  BplistWriter w;

private:
  int m_root = 0;
  std::vector<int> m_objects;
};

namespace Fixtures {

// A realistic project: a clip with boxed values and three transitions, a segment without
// keys, and a text segment with an empty transition list.
inline std::string realisticProject()
{
  KeyedArchiveWriter a;
  const int32_t t1 = a.dictionary({{"TStart", a.real(0)},
                                   {"TDuration", a.real(0.25)},
                                   {"TEasingFunction", a.integer(4)},
                                   {"TBegin", a.dictionary({{"Opacity", a.real(0)},
                                                            {"Position", a.boxed("NS.pointval", a.string("{1, 2}"))}})},
                                   {"TEnd", a.dictionary({{"Opacity", a.real(1)}})}});
  const int32_t t2 = a.dictionary({{"TStart", a.real(0.5)}, {"TEnd", a.dictionary({{"Scale", a.integer(2)}})}});
  const int32_t t3 = a.dictionary({{"TStart", a.real(0.75)}});
  const int32_t clip = a.dictionary(
      {{"Type", a.string("Video")},
       {"URL", a.string("file:///Movies/My%20Clip.mov")},
       {"Title", a.string("a<b & c \"q\" 'x'\nline2\r\tend &amp;")},
       {"Duration", a.real(2.5)},
       {"Muted", a.boolean(true)},
       {"Volume", a.integer(-3)},
       {"FrameSize", a.boxed("NS.sizeval", a.string("{3840, 2160}"))},
       {"Crop", a.boxed("NS.rectval", a.string("{{0, 0}, {10, 20}}"))},
       {"Anchor", a.boxed("NS.pointval", a.string("{0.5, 0.5}"))},
       {"Folder", a.boxed("NS.relative", a.string("Media"))},
       {"Name", a.addObject(a.w.dict({{"NS.string", a.w.string("Clip")}}))},
       {"Color", a.array({a.real(1), a.real(0.25), a.integer(7), a.real(0.5)})},
       {"Transition", a.array({t1, t2, t3})}});
  const int32_t empty = a.dictionary({});
  const int32_t text = a.dictionary({{"Type", a.string("Text")},
                                     {"Text", a.unicode(u"Gr\u00FC\u00DFe \U0001F600")},
                                     {"Transition", a.array({})}});
  return a.build(a.array({clip, empty, text}));
}

// Number lists before the first real use the short notation, after it fixed notation.
inline std::string propertiesArchive()
{
  KeyedArchiveWriter a;
  const int32_t list = a.array({a.real(0.5), a.real(1)});
  return a.build(a.dictionary({{"BackgroundColor", list},
                               {"FrameRate", a.real(30)},
                               {"TintColor", list},
                               {"Name", a.string("Holiday")}}));
}

} // namespace Fixtures
