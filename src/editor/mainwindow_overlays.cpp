// The transform overlay over the preview: which segment and which transition end it edits at
// the play head, where it lies, how a finished drag goes back into the segment, and its context
// menu; the crop frame's and the text editor's places.

#include "mainwindow.h"

#include "animationswitch.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avcomposition.h"
#include "cropwidget.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "transformwidget.h"
#include "usersettings.h"
#include "util.h"

#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPropertyAnimation>

namespace {

bool isSoundType(const QString &type)
{
  return type == QLatin1String("MUSIC") || type == QLatin1String("VOICE");
}

} // namespace

SegmentWidget *MainWindow::_editedBlock() const
{
  return _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
}

bool MainWindow::_isTransitionStateEdited() const
{
  SegmentWidget *block = _editedBlock();
  return block && block->transitionId() >= 1 && _editedTransitionEnd >= 0;
}

QRectF MainWindow::_previewFrameInOverlayParent() const
{
  if (!_previewWidget || !_hooks.previewArea)
    return QRectF();
  return QRectF(QPointF(_previewWidget->mapTo(_hooks.previewArea, QPoint(0, 0))), QSizeF(_previewWidget->size()));
}

// The layer's size on the preview before the user's scale; empty while there is no picture.
QSizeF MainWindow::_overlayNaturalSize(Segment *segment, const QSizeF &preview) const
{
  const LayerGeometry record = segment->fitGeometry(preview);
  const QString type = segment->type();
  QSizeF size;
  if (type == QLatin1String("MOVIE")) {
    auto *movie = static_cast<MovieSegment *>(segment);
    if (!movie->hasVideo())
      return QSizeF();
    size = movie->videoSize();
  } else if (type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING")) {
    size = static_cast<ImageSegment *>(segment)->naturalSize();
  } else if (type == QLatin1String("TEXT")) {
    size = preview;
  } else {
    return QSizeF();
  }
  return QSizeF(size.width() * double(record.scaleWidth), size.height() * double(record.scaleHeight));
}

// The crop frame shows the whole picture fitted into the preview, in central-widget coordinates.
void MainWindow::_layoutCropWidget()
{
  if (!_cropWidget || !_previewWidget || !centralWidget())
    return;
  const QPixmap picture =
      _cropWidget->pictureLabel() ? _cropWidget->pictureLabel()->pixmap(Qt::ReturnByValue) : QPixmap();
  if (picture.isNull())
    return;
  const QRectF fitted = Util::fitRectWithAspectRatio(float(picture.width()), float(picture.height()),
                                                     QRectF(QPointF(0, 0), QSizeF(_previewWidget->size())));
  const QPoint topLeft =
      _previewWidget->mapTo(centralWidget(), QPoint(int(std::lround(fitted.x())), int(std::lround(fitted.y()))));
  _cropWidget->setPictureRect(
      QRect(topLeft, QSize(int(std::lround(fitted.width())), int(std::lround(fitted.height())))));
}

void MainWindow::_updateTransformWidgetArea()
{
  if (_transformWidget)
    _transformWidget->setPlaybackAreaFrame(_previewFrameInOverlayParent());
}

void MainWindow::_updateTransformWidgetGeometry(bool animated)
{
  if (!_transformWidget || !_transformWidget->segment())
    return;
  Segment *segment = _transformWidget->segment();
  if (!isSoundType(segment->type()))
    _layoutTransformWidget(segment, animated);
}

void MainWindow::_layoutTransformWidget(Segment *segment, bool animated)
{
  if (!_transformWidget || !segment || !_previewWidget)
    return;
  const QSizeF preview(_previewWidget->size());
  const QPointF origin = _previewFrameInOverlayParent().topLeft();
  const LayerGeometry record = segment->fitGeometry(preview);
  const QSizeF natural = _overlayNaturalSize(segment, preview);
  _overlayLayerCenter = origin + QPointF(record.centerX, record.centerY);
  _overlayNaturalSizeKept = natural;

  SegmentWidget *block = _editedBlock();
  const LayerGeometry g = _isTransitionStateEdited()
                              ? segment->transitionLayerGeometry(block->transitionId(), _editedTransitionEnd != 0, preview)
                              : segment->layerGeometry(preview);
  QSizeF size = natural;
  if (g.scaleWidth != 1.0f)
    size.setWidth(size.width() * double(g.scaleWidth));
  if (g.scaleHeight != 1.0f)
    size.setHeight(size.height() * double(g.scaleHeight));
  if (QWidget *parent = _transformWidget->parentWidget())
    _transformWidget->setGeometry(0, 0, parent->width(), parent->height());
  _transformWidget->setContentLayerGeometry(origin + QPointF(g.centerX, g.centerY), size, g.rotationZ,
                                            QPointF(g.anchorX, g.anchorY), natural, animated);
}

