#include "canvaswidget.h"

#include "ellipseshape.h"
#include "heartshape.h"
#include "historydatacompressiontaskmanager.h"
#include "lineshape.h"
#include "pencilshape.h"
#include "pentagramshape.h"
#include "pictureshape.h"
#include "polygonshape.h"
#include "rectshape.h"
#include "roundrectshape.h"
#include "textshape.h"
#include "util.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>

CanvasWidget::CanvasWidget(int width, int height, QWidget *parent)
    : QWidget(parent), _canvasSize(width, height), _canvas(width, height)
{
  _canvas.fill(Qt::transparent);
  _canvasPainter.begin(&_canvas);
  _canvasPainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                                QPainter::SmoothPixmapTransform);
  _pen = QPen(_settings.color, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  _brush = QBrush(_settings.color, Qt::SolidPattern);
  _settings.painter = &_canvasPainter;

  _pencil = new PencilShape(10301, &_settings, this);
  _line = new LineShape(10309, &_settings, this);
  _rect = new RectShape(10310, &_settings, this);
  _roundRect = new RoundRectShape(10312, &_settings, this);
  _pentagram = new PentagramShape(10322, &_settings, this);
  _triangle = new PolygonShape(10318, &_settings, 3, 0, this);
  _rhombus = new PolygonShape(10320, &_settings, 4, 1, this);
  _pentagon = new PolygonShape(10324, &_settings, 5, 0, this);
  _ellipse = new EllipseShape(10316, &_settings, false, this);
  _circle = new EllipseShape(10314, &_settings, true, this);
  _heart = new HeartShape(10326, &_settings, this);
  _text = new TextShape(10329, &_settings, this);
  _picture = new PictureShape(10330, &_settings, this);
  for (Shape *shape : {_pencil, static_cast<Shape *>(_line), _rect, _roundRect, _pentagram, _triangle, _rhombus,
                       _pentagon, _ellipse, _circle, _heart, static_cast<Shape *>(_text),
                       static_cast<Shape *>(_picture)})
    _connectShape(shape);
  connect(_text, &TextShape::textShapeGetFrameRect, this, &CanvasWidget::textShapeOnGetFrameRect);
  connect(_text, &TextShape::textShapeRequestText, this, &CanvasWidget::textShapeOnRequestText);
  connect(_picture, &PictureShape::pictureShapeGetFrameRect, this, &CanvasWidget::pictureShapeOnGetFrameRect);
  connect(_picture, &PictureShape::pictureShapeRequestPicture, this, &CanvasWidget::pictureShapeOnRequestPicture);
  _currentShape = _pencil;

  setLineWidth(30.0f);
  setColor(QColor(0, 255, 0, 255));
  _settings.fillMode = 1;
  _history = new HistoryDataCompressionTaskManager(this);
  connect(_history, &HistoryDataCompressionTaskManager::historyIdle, this, &CanvasWidget::_onHistoryIdle);
}

CanvasWidget::~CanvasWidget()
{
  // The history waits for its writes before its folder goes.
  delete _history;
  _backupPainter.reset();
  _canvasPainter.end();
}

void CanvasWidget::_connectShape(Shape *shape)
{
  connect(shape, &Shape::shapeNeedDisplayInRect, this, &CanvasWidget::shapeOnNeedDisplayInRect);
  connect(shape, &Shape::shapeNeedDisplay, this, &CanvasWidget::shapeOnNeedDisplay);
  connect(shape, &Shape::shapeRequestBackupRestoreCanvasImage, this,
          &CanvasWidget::shapeOnRequestBackupRestoreCanvasImage);
  connect(shape, &Shape::shapeRequestDiscardBackupCanvasImage, this,
          &CanvasWidget::shapeOnRequestDiscardBackupCanvasImage);
}

void CanvasWidget::drawImage(const QPixmap &picture)
{
  _canvasPainter.save();
  _canvasPainter.resetTransform();
  _canvasPainter.drawPixmap(QRect(QPoint(0, 0), _canvasSize), picture);
  _canvasPainter.restore();
  update();
}

