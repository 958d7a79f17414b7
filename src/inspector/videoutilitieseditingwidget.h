#pragma once

#include <QWidget>

class QLabel;
class ScrollableToolBar;

// The video tools of a clip: one tool strip, for now with "Grab image from video".
class VideoUtilitiesEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit VideoUtilitiesEditingWidget(QWidget *parent);

  QLabel *titleLabel() const { return _titleLabel; }
  ScrollableToolBar *toolbar() const { return _toolbar; }

signals:
  void grabImageButtonClicked();

public slots:
  void onToolBarButtonClicked(ScrollableToolBar *toolbar, int cmdId);

private:
  QLabel *_titleLabel = nullptr;
  ScrollableToolBar *_toolbar = nullptr;
};
