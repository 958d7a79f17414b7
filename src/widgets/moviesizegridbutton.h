#pragma once

#include <QPushButton>

// A button that draws a rounded frame of a movie aspect ratio above its caption.
class MovieSizeGridButton : public QPushButton
{
  Q_OBJECT
public:
  MovieSizeGridButton(const QString &text, float aspectRatio, QWidget *parent = nullptr);

  void setCommandId(int cmdId) { _commandId = cmdId; }
  int commandId() const { return _commandId; }
  // The same field under the name the popups use.
  void setTag(int tag) { _commandId = tag; }
  int tag() const { return _commandId; }
  void setSelected(bool selected);
  bool isSelected() const { return _selected; }
  float aspectRatio() const { return _aspectRatio; }

  static QSize sizeForWidth(int width) { return QSize(width, width + 25); }
  // Where the frame is drawn, for the button's current size.
  QRectF frameRect() const;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  int _commandId = -1;
  float _aspectRatio;
  bool _selected = false;
};