void CanvasWidget::setCommand(int cmdId)
{
  Shape *shape = nullptr;
  int fillMode = 1;
  switch (cmdId) {
  case 10301:
  case 10303:
  case 10332:
  case 10333:
    shape = _pencil;
    break;
  case 10309:
  case 10335:
  case 10336:
  case 10337:
    _line->setStyle(cmdId == 10335, cmdId == 10336, cmdId == 10337);
    shape = _line;
    break;
  case 10329:
    shape = _text;
    break;
  case 10330:
    shape = _picture;
    break;
  default: {
    // The figures: the even id outlines, the odd one after it fills.
    const struct
    {
      int outline;
      Shape *shape;
    } figures[] = {{10310, _rect},    {10312, _roundRect}, {10314, _circle},    {10316, _ellipse}, {10318, _triangle},
                   {10320, _rhombus}, {10322, _pentagram}, {10324, _pentagon}, {10326, _heart}};
    for (const auto &figure : figures)
      if (cmdId == figure.outline || cmdId == figure.outline + 1) {
        shape = figure.shape;
        fillMode = cmdId == figure.outline ? 1 : 2;
      }
  }
  }
  if (!shape)
    return;
  _currentShape = shape;
  _settings.fillMode = fillMode;
}

void CanvasWidget::_applyPenAndBrush()
{
  _canvasPainter.setPen(_pen);
  _canvasPainter.setBrush(_brush);
}

void CanvasWidget::setColor(const QColor &color)
{
  _settings.color = QColor(color.red(), color.green(), color.blue(), _settings.color.alpha());
  _usePlainColor();
  _applyPenAndBrush();
  _redrawText();
}

void CanvasWidget::_usePlainColor()
{
  _pen.setColor(_settings.color);
  // The brush keeps its transform.
  _brush.setColor(_settings.color);
  _brush.setStyle(Qt::SolidPattern);
}

void CanvasWidget::setHardness(float hardness)
{
  _settings.color.setAlpha(qBound(0, int(hardness * 255), 255));
  _usePlainColor();
  if (!_settings.pattern.isNull())
    _applyPattern();
  _applyPenAndBrush();
  _redrawPendingItem();
}

void CanvasWidget::setLineWidth(float width)
{
  _settings.lineWidth = width;
  _updateScaledSizes();
}

void CanvasWidget::_updateScaledSizes()
{
  const float scale = (_scaleX + _scaleY) * 0.5f;
  _settings.scaledLineWidth = _settings.lineWidth / scale;
  _settings.scaledTextSize = qMax(1.0f, _settings.textSize / scale);
  _pen.setWidthF(_settings.scaledLineWidth);
  _applyPenAndBrush();
}

void CanvasWidget::setPattern(const QPixmap &pattern)
{
  if (pattern.isNull()) {
    _settings.pattern = QPixmap();
    setColor(_settings.color);
    return;
  }
  _settings.pattern = _fitted(pattern, _canvasSize);
  _applyPattern();
  _applyPenAndBrush();
  _redrawText();
}

