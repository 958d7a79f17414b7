#pragma once

#include <QLabel>
#include <QList>
#include <QPixmap>

class QTimer;

// Shows a list of pictures one after another, once, and reports the end. The last picture
// stays on screen.
class SlideshowLabel : public QLabel
{
  Q_OBJECT
public:
  SlideshowLabel(const QStringList &images, int totalMs, QWidget *parent = nullptr);

  void start();
  int currentIndex() const { return _index; }
  int pictureCount() const { return _pixmaps.size(); }
  // Milliseconds between pictures; 0 without pictures.
  int interval() const;

signals:
  void slideshowCompleted(SlideshowLabel *label);

public slots:
  void onTimerTimeout();

private:
  QList<QPixmap> _pixmaps;
  QTimer *_timer = nullptr;
  int _index = 0;
};
