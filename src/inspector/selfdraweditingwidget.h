#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class DrawingColorWidget;
class DrawingToolsWidget;
class DrawingTuningWidget;
class QVBoxLayout;

// The drawing tools in the inspector while a drawing is edited: the colour swatch, the
// tuning panel and the tool grid, one under the other. The grid wraps to the form's width,
// and the form's height follows it.
class SelfDrawEditingWidget : public QWidget
{
  Q_OBJECT
public:
  SelfDrawEditingWidget(const QSize &canvasSize, QWidget *parent);
  ~SelfDrawEditingWidget() override;

  DrawingColorWidget *colorWidget() const { return _colorWidget; }
  DrawingTuningWidget *tuningWidget() const { return _tuningWidget; }
  DrawingToolsWidget *toolsWidget() const { return _toolsWidget; }
  void dismissDrawingPopups();

  bool eventFilter(QObject *watched, QEvent *event) override;

signals:
  void widgetSizeChanged();

protected:
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  void _watchWindow();

  QVBoxLayout *_verticalLayout = nullptr;
  DrawingColorWidget *_colorWidget = nullptr;
  DrawingTuningWidget *_tuningWidget = nullptr;
  DrawingToolsWidget *_toolsWidget = nullptr;
  QPointer<QWidget> _watchedWindow;
  int _computedHeight = -1;
};
