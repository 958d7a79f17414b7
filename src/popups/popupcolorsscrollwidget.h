#pragma once

#include "commonpopup.h"

#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QStringList>

#include <array>

class PopupColorsScrollWidgetEditItemWidget;
class PopupColorsScrollWidgetOneSliderItemWidget;
class QScrollArea;
class QVBoxLayout;

// The nine colour corrections of a segment (saturation, brightness, contrast, white balance
// shown as "Temperature", exposure, hue, red, green, blue; each -100..100, 0 unchanged) as
// collapsible rows in a scrolling list, embedded in the inspector or shown over the editor.
// Every value is reported while it changes and once the gesture is over. An options menu
// applies built-in and user colour schemes, saves the current values as a scheme and
// switches the list to managing (removing) the user schemes.
class PopupColorsScrollWidget : public CommonPopup
{
  Q_OBJECT
public:
  static constexpr int correctionCount = 9;
  using Values = std::array<int, correctionCount>;

  explicit PopupColorsScrollWidget(QWidget *parent);

  void embedWithValues(QWidget *container, int saturation, int brightness, int contrast, int whiteBalance,
                       int exposure, int hue, int red, int green, int blue);
  void showPopupWithValues(QWidget *parent, const QPoint &anchor, int saturation, int brightness, int contrast,
                           int whiteBalance, int exposure, int hue, int red, int green, int blue);
  // Silent: the owner's values, after an undo for instance.
  void setValues(int saturation, int brightness, int contrast, int whiteBalance, int exposure, int hue, int red,
                 int green, int blue);
  // The height an embedding panel gives the popup so that the whole list shows.
  int widgetFitHeight();

  bool onEscapeKeyPressed() override;
  void initialize() override;
  void setPopupEnabled(bool enabled) override;
  bool isPopupEnabled() override;
  void layoutAt(const QPoint &anchor) override;
  int popupHeight() override { return 420; }

  const Values &values() const { return _values; }
  bool isExpanded(int index) const { return _expanded[size_t(index)]; }
  bool isManaging() const { return _managing; }
  const QList<PopupColorsScrollWidgetOneSliderItemWidget *> &sliderItems() const { return _sliderItems; }
  const QList<PopupColorsScrollWidgetEditItemWidget *> &editItems() const { return _editItems; }
  QPushButton *optionsButton() const { return _optionsButton; }
  QPushButton *doneButton() const { return _doneButton; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QWidget *scrollAreaWidget() const { return _scrollAreaWidget; }
  // The folder of the user's scheme files.
  static QString schemesFolder();

signals:
  void saturationChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void saturationChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void brightnessChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void brightnessChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void contrastChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void contrastChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void whiteBalanceChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void whiteBalanceChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void exposureChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void exposureChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void hueChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void hueChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void redChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void redChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void greenChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void greenChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void blueChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void blueChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void schemeChanged(PopupColorsScrollWidget *colorsWidget, int saturation, int brightness, int contrast,
                     int whiteBalance, int exposure, int hue, int red, int green, int blue);
  void needtoDisplayMessage(PopupColorsScrollWidget *colorsWidget, QString message);
  void widgetFitHeightChanged(PopupColorsScrollWidget *colorsWidget);

public slots:
  void onSliderItemWidgetValueChanged(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget, int value);
  void onSliderItemWidgetValueChanging(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget, int value);
  void onSliderItemWidgetPressed(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget);
  void onOptionsButtonPressed();
  void onEditItemWidgetDeleteTriggered(PopupColorsScrollWidgetEditItemWidget *itemWidget);
  void onDoneButtonPressed();

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _storeValues(const Values &values);
  void _setValues(const Values &values);
  void _createRows();
  void _deleteRows();
  int _rowWidth() const;
  void _layoutRows(int from);
  void _setListHeight(int height);
  void _layoutAll();
  void _scrollRowIntoView(QWidget *row);
  // Closing by hand within a row's report delay must not lose its last stepped value.
  void _reportPendingValues();

  // Colour schemes.
  void _createOptionsButton();
  void _placeButton(QPushButton *button);
  void _reloadUserSchemes();
  bool _saveScheme(const QString &name);
  void _loadScheme(const QString &name);
  void _applyBuiltInScheme(int index);
  void _applyValues(const Values &values);
  void _saveAsScheme();
  void _enterManageMode();
  void _createEditItems();
  void _deleteEditItems();
  void _layoutEditItems();
  QString _schemeFile(const QString &name) const;

  QVBoxLayout *_verticalLayout = nullptr;
  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidget = nullptr;

  Values _values{};
  std::array<bool, correctionCount> _expanded{};
  QList<PopupColorsScrollWidgetOneSliderItemWidget *> _sliderItems;
  QPointer<QPushButton> _optionsButton;
  QList<PopupColorsScrollWidgetEditItemWidget *> _editItems;
  QPointer<QPushButton> _doneButton;
  QStringList _userSchemes;
  QStringList _builtInSchemes;
  bool _managing = false;
  int _listHeight = -1;
};
