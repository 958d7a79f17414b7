#pragma once

#include <QWidget>

class SegmentedControl;

// Left, centre or right alignment of a text, as a three-segment control.
class TextAlignmentEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit TextAlignmentEditingWidget(QWidget *parent);

  // Selects the segment without a report.
  void setAlignmentIndex(int index);
  void setEditingEnabled(bool enabled);
  SegmentedControl *textAlignWidget() const { return _textAlignWidget; }

signals:
  void alignmentIndexChanged(int index);

public slots:
  void onSegmentIndexChanged(SegmentedControl *segmentControl, int index);

private:
  SegmentedControl *_textAlignWidget = nullptr;
};
