#pragma once

#include <QPixmap>
#include <QRectF>
#include <QWidget>

class CropAreaWidget;
class QLabel;

// Crop handles over the preview: the segment's still, the crop rectangle with its grid,
// darkened margins and eight handles. Handles move edges, a press inside moves the whole
// rectangle; the editor reads cropRect when cropping ends.
class CropWidget : public QWidget
{
  Q_OBJECT
public:
  enum Handle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };

  // pictureRect: where the picture lies in the parent; normal: a segment (else a transition state).
  CropWidget(const QRect &pictureRect, const QPixmap &picture, const QRectF &cropFraction, bool normal,
             QWidget *parent);

  void setPictureRect(const QRect &pictureRect);
  // x, y, width and height as fractions of the picture.
  QRectF cropRect() const { return _cropFraction; }

  CropAreaWidget *cropArea() const { return _cropArea; }
  QLabel *handle(int which) const { return _handles[which]; }
  QLabel *pictureLabel() const { return _pictureLabel; }

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void _placeCropArea();
  void _layout();
  void _dragHandle(const QPointF &d);
  void _dragArea(const QPointF &d);
  void _setFraction(float x, float y, float width, float height);

  QPixmap _picture;
  int _handleSize = 40;
  QRectF _cropFraction;
  bool _normal;
  // At least a pixel: an empty crop makes the layer vanish from preview and export.
  QSize _minimumSize{1, 1};
  QLabel *_pictureLabel = nullptr;
  CropAreaWidget *_cropArea = nullptr;
  QWidget *_masks[4] = {};
  QLabel *_handles[8] = {};
  QLabel *_pressedHandle = nullptr;
  bool _movingArea = false;
  QPoint _pressGlobalPos;
  QRect _startRect;
};
