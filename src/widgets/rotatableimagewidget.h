#pragma once

#include <QPixmap>
#include <QWidget>

// An image turned about the widget's centre, with its own picture while disabled.
class RotatableImageWidget : public QWidget
{
  Q_OBJECT
public:
  explicit RotatableImageWidget(QWidget *parent = nullptr);

  void setPixmap(const QPixmap &pixmap);
  void setDisabledPixmap(const QPixmap &pixmap);
  void setRotation(float degrees);
  float rotation() const { return _rotation; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QPixmap _pixmap;
  QPixmap _disabledPixmap;
  float _rotation = 0;
};
