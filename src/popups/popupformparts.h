#pragma once

class QPushButton;
class QString;
class QWidget;

// Pieces the popup forms share beyond the base classes.
namespace PopupFormParts {

// A flat 50 x 50 stepping button with an icon (":/images/value_increase" or "…_decrease").
QPushButton *stepButton(const char *icon, QWidget *parent);

// The round options button beside a popup's title ("…" menu).
QString optionsButtonStyle();

} // namespace PopupFormParts
