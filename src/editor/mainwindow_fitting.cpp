// Reshaping the layer under the transform overlay, and the one-time conversion of video
// geometry written by projects older than 3.0.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "transformwidget.h"

#include <QtMath>

namespace {

constexpr double ReferenceWidth = 640;
constexpr double ReferenceHeight = 360;

// Old projects kept a video's centre in pixels of a 640 x 360 frame.
QPointF fractionOfReference(const QPointF &pixels)
{
  return QPointF((pixels.x() - ReferenceWidth / 2) / ReferenceWidth,
                 (pixels.y() - ReferenceHeight / 2) / ReferenceHeight);
}

bool isUsable(const QSizeF &size)
{
  return size.width() > 0 && size.height() > 0;
}

} // namespace

void MainWindow::onActionMaintainAspectRatioTriggered()
{
  _maintainAspectRatio();
}

void MainWindow::onActionRestoreDefaultTriggered()
{
  _restoreDefault();
}

void MainWindow::onActionOriginalSizeTriggered()
{
  _setOriginalSize();
}

void MainWindow::onActionFillScreenTriggered()
{
  _fillScreen();
}

QSizeF MainWindow::_layerSourceSize(Segment *segment) const
{
  const QString type = segment->type();
  if (type == QLatin1String("MOVIE"))
    return static_cast<MovieSegment *>(segment)->videoSize();
  if (type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING"))
    return static_cast<ImageSegment *>(segment)->naturalSize();
  if (type == QLatin1String("TEXT"))
    return _overlayNaturalSizeKept;
  return QSizeF();
}

void MainWindow::_maintainAspectRatio()
{
  Segment *segment = _transformWidget ? _transformWidget->segment() : nullptr;
  if (!segment)
    return;
  QSizeF source = _layerSourceSize(segment);
  if (segment->type() == QLatin1String("TEXT") && _isTransitionStateEdited() && _previewWidget) {
    const LayerGeometry state = segment->transitionLayerGeometry(_editedBlock()->transitionId(),
                                                                 _editedTransitionEnd != 0, QSizeF(_previewWidget->size()));
    source = QSizeF(source.width() * double(state.scaleWidth), source.height() * double(state.scaleHeight));
  }
  QPointF position;
  QSizeF size;
  float rotation = 0;
  QPointF anchor;
  _transformWidget->getContentLayerGeometry(&position, &size, &rotation, &anchor);
  if (!isUsable(source) || !isUsable(size))
    return;
  const double s = std::min(size.width() / source.width(), size.height() / source.height());
  _transformWidget->setContentLayerGeometry(position, source * s, rotation, anchor, _overlayNaturalSizeKept, true);
  emit _transformWidget->transformWidgetContentLayerGeometryDidChange(_transformWidget);
  _projectManager->setModified(true);
}

void MainWindow::_restoreDefault()
{
  Segment *segment = _transformWidget ? _transformWidget->segment() : nullptr;
  if (!segment)
    return;
  _recordOperation();
  if (_isTransitionStateEdited()) {
    const int id = _editedBlock()->transitionId();
    segment->resetTransitionValues(id, _editedTransitionEnd != 0);
    updateTransitionTools();
    _applyTransitionToEngine(segment, id);
  } else {
    segment->setUserTranslation(QPointF(0, 0));
    segment->setUserScale(QSizeF(1, 1));
    segment->setUserRotation(0);
    segment->setUserRotationX(0);
    segment->setUserRotationY(0);
    segment->setUserFlip(0);
    segment->setUserAnchorPoint(QPointF(0.5, 0.5));
    segment->setCropTopLeft(QPointF(0, 0));
    segment->setCropBottomRight(QPointF(1, 1));
    updateToolsAtTime(_playheadTime());
    if (_engine) {
      const quint32 id = segment->id();
      _engine->setSegmentProperty(id, 2, 0, 0);
      _engine->setSegmentProperty(id, 3, 1, 1);
      _engine->setSegmentProperty(id, 4, 0);
      _engine->setSegmentProperty(id, 5, 0);
      _engine->setSegmentProperty(id, 6, 0);
      _engine->setSegmentProperty(id, 7, 0.5f, 0.5f);
      _engine->setSegmentProperty(id, 8, 0, 0);
      _engine->setSegmentProperty(id, 9, 1, 1);
    }
  }
  _updateTransformWidgetGeometry(true);
  if (_engine)
    _engine->refresh();
  _projectManager->setModified(true);
  updateInspectorGeometry();
}

void MainWindow::_setOriginalSize()
{
  Segment *segment = _transformWidget ? _transformWidget->segment() : nullptr;
  if (!segment || segment->type() != QLatin1String("IMAGE") || !_composition)
    return;
  const QSizeF natural = static_cast<ImageSegment *>(segment)->naturalSize();
  const QSizeF render(_composition->width(), _composition->height());
  const LayerGeometry record = segment->fitGeometry(render);
  const QSizeF shown(natural.width() * double(record.scaleWidth), natural.height() * double(record.scaleHeight));
  if (!isUsable(natural) || !isUsable(render) || !isUsable(shown))
    return;
  _recordOperation();
  const QSizeF scale(natural.width() / shown.width(), natural.height() / shown.height());
  segment->setUserScale(scale);
  if (_engine)
    _engine->setSegmentProperty(segment->id(), 3, float(scale.width()), float(scale.height()));
  updateToolsAtTime(_playheadTime());
  _updateTransformWidgetGeometry(true);
  if (_engine)
    _engine->refresh();
  _projectManager->setModified(true);
  updateInspectorGeometry();
}

void MainWindow::_fillScreen()
{
  Segment *segment = _transformWidget ? _transformWidget->segment() : nullptr;
  if (!segment || !_previewWidget)
    return;
  const QString type = segment->type();
  if (type != QLatin1String("MOVIE") && type != QLatin1String("IMAGE") && type != QLatin1String("DRAWING"))
    return;
  const QSizeF source = _layerSourceSize(segment);
  const QSizeF preview(_previewWidget->size());
  if (!isUsable(source) || !isUsable(preview))
    return;
  const QSizeF size = preview.width() / preview.height() > source.width() / source.height()
                          ? QSizeF(preview.width(), preview.width() * source.height() / source.width())
                          : QSizeF(preview.height() * source.width() / source.height(), preview.height());
  QPointF anchor;
  _transformWidget->getContentLayerGeometry(nullptr, nullptr, nullptr, &anchor);
  _transformWidget->setContentLayerGeometry(_overlayLayerCenter, size, 0, anchor, _overlayNaturalSizeKept, true);
  transformWidget_contentLayerGeometryDidChange(_transformWidget);
}

void MainWindow::_noteLegacyMovie(Segment *segment)
{
  if (_legacyGeometryOnLoad && segment->type() == QLatin1String("MOVIE"))
    _legacyMoviesPending.insert(segment->uid());
}

// Converts each video of the opening exactly once; the version goes up only when the last one
// is done, so that no file ever holds converted and unconverted videos under one version.
void MainWindow::_convertLegacyMovieOnce(Segment *segment)
{
  if (!_legacyMoviesPending.remove(segment->uid()))
    return;
  if (segment->error() == SegmentNoError)
    _convertLegacyMovieTransform(segment);
  if (!_legacyMovieAwaitsConversion())
    _projectManager->setVersion(5.0f);
}

bool MainWindow::_legacyMovieAwaitsConversion()
{
  if (_legacyMoviesPending.isEmpty())
    return false;
  for (const QString &uid : qAsConst(_legacyMoviesPending))
    if (_projectManager->indexOfSegmentUId(uid) >= 0)
      return true;
  // Only videos deleted before they were ready are left: they hold nothing back. Their UIds
  // stay, so that an undo bringing one back still has it converted.
  _projectManager->setVersion(5.0f);
  return false;
}

void MainWindow::_convertLegacyMovieTransform(Segment *segment)
{
  segment->setUserTranslation(fractionOfReference(segment->userTranslation()));
  segment->setUserRotation(qDegreesToRadians(segment->userRotation()));
  const int flip = segment->userFlip();
  if (flip & 1)
    segment->setFlippedHorizontally(true);
  if (flip & 2)
    segment->setFlippedVertically(true);
  if (_engine) {
    const QPointF t = segment->userTranslation();
    _engine->setSegmentProperty(segment->id(), 2, float(t.x()), float(t.y()));
    _engine->setSegmentProperty(segment->id(), 4, float(segment->userRotation()));
    _engine->setSegmentProperty(segment->id(), 6, segment->userRotationY());
    _engine->setSegmentProperty(segment->id(), 5, segment->userRotationX());
  }
  for (int i = 0; i < segment->transitionCount(); ++i) {
    const int id = segment->transitionIdAt(i);
    for (bool begin : {false, true}) {
      segment->setTransitionUserTranslation(id, begin,
                                            fractionOfReference(segment->transitionUserTranslation(id, begin)));
      segment->setTransitionUserRotation(id, begin,
                                         float(qDegreesToRadians(double(segment->transitionUserRotation(id, begin)))));
      const int bits = segment->transitionUserFlip(id, begin);
      if (bits & 1)
        segment->setTransitionFlippedHorizontally(id, begin, true);
      if (bits & 2)
        segment->setTransitionFlippedVertically(id, begin, true);
    }
    _applyTransitionToEngine(segment, id);
  }
  _projectManager->setModified(true);
}
