// Build tool: stores a shader source scrambled (rolling XOR with the engine's resource key,
// then base64 on one line), the form the engine's resource reader expects.
//   shaderscramble <input> <output>

#include "../avresourcekey.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char **argv)
{
  if (argc != 3) {
    fprintf(stderr, "usage: shaderscramble <input> <output>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    fprintf(stderr, "shaderscramble: cannot read %s\n", argv[1]);
    return 1;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
