// Build tool: stores a shader source scrambled (rolling XOR with the engine's resource key,
// then base64 on one line), the form the engine's resource reader expects. Lines
// '#include "file"' are replaced by that file (relative to the including one) first, so
// shaders share their common functions without the engine reading more than one file.
//   shaderscramble <input> <output>

#include "../avresourcekey.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {
std::string _directoryOf(const std::string &path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool _expand(const std::string &path, std::string *out, int depth)
{
  std::ifstream in(path, std::ios::binary);
  if (!in || depth > 8) {
    fprintf(stderr, "shaderscramble: cannot read %s\n", path.c_str());
    return false;
  }
  const std::string prefix = "#include \"";
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      const size_t end = line.find('"', prefix.size());
      if (end == std::string::npos || !_expand(_directoryOf(path) + line.substr(prefix.size(), end - prefix.size()), out, depth + 1))
        return false;
      continue;
    }
    *out += line;
    if (!in.eof())
      *out += '\n';
  }
  return true;
}
} // namespace

int main(int argc, char **argv)
{
  if (argc != 3) {
    fprintf(stderr, "usage: shaderscramble <input> <output>\n");
    return 2;
  }
  std::string bytes;
  if (!_expand(argv[1], &bytes, 0))
    return 1;
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = char(static_cast<unsigned char>(bytes[i]) ^ kAVResourceKeyBytes[i % 4]);

  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
    const size_t left = bytes.size() - i;
    if (left > 1)
      value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2)
      value |= static_cast<unsigned char>(bytes[i + 2]);
    text += alphabet[(value >> 18) & 63];
    text += alphabet[(value >> 12) & 63];
    text += left > 1 ? alphabet[(value >> 6) & 63] : '=';
    text += left > 2 ? alphabet[value & 63] : '=';
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << text;
  return out ? 0 : 1;
}
