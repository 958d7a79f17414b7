#pragma once

#include <QListWidget>

// The navigation list at the left of the start window.
class LeftsideListWidget : public QListWidget
{
  Q_OBJECT
public:
  explicit LeftsideListWidget(QWidget *parent = nullptr);

  // 0: icon above a centred label; 1: icon at the left, label beside it.
  void setDisplayStyle(int style);
  void setIconSize(int side);
};
