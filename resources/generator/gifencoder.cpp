#include "gifencoder.h"

#include <vector>

namespace {

constexpr int kTransparent = 255;
constexpr int kGreyBase = 216; // 216..254: 39 greys

void put16(QByteArray &out, int v)
{
  out.append(char(v & 0xff));
  out.append(char((v >> 8) & 0xff));
}

int paletteIndex(QRgb px)
{
  if (qAlpha(px) < 128)
    return kTransparent;
  const QColor c = QColor::fromRgba(px);
  const int r = c.red(), g = c.green(), b = c.blue();
  if (qMax(r, qMax(g, b)) - qMin(r, qMin(g, b)) < 12) {
    const int grey = (r + g + b) / 3;
    return kGreyBase + (grey * 38 + 127) / 255;
  }
  auto level = [](int v) { return (v + 25) / 51; };
  return level(r) * 36 + level(g) * 6 + level(b);
}

QRgb paletteColor(int i)
{
  if (i < kGreyBase)
    return qRgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51);
  if (i < kTransparent) {
    const int grey = (i - kGreyBase) * 255 / 38;
    return qRgb(grey, grey, grey);
  }
  return qRgb(0, 0, 0);
}

// LSB-first bit packing into 255-byte sub-blocks.
class BitWriter
{
public:
  explicit BitWriter(QByteArray &out) : _out(out) {}
  void put(int code, int bits)
  {
    _acc |= quint32(code) << _nbits;
    _nbits += bits;
    while (_nbits >= 8) {
      _pushByte(char(_acc & 0xff));
      _acc >>= 8;
      _nbits -= 8;
    }
  }
  void flush()
  {
    if (_nbits > 0)
      _pushByte(char(_acc & 0xff));
    _acc = 0;
    _nbits = 0;
    if (!_block.isEmpty()) {
      _out.append(char(_block.size()));
      _out.append(_block);
      _block.clear();
    }
  }

private:
  void _pushByte(char c)
  {
    _block.append(c);
    if (_block.size() == 255) {
      _out.append(char(255));
      _out.append(_block);
      _block.clear();
    }
  }
  QByteArray &_out;
  QByteArray _block;
  quint32 _acc = 0;
  int _nbits = 0;
};

} // namespace

GifEncoder::GifEncoder(int width, int height, bool loop) : _width(width), _height(height)
{
  _out.append("GIF89a");
  put16(_out, width);
  put16(_out, height);
  _out.append(char(0xf7)); // global table of 256 entries
  _out.append(char(kTransparent));
  _out.append(char(0));
  for (int i = 0; i < 256; ++i) {
    const QRgb c = paletteColor(i);
    _out.append(char(qRed(c)));
    _out.append(char(qGreen(c)));
    _out.append(char(qBlue(c)));
  }
  if (loop) {
    _out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    put16(_out, 0);
    _out.append(char(0));
  }
}

void GifEncoder::addFrame(const QImage &frame, int delayCs)
{
  const QImage img = frame.convertToFormat(QImage::Format_ARGB32);
  QByteArray indices(_width * _height, 0);
  bool anyTransparent = false;
  for (int y = 0; y < _height; ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
    for (int x = 0; x < _width; ++x) {
      const int i = paletteIndex(line[x]);
      anyTransparent |= i == kTransparent;
      indices[y * _width + x] = char(i);
    }
  }
  // Graphic control: transparent frames restore the background before the next one.
  _out.append("\x21\xf9\x04", 3);
  _out.append(char(anyTransparent ? (2 << 2) | 1 : (1 << 2)));
  put16(_out, delayCs);
  _out.append(char(kTransparent));
  _out.append(char(0));
  // Image descriptor, whole canvas, no local table.
  _out.append(char(0x2c));
  put16(_out, 0);
  put16(_out, 0);
  put16(_out, _width);
  put16(_out, _height);
  _out.append(char(0));
  _writeLzw(indices);
}

void GifEncoder::_writeLzw(const QByteArray &indices)
{
  constexpr int minCodeSize = 8;
  constexpr int clearCode = 1 << minCodeSize;
  _out.append(char(minCodeSize));
  BitWriter bits(_out);
  std::vector<int> table(4096 * 256, -1);
  int codeSize = minCodeSize + 1;
  int maxCode = clearCode + 1;
  bits.put(clearCode, codeSize);
  int prefix = quint8(indices[0]);
  for (int i = 1; i < indices.size(); ++i) {
    const int k = quint8(indices[i]);
    const int key = prefix * 256 + k;
    if (table[key] >= 0) {
      prefix = table[key];
      continue;
    }
    bits.put(prefix, codeSize);
    table[key] = ++maxCode;
    if (maxCode >= (1 << codeSize))
      ++codeSize;
    if (maxCode == 4095) {
      bits.put(clearCode, codeSize);
      std::fill(table.begin(), table.end(), -1);
      codeSize = minCodeSize + 1;
      maxCode = clearCode + 1;
    }
    prefix = k;
  }
  bits.put(prefix, codeSize);
  bits.put(clearCode + 1, codeSize);
  bits.flush();
  _out.append(char(0));
}

QByteArray GifEncoder::finish()
{
  _out.append(char(0x3b));
  return _out;
}
