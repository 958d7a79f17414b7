#pragma once

#include <Qt>

class QAbstractItemView;

// The drag start of the explorer's lists: the list's own drag data with a half transparent
// picture of the selected tiles, taken from the viewport as it is on screen, held under the
// cursor where they were grabbed.
namespace ExplorerListDrag {

void start(QAbstractItemView *view, Qt::DropActions supportedActions);

} // namespace ExplorerListDrag
