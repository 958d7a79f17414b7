#pragma once

#include "commoneditingwidgetcontroller.h"

#include <QSize>

class DrawingColorWidget;
class DrawingToolsWidget;
class DrawingTuningWidget;
class SelfDrawEditingWidget;

// The drawing tools, shown at the bottom of the inspector while a drawing is edited. Its
// height follows the tool grid, which wraps to the inspector's width.
class SelfDrawEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  SelfDrawEditingWidgetController(const QSize &canvasSize, QWidget *parent);

  DrawingColorWidget *colorWidget() const;
  DrawingTuningWidget *tuningWidget() const;
  DrawingToolsWidget *toolsWidget() const;
  // A drawing on a canvas of another shape: the swatch's gradients and fitted patterns
  // must take the new size. An invalid size keeps the old one.
  void setCanvasSize(const QSize &canvasSize);

  QWidget *editingWidget() const override;
  // Hiding also closes a popup opened from the swatch or the tuning panel.
  void setVisible(bool visible) override;
  int orderKey() const override { return 230; }
  SelfDrawEditingWidget *form() const { return _form; }

public slots:
  void onSelfDrawWidgetSizeChanged();

private:
  SelfDrawEditingWidget *_form = nullptr;
};
