#pragma once

#include <QProxyStyle>

// Button texts wrap.
class TextWrappingButtonProxyStyle : public QProxyStyle
{
  Q_OBJECT
public:
  using QProxyStyle::QProxyStyle;
  void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal, bool enabled,
                    const QString &text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
};
