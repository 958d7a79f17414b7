#pragma once

#include <QScrollArea>

class RulerWidget;

// The strip above the timeline that holds the ruler and scrolls with the rows.
class RulerScrollArea : public QScrollArea
{
  Q_OBJECT
public:
  explicit RulerScrollArea(QWidget *parent = nullptr);

  // While set (the editor's loading mark) setScale does nothing.
  bool suspended = false;

  void setOffset(float x);
  void setScale(float zoom, float duration);
  RulerWidget *rulerWidget();

private:
  RulerWidget *_rulerWidget = nullptr;
};
