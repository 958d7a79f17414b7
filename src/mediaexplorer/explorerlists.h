#pragma once

#include <QListWidget>
#include <QPersistentModelIndex>

#include <functional>

namespace ExplorerLists {

// Whether item still belongs to list. Clicks reach the pages queued, and the list may have
// been cleared (deleting its items) in between, so the pointer is compared, never read.
inline bool containsItem(const QListWidget *list, const QListWidgetItem *item)
{
  for (int row = 0; item && row < list->count(); ++row)
    if (list->item(row) == item)
      return true;
  return false;
}

// Hands the list's clicks to `handler` after the list's own mouse handling. A click whose
// item was removed in between (the list was cleared or rebuilt) is dropped, even when a new
// item happens to live at the old one's address.
inline void connectQueuedClicks(QListWidget *list, void (QListWidget::*signal)(QListWidgetItem *), QObject *receiver,
                                std::function<void(QListWidgetItem *)> handler)
{
  QObject::connect(list, signal, receiver, [list, receiver, handler](QListWidgetItem *item) {
    const QPersistentModelIndex index(list->model()->index(list->row(item), 0));
    QMetaObject::invokeMethod(
      receiver,
      [list, index, handler]() {
        if (index.isValid())
          handler(list->item(index.row()));
      },
      Qt::QueuedConnection);
  });
}

} // namespace ExplorerLists
