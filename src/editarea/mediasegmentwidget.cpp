#include "mediasegmentwidget.h"

#include "segment.h"
#include "timelinegeometry.h"

void MediaSegmentWidget::setScale(float zoom, bool animated)
{
  SegmentWidget::setScale(zoom, animated);
  _updateEditingBackground(_mediaRect());
}

void MediaSegmentWidget::setEditingState(bool editing, bool animated)
{
  const bool was = isEditing();
  SegmentWidget::setEditingState(editing, animated);
  if (was == isEditing() || !segment())
    return;
  if (editing)
    _showEditingBackground(_mediaRect(), animated);
  else
    _hideEditingBackground(animated);
}

// The whole source laid out so that the used part falls on the block.
QRect MediaSegmentWidget::_mediaRect() const
{
  Segment *s = segment();
  if (!s)
    return QRect();
  return Timeline::spanRectInRow(s->rangeStart() - _mediaStartOffset(), s->mediaDuration(), zoom(), height());
}
