// Reshaping the layer under the transform overlay, and the one-time conversion of video
// geometry written by projects older than 3.0.

#include "mainwindow.h"

#include "avengine.h"
#include "moviesegment.h"
#include "projectmanager.h"

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

} // namespace

void MainWindow::_noteLegacyMovie(Segment *segment)
{
  if (_legacyGeometryOnLoad && segment->type() == QLatin1String("MOVIE"))
    _legacyMoviesPending.insert(segment->id());
}

// Converts each video of the opening exactly once; the version goes up only when the last one
// is done, so that no file ever holds converted and unconverted videos under one version.
void MainWindow::_convertLegacyMovieOnce(Segment *segment)
{
  if (!_legacyMoviesPending.remove(segment->id()))
    return;
  if (segment->error() == SegmentNoError)
    _convertLegacyMovieTransform(segment);
  if (_legacyMoviesPending.isEmpty())
    _projectManager->setVersion(5.0f);
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
