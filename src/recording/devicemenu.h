#pragma once

#include <QVariant>

class QAction;
class QMenu;
class QWidget;

// The menu of capture devices under a dialog's device button: frameless, in the shared
// popup-menu style, one checkable entry per device of which one is checked.
namespace DeviceMenu {

QMenu *create(QWidget *parent);
QAction *addDevice(QMenu *menu, const QString &text, const QVariant &data, bool checked);
// Runs the menu through the dialog seam at the centre of the anchor; the chosen entry
// comes back checked. Nullptr when nothing was chosen or the menu went away meanwhile.
QAction *exec(QMenu *menu, QWidget *anchor);

} // namespace DeviceMenu
