#pragma once

#include "drawingtoolsettings.h"

#include <QBrush>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QWidget>

#include <memory>

class HistoryDataCompressionTaskManager;
class LineShape;
class PictureShape;
class Shape;
class TextShape;

// The widget the user paints a drawing in, laid over the preview. It keeps a picture of
// fixed pixel size (the export size), paints into it through the current shape at widget
// coordinates, keeps one undo step per stroke on disk, and gives the picture back.
class CanvasWidget : public QWidget
{
  Q_OBJECT
public:
  CanvasWidget(int width, int height, QWidget *parent = nullptr);
  ~CanvasWidget() override;

  // Draws a picture over the whole canvas: the drawing being continued.
  void drawImage(const QPixmap &picture);
  QPixmap canvasImage() const { return _canvas; }
  QSize canvasSize() const { return _canvasSize; }

  void setCommand(int cmdId);
  void setColor(const QColor &color);
  void setHardness(float hardness);
  void setLineWidth(float width);
  void setPattern(const QPixmap &pattern);
  void setRubber(bool rubber);
  void setTextAlign(int flags);
  void setTextFont(const QString &name, const QString &style);
  void setTextSize(float size);
  void setPictureSize(float size);
  void commitText();
  void commitPicture();
  void clear();
  // Back to the newest snapshot. While a snapshot is still being written the canvas waits
  // (between the waiting signals) and ignores input, then finishes the undo.
  void undo();

  const DrawingToolSettings &settings() const { return _settings; }
  Shape *currentShape() const { return _currentShape; }
  // The text and picture tools, for requests that come from outside the canvas (the tuning
  // panel's Edit Text and Open Picture).
  TextShape *textShape() const { return _text; }
  PictureShape *pictureShape() const { return _picture; }
  HistoryDataCompressionTaskManager *history() const { return _history; }
  bool isWaiting() const { return _waiting; }

signals:
  void canvasWidgetDrawBegan(CanvasWidget *canvas);
  void canvasWidgetTextChanged(CanvasWidget *canvas, QString text);
  void canvasWidgetPictureChanged(CanvasWidget *canvas, QPixmap pixmap);
  void canvasWidgetTextSizeChangedByGesture(CanvasWidget *canvas, float size);
  void canvasWidgetPictureSizeChangedByGesture(CanvasWidget *canvas, float size);
  void canvasWidgetShowWaiting(CanvasWidget *canvas);
  void canvasWidgetHideWaiting(CanvasWidget *canvas);

public slots:
  void shapeOnNeedDisplayInRect(Shape *shape, QRect rect);
  void shapeOnNeedDisplay(Shape *shape);
  void shapeOnRequestBackupRestoreCanvasImage(Shape *shape, bool backup);
  void shapeOnRequestDiscardBackupCanvasImage(Shape *shape);
  void textShapeOnGetFrameRect(TextShape *shape, QRect &rect);
  void textShapeOnRequestText(TextShape *shape);
  void pictureShapeOnGetFrameRect(PictureShape *shape, QRect &rect);
  void pictureShapeOnRequestPicture(PictureShape *shape);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

private:
  void _connectShape(Shape *shape);
  void _applyPenAndBrush();
  void _usePlainColor();
  void _applyPattern();
  void _updateScaledSizes();
  // A copy of the canvas kept for restoring, and one undo step.
  void _backupCanvas();
  // The backup back into the canvas pixels of a canvas area (the whole canvas by default).
  void _restoreBackup(const QRect &deviceArea = QRect());
  // Replaces the canvas pixels by a picture drawn over the whole canvas.
  void _replaceCanvas(const QPixmap &picture);
  // Sets the canvas pixels of an area to a source's (transparent for a null source).
  void _copyIntoCanvas(const QRect &area, const QPixmap &source, const QRect &sourceArea);
  // The picture scaled smoothly to the largest size of its aspect inside the bounds.
  static QPixmap _fitted(const QPixmap &picture, const QSize &bounds);
  bool _textPending() const;
  bool _picturePending() const;
  void _redrawText();
  void _redrawPicture();
  void _redrawPendingItem();
  // False when an item dialog is already asked for.
  bool _beginItemRequest();
  void _askForText();
  void _askForPicture();
  void _setPendingPicture(const QPixmap &picture);
  // The canvas reduced by a power of two for the screen: how many canvas pixels a side of
  // one of its pixels covers for a widget of that device size.
  int _reductionFor(const QSize &deviceSize) const;
  // Brings the reduced copy up to date under a widget area.
  void _refreshReduced(const QRect &widgetArea);
  void _finishUndo();
  void _onHistoryIdle();

  QSize _canvasSize;
  float _scaleX = 1.0f;
  float _scaleY = 1.0f;
  QPixmap _canvas;
  QPainter _canvasPainter;
  QPixmap _backup;
  std::unique_ptr<QPainter> _backupPainter;
  QImage _reduced;
  int _reduction = 1;
  QPen _pen;
  QBrush _brush;
  DrawingToolSettings _settings;

  bool _pressed = false;
  QPointF _dragStartLocation;
  QPoint _pressGlobalPos;
  bool _dragging = false;
  bool _waiting = false;
  // A text or picture dialog is on its way or open.
  bool _itemRequested = false;

  Shape *_pencil = nullptr;
  LineShape *_line = nullptr;
  Shape *_rect = nullptr;
  Shape *_roundRect = nullptr;
  Shape *_pentagram = nullptr;
  Shape *_triangle = nullptr;
  Shape *_rhombus = nullptr;
  Shape *_pentagon = nullptr;
  Shape *_ellipse = nullptr;
  Shape *_circle = nullptr;
  Shape *_heart = nullptr;
  TextShape *_text = nullptr;
  PictureShape *_picture = nullptr;
  Shape *_currentShape = nullptr;
  HistoryDataCompressionTaskManager *_history = nullptr;
};
