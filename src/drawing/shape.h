#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

struct DrawingToolSettings;
class QPainter;

// One drawing tool of the canvas. It gets the mouse positions in widget coordinates,
// paints through the shared settings' painter and tells the canvas what to repaint and
// when to restore the canvas from its backup.
class Shape : public QObject
{
  Q_OBJECT
public:
  Shape(int cmdId, DrawingToolSettings *settings, QObject *parent);

  int cmdId() const { return _cmdId; }

  // When the next restore-and-redraw changes only part of the canvas, the widget area to
  // restore from the backup (empty: nothing); false means the whole canvas.
  virtual bool limitsRestore(QRect &area) const;
  // The canvas pixels a widget area covers, rounded outwards.
  QRect deviceArea(const QRect &area) const;

public slots:
  virtual void drawBegan(QPoint position) = 0;
  virtual void drawMoved(QPoint position) = 0;
  virtual void drawEnded(QPoint position) = 0;
  virtual void draw() = 0;

signals:
  void shapeNeedDisplayInRect(Shape *shape, QRect rect);
  void shapeNeedDisplay(Shape *shape);
  void shapeRequestBackupRestoreCanvasImage(Shape *shape, bool backup);
  void shapeRequestDiscardBackupCanvasImage(Shape *shape);

protected:
  QPainter *painter() const;
  // Saves the painter and sets the composition mode of the rubber; pair with _endDraw.
  void _beginDraw();
  void _endDraw();
  // Limits painting to the canvas pixels under a widget area (inside _beginDraw/_endDraw).
  void _clipTo(const QRect &area);
  // The margin by which a figure's bounding box grows into its dirty rectangle.
  int _dirtyMargin() const;
  // Half the pen plus a pixel: how far a stroke reaches beyond its points, in widget units.
  qreal _strokeReach() const;

  int _cmdId;
  DrawingToolSettings *_settings;
};
