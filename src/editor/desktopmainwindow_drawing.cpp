// The desktop window's part of the drawing state: the inspector's Self draw tools are the ones
// the window routes to while a drawing is edited, and the window makes none of its own.

#include "desktopmainwindow.h"

#include "canvaswidget.h"
#include "drawingcolorwidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "segmentinspectorwidget.h"

void DesktopMainWindow::_connectInspectorDrawingSignals(SegmentInspectorWidget *inspector)
{
  using S = SegmentInspectorWidget;
  // The inspector reads the size as soon as the emit returns.
  connect(inspector, &S::segmentInspectorWidgetGetCanvasSize, this,
          &DesktopMainWindow::segmentInspectorWidget_onGetCanvasSize, Qt::DirectConnection);
  connect(inspector, &S::segmentInspectorWidgetInitDrawingWidgets, this,
          &DesktopMainWindow::segmentInspectorWidget_onInitDrawingWidgets);
  connect(inspector, &S::segmentInspectorWidgetStartDrawing, this,
          &DesktopMainWindow::segmentInspectorWidget_onStartDrawing);
  connect(inspector, &S::segmentInspectorWidgetEndDrawing, this,
          &DesktopMainWindow::segmentInspectorWidget_onEndDrawing);
}

void DesktopMainWindow::drawingDidEnd()
{
  _segmentEditingSetDrawingWidgets(nullptr, nullptr);
}

void DesktopMainWindow::segmentInspectorWidget_onGetCanvasSize(SegmentInspectorWidget *, QSize &size)
{
  if (_canvasWidget)
    size = _canvasWidget->canvasSize();
}

void DesktopMainWindow::segmentInspectorWidget_onInitDrawingWidgets(SegmentInspectorWidget *,
                                                                    DrawingColorWidget *colorWidget,
                                                                    DrawingTuningWidget *tuningWidget,
                                                                    DrawingToolsWidget *toolsWidget)
{
  _segmentEditingSetConnectionsForDrawingWidgets(colorWidget, tuningWidget, toolsWidget);
}

void DesktopMainWindow::segmentInspectorWidget_onStartDrawing(SegmentInspectorWidget *,
                                                              DrawingColorWidget *colorWidget,
                                                              DrawingTuningWidget *tuningWidget,
                                                              DrawingToolsWidget *toolsWidget)
{
  _segmentEditingSetDrawingWidgets(colorWidget, tuningWidget);
  _applyDrawingToolSettings(_canvasWidget, tuningWidget, colorWidget, toolsWidget);
}

void DesktopMainWindow::segmentInspectorWidget_onEndDrawing(SegmentInspectorWidget *)
{
  _segmentEditingSetDrawingWidgets(nullptr, nullptr);
}
