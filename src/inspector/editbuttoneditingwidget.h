#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The Edit form: a title naming what the segment is and a button that edits or replaces it.
class EditButtonEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit EditButtonEditingWidget(QWidget *parent);

  void setTitle(const QString &title);
  void setButtonText(const QString &text);
  void setButtonEnabled(bool enabled);
  QLabel *titleLabel() const { return _titleLabel; }
  QPushButton *editButton() const { return _editButton; }

signals:
  void editButtonClicked(QWidget *button);

public slots:
  void onEditButtonClicked();

private:
  QLabel *_titleLabel = nullptr;
  QPushButton *_editButton = nullptr;
};
