#include "explorerlistdrag.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QDrag>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPainterPath>

namespace ExplorerListDrag {

void start(QAbstractItemView *view, Qt::DropActions supportedActions)
{
  const QModelIndexList indexes = view->selectionModel()->selectedIndexes();
  QMimeData *data = view->model()->mimeData(indexes);
  if (!data)
    return;
  auto *drag = new QDrag(view);
  drag->setMimeData(data);

  QWidget *viewport = view->viewport();
  const QRect visible = viewport->visibleRegion().boundingRect();
  QPixmap picture(visible.size());
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setOpacity(0.5);
    for (const QModelIndex &index : indexes) {
      const QRect r = view->visualRect(index);
      QPainterPath clip;
      clip.addRoundedRect(r, 2.0, 2.0);
      painter.setClipPath(clip);
      viewport->render(&painter, r.topLeft(), QRegion(r));
    }
  }
  drag->setPixmap(picture);
  drag->setHotSpot(viewport->mapFromGlobal(QCursor::pos()));
  drag->exec(supportedActions, Qt::CopyAction);
}

} // namespace ExplorerListDrag
