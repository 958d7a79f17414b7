#pragma once

#include <QPoint>
#include <QString>

class CommonPopup;
class QLabel;
class QVBoxLayout;
class QWidget;

// Pieces the chooser popups' forms have in common.
namespace PopupForm {

// A panel "mainWidget" on the popup whose layout "verticalLayout" (spacing 10) starts with
// the centred "titleLabel". Returns the layout; the panel is its parent widget.
QVBoxLayout *buildTitledPanel(QWidget *popup, QLabel **titleLabel);

// Shows the popup inside the editor's popup panel with the base look, or floating: all
// corners rounded, a lighter panel and a drop shadow.
void showInPanelOrFloating(CommonPopup *popup, QWidget *parent, const QString &title, const QPoint &anchor,
                           bool inPanel);

// Whether the user is closing the overlay popup: Escape (no position) or a press at pos,
// outside the panel. Embedded and persistent popups are never closed this way.
bool userCloses(const CommonPopup *popup);
bool userCloses(const CommonPopup *popup, const QPoint &pos);

} // namespace PopupForm