QPixmap CanvasWidget::_fitted(const QPixmap &picture, const QSize &bounds)
{
  const QRectF fitted = Util::fitRectWithAspectRatio(picture.width(), picture.height(),
                                                     QRectF(QPointF(0, 0), QSizeF(bounds)));
  const QSize size(qMax(1, qRound(fitted.width())), qMax(1, qRound(fitted.height())));
  QPixmap result(size);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
  // A painter samples a picture it shrinks; scaling first averages it, so fine detail of a
  // much larger photo does not turn into stripes.
  painter.drawPixmap(0, 0, picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return result;
}

void CanvasWidget::_applyPattern()
{
  QPixmap texture = _settings.pattern;
  if (_settings.color.alpha() != 255) {
    texture = QPixmap(_settings.pattern.size());
    texture.fill(Qt::transparent);
    QPainter painter(&texture);
    painter.setOpacity(_settings.color.alphaF());
    painter.drawPixmap(0, 0, _settings.pattern);
  }
  QBrush brush(texture);
  // One texel per canvas pixel, whatever the widget's size.
  brush.setTransform(_brush.transform());
  _brush = brush;
  _pen.setBrush(_brush);
}

void CanvasWidget::setRubber(bool rubber)
{
  _settings.rubber = rubber;
}

void CanvasWidget::setTextAlign(int flags)
{
  _settings.textAlign = flags;
  _redrawText();
}

void CanvasWidget::setTextFont(const QString &name, const QString &style)
{
  _settings.fontName = name;
  _settings.fontStyle = style;
  if (_textPending())
    _text->resetDirtyArea();
  _redrawText();
}

void CanvasWidget::setTextSize(float size)
{
  _settings.textSize = size;
  _updateScaledSizes();
  _redrawText();
}

void CanvasWidget::setPictureSize(float size)
{
  _settings.pictureSize = size;
  _redrawPicture();
}

void CanvasWidget::clear()
{
  _backupCanvas();
  _replaceCanvas(QPixmap());
  update();
}

void CanvasWidget::_backupCanvas()
{
  if (!_backupPainter) {
    _backup = QPixmap(_canvasSize);
    _backup.fill(Qt::transparent);
    _backupPainter = std::make_unique<QPainter>(&_backup);
    _backupPainter->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  }
  // Drawn as the source: the backup becomes exactly the canvas.
  _backupPainter->setCompositionMode(QPainter::CompositionMode_Source);
  _backupPainter->drawPixmap(0, 0, _canvas);
  _history->push(_backup);
}

void CanvasWidget::_restoreBackup(const QRect &deviceArea)
{
  if (!_backupPainter)
    return;
  const QRect whole(QPoint(0, 0), _canvasSize);
  const QRect area = deviceArea.isNull() ? whole : deviceArea.intersected(whole);
  if (!area.isEmpty())
    _copyIntoCanvas(area, _backup, area);
}

void CanvasWidget::_replaceCanvas(const QPixmap &picture)
{
  _copyIntoCanvas(QRect(QPoint(0, 0), _canvasSize), picture, picture.rect());
}

void CanvasWidget::_copyIntoCanvas(const QRect &area, const QPixmap &source, const QRect &sourceArea)
{
  _canvasPainter.save();
  _canvasPainter.resetTransform();
  _canvasPainter.setClipping(false);
  _canvasPainter.setOpacity(1.0);
  // The source mode makes the pixels exactly the source's, transparent ones included.
  _canvasPainter.setCompositionMode(QPainter::CompositionMode_Source);
  if (source.isNull())
    _canvasPainter.fillRect(area, Qt::transparent);
  else
    _canvasPainter.drawPixmap(area, source, sourceArea);
  _canvasPainter.restore();
}

void CanvasWidget::shapeOnNeedDisplayInRect(Shape *, QRect rect)
{
  update(rect);
}

void CanvasWidget::shapeOnNeedDisplay(Shape *)
{
  update();
}

void CanvasWidget::shapeOnRequestBackupRestoreCanvasImage(Shape *shape, bool backup)
{
  // The backup was taken at the press.
  if (backup)
    return;
  QRect area;
  if (!shape->limitsRestore(area))
    _restoreBackup();
  else if (!area.isEmpty())
    _restoreBackup(shape->deviceArea(area));
}

void CanvasWidget::shapeOnRequestDiscardBackupCanvasImage(Shape *)
{
  _backupPainter.reset();
  _backup = QPixmap();
}

void CanvasWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
  // Scaled in one step the picture is sampled, not averaged, and lines thinner than the
  // scale fall between the samples. Averaged down by whole powers of two first, the last
  // step stays under two and keeps them.
  const int reduction = _reductionFor(size() * devicePixelRatioF());
  if (reduction == 1) {
    _reduced = QImage();
    painter.drawPixmap(rect(), _canvas);
    return;
  }
  if (reduction != _reduction || _reduced.isNull()) {
    _reduction = reduction;
    _reduced = QImage((_canvasSize.width() + reduction - 1) / reduction,
                      (_canvasSize.height() + reduction - 1) / reduction, QImage::Format_ARGB32_Premultiplied);
    _refreshReduced(rect());
  } else {
    // Every change of the canvas is followed by a repaint of its area: refreshing what is
    // painted keeps the copy in step.
    for (const QRect &area : event->region())
      _refreshReduced(area);
  }
  painter.drawImage(QRectF(rect()), _reduced,
                    QRectF(0, 0, qreal(_canvasSize.width()) / reduction, qreal(_canvasSize.height()) / reduction));
}

int CanvasWidget::_reductionFor(const QSize &deviceSize) const
{
  int reduction = 1;
  while (_canvasSize.width() / (2 * reduction) >= deviceSize.width() &&
         _canvasSize.height() / (2 * reduction) >= deviceSize.height())
    reduction *= 2;
  return reduction;
}

