#include "animatedlabel.h"

#include <QTimer>

AnimatedLabel::AnimatedLabel(QWidget *parent) : QLabel(parent)
{
  setScaledContents(true);
  setAlignment(Qt::AlignCenter);
  connect(&_movie, &QMovie::frameChanged, this, &AnimatedLabel::onMovieFrameChanged);
}

AnimatedLabel::AnimatedLabel(QWidget *parent, const QString &movieFile) : AnimatedLabel(parent)
{
  setMovieFile(movieFile);
}

AnimatedLabel::~AnimatedLabel()
{
  _movie.stop();
}

void AnimatedLabel::setMovieFile(const QString &fileName)
{
  _movie.setFileName(fileName);
}

void AnimatedLabel::setMovieScaledSize(const QSize &size)
{
  _movie.setScaledSize(size);
}

void AnimatedLabel::start(int delay)
{
  if (delay != 0)
    QTimer::singleShot(delay, this, [this] { _movie.start(); });
  else
    _movie.start();
}

void AnimatedLabel::start()
{
  start(0);
}

void AnimatedLabel::stop()
{
  _movie.stop();
}

void AnimatedLabel::onMovieFrameChanged(int)
{
  setPixmap(_movie.currentPixmap());
}
