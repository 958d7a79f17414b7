#pragma once
// Pictures of the explorer for a person to look at: saved to /tmp only when
// TAVO_SCREENSHOTS is set. The explorer is transparent, so it is drawn over the dark media
// area of the editor window.

#include <QPainter>
#include <QPixmap>
#include <QWidget>

inline void saveScreenshot(QWidget *widget, const QString &name)
{
  if (!qEnvironmentVariableIsSet("TAVO_SCREENSHOTS"))
    return;
  QPixmap picture(widget->size());
  picture.fill(QColor(28, 29, 32));
  widget->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
  picture.save("/tmp/" + name + ".png");
}
