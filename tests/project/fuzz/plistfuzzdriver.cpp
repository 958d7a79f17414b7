// Deterministic mutation run for CI: byte flips, truncations, splices and trailer edits of
// valid property lists, each input under a time limit. A crash or sanitizer report ends the
// run; rerun one input with "--only N" to reproduce it.

#include "../bplistwriter.h"
#include "keyedarchiveconverter.h"
#include "plist.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

volatile sig_atomic_t g_input = -1;

void onTimeout(int)
{
  char message[96];
  const int n = std::snprintf(message, sizeof message, "plist fuzz: input %d took too long\n", int(g_input));
  if (n > 0)
    (void)!::write(2, message, size_t(n));
  std::_Exit(3);
}

std::vector<std::string> seeds()
{
  std::vector<std::string> list;
  list.push_back(Fixtures::realisticProject());
  list.push_back(Fixtures::propertiesArchive());
  BplistWriter w;
  const int root = w.reserve();
  w.set(root, w.dictBytes({{"a", w.array({w.integer(-1), w.real(0.5), w.date(3.0), w.data("xy")})},
                           {"b", w.unicode(u"\u00E9\U0001F600")},
                           {"c", w.boolean(true)}}));
  list.push_back(w.build());
  list.push_back("<?xml version=\"1.0\"?><plist><dict><key>$objects</key><array><string>$null</string>"
                 "<real>2.5</real><data>SGVsbG8=</data><date>2001-01-01T00:00:00Z</date></array>"
                 "<key>$top</key><dict><key>root</key><integer>1</integer></dict></dict></plist>");
  return list;
}

// How far an input gets: 0 rejected by the reader, 1 read, 2 converted as a project.
int depthReached(const std::string &input)
{
  try {
    Plist::Value value;
    Plist::readBuffer(input.data(), int64_t(input.size()), value);
    KeyedArchive::projectXml(boost::any_cast<const Plist::Dictionary &>(value));
    return 2;
  } catch (const Plist::Error &) {
    return 0;
  } catch (...) {
    return 1;
  }
}

std::string mutate(const std::vector<std::string> &seeds, std::mt19937 &random)
{
  const auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(random() % n); };
  std::string input = seeds[pick(seeds.size())];
  // Mostly edits that keep the file's layout, so many inputs reach the converter.
  static const int kinds[] = {0, 0, 0, 0, 1, 1, 1, 2, 3, 4, 5, 6};
  const int rounds = 1 + int(pick(2));
  for (int r = 0; r < rounds && !input.empty(); ++r) {
    switch (kinds[pick(sizeof kinds / sizeof kinds[0])]) {
    case 0: // flip bits
      for (int i = 0, n = 1 + int(pick(3)); i < n; ++i)
        input[pick(input.size())] ^= char(1 << pick(8));
      break;
    case 1: // set a byte to a telling value
    {
      static const unsigned char values[] = {0x00, 0x01, 0x0F, 0x10, 0x13, 0x1F, 0x5F, 0x6F, 0x7F,
                                             0x80, 0x8F, 0xAF, 0xDF, 0xFF, '<', '>', '&'};
      input[pick(input.size())] = char(values[pick(sizeof values)]);
      break;
    }
    case 2: // truncate
      input.resize(pick(input.size()));
      break;
    case 3: // splice with another seed
    {
      const std::string &other = seeds[pick(seeds.size())];
      const size_t at = pick(input.size());
      input = input.substr(0, at) + other.substr(pick(other.size()));
      break;
    }
    case 4: // copy a chunk within the input
    {
      const size_t from = pick(input.size()), to = pick(input.size());
      const size_t length = std::min(pick(64) + 1, input.size() - from);
      input.insert(to, input.substr(from, length));
      break;
    }
    case 5: // delete a chunk
    {
      const size_t at = pick(input.size());
      input.erase(at, pick(16) + 1);
      break;
    }
    default: // edit the trailer of a binary list
      if (input.size() >= 32) {
        const size_t field = input.size() - 32 + 6 + pick(26);
        input[field] = char(pick(2) ? 0xFF : pick(4));
      }
      break;
    }
  }
  return input;
}

} // namespace

int main(int argc, char **argv)
{
  if (argc > 2 && std::string(argv[1]) == "--write-seeds") {
    // A start corpus for the libFuzzer target.
    int n = 0;
    for (const std::string &seed : seeds()) {
      const std::string name = std::string(argv[2]) + "/seed" + std::to_string(n++);
      if (FILE *f = std::fopen(name.c_str(), "wb")) {
        std::fwrite(seed.data(), 1, seed.size(), f);
        std::fclose(f);
      }
    }
    return 0;
  }
  int count = argc > 1 ? std::atoi(argv[1]) : 3000;
  int only = -1;
  if (argc > 2 && std::string(argv[1]) == "--only") {
    only = std::atoi(argv[2]);
    count = only + 1;
  }
  std::signal(SIGALRM, onTimeout);
  const std::vector<std::string> seedList = seeds();
  for (const std::string &seed : seedList)
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(seed.data()), seed.size());
  std::mt19937 random(20261207);
  int reached[3] = {0, 0, 0};
  for (int i = 0; i < count; ++i) {
    const std::string input = mutate(seedList, random);
    if (only >= 0 && i != only)
      continue;
    g_input = i;
    alarm(10);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
    alarm(0);
    ++reached[depthReached(input)];
  }
  std::printf("plist fuzz: %d inputs, no fault (%d rejected by the reader, %d read, %d converted)\n", count,
              reached[0], reached[1], reached[2]);
  return 0;
}
