#include "musicsegmentwidget.h"

#include "soundsegment.h"

float MusicSegmentWidget::_mediaStartOffset() const
{
  auto *sound = dynamic_cast<SoundSegment *>(segment());
  return sound ? sound->trimStart() : 0.0f;
}
