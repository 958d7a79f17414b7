#pragma once

#include "commoneditingwidgetcontroller.h"

class Segment;
class TransformWidget;
class VideoUtilitiesEditingWidget;

// The video tools of a clip; they work on the frame under the play head, so only while the
// play head lies on the clip.
class VideoUtilitiesEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit VideoUtilitiesEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *) {}
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 170; }
  VideoUtilitiesEditingWidget *form() const { return _form; }

signals:
  void grabImageButtonClicked();

public slots:
  void onGrabImageButtonClicked();

private:
  VideoUtilitiesEditingWidget *_form = nullptr;
};
