#pragma once

#include <QWidget>

class QHBoxLayout;
class TooltipButton;

// The "Duplicate" and "Remove" drop targets shown while a block is dragged. The edit area
// asks hitTest on every drag move and decides what a drop there does.
class SegmentDraggingOperationWidget : public QWidget
{
  Q_OBJECT
public:
  explicit SegmentDraggingOperationWidget(QWidget *parent);

  // area in the parent's coordinates; rises from its bottom edge into place.
  void showAt(const QRect &area, bool hideDuplicate);
  // 0 on Duplicate, 1 on Remove (each grown by 10 pixels), -1 elsewhere; selects what it hits.
  int hitTest(const QPoint &pos);
  // The centre of the remove target in global coordinates.
  QPoint removeButtonCenter() const;

  TooltipButton *duplicateButton() const { return _duplicateButton; }
  TooltipButton *trashButton() const { return _trashButton; }

private:
  void _setupUi();
  void _retranslateUi();
  void _applyStyle();

  QHBoxLayout *_layout = nullptr;
  TooltipButton *_duplicateButton = nullptr;
  TooltipButton *_trashButton = nullptr;
};
