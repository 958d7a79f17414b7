#pragma once

#include "popupcolormatrixwidget.h"

#include <QBrush>
#include <QColor>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class CommonPopup;
class QLabel;

// Edits a two-colour gradient, linear or radial, by dragging its start and end handles
// over a checkerboard. Clicking a handle without dragging offers its colour choices.
class EditableGradientWidget : public QWidget
{
  Q_OBJECT
public:
  EditableGradientWidget(QColor startColor, QColor endColor, QPointF startLocation, QPointF endLocation, bool radial,
                         QWidget *parent = nullptr);

  QColor startColor() const { return _startColor; }
  QColor endColor() const { return _endColor; }
  QPointF startLocation() const { return _startLocation; }
  QPointF endLocation() const { return _endLocation; }
  bool isRadial() const { return _radial; }
  QLabel *startHandle() const { return _startHandle; }
  QLabel *endHandle() const { return _endHandle; }
  PopupColorMatrixWidget *colorPopup() const { return _colorPopup; }

signals:
  void editableGradientWidgetValueDidChange(EditableGradientWidget *widget, QColor startColor, QColor endColor,
                                            QPointF startLocation, QPointF endLocation);
  void editableGradientWidgetGetPopupParent(EditableGradientWidget *widget, QWidget *&parent);
  void editableGradientWidgetColorPickingImageNeeded(EditableGradientWidget *widget, QImage *image);
  void editableGradientWidgetGetPlaybackAreaFrameInWidget(EditableGradientWidget *widget, QRect *rect,
                                                          QWidget *inWidget);

public slots:
  void onPopupColorMatrixWidgetDismissed(CommonPopup *popup);
  void onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *popup, QColor color);
  void onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup);
  void onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *popup, QImage *image);
  void onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *popup, QRect *rect);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QLabel *_makeHandle();
  void _placeHandles();
  // The handle's centre as fractions of the widget's size, into its location.
  void _updateLocation(QLabel *handle);
  void _emitChange();
  void _openHandleMenu(QLabel *handle);
  void _chooseColor();
  void _applyChosenColor(const QColor &color);
  QColor &_colorOf(QLabel *handle);
  QColor &_otherColorOf(QLabel *handle);

  QColor _startColor;
  QColor _endColor;
  QPointF _startLocation;
  QPointF _endLocation;
  bool _radial;
  QLabel *_startHandle;
  QLabel *_endHandle;
  QBrush _checkerBrush;
  QLabel *_draggedHandle = nullptr;
  QPoint _pressCenter;
  QPoint _pressGlobalPos;
  bool _moved = false;
  QLabel *_menuHandle = nullptr;
  QPointer<PopupColorMatrixWidget> _colorPopup;
};
