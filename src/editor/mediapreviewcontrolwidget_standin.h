#pragma once
// Stand-in for the media preview's control strip until the real one lands; it has no controls.
// Drop this file pair when the real MediaPreviewControlWidget arrives.

#include <QWidget>

class MediaPreviewControlWidget : public QWidget
{
  Q_OBJECT
public:
  explicit MediaPreviewControlWidget(QWidget *parent = nullptr) : QWidget(parent) {}
};
