#pragma once

#include "commonpopup.h"

#include <QColor>
#include <QImage>
#include <QPointF>

class EditableGradientWidget;
class PopupColorMatrixWidget;
class QHBoxLayout;
class QVBoxLayout;
class TextureGridWidget;
class TooltipButton;

// How the drawing tools fill: a tab row over one page per mode (1 colour, 2 pattern,
// 3 linear gradient, 4 radial gradient). Pages are made on their first visit and keep
// their state while the popup lives. It relays what its pages report and asks its owner,
// through directly connected signals, for what they need.
class PopupDrawingModeWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupDrawingModeWidget(QWidget *parent);

  void showPopupWithValues(QWidget *parent, const QPoint &anchor, int mode, const QColor &color,
                           const QColor &linearStartColor, const QColor &linearEndColor,
                           const QPointF &linearStartLocation, const QPointF &linearEndLocation,
                           const QColor &radialStartColor, const QColor &radialEndColor,
                           const QPointF &radialStartLocation, const QPointF &radialEndLocation);

  void initialize() override;
  void layoutAt(const QPoint &anchor) override;

  int mode() const { return _mode; }
  TooltipButton *tabButton(int mode) const;
  QWidget *contentWidget() const { return _contentWidget; }
  QWidget *buttonAreaWidget() const { return _buttonAreaWidget; }
  PopupColorMatrixWidget *colorPage() const { return _colorPage; }
  TextureGridWidget *patternPage() const { return _patternPage; }
  EditableGradientWidget *linearPage() const { return _linearPage; }
  EditableGradientWidget *radialPage() const { return _radialPage; }

signals:
  void drawingModePopupModeChanged(PopupDrawingModeWidget *modeWidget, int mode);
  void drawingModePopupColorSelected(PopupDrawingModeWidget *modeWidget, QColor color);
  void drawingModePopupNeedColorPickingImage(PopupDrawingModeWidget *modeWidget, QImage *image);
  void drawingModePopupGetPlaybackAreaFrame(PopupDrawingModeWidget *modeWidget, QRect *rect, QWidget *inWidget);
  void drawingModePopupDidPatternChange(PopupDrawingModeWidget *modeWidget, QString imgPath);
  void drawingModePopupGetCanvasSize(PopupDrawingModeWidget *modeWidget, QSize *size);
  void drawingModePopupGradientValueDidChange(PopupDrawingModeWidget *modeWidget, bool radialOrLinearGradient,
                                              QColor startColor, QColor endColor, QPointF startLocation,
                                              QPointF endLocation);

public slots:
  void onButtonClicked();
  void onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *popup, QColor color);
  void onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup);
  void onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *popup, QImage *image);
  void onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *popup, QRect *rect);
  void onPopupColorMatrixWidgetGetColorPickingLabelParent(PopupColorMatrixWidget *popup, QWidget *&parent);
  void onPopupColorMatrixWidgetSetParentWidgetHidden(PopupColorMatrixWidget *popup, bool hide);
  void onTextureGridWidgetPatternDidSelect(TextureGridWidget *textureWidget, QString imgRes);
  void onTextureGridWidgetGetCanvasSize(TextureGridWidget *textureWidget, QSize *size);
  void onEditableGradientWidgetValueDidChange(EditableGradientWidget *gradientWidget, QColor startColor,
                                              QColor endColor, QPointF startLocation, QPointF endLocation);
  void onEditableGradientWidgetGetPopupParent(EditableGradientWidget *gradientWidget, QWidget *&parent);
  void onEditableGradientWidgetGetPlaybackAreaFrameInWidget(EditableGradientWidget *gradientWidget, QRect *rect,
                                                            QWidget *inWidget);
  void onEditableGradientWidgetColorPickingImageNeeded(EditableGradientWidget *gradientWidget, QImage *image);

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _showPage(int mode);
  void _updateTabs();
  void _fitPages();
  EditableGradientWidget *_makeGradientPage(bool radial);
  // Hands a pointer event to the colour page while it picks; false when it does not pick.
  bool _forwardToColorPage(QMouseEvent *event);

  int _mode = 0;
  QColor _color;
  QColor _linearStartColor;
  QColor _linearEndColor;
  QPointF _linearStartLocation;
  QPointF _linearEndLocation;
  QColor _radialStartColor;
  QColor _radialEndColor;
  QPointF _radialStartLocation;
  QPointF _radialEndLocation;
  PopupColorMatrixWidget *_colorPage = nullptr;
  TextureGridWidget *_patternPage = nullptr;
  EditableGradientWidget *_linearPage = nullptr;
  EditableGradientWidget *_radialPage = nullptr;

  QVBoxLayout *_mainVerticalLayout = nullptr;
  QWidget *_buttonAreaWidget = nullptr;
  QHBoxLayout *_horizontalLayout = nullptr;
  TooltipButton *_tabButtons[4] = {};
  QWidget *_contentWidget = nullptr;
  bool _forwarding = false;
};
