#pragma once

#include <QByteArray>
#include <QImage>

// The files behind the built-in music, sound effects and stickers: stand-in sounds and
// simple pictures, made here so no asset is ever downloaded.
namespace BuiltinAssets {

// An MPEG audio stream of silent frames, `seconds` long (32 kHz mono, 32 kbit/s).
QByteArray silentMp3(double seconds);

// Sticker `number` (1-based) of a folder, drawn at `size` pixels square.
QImage sticker(const QString &folder, int number, int size);

} // namespace BuiltinAssets
