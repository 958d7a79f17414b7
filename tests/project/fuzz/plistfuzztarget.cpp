// One fuzz input: read it as a property list and, when it is a dictionary, convert it both
// as a project and as properties. Every failure must be an exception; anything else (a
// crash, a sanitizer report, a hang) is a fault.

#include "keyedarchiveconverter.h"
#include "plist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  Plist::Value value;
  try {
    Plist::readBuffer(reinterpret_cast<const char *>(data), int64_t(size), value);
  } catch (...) {
    return 0;
  }
  const auto *archive = boost::any_cast<Plist::Dictionary>(&value);
  if (!archive)
    return 0;
  try {
    KeyedArchive::projectXml(*archive);
  } catch (...) {
  }
  try {
    KeyedArchive::propertiesXml(*archive);
  } catch (...) {
  }
  return 0;
}
