#include "taskbarprogress.h"

TaskbarProgress::TaskbarProgress(QObject *parent) : QObject(parent) {}

void TaskbarProgress::setRange(int minimum, int maximum)
{
  _minimum = minimum;
  _maximum = qMax(minimum, maximum);
  _value = qBound(_minimum, _value, _maximum);
}

void TaskbarProgress::reset()
{
  _value = _minimum;
}

void TaskbarProgress::setVisible(bool visible)
{
  _visible = visible;
}

void TaskbarProgress::setValue(int value)
{
  if (value < _minimum || value > _maximum)
    return;
  _value = value;
}
