#pragma once

#include "commoneditingwidgetcontroller.h"

class DoneButtonEditingWidget;

// Shown at the top of the inspector in the editing state; its button ends cropping, text
// editing or drawing.
class DoneButtonEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit DoneButtonEditingWidgetController(QWidget *parent);

  void setTitle(const QString &title);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 10; }
  DoneButtonEditingWidget *form() const { return _form; }

signals:
  void doneButtonClicked();

public slots:
  void onDoneButtonClicked();

private:
  DoneButtonEditingWidget *_form = nullptr;
};
