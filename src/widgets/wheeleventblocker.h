#pragma once

#include <QObject>

// Swallows wheel events of the widgets it is installed on (sliders in a scrolling panel),
// so the wheel scrolls the panel instead of changing values.
class WheelEventBlocker : public QObject
{
  Q_OBJECT
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
};
