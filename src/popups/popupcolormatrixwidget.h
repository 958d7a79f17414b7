#pragma once

#include "commonpopup.h"

#include <QImage>
#include <QList>

class ColorMatrixPaletteWidget;
class ColorPickerWidget;
class QPushButton;
class QVBoxLayout;

// The colour chooser every colour button opens: a row of recently used colours, a fixed
// palette of 80, "More Colors..." for the system dialog, and a loupe that samples a still of
// the preview. The chosen colour goes out by signal; the owner dismisses the popup. What it
// needs of the preview it asks the owner for through directly connected signals.
class PopupColorMatrixWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupColorMatrixWidget(QWidget *parent);
  // Stores the recent colours, unless there are none.
  ~PopupColorMatrixWidget() override;

  void showPopupAt(QWidget *parent, const QPoint &anchor, bool pickingAllowed);
  void embedInWidget(QWidget *container, bool pickingAllowed);

  void addRecentColor(const QColor &color);
  void pushRecentColor(const QColor &color) { addRecentColor(color); }
  const QList<QColor> &recentColors() const { return _recentColors; }

  bool colorPickingActive() const;
  bool isDraggingColorPicker() const { return _draggingPicker; }
  void didChangeVisibility(bool visible);
  void refreshColorPickingGeometry();

  void initialize() override;
  void layoutAt(const QPoint &anchor) override;

  // The 80 palette colours, row by row.
  static QList<QColor> paletteColors();

  int colorPickingMode() const { return _colorPickingMode; }
  QWidget *pickingLabel() const;
  ColorPickerWidget *colorPicker() const { return _colorPicker; }
  ColorMatrixPaletteWidget *recentlyUsedColorsPanel() const { return _recentlyUsedColorsPanel; }
  ColorMatrixPaletteWidget *palettePanel() const { return _palettePanel; }
  QPushButton *moreColorButton() const { return _moreColorButton; }
  QPushButton *colorPickerButton() const { return _colorPickerButton; }

signals:
  void colorMatrixPopupColorSelected(PopupColorMatrixWidget *popup, QColor color);
  void colorMatrixPopupMoreColorNeeded(PopupColorMatrixWidget *popup);
  void colorMatrixPopupColorPickingImageNeeded(PopupColorMatrixWidget *popup, QImage *image);
  void colorMatrixPopupGetPlaybackAreaFrame(PopupColorMatrixWidget *popup, QRect *rect);
  void colorMatrixPopupGetColorPickingLabelParent(PopupColorMatrixWidget *popup, QWidget *&parent);
  void colorMatrixPopupSetParentWidgetHidden(PopupColorMatrixWidget *popup, bool hide);

public slots:
  void onColorMatrixPaletteWidgetColorClicked(QColor color);
  void on_moreColorButton_clicked();
  void on_colorPickerButton_clicked();

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _setPickingAllowed(bool allowed);
  void _fitRecentRow(int panelWidth);
  // The loupe's centre at its fractions of the picture.
  void _placeLoupe();
  QColor _pickedColorAt(float fx, float fy) const;

  QVBoxLayout *_mainVerticalLayout = nullptr;
  QLabel *_recentlyUsedColorsLabel = nullptr;
  ColorMatrixPaletteWidget *_recentlyUsedColorsPanel = nullptr;
  QWidget *_separator = nullptr;
  ColorMatrixPaletteWidget *_palettePanel = nullptr;
  QPushButton *_moreColorButton = nullptr;
  QPushButton *_colorPickerButton = nullptr;

  QList<QColor> _recentColors;
  int _colorPickingMode = 0;
  QLabel *_pickingLabel = nullptr;
  QImage _pickingImage;
  ColorPickerWidget *_colorPicker = nullptr;
  double _pickerX = 0.5;
  double _pickerY = 0.5;
  bool _draggingPicker = false;
  QPoint _pressGlobalPos;
  QPoint _pressPickerPos;
};
