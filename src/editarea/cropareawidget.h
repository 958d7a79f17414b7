#pragma once

#include <QColor>
#include <QWidget>

// The crop rectangle over the preview: its outline and a rule-of-thirds grid.
class CropAreaWidget : public QWidget
{
  Q_OBJECT
public:
  CropAreaWidget(const QColor &gridColor, QWidget *parent);

  QColor gridColor() const { return _gridColor; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QColor _gridColor;
};
