#pragma once

#include "commonpopup.h"

#include <QList>

class QPushButton;
class QScrollArea;
class QVBoxLayout;

// One row of the transition list: its text (shown as a button text, so "&&" reads "&"),
// the command number a click reports, and bold type.
struct PopupTransitionsListItem
{
  QString text;
  int cmdId = 0;
  bool bold = false;
};

// The "Add Transition" chooser: a scrolling column of text buttons, one per item the caller
// hands over. A click reports the item's command number; the popup knows nothing of what
// the numbers do.
class PopupTransitionsListWidget : public CommonPopup
{
  Q_OBJECT
public:
  using Item = PopupTransitionsListItem;

  explicit PopupTransitionsListWidget(QWidget *parent);
  // Deletes the item records it was given.
  ~PopupTransitionsListWidget() override;

  // Takes ownership of the records (each pointer once, however often it is listed).
  void showPopupWithItems(QWidget *parent, const QPoint &anchor, const QList<Item *> &items, bool inPanel);

  void initialize() override;
  void layoutAt(const QPoint &anchor) override;
  int popupHeight() override;

  const QList<QPushButton *> &itemButtons() const { return _itemButtons; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QWidget *scrollAreaWidget() const { return _scrollAreaWidget; }

signals:
  void transitionItemSelected(PopupTransitionsListWidget *transitionsWidget, int cmdId);

public slots:
  void onTransitionItemButtonClicked();

private:
  void _buildForm();
  void _deleteItems();

  QList<Item *> _items;
  bool _inPanel = false;
  QVBoxLayout *_itemLayout = nullptr;
  QList<QPushButton *> _itemButtons;
  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidget = nullptr;
};
