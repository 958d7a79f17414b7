#pragma once

#include <QLineEdit>
#include <QPixmap>

// A line edit with an icon drawn inside it.
class IconLineEdit : public QLineEdit
{
  Q_OBJECT
public:
  explicit IconLineEdit(QWidget *parent = nullptr);

  void setIcon(const QPixmap &pixmap);
  void setIconPixmap(const QPixmap &pixmap) { setIcon(pixmap); }
  void setIconSize(const QSize &size);
  void setIconX(int x) { _iconX = x; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QPixmap _icon;
  QSize _iconSize;
  int _iconX = 0;
};
