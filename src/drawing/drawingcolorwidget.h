#pragma once

#include <QBrush>
#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class CommonPopup;
class PopupDrawingModeWidget;
class QPushButton;

enum DrawingColorMode {
  DrawingColorModeEraser = 0,
  DrawingColorModeColor = 1,
  DrawingColorModePattern = 2,
  DrawingColorModeLinearGradient = 3,
  DrawingColorModeRadialGradient = 4,
};

// The swatch showing what the drawing tools paint with: a colour, a texture, a linear or
// a radial gradient, or the eraser. A click opens the fill mode popup. Gradients become a
// picture of the canvas's size. Choices persist in the settings store.
class DrawingColorWidget : public QWidget
{
  Q_OBJECT
public:
  DrawingColorWidget(QSize canvasSize, QWidget *parent = nullptr);
  ~DrawingColorWidget() override;

  QColor color() const { return _color; }
  int mode() const { return _mode; }
  QPixmap pattern() const { return _pattern; }
  QString patternPath() const { return _patternPath; }
  QSize canvasSize() const { return _canvasSize; }
  PopupDrawingModeWidget *popup() const;
  // A canvas of another shape: the gradient picture is made again at the new size.
  void setCanvasSize(const QSize &canvasSize);

  void setHardness(float hardness);
  void selectColorMode();
  void selectPatternMode();
  void selectLinearGradientMode();
  void selectRadialGradientMode();
  // Remembers the mode to return to.
  void switchToRubber();
  void selectRubberMode();
  void restoreNonHollowMode();
  void setPopupParentWidget(QWidget *parent) { _popupParent = parent; }
  void setPopupShadowEnabled(bool enabled) { _popupShadow = enabled; }
  void dismissPopup();

signals:
  void drawingColorWidgetColorChanged(DrawingColorWidget *widget, QColor color);
  void drawingColorWidgetPatternChanged(DrawingColorWidget *widget, QPixmap image);
  void drawingColorWidgetNeedColorPickingImage(DrawingColorWidget *widget, QImage *image);
  void drawingColorWidgetGetPlaybackAreaFrame(DrawingColorWidget *widget, QRect *rect, QWidget *inWidget);

public slots:
  void contentOnClicked();
  void onPopupDrawingModeWidgetModeChanged(PopupDrawingModeWidget *popup, int mode);
  void onPopupDrawingModeWidgetColorSelected(PopupDrawingModeWidget *popup, QColor color);
  void onPopupDrawingModeWidgetNeedColorPickingImage(PopupDrawingModeWidget *popup, QImage *image);
  void onPopupDrawingModeWidgetGetPlaybackAreaFrame(PopupDrawingModeWidget *popup, QRect *rect, QWidget *inWidget);
  void onPopupDrawingModeWidgetDidPatternChange(PopupDrawingModeWidget *popup, QString imgPath);
  void onPopupDrawingModeWidgetGetCanvasSize(PopupDrawingModeWidget *popup, QSize *size);
  void onPopupDrawingModeWidgetGradientValueDidChange(PopupDrawingModeWidget *popup, bool radialOrLinearGradient,
                                                      QColor startColor, QColor endColor, QPointF startLocation,
                                                      QPointF endLocation);
  void onPopupDismissed(CommonPopup *popup);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void moveEvent(QMoveEvent *event) override;

private:
  // Selects a gradient mode and paints its picture.
  void _selectGradientMode(int mode);
  QPixmap _gradientPicture() const;
  QWidget *_popupHost() const;
  QPoint _popupAnchor() const;

  int _mode = DrawingColorModeColor;
  float _hardness = 1.0f;
  int _modeNonHollow = DrawingColorModeColor;
  QSize _canvasSize;
  QColor _color{0, 255, 0};
  QPixmap _pattern;
  QString _patternPath;
  QColor _linearStartColor{0, 255, 0};
  QColor _linearEndColor{255, 255, 0};
  QColor _radialStartColor{0, 255, 0};
  QColor _radialEndColor{255, 255, 0};
  QPointF _linearStartLocation{0.15, 0.5};
  QPointF _linearEndLocation{0.85, 0.5};
  QPointF _radialStartLocation{0.5, 0.5};
  QPointF _radialEndLocation{0.85, 0.85};
  QBrush _checkerBrush;
  QPushButton *_contentButton = nullptr;
  QPointer<PopupDrawingModeWidget> _popup;
  QWidget *_popupParent = nullptr;
  QPixmap _eraserSymbol;
  bool _popupShadow = false;
};
