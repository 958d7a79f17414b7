// Geometry placed by computation: the preview in its area, the media preview, the pointers over
// the timeline, the timeline zoom and the preview's render size.

#include "mainwindow.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "mediapreviewwidget.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "util.h"

#include <QScrollBar>

#include <cmath>

namespace {

constexpr int PreviewMargin = 28;
constexpr int PointerWidth = 52;
constexpr float MinZoom = 0.2f;
constexpr float MaxZoom = 4.0f;

int roundHalfAway(double v)
{
  return int(std::lround(v));
}

} // namespace

void MainWindow::_layoutPreview()
{
  if (!_hooks.previewArea || !_hooks.playbackWidget)
    return;
  QRectF r = QRectF(_hooks.previewArea->rect()).adjusted(PreviewMargin, PreviewMargin, -PreviewMargin, -PreviewMargin);
  if (!_isPreviewFullscreen()) {
    const double dx = (1.0 - _previewScale) * r.width() * 0.5;
    const double dy = (1.0 - _previewScale) * r.height() * 0.5;
    r.adjust(dx, dy, -dx, -dy);
  }
  const QSizeF aspect = _projectManager ? _projectManager->aspectSize() : QSizeF(16, 9);
  const QRectF fitted = Util::fitRectWithAspectRatio(float(aspect.width()), float(aspect.height()), r);
  _hooks.playbackWidget->setGeometry(roundHalfAway(fitted.x()), roundHalfAway(fitted.y()),
                                     roundHalfAway(fitted.width()), roundHalfAway(fitted.height()));
}

void MainWindow::_layoutMediaPreview()
{
  if (_mediaPreviewWidget && _hooks.previewArea)
    _mediaPreviewWidget->setGeometry(
        _hooks.previewArea->rect().adjusted(PreviewMargin, PreviewMargin, -PreviewMargin, -PreviewMargin));
}

void MainWindow::_layoutPointers()
{
  if (!_hooks.editArea)
    return;
  const int height = _hooks.editArea->height() - 15;
  for (PointerWidget *pointer : {_playheadPointer, _rangeStartPointer})
    if (pointer)
      pointer->setGeometry(pointer->x(), 0, PointerWidth, height);
}

void MainWindow::_setPreviewQuality(int quality)
{
  if (quality == _previewQuality)
    return;
  _previewQuality = quality;
  if (!_engine)
    return;
  const QSize size = _projectManager->previewVideoSize(quality);
  _engine->setRenderSize(size.width(), size.height());
  _engine->refresh();
}

void MainWindow::_setTimelineScale(float zoom)
{
  const float oldZoom = _zoom;
  _zoom = qBound(MinZoom, zoom, MaxZoom);
  _projectManager->setTimeScale(_zoom);
  const QPoint offset = _editScrollArea->contentOffset();
  const float duration = _projectManager->duration();
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setScale(_zoom, duration);
  _editScrollArea->setScale(_zoom, duration);
  if (_editScrollArea->rangeSelectionMode) {
    _editScrollArea->updateSelectionRange();
    const float pixels = 24 * _zoom;
    const float x = 60 - _editScrollArea->horizontalOffset();
    if (_playheadPointer)
      _playheadPointer->setCenterX(x + _editScrollArea->selectionEnd * pixels, false);
    if (_rangeStartPointer)
      _rangeStartPointer->setCenterX(x + _editScrollArea->selectionStart * pixels, false);
  }
  _editScrollArea->setContentOffset(QPoint(int(offset.x() * _zoom / oldZoom), offset.y()), false);
  // Playback and a running scroll animation bring their own time to the preview.
  if (!_playing && !_scrollAnimating)
    _seekToTime(_playheadTime(), false);
}

float MainWindow::_playheadTime() const
{
  return (_editScrollArea->horizontalOffset() + _playheadX) / (24 * _zoom);
}
