#pragma once
// Pixel probes for composed frames: compare a pixel with a colour within a tolerance and say
// what came instead; and the helpers of tests that draw layers straight into a framebuffer.

#include "avglglue.h"
#include "avglresources.h"
#include "avlayerdraw.h"

#include <QColor>
#include <QImage>
#include <QOpenGLFunctions_3_2_Core>
#include <QString>
#include <cstdlib>
#include <cstring>

// A full-frame draw record: no transform, opaque, uncropped.
inline AVLayerRenderInfo plainInfo()
{
  AVLayerRenderInfo info;
  memset(&info, 0, sizeof(info));
  info.anchor[0] = info.anchor[1] = 0.5f;
  info.scale[0] = info.scale[1] = 1;
  info.opacity = 1;
  info.cropBottomRight[0] = info.cropBottomRight[1] = 1;
  return info;
}

// A framebuffer read back, top row first; the context must be current.
inline QImage readTarget(AVFrameBuffer *framebuffer)
{
  avGL()->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  uint32_t stride = 0;
  uint8_t *pixels = readTexturePixels(frameBufferTexture(framebuffer), &stride);
  return QImage(pixels, frameBufferWidth(framebuffer), frameBufferHeight(framebuffer), int(stride),
                QImage::Format_ARGB32_Premultiplied, free, pixels);
}

inline bool pixelNear(const QImage &image, int x, int y, QColor expected, int tolerance, QString *message)
{
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
    *message = QString("probe (%1, %2) outside the %3x%4 frame").arg(x).arg(y).arg(image.width()).arg(image.height());
    return false;
  }
  const QColor actual = image.pixelColor(x, y);
  const bool near = qAbs(actual.red() - expected.red()) <= tolerance &&
                    qAbs(actual.green() - expected.green()) <= tolerance &&
                    qAbs(actual.blue() - expected.blue()) <= tolerance;
  *message = QString("pixel (%1, %2): expected %3 got %4")
               .arg(x)
               .arg(y)
               .arg(expected.name(QColor::HexArgb), actual.name(QColor::HexArgb));
  return near;
}

#define QVERIFY_PIXEL(image, x, y, colour)                                                                             \
  do {                                                                                                                 \
    QString _message;                                                                                                  \
    QVERIFY2(pixelNear((image), (x), (y), (colour), 6, &_message), qPrintable(_message));                             \
  } while (false)
