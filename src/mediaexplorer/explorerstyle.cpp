#include "explorerstyle.h"

#include <QString>
#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace ExplorerStyle {

QString listScrollBarStyleSheet()
{
  return "QScrollBar:vertical{width: 15px; background: #2A2929; margin: 3px; border-radius: 4px;}"
         "QScrollBar::handle:vertical{background: #6b6b6b; min-height: 30px; border-radius: 4px;}"
         "QScrollBar::handle:vertical:hover{background: #a4a5a7;}"
         "QScrollBar::sub-line:vertical{image: url(:/icons/res/icons/png/up_arrow.png);}"
         "QScrollBar::add-line:vertical{image: url(:/icons/res/icons/png/down_arrow.png);}"
         "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical{background: none;}";
}

void setHighlighted(QWidget *button, bool highlighted)
{
  button->setProperty("highlighted", highlighted);
  button->style()->unpolish(button);
  button->style()->polish(button);
  button->update();
}

} // namespace ExplorerStyle
