#pragma once

#include "commoneditingwidgetcontroller.h"

class EditButtonEditingWidget;
class Segment;
class TransformWidget;

// Opens the text or drawing editor, or replaces a photo. The edit type follows the segment
// last loaded: 0 drawing, 1 text, 2 picture.
class EditButtonEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit EditButtonEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);
  int editType() const { return _editType; }

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 20; }
  EditButtonEditingWidget *form() const { return _form; }

signals:
  void editButtonClicked(int editType, QWidget *issueWidget);

public slots:
  void onEditButtonClicked(QWidget *button);

private:
  EditButtonEditingWidget *_form = nullptr;
  int _editType = 0;
};
