#pragma once

#include <QByteArray>
#include <QImage>

// Writes multi-frame GIF89a files: Qt reads GIF but has no writer. Colours go to a fixed
// 256-entry palette (a 6x6x6 cube plus a grey ramp), so the output depends on nothing but
// the frames; alpha below 128 becomes the transparent index.
class GifEncoder
{
public:
  GifEncoder(int width, int height, bool loop);

  // delay in hundredths of a second; the frame must have the encoder's size.
  void addFrame(const QImage &frame, int delayCs);
  QByteArray finish();

private:
  void _writeLzw(const QByteArray &indices);

  int _width;
  int _height;
  QByteArray _out;
};
