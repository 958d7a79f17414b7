#include "devicemenu.h"

#include "dialogprovider.h"
#include "util.h"

#include <QActionGroup>
#include <QMenu>
#include <QPointer>

namespace DeviceMenu {

QMenu *create(QWidget *parent)
{
  auto *menu = new QMenu(parent);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(menu);
  auto *group = new QActionGroup(menu);
  group->setExclusive(true);
  return menu;
}

QAction *addDevice(QMenu *menu, const QString &text, const QVariant &data, bool checked)
{
  auto *action = new QAction(text, menu->findChild<QActionGroup *>());
  action->setCheckable(true);
  action->setData(data);
  action->setChecked(checked);
  menu->addAction(action);
  return action;
}

QAction *exec(QMenu *menu, QWidget *anchor)
{
  QPointer<QMenu> alive(menu);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, anchor->mapToGlobal(anchor->rect().center()));
  if (!alive || !chosen)
    return nullptr;
  // A scripted answer does not trigger the entry as a real menu does.
  chosen->setChecked(true);
  return chosen;
}

} // namespace DeviceMenu
