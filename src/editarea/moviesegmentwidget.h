#pragma once

#include "mediasegmentwidget.h"

// The block of a "MOVIE" segment; the trim of the video (scaled by speed) places the source.
class MovieSegmentWidget : public MediaSegmentWidget
{
  Q_OBJECT
public:
  using MediaSegmentWidget::MediaSegmentWidget;

protected:
  float _mediaStartOffset() const override;
};
