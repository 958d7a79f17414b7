#pragma once

#include "commoneditingwidgetcontroller.h"
#include "loadedtransition.h"

#include <QPointF>

class GeometryEditingWidget;
class Segment;
class TransformWidget;

// The geometry editor in the inspector: the segment's own placement (order key 60) or, in
// transition mode, that of a transition's begin or end set (190). Forwards every signal of
// its widget unchanged.
class GeometryEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  GeometryEditingWidgetController(bool transitionMode, QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateFromTransition(const Segment *segment, int tId, int beginOrEnd);
  // Reloads the values of a set, keeping the remembered pair and the flip marks.
  void reloadTransitionValues(const Segment *segment, int tId, int beginOrEnd);
  // Geometry is edited with the preview's transform overlay, so only while there is one.
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override;
  int orderKey() const override { return _transitionMode ? 190 : 60; }
  GeometryEditingWidget *form() const { return _form; }
  const LoadedTransition &loadedTransition() const { return _loaded; }

signals:
  void maintainAspectRatioButtonClicked();
  void restoreDefaultButtonClicked();
  void cropButtonClicked();
  void rotateClockwiseButtonClicked();
  void rotateCounterClockwiseButtonClicked();
  void flipHorizontalButtonClicked();
  void flipVerticalButtonClicked();
  void rotationValueChanged(double value);
  void xValueChanged(double value);
  void yValueChanged(double value);
  void widthValueChanged(double value);
  void heightValueChanged(double value);
  void beforeGeometryValueChanging(QPointF &translation, QPointF &scale, qreal &rotation);
  void rotationValueChanging(double value);
  void xValueChanging(double value);
  void yValueChanging(double value);
  void widthValueChanging(double value);
  void heightValueChanging(double value);
  void afterGeometryValueChanging(QPointF translation, QPointF scale, double rotation);

private:
  void _showValues(const QPointF &translation, const QSizeF &scale, float rotation);

  GeometryEditingWidget *_form = nullptr;
  const bool _transitionMode;
  LoadedTransition _loaded;
};
