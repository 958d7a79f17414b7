#pragma once

class QMenu;
class QStringList;
class QWidget;

// The choice lists of the popups: a frameless, shadowless, translucent menu in the shared
// popup menu style, run at the mouse cursor through the dialog seam.
namespace ChoiceMenu {

QMenu *create(QWidget *parent);
// One action per text, without shortcuts, numbered from 0 in order.
void addChoices(QMenu *menu, const QStringList &texts);
// Runs the menu, deletes it (unless it is already gone) and returns the "index" data of the
// chosen action; -1 when nothing with an index was chosen.
int exec(QMenu *menu);

} // namespace ChoiceMenu
