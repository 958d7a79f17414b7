#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SegmentedControl;

// The transitions of a segment: a table of their start and duration, buttons to add,
// remove and duplicate one, and, while one is edited, its easing type and a switch between
// its start and end values. Changes nothing itself; every action is a signal.
class TransitionsEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit TransitionsEditingWidget(QWidget *parent);

  void addTransitionItem(int id, float start, float duration);
  void clearItems();
  // Changing the current row from here reports nothing.
  void clearCurrentItem();
  void selectItemAt(int row);
  // -1 when no row is current.
  int currentRow() const;
  // Remove and duplicate work on the current row, so they stay disabled while there is none.
  void setDuplicateButtonEnabled(bool enabled);
  void setRemoveButtonEnabled(bool enabled);
  // 0 "Start", 1 "End"; without a report.
  void setSegmentedIndex(int index);
  void setTransitionControlsHidden(bool hidden);
  void showEmptyHint(bool show);
  void updateEasingType(const QPixmap &icon, const QString &text);

  QTreeWidget *treeWidget() const { return _treeWidget; }
  QPushButton *addTransitionButton() const { return _addTransitionButton; }
  QPushButton *removeTransitionButton() const { return _removeTransitionButton; }
  QPushButton *duplicateTransitionButton() const { return _duplicateTransitionButton; }
  QWidget *easingTypePanel() const { return _easingTypePanel; }
  QPushButton *easingTypeIconButton() const { return _easingTypeIconButton; }
  QPushButton *easingTypeButton() const { return _easingTypeButton; }
  QPushButton *easingTypeTriangleButton() const { return _easingTypeTriangleButton; }
  SegmentedControl *transitionSegmentedWidget() const { return _transitionSegmentedWidget; }
  QLabel *emptyHintLabel() const { return _emptyHintLabel; }

signals:
  void transitionSelectionIndexChanged(int index);
  void transitionSegmentedWidgetIndexChanged(int index);
  void popupEasingFunctionsWidgetOnButton(QPushButton *button);
  void addTransitionActionOnButton(QPushButton *button);
  void removeTransitionAtIndex(int index);
  void duplicateTransitionAtIndex(int index);

public slots:
  void onEasingTypeButtonClicked();
  void transitionSegmentedControlOnSegmentIndexChanged(SegmentedControl *segmentControl, int index);
  void onTransitionItemClicked(QTreeWidgetItem *item, int column);
  void onAddTransitionButtonClicked();
  void onRemoveTransitionButtonClicked();
  void onDuplicateTransitionButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _applyStyle();
  void _placeEmptyHint();
  void _updateOperationButtons();
  void _setCurrentSilently(QTreeWidgetItem *item);

  QLabel *_titleLabel = nullptr;
  QTreeWidget *_treeWidget = nullptr;
  QWidget *_oprButtonsPanel = nullptr;
  QPushButton *_addTransitionButton = nullptr;
  QPushButton *_removeTransitionButton = nullptr;
  QPushButton *_duplicateTransitionButton = nullptr;
  QWidget *_easingTypePanel = nullptr;
  QLabel *_easingTypeLabel = nullptr;
  QWidget *_easingTypeButtonContainer = nullptr;
  QPushButton *_easingTypeIconButton = nullptr;
  QPushButton *_easingTypeButton = nullptr;
  QPushButton *_easingTypeTriangleButton = nullptr;
  SegmentedControl *_transitionSegmentedWidget = nullptr;

  bool _selectingSilently = false;
  QLabel *_emptyHintLabel = nullptr;
  bool _removeAllowed = true;
  bool _duplicateAllowed = true;
};
