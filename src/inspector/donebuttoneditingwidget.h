#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The Done form shown while the editor crops, edits a text or draws: a title and a button.
class DoneButtonEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit DoneButtonEditingWidget(QWidget *parent);

  void setTitle(const QString &title);
  QLabel *titleLabel() const { return _titleLabel; }
  QPushButton *doneButton() const { return _doneButton; }

signals:
  void doneButtonClicked();

public slots:
  void onDoneButtonClicked();

private:
  QLabel *_titleLabel = nullptr;
  QPushButton *_doneButton = nullptr;
};
