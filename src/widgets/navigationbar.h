#pragma once

#include <QList>
#include <QWidget>

class QBoxLayout;
class QPushButton;

// A row of command buttons; a click reports the button's command id.
class NavigationBar : public QWidget
{
  Q_OBJECT
public:
  explicit NavigationBar(QWidget *parent = nullptr);

  QPushButton *addButton(int cmdId, const QString &text);
  void removeAllButtons();
  const QList<QPushButton *> &buttons() const { return _buttons; }

signals:
  void buttonClicked(int cmdId);

public slots:
  void onButtonClicked();

private:
  QBoxLayout *_layout;
  QList<QPushButton *> _buttons;
};
