#pragma once

#include "musicsegmentwidget.h"

// The block of a "VOICE" segment; it behaves exactly as a music block.
class VoiceSegmentWidget : public MusicSegmentWidget
{
  Q_OBJECT
public:
  using MusicSegmentWidget::MusicSegmentWidget;
};
