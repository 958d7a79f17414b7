#pragma once

#include <QColor>
#include <QWidget>

// The round marker that follows the pointer while a colour is picked from the preview.
class ColorPickerWidget : public QWidget
{
  Q_OBJECT
public:
  explicit ColorPickerWidget(QWidget *parent = nullptr);

  void setColor(const QColor &color);
  QColor color() const { return _color; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QColor _color;
};
