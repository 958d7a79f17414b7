#include "videoutilitieseditingwidget.h"

#include "editingformparts.h"
#include "scrollabletoolbar.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int grabImageCommand = 10021;
}

VideoUtilitiesEditingWidget::VideoUtilitiesEditingWidget(QWidget *parent) : QWidget(parent)
{
  QVBoxLayout *layout = nullptr;
  _titleLabel = EditingFormParts::titledColumn(this, "VideoUtilitiesEditingWidget", tr("Video Utilities"), &layout);
  _toolbar = new ScrollableToolBar(this);
  _toolbar->setObjectName("toolbar");
  _toolbar->setMinimumSize(0, 50);
  _toolbar->setMaximumSize(16777215, 50);
  layout->addWidget(_toolbar);

  _toolbar->setBackgroundColor(QColor(7, 8, 10));
  _toolbar->setFixedHeight(50);
  _toolbar->addButton(":/images/toolbar/capture", ":/images/toolbar/capture2", tr("Grab image from video"),
                      grabImageCommand, 0, true);
  _toolbar->hideScrollArrows();
  connect(_toolbar, &ScrollableToolBar::scrollableToolBarButtonClicked, this,
          &VideoUtilitiesEditingWidget::onToolBarButtonClicked);
}

void VideoUtilitiesEditingWidget::onToolBarButtonClicked(ScrollableToolBar *, int cmdId)
{
  if (cmdId == grabImageCommand)
    emit grabImageButtonClicked();
}
