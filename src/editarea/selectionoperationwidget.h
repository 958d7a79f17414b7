#pragma once

#include <QWidget>

class QPushButton;

// The command bar of a time-range selection: 0 "Cancel selection", 1 "Insert blank",
// 2 "Delete". The editor carries the command out.
class SelectionOperationWidget : public QWidget
{
  Q_OBJECT
public:
  explicit SelectionOperationWidget(QWidget *parent);

  // Centred near the bottom of area (its parent).
  void updatePosition(QWidget *area);

  QPushButton *cancelSelectionButton() const { return _cancelSelectionButton; }
  QPushButton *insertBlankButton() const { return _insertBlankButton; }
  QPushButton *deleteButton() const { return _deleteButton; }

signals:
  void selectionOperationWidgetCommandClicked(SelectionOperationWidget *operationWidget, int cmdId);

private slots:
  void buttonOnClicked();

private:
  void _setupUi();
  void _retranslateUi();

  QPushButton *_cancelSelectionButton = nullptr;
  QWidget *_sepWidget = nullptr;
  QPushButton *_insertBlankButton = nullptr;
  QWidget *_sepWidget2 = nullptr;
  QPushButton *_deleteButton = nullptr;
};