void CanvasWidget::_refreshReduced(const QRect &widgetArea)
{
  const int r = _reduction;
  const QRect device =
      QTransform::fromScale(_scaleX, _scaleY).mapRect(QRectF(widgetArea)).toAlignedRect().adjusted(-1, -1, 1, 1);
  // Whole blocks, so each reduced pixel is the average of its own block whatever the area.
  const int left = qMax(0, device.left()) / r * r, top = qMax(0, device.top()) / r * r;
  const int right = (device.right() / r + 1) * r, bottom = (device.bottom() / r + 1) * r;
  const QRect blocks = QRect(left, top, right - left, bottom - top).intersected(QRect(QPoint(0, 0), _canvasSize));
  if (blocks.isEmpty())
    return;
  const QSize reducedSize((blocks.width() + r - 1) / r, (blocks.height() + r - 1) / r);
  const QImage reduced =
      _canvas.copy(blocks).toImage().scaled(reducedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&_reduced);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(blocks.topLeft() / r, reduced);
}

void CanvasWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  if (width() <= 0 || height() <= 0)
    return;
  _scaleX = float(_canvasSize.width()) / width();
  _scaleY = float(_canvasSize.height()) / height();
  _canvasPainter.setTransform(QTransform::fromScale(_scaleX, _scaleY));
  const bool penFollowsBrush = _pen.brush() == _brush;
  _brush.setTransform(QTransform::fromScale(1.0 / _scaleX, 1.0 / _scaleY));
  if (penFollowsBrush)
    _pen.setBrush(_brush);
  _applyPenAndBrush();
  _updateScaledSizes();
  if (_textPending())
    _text->resetDirtyArea();
  if (_picturePending())
    _picture->resetDirtyArea();
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
  event->accept();
  if (_waiting || event->button() != Qt::LeftButton)
    return;
  if (_currentShape != _text && _currentShape != _picture)
    _backupCanvas();
  _currentShape->drawBegan(event->pos());
  _pressed = true;
  QPointer<CanvasWidget> guard(this);
  emit canvasWidgetDrawBegan(this);
  if (!guard)
    return;
  if (_textPending() || _picturePending()) {
    _dragStartLocation = _textPending() ? _settings.textLocation : _settings.pictureLocation;
    _pressGlobalPos = event->globalPos();
    _dragging = true;
  }
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
  event->accept();
  if (!_pressed || _waiting)
    return;
  _currentShape->drawMoved(event->pos());
  if (!_dragging)
    return;
  const QPoint delta = event->globalPos() - _pressGlobalPos;
  const QPointF location = _dragStartLocation + QPointF(qreal(delta.x()) / width(), qreal(delta.y()) / height());
  if (_textPending()) {
    _settings.textLocation = location;
    _redrawText();
  } else if (_picturePending()) {
    _settings.pictureLocation = location;
    _redrawPicture();
  }
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent *event)
{
  event->accept();
  if (event->button() == Qt::LeftButton) {
    if (_pressed && !_waiting)
      _currentShape->drawEnded(event->pos());
    _dragging = false;
  }
  _pressed = false;
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
  if (!_waiting && event->button() == Qt::LeftButton) {
    if (_textPending()) {
      event->accept();
      textShapeOnRequestText(_text);
      return;
    }
    if (_picturePending()) {
      event->accept();
      pictureShapeOnRequestPicture(_picture);
      return;
    }
  }
  // Otherwise the second click of a double click presses like the first.
  mousePressEvent(event);
}

void CanvasWidget::undo()
{
  if (_waiting || !_history->hasSnapshots())
    return;
  if (_history->isBusy()) {
    // The newest snapshot is still being written: finish once it is on disk.
    _waiting = true;
    emit canvasWidgetShowWaiting(this);
    return;
  }
  _finishUndo();
}

void CanvasWidget::_onHistoryIdle()
{
  if (!_waiting)
    return;
  _finishUndo();
  _waiting = false;
  emit canvasWidgetHideWaiting(this);
}

void CanvasWidget::_finishUndo()
{
  QElapsedTimer timer;
  timer.start();
  const QPixmap snapshot = _history->takeSnapshot();
  if (!snapshot.isNull())
    _replaceCanvas(snapshot);
  qDebug().noquote() << "Drawing history data uncompressing time: " + QString::number(timer.elapsed());
  update();
}
