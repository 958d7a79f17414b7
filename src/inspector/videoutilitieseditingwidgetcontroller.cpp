#include "videoutilitieseditingwidgetcontroller.h"

#include "scrollabletoolbar.h"
#include "segmenttypes.h"
#include "videoutilitieseditingwidget.h"

VideoUtilitiesEditingWidgetController::VideoUtilitiesEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new VideoUtilitiesEditingWidget(parent);
  _form->setFixedHeight(120);
  connect(_form, &VideoUtilitiesEditingWidget::grabImageButtonClicked, this,
          &VideoUtilitiesEditingWidgetController::onGrabImageButtonClicked);
}

bool VideoUtilitiesEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"MOVIE"});
}

void VideoUtilitiesEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _form->toolbar()->setEnabled(inside);
}

QWidget *VideoUtilitiesEditingWidgetController::editingWidget() const
{
  return _form;
}

void VideoUtilitiesEditingWidgetController::onGrabImageButtonClicked()
{
  emit grabImageButtonClicked();
}
