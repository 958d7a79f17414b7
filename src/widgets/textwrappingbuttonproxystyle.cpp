#include "textwrappingbuttonproxystyle.h"

void TextWrappingButtonProxyStyle::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal,
                                                bool enabled, const QString &text, QPalette::ColorRole textRole) const
{
  QProxyStyle::drawItemText(painter, rect, flags | Qt::TextWordWrap, pal, enabled, text, textRole);
}
