#pragma once

#include "imagesegment.h"

// A picture the user draws in the program, kept as a PNG file in the project folder.
class DrawingSegment : public ImageSegment
{
public:
  DrawingSegment(const Segment *other, const QString &filePath, float rangeStart, SegmentListener *listener);
  // A transparent drawing of the given size, saved at once.
  DrawingSegment(const QSizeF &drawingSize, float rangeStart, float duration, SegmentListener *listener,
                 const UserStyleDefaults *defaults);
  DrawingSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);

  // A drawing is never animated.
  bool loadAnimation() override { return false; }

  // The drawing file at full size.
  QPixmap pixmap() const;
  // Saves the picture under a new free number and switches "File" to it only when the save
  // worked. The old file stays: undo snapshots still name it, and the project's clean-up
  // removes files no segment uses. False when nothing changed.
  bool setDrawingImage(const QPixmap &pixmap);
  // The first "drawingImage-N.png" (N from 1) that does not exist in the folder.
  static QString newDrawingImagePath(const QString &folder);
};
