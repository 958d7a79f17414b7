// Position, size and rotation typed or stepped in the inspector, written into the edited
// segment or into the edited transition state.

#include "mainwindow.h"

#include "avengine.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmenttypes.h"
#include "segmentwidget.h"

Segment *MainWindow::_geometryEditedSegment() const
{
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  return isVisualSegment(segment) ? segment : nullptr;
}

MainWindow::EditedGeometry MainWindow::_editedGeometry(Segment *segment) const
{
  EditedGeometry g;
  if (_isTransitionStateEdited()) {
    const int id = _editedBlock()->transitionId();
    const bool begin = _editedTransitionEnd != 0;
    g.translation = segment->transitionUserTranslation(id, begin);
    g.scale = segment->transitionUserScale(id, begin);
    g.rotation = double(segment->transitionUserRotation(id, begin));
  } else {
    g.translation = segment->userTranslation();
    g.scale = segment->userScale();
    g.rotation = segment->userRotation();
  }
  return g;
}

// Each component is written back whole and read back before it reaches the engine, so the
// engine sees exactly what the model keeps.
void MainWindow::_applyGeometryValues(Segment *segment, const QHash<QString, qreal> &values, bool toEngine)
{
  const bool transition = _isTransitionStateEdited();
  const int id = transition ? _editedBlock()->transitionId() : 0;
  const bool begin = _editedTransitionEnd != 0;
  AVEngine *engine = toEngine ? _engine : nullptr;
  EditedGeometry g = _editedGeometry(segment);

  auto send = [&](int property, qreal a, qreal b) {
    if (!engine)
      return;
    if (transition)
      engine->setTransitionValue(segment->id(), quint32(id), !begin, property, float(a), float(b), 0, 0);
    else
      engine->setSegmentProperty(segment->id(), property, float(a), float(b), 0, 0);
  };

  for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
    const QString &key = it.key();
    const qreal value = it.value();
    if (key == QLatin1String("x") || key == QLatin1String("y")) {
      (key == QLatin1String("x") ? g.translation.rx() : g.translation.ry()) = value;
      if (transition)
        segment->setTransitionUserTranslation(id, begin, g.translation);
      else
        segment->setUserTranslation(g.translation);
      const QPointF t = transition ? segment->transitionUserTranslation(id, begin) : segment->userTranslation();
      send(kAVPropertyPosition, t.x(), t.y());
    } else if (key == QLatin1String("w") || key == QLatin1String("h")) {
      if (key == QLatin1String("w"))
        g.scale.setWidth(value);
      else
        g.scale.setHeight(value);
      if (transition)
        segment->setTransitionUserScale(id, begin, g.scale);
      else
        segment->setUserScale(g.scale);
      const QSizeF s = transition ? segment->transitionUserScale(id, begin) : segment->userScale();
      send(kAVPropertyScale, s.width(), s.height());
    } else if (key == QLatin1String("r")) {
      if (transition)
        segment->setTransitionUserRotation(id, begin, float(value));
      else
        segment->setUserRotation(value);
      const double r =
          transition ? double(segment->transitionUserRotation(id, begin)) : segment->userRotation();
      send(kAVPropertyRotation, r, 0);
    }
  }
}

void MainWindow::_segmentEditingSetGeometry(const QHash<QString, qreal> &dictValue)
{
  Segment *segment = _geometryEditedSegment();
  if (!segment)
    return;
  _recordOperation();
  _applyGeometryValues(segment, dictValue, true);
  if (_engine)
    _engine->refresh();
  _updateTransformWidgetGeometry(false);
  _projectManager->setModified(true);
}

void MainWindow::_segmentEditingUpdateGeometry(const QHash<QString, qreal> &dictValue)
{
  Segment *segment = _geometryEditedSegment();
  if (!segment)
    return;
  _applyGeometryValues(segment, dictValue, false);
  _updateTransformWidgetGeometry(false);
}

void MainWindow::_segmentEditingSetGeometryX(double value)
{
  _segmentEditingSetGeometry({{QStringLiteral("x"), value}});
}
void MainWindow::_segmentEditingSetGeometryY(double value)
{
  _segmentEditingSetGeometry({{QStringLiteral("y"), value}});
}
void MainWindow::_segmentEditingSetGeometryWidth(double value)
{
  _segmentEditingSetGeometry({{QStringLiteral("w"), value}});
}
void MainWindow::_segmentEditingSetGeometryHeight(double value)
{
  _segmentEditingSetGeometry({{QStringLiteral("h"), value}});
}
void MainWindow::_segmentEditingSetGeometryRotation(double value)
{
  _segmentEditingSetGeometry({{QStringLiteral("r"), value}});
}

void MainWindow::_segmentEditingUpdateGeometryX(double value)
{
  _segmentEditingUpdateGeometry({{QStringLiteral("x"), value}});
}
void MainWindow::_segmentEditingUpdateGeometryY(double value)
{
  _segmentEditingUpdateGeometry({{QStringLiteral("y"), value}});
}
void MainWindow::_segmentEditingUpdateGeometryWidth(double value)
{
  _segmentEditingUpdateGeometry({{QStringLiteral("w"), value}});
}
void MainWindow::_segmentEditingUpdateGeometryHeight(double value)
{
  _segmentEditingUpdateGeometry({{QStringLiteral("h"), value}});
}
void MainWindow::_segmentEditingUpdateGeometryRotation(double value)
{
  _segmentEditingUpdateGeometry({{QStringLiteral("r"), value}});
}

void MainWindow::_segmentEditingBeforeUpdateGeometry(QPointF &translation, QPointF &scale, qreal &rotation)
{
  Segment *segment = _geometryEditedSegment();
  if (!segment)
    return;
  const EditedGeometry g = _editedGeometry(segment);
  translation = g.translation;
  scale = QPointF(g.scale.width(), g.scale.height());
  rotation = g.rotation;
}

// Puts the values from before a stepping gesture back, so that the final Set records them.
void MainWindow::_segmentEditingAfterUpdateGeometry(QPointF translation, QPointF scale, double rotation)
{
  Segment *segment = _geometryEditedSegment();
  if (!segment)
    return;
  const QSizeF size(scale.x(), scale.y());
  if (_isTransitionStateEdited()) {
    const int id = _editedBlock()->transitionId();
    const bool begin = _editedTransitionEnd != 0;
    segment->setTransitionUserTranslation(id, begin, translation);
    segment->setTransitionUserScale(id, begin, size);
    segment->setTransitionUserRotation(id, begin, float(rotation));
  } else {
    segment->setUserTranslation(translation);
    segment->setUserScale(size);
    segment->setUserRotation(rotation);
  }
}
