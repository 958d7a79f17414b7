#include "audiolevelmeterwidget.h"

#include <QPainter>

AudioLevelMeterWidget::AudioLevelMeterWidget(QWidget *parent)
  : QWidget(parent), _grayPixmap(":/images/voice_audio_meter_gray"), _litPixmap(":/images/voice_audio_meter")
{
}

void AudioLevelMeterWidget::setLevel(float level)
{
  if (level == _level)
    return;
  _level = level;
  update();
}

void AudioLevelMeterWidget::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.drawPixmap(rect(), _grayPixmap);
  painter.setClipRect(QRect(0, 0, int(float(width()) * _level), height()), Qt::ReplaceClip);
  painter.drawPixmap(rect(), _litPixmap);
}
