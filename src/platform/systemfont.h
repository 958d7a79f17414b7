#pragma once

#include <QString>

namespace SystemFont {
// The family of the desktop's general font (fontconfig or the desktop theme), used for messages.
QString messageFontFamily();
} // namespace SystemFont
