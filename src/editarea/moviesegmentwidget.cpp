#include "moviesegmentwidget.h"

#include "moviesegment.h"

float MovieSegmentWidget::_mediaStartOffset() const
{
  auto *movie = dynamic_cast<MovieSegment *>(segment());
  return movie ? movie->speedScaledTrimStart() : 0.0f;
}
