#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One user colour scheme in the managing list: its name and a "Remove" button.
class PopupColorsScrollWidgetEditItemWidget : public QWidget
{
  Q_OBJECT
public:
  PopupColorsScrollWidgetEditItemWidget(const QString &name, QWidget *parent);

  // Position of the name in the popup's list of user schemes.
  int index = 0;

  QLabel *label() const { return _label; }
  QPushButton *deleteButton() const { return _deleteButton; }

signals:
  void deleteTriggered(PopupColorsScrollWidgetEditItemWidget *itemWidget);

public slots:
  void onDeleteButtonClicked();

private:
  QLabel *_label = nullptr;
  QPushButton *_deleteButton = nullptr;
};
