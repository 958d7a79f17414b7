#pragma once

#include <QLabel>
#include <QMovie>

// A label that plays an animated image (the spinner of the progress display, the help-tip
// pictures).
class AnimatedLabel : public QLabel
{
  Q_OBJECT
public:
  explicit AnimatedLabel(QWidget *parent = nullptr);
  AnimatedLabel(QWidget *parent, const QString &movieFile);
  ~AnimatedLabel() override;

  void setMovieFile(const QString &fileName);
  void setMovieScaledSize(const QSize &size);
  QMovie *movie() { return &_movie; }

public slots:
  // A delay other than 0 starts the movie that many milliseconds later.
  void start(int delay);
  void start();
  void stop();
  void onMovieFrameChanged(int frameNumber);

private:
  QMovie _movie;
};
