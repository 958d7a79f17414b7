#pragma once

#include <QImage>
#include <QWidget>

// Shows the last frame handed to it.
class VideoSurfaceWidget : public QWidget
{
  Q_OBJECT
public:
  using QWidget::QWidget;

public slots:
  void onUpdateFrame(const QImage &frame);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QImage _frame;
};
