#pragma once

#include <QObject>

// Progress shown on the window's launcher while a movie exports. Linux has no taskbar button
// to drive, so this keeps the state (range, value, visibility) for whoever asks; it belongs
// to the window it was made for.
class TaskbarProgress : public QObject
{
  Q_OBJECT
public:
  explicit TaskbarProgress(QObject *parent = nullptr);

  void setRange(int minimum, int maximum);
  int minimum() const { return _minimum; }
  int maximum() const { return _maximum; }
  // Back to the minimum.
  void reset();
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  void setVisible(bool visible);
  bool isVisible() const { return _visible; }
  // Values outside the range are ignored, as the platform's own progress does.
  void setValue(int value);
  int value() const { return _value; }

private:
  int _minimum = 0;
  int _maximum = 100;
  int _value = 0;
  bool _visible = false;
};
