#include "systemfont.h"

#include <QFontDatabase>

namespace SystemFont {
QString messageFontFamily()
{
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
} // namespace SystemFont
