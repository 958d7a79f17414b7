#pragma once

#include "commonslidercolorpopup.h"

#include <QSizeF>
#include <QTimer>

#include <memory>

class PopupSliderForm;
class QGraphicsDropShadowEffect;

// The drop shadow of a visual segment: opacity (row 1), blur radius (row 2), colour, and the
// offset, set by dragging a white square on a pad or nudging it with four arrow buttons.
// The square carries a live shadow in the accent colour that previews offset, blur and
// opacity. The offset is where the shadow falls relative to the square, in pad pixels.
class PopupSliderColorShadowWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupSliderColorShadowWidget(QWidget *parent);
  ~PopupSliderColorShadowWidget() override;

  void embedWithValues(QWidget *container, const QString &title, float value, const QColor &color,
                       const QSizeF &offset, float min, float max, float step, const QString &label2, float value2,
                       float min2, float max2, float step2);
  void showPopupWithValues(QWidget *parent, const QString &title, const QPoint &anchor, float value,
                           const QColor &color, const QSizeF &offset, float min, float max, float step,
                           const QString &label2, float value2, float min2, float max2, float step2);
  void setShadowOffset(const QSizeF &offset);
  QSizeF shadowOffset() const;
  QGraphicsDropShadowEffect *padShadow() const { return _padShadow; }

  void initialize() override;
  void layoutAt(const QPoint &anchor) override;
  int popupHeight() override { return 360; }
  void setPopupEnabled(bool enabled) override;
  void setValue(float value) override;
  void setValue2(float value) override;

signals:
  void shadowOffsetChanging(PopupSliderColorShadowWidget *popup, QSizeF offset);
  void shadowOffsetChanged(PopupSliderColorShadowWidget *popup, QSizeF offset);

public slots:
  void onShadowOpacityValueChanging(CommonSliderColorPopup *popup, float value);
  void onShadowOpacityValueChanged(CommonSliderColorPopup *popup, float value);
  void onShadowBlurRadiusValueChanging(CommonSliderColorPopup *popup, float value);
  void onShadowBlurRadiusValueChanged(CommonSliderColorPopup *popup, float value);
  void onShadowMoveLeftButtonClicked() { _nudge(-1, 0); }
  void onShadowMoveRightButtonClicked() { _nudge(1, 0); }
  void onShadowMoveUpButtonClicked() { _nudge(0, -1); }
  void onShadowMoveDownButtonClicked() { _nudge(0, 1); }

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void reportPendingValues() override;

private:
  void _buildPad();
  void _setValues(float value, const QColor &color, const QSizeF &offset, float min, float max, float step,
                  const QString &label2, float value2, float min2, float max2, float step2);
  void _layoutPad();
  void _placeSquare();
  void _moveSquareTo(QPoint p);
  void _nudge(int dx, int dy);
  void _postResize();
  void _setOpacity(float value);
  void _setBlurRadius(float value);

  std::unique_ptr<PopupSliderForm> _form;
  QWidget *_pad = nullptr;
  QWidget *_back = nullptr;
  QWidget *_square = nullptr;
  QPushButton *_moveButtons[4] = {}; // up, down, left, right
  QGraphicsDropShadowEffect *_padShadow = nullptr;
  bool _dragging = false;
  QPoint _pressPoint;
  QPoint _startPosition;
  // Restarted by every nudge: one report 350 ms after the last.
  QTimer _offsetReportTimer;
};
