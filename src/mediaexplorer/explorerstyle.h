#pragma once

class QWidget;
class QString;

// Looks the explorer's pages share.
namespace ExplorerStyle {

// The dark vertical scroll bar of every explorer list.
QString listScrollBarStyleSheet();

// Highlighted tab and tag buttons are styled by the dynamic property "highlighted": set it
// and have the style look at the button again.
void setHighlighted(QWidget *button, bool highlighted);

} // namespace ExplorerStyle
