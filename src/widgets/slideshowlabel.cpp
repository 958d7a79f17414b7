#include "slideshowlabel.h"

#include <QTimer>

SlideshowLabel::SlideshowLabel(const QStringList &images, int totalMs, QWidget *parent) : QLabel(parent)
{
  setScaledContents(true);
  setAlignment(Qt::AlignCenter);
  for (const QString &path : images) {
    QPixmap pixmap(path);
    if (!pixmap.isNull())
      _pixmaps.append(pixmap);
  }
  if (_pixmaps.isEmpty())
    return;
  _timer = new QTimer(this);
  _timer->setInterval(totalMs / _pixmaps.size());
  connect(_timer, &QTimer::timeout, this, &SlideshowLabel::onTimerTimeout);
  setPixmap(_pixmaps.first());
}

int SlideshowLabel::interval() const
{
  return _timer ? _timer->interval() : 0;
}

void SlideshowLabel::start()
{
  if (_timer)
    _timer->start();
}

void SlideshowLabel::onTimerTimeout()
{
  ++_index;
  if (_index >= _pixmaps.size()) {
    _timer->stop();
    emit slideshowCompleted(this);
    return;
  }
  setPixmap(_pixmaps[_index]);
}
