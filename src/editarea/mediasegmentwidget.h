#pragma once

#include "segmentwidget.h"

// Base of the blocks whose segment plays a stretch of a longer media file: while edited,
// the whole source stands darkened behind the block.
class MediaSegmentWidget : public SegmentWidget
{
  Q_OBJECT
public:
  using SegmentWidget::SegmentWidget;

  void setScale(float zoom, bool animated) override;
  void setEditingState(bool editing, bool animated) override;
  bool hasNoEditingBackground() override { return !_editingBackground(); }

protected:
  // Timeline seconds of source before the used part.
  virtual float _mediaStartOffset() const = 0;

private:
  QRect _mediaRect() const;
};
