#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

class CommonPopup;
class CommonSliderColorPopup;
class PopupSliderWidget;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;
class TooltipButton;

// Tunes the current drawing tool: line width and hardness (the eraser has its own pair),
// a text row (edit, alignment, size, font, done) and a picture row (open, size, done).
// Every change goes out by signal; the values persist in the settings store.
class DrawingTuningWidget : public QWidget
{
  Q_OBJECT
public:
  explicit DrawingTuningWidget(QWidget *parent = nullptr);
  ~DrawingTuningWidget() override;

  float lineWidth() const { return _lineWidth; }
  float hardness() const { return _hardness; }
  float rubberLineWidth() const { return _rubberLineWidth; }
  float rubberHardness() const { return _rubberHardness; }
  bool isRubber() const { return _rubber; }
  int textAlign() const { return _textAlign; }
  float textSize() const { return _textSize; }
  float pictureSize() const { return _pictureSize; }
  QString fontName() const { return _fontName; }
  QString fontStyle() const { return _fontStyle; }

  void setRubber(bool rubber);
  // 1 the text row, 2 the picture row, anything else the line width row; hardness always.
  void showTuningPanel(int kind);
  void setTextSize(float size);
  void setPictureSize(float size);
  void setTextDoneEnabled(bool enabled);
  void setPictureDoneEnabled(bool enabled);
  void setPopupParentWidget(QWidget *parent) { _popupParent = parent; }
  void dismissPopup();
  // The narrower arrangement of the segment inspector.
  void useInspectorLayout();

  QSlider *lineWidthSlider() const { return _lineWidthSlider; }
  QSlider *hardnessSlider() const { return _hardnessSlider; }
  PopupSliderWidget *openPopup() const;

signals:
  void drawingTuningWidgetLineWidthChanging(DrawingTuningWidget *widget, float lineWidth);
  void drawingTuningWidgetLineWidthChanged(DrawingTuningWidget *widget, float lineWidth);
  void drawingTuningWidgetHardnessChanging(DrawingTuningWidget *widget, float hardness);
  void drawingTuningWidgetHardnessChanged(DrawingTuningWidget *widget, float hardness);
  void drawingTuningWidgetEditTextPressed(DrawingTuningWidget *widget);
  void drawingTuningWidgetTextDonePressed(DrawingTuningWidget *widget);
  void drawingTuningWidgetTextAlignChanged(DrawingTuningWidget *widget, int align);
  void drawingTuningWidgetTextSizeChanged(DrawingTuningWidget *widget, int size);
  void drawingTuningWidgetTextFontChanged(DrawingTuningWidget *widget, QString fontName, QString fontStyle);
  void drawingTuningWidgetOpenPicturePressed(DrawingTuningWidget *widget, QRect buttonRect);
  void drawingTuningWidgetPictureDonePressed(DrawingTuningWidget *widget);
  void drawingTuningWidgetPictureSizeChanged(DrawingTuningWidget *widget, float size);

public slots:
  void onSliderValueChanged(int value);
  void onSliderReleased();
  void onValueUpButtonPressed();
  void onValueUpButtonReleased();
  void onValueDownButtonPressed();
  void onValueDownButtonReleased();
  void onEditTextButtonPressed();
  void onTextSizeButtonPressed();
  void onTextAlignButtonPressed();
  void onTextFontButtonPressed();
  void onTextDoneButtonPressed();
  void onOpenPictureButtonPressed();
  void onPictureSizeButtonPressed();
  void onPictureDoneButtonPressed();
  void popup_onDismissed(CommonPopup *popup);
  void sliderColorPopup_onValueChanged(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValueChanging(CommonSliderColorPopup *popup, float value);

protected:
  void moveEvent(QMoveEvent *event) override;

private:
  void _buildForm();
  void _applyStyles();
  QSlider *_sliderOf(QObject *button) const;
  void _startStepping(QSlider *slider, int offset);
  void _step();
  void _stopStepping();
  void _setRowValue(QSlider *slider, float value);
  void _updateLabels();
  void _emitChanging(QSlider *slider);
  void _emitChanged(QSlider *slider);
  void _showAlignIcons();
  void _showFontText();
  void _openSizePopup(QPushButton *button);
  QWidget *_popupParentWidget() const;
  QPoint _popupAnchor() const;
  void _setHighlighted(QPushButton *button, bool on);

  float _lineWidth = 10.0f;
  float _hardness = 1.0f;
  float _rubberLineWidth = 15.0f;
  float _rubberHardness = 1.0f;
  float _textSize = 100.0f;
  QString _fontName;
  QString _fontStyle;
  int _textAlign = 4;
  float _pictureSize = 0.8f;
  bool _rubber = false;
  int _panelKind = 0;

  bool _repeating = false;
  int _repeatInterval = 0;
  int _releaseCounter = 0;
  QSlider *_stepSlider = nullptr;
  int _stepOffset = 0;
  QTimer _stepTimer;
  QPointer<PopupSliderWidget> _popup;
  QPushButton *_popupButton = nullptr;
  QWidget *_popupParent = nullptr;
  bool _inspectorStyling = false;

  QVBoxLayout *_verticalLayout = nullptr;
  QWidget *_pictureTuningPanel = nullptr;
  QHBoxLayout *_pictureRow = nullptr;
  TooltipButton *_openPictureButton = nullptr;
  QPushButton *_pictureSizeButton = nullptr;
  TooltipButton *_pictureDoneButton = nullptr;
  QWidget *_textTuningPanel = nullptr;
  QHBoxLayout *_textRow = nullptr;
  TooltipButton *_editTextButton = nullptr;
  TooltipButton *_textAlignButton = nullptr;
  QPushButton *_textSizeButton = nullptr;
  QPushButton *_textFontButton = nullptr;
  TooltipButton *_textDoneButton = nullptr;
  QWidget *_lineWidthPanel = nullptr;
  QLabel *_lineWidthValueLabel = nullptr;
  QPushButton *_lineWidthValueDownButton = nullptr;
  QSlider *_lineWidthSlider = nullptr;
  QPushButton *_lineWidthValueUpButton = nullptr;
  QWidget *_hardnessPanel = nullptr;
  QLabel *_hardnessValueLabel = nullptr;
  QPushButton *_hardnessValueDownButton = nullptr;
  QSlider *_hardnessSlider = nullptr;
  QPushButton *_hardnessValueUpButton = nullptr;
};
