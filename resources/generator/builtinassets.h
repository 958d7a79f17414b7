#pragma once

#include <QByteArray>
#include <QImage>

// The pictures behind the built-in stickers, drawn here so no asset is ever downloaded
// (the built-in sounds come from soundsynth.h).
namespace BuiltinAssets {

// Sticker `number` (1-based) of a folder, drawn at `size` pixels square.
QImage sticker(const QString &folder, int number, int size);

} // namespace BuiltinAssets
