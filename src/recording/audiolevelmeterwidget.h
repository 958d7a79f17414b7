#pragma once

#include <QPixmap>
#include <QWidget>

// The microphone's level meter: a gray bar whose lit picture shows from the left over the
// share of the width given by the level.
class AudioLevelMeterWidget : public QWidget
{
  Q_OBJECT
public:
  explicit AudioLevelMeterWidget(QWidget *parent = nullptr);

  float level() const { return _level; }
  void setLevel(float level);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  float _level = 0;
  QPixmap _grayPixmap;
  QPixmap _litPixmap;
};
