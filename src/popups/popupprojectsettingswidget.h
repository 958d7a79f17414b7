#pragma once

#include "commonpopup.h"
#include "popupcolormatrixwidget.h"

#include <QPointer>

class ColorButton;
class MovieSizeGridButton;
class PopupMainWidget;
class QCheckBox;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class SegmentedControl;
class SwitchButton;

// The settings of one project: orientation, aspect ratio, background colour (or
// transparent), frame rate and the fixed cover flag. Mode 0 centred with "OK" (new project),
// 1 a bottom sheet with "Done", 2 below and 3 left of an anchor widget with every change
// reported at once. The owner reads the values and dismisses the popup.
class PopupProjectSettingsWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupProjectSettingsWidget(QWidget *parent);
  // Takes an open colour chooser with it: it lies over the same parent, not inside this popup.
  ~PopupProjectSettingsWidget() override;

  void showPopupWithSettings(QWidget *parent, QWidget *anchorWidget, int presentationMode, int resolution,
                             bool direction, float frameRate, bool fixCoverImage, const QColor &backgroundColor);

  // The aspect-ratio code: 0 4:3, 1 16:9, 2 1:1, 3 5:4, 4 19.5:9, 5 21:9.
  int resolution() const { return _resolution; }
  // 1 landscape, 0 portrait.
  bool direction() const { return _direction; }
  float frameRate() const { return _frameRate; }
  bool fixCoverImage() const { return _fixCoverImage; }
  QColor backgroundColor() const { return _backgroundColor; }

  // The panel size of a presentation mode for the current parent.
  QSize popupSizeForMode(int mode) const;
  const QList<MovieSizeGridButton *> &movieSizeButtons() const { return _movieSizeButtons; }
  PopupColorMatrixWidget *colorSubPopup() const { return _colorPopup; }

  void initialize() override;
  void showPopup(QWidget *parent, const QString &title, const QPoint &anchor) override;
  void layoutAt(const QPoint &anchor) override;
  bool onReturnKeyPressed() override;
  void dismissSubPopup() override;

signals:
  void popupProjectSettingsWidgetParametersDidChange(PopupProjectSettingsWidget *settingsWidget);
  void popupProjectSettingsWidgetDidFinish(PopupProjectSettingsWidget *settingsWidget);

public slots:
  void directionSegmentedControlOnSegmentIndexChanged(SegmentedControl *segmentControl, int index);
  void gridButtonOnClicked();
  void colorButtonOnClicked();
  void onPopupColorMatrixWidgetDismissed(CommonPopup *popup);
  void onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *popup, QColor color);
  void onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup);
  void frameRateButtonOnClicked();
  void doneButtonOnClicked();
  void onSwitchValueChanged(bool value);
  void noColorCheckBoxOnStateChanged(int state);

private:
  void _buildForm();
  QWidget *_buildSettingsList();
  void _styleSectionHeader(QWidget *header, QLabel *label);
  QPushButton *_createRowButton(QWidget *row);
  void _addMovieSizeButton(const QString &text, float ratio, int tag);
  void _rebuildMovieSizeButtons();
  void _updateMovieSizeSelection();
  int _layoutMovieSizeButtons();
  void _showBackgroundColor();
  void _closeColorPopup();
  void _reportChange();

  int _presentationMode = 0;
  QPointer<QWidget> _anchorWidget;
  int _resolution = 1;
  bool _direction = true;
  float _frameRate = 30;
  bool _fixCoverImage = false;
  QColor _backgroundColor;
  QColor _savedColor;
  QPushButton *_colorRowButton = nullptr;
  QPushButton *_frameRateRowButton = nullptr;
  QList<MovieSizeGridButton *> _movieSizeButtons;
  int _selectedTag = -1;
  QPointer<PopupColorMatrixWidget> _colorPopup;
  QPushButton *_topDoneButton = nullptr;

  // The form.
  PopupMainWidget *_panel = nullptr;
  QVBoxLayout *_mainVerticalLayout = nullptr;
  QWidget *_topPanel = nullptr;
  QLabel *_formTitleLabel = nullptr;
  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidget = nullptr;
  QWidget *_aspectRatioHeaderWidget = nullptr;
  QLabel *_aspectRatioHeaderLabel = nullptr;
  QWidget *_movieSizesItemWidget = nullptr;
  SegmentedControl *_directionSegmentedWidget = nullptr;
  QWidget *_videoHeaderWidget = nullptr;
  QLabel *_videoHeaderLabel = nullptr;
  QWidget *_backgroundColorItemWidget = nullptr;
  QLabel *_backgroundColorLabel = nullptr;
  ColorButton *_colorButton = nullptr;
  QWidget *_noColorItemWidget = nullptr;
  QCheckBox *_noColorCheckBox = nullptr;
  QWidget *_frameRateItemWidget = nullptr;
  QLabel *_frameRateLabel = nullptr;
  QLabel *_frameRateValueLabel = nullptr;
  QWidget *_showcaseHeaderWidget = nullptr;
  QLabel *_showcaseHeaderLabel = nullptr;
  QWidget *_coverItemWidget = nullptr;
  QLabel *_coverInfoLabel = nullptr;
  SwitchButton *_switchButton = nullptr;
  QWidget *_bottomPanel = nullptr;
  QPushButton *_doneButton = nullptr;
};
