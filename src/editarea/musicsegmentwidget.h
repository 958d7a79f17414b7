#pragma once

#include "mediasegmentwidget.h"

// The block of a "MUSIC" segment; the sound's trim (timeline seconds) places the source.
class MusicSegmentWidget : public MediaSegmentWidget
{
  Q_OBJECT
public:
  using MediaSegmentWidget::MediaSegmentWidget;

protected:
  float _mediaStartOffset() const override;
};