void MainWindow::_showTransformWidget(Segment *segment)
{
  if (!segment || !_previewWidget || !_hooks.previewArea)
    return;
  if (_overlayNaturalSize(segment, QSizeF(_previewWidget->size())).isEmpty())
    return;
  const bool transition = _isTransitionStateEdited();
  const QString kind = transition ? QStringLiteral("_transition") : QStringLiteral("_normal");
  const QColor color = transition ? QColor(3, 166, 228, 128) : QColor(236, 236, 236, 128);
  const float snap = UserSettings::instance()->autoDragDropAlign() ? 5.0f : 0.5f;
  auto *widget = new TransformWidget(QStringLiteral(":/images/transform_dot") + kind,
                                     QStringLiteral(":/images/transform_square") + kind,
                                     QStringLiteral(":/images/transform_central_point") + kind, color, snap,
                                     _hooks.previewArea);
  widget->setSegment(segment);
  _transformWidget = widget;
  connect(widget, &TransformWidget::transformWidgetContentLayerGeometryDidChange, this,
          &MainWindow::transformWidget_contentLayerGeometryDidChange);
  connect(widget, &TransformWidget::transformWidgetRequestContextMenu, this,
          &MainWindow::transformWidget_requestContextMenu);
  _layoutTransformWidget(segment, false);
  widget->show();
  widget->raise();
  if (isAnimationEnabled())
    Util::fadeInWidget(widget, 200, 1.0f);
}

// The overlay is gone for the window at once; what is left on screen only fades out.
void MainWindow::_hideTransformWidget()
{
  if (!_transformWidget)
    return;
  TransformWidget *widget = _transformWidget;
  _transformWidget = nullptr;
  widget->disconnect(this);
  if (!isAnimationEnabled()) {
    widget->hide();
    widget->deleteLater();
    return;
  }
  // A fade-in still running would remove the effect when it ends.
  for (QPropertyAnimation *running : widget->findChildren<QPropertyAnimation *>())
    running->stop();
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  Util::fadeOutWidget(widget, 200, true);
}

void MainWindow::_reloadTransformWidget(Segment *segment)
{
  _hideTransformWidget();
  if (_isInPlaceEditing() || !segment || isSoundType(segment->type()))
    return;
  _showTransformWidget(segment);
  _updateTransformWidgetArea();
}

bool MainWindow::_hasTransformOverlay() const
{
  return _transformWidget;
}

void MainWindow::_updateTransformWidgetAtPlayhead()
{
  _updateTransformOverlayAt(_playheadTime());
}

void MainWindow::_updateTransformOverlayAt(float t)
{
  if (!_editScrollArea || !_editScrollArea->isEditingSegment())
    return;
  SegmentWidget *block = _editedBlock();
  if (!block || !block->segment())
    return;
  Segment *segment = block->segment();
  const bool sound = isSoundType(segment->type());
  if (isEditingTransitions()) {
    const int id = block->transitionId();
    if (id < 1) {
      _editedTransitionEnd = -1;
      if (_transformWidget) {
        updateTransitionTools();
        _hideTransformWidget();
      }
      return;
    }
    const float s = segment->rangeStart() + segment->transitionStart(id);
    const float d = segment->transitionDuration(id);
    const bool atBegin = std::abs(t - s) <= 0.1f;
    const bool atEnd = std::abs(t - (s + d)) <= 0.1f;
    if (d >= 0.2f && (atBegin || atEnd)) {
      const int end = atBegin ? 1 : 0;
      const bool changed = end != _editedTransitionEnd;
      _editedTransitionEnd = end;
      if (!_transformWidget) {
        updateTransitionTools();
        _reloadTransformWidget(segment);
      } else if (changed) {
        _updateTransformWidgetGeometry(false);
      }
      return;
    }
    _editedTransitionEnd = -1;
    if (_transformWidget) {
      updateTransitionTools();
      _hideTransformWidget();
    }
    if (sound && isVolumeButtonEnabled())
      updateTransitionTools();
    return;
  }
  if (segment->isBeforeFirstTransition(t)) {
    if (!_transformWidget) {
      _reloadTransformWidget(segment);
      _notifyPlayheadTime();
    }
  } else {
    if (_transformWidget) {
      _hideTransformWidget();
      _notifyPlayheadTime();
    }
    if (sound && isVolumeButtonEnabled())
      _notifyPlayheadTime();
  }
  const bool inside = segment->rangeStart() <= t && t < segment->rangeStart() + segment->duration();
  if (inside != _playheadInsideEditedSegment)
    _notifyPlayheadTime();
  _playheadInsideEditedSegment = inside;
}

// The in-place text editor covers the text layer, its font scaled from the composition to the
// preview.
void MainWindow::_layoutTextEditWidget()
{
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  if (!_textEditWidget || !_previewWidget || !_composition || _composition->width() <= 0 || !segment
      || segment->type() != QLatin1String("TEXT"))
    return;
  auto *text = static_cast<TextSegment *>(segment);
  const QSizeF preview(_previewWidget->size());
  const LayerGeometry record = text->fitGeometry(preview);
  const LayerGeometry g = text->layerGeometry(preview);
  const int width = int(preview.width() * double(record.scaleWidth) * double(g.scaleWidth));
  const int height = int(preview.height() * double(record.scaleHeight) * double(g.scaleHeight));
  QWidget *area = _textEditWidget->parentWidget();
  const QPoint layerCenter(int(std::lround(g.centerX)), int(std::lround(g.centerY)));
  const QPoint center = area ? area->mapFromGlobal(_previewWidget->mapToGlobal(layerCenter)) : layerCenter;
  int y = center.y() - height / 2;
  if (y < 0)
    y = 3;
  _textEditWidget->setGeometry(center.x() - width / 2, y, width, height);
  // The characters carry their size: the whole style is applied again, not the widget's font.
  _refreshTextEditorStyle(_textEditWidget, text);
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
  if (_transformWidget && _transformWidget->handleContextMenuEvent(event)) {
    event->accept();
    return;
  }
  CommonMainWindow::contextMenuEvent(event);
}
