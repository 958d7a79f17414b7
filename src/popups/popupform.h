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

} // namespace PopupForm
