#include "choicemenu.h"

#include "dialogprovider.h"
#include "util.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QStringList>

namespace ChoiceMenu {

QMenu *create(QWidget *parent)
{
  auto *menu = new QMenu(parent);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(menu);
  return menu;
}

void addChoices(QMenu *menu, const QStringList &texts)
{
  for (int i = 0; i < texts.size(); ++i) {
    QAction *action = menu->addAction(texts[i]);
    action->setShortcut(QKeySequence());
    action->setData(i);
  }
}

int exec(QMenu *menu)
{
  QPointer<QMenu> guard(menu);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, QCursor::pos());
  // The popup that owns the menu may have gone while it ran, and the menu with it.
  if (!guard)
    return -1;
  bool ok = false;
  const int index = chosen ? chosen->data().toInt(&ok) : -1;
  delete menu;
  return ok ? index : -1;
}

} // namespace ChoiceMenu
