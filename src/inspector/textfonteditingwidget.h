#pragma once

#include <QFont>
#include <QWidget>

class QPushButton;

// The text's font as a drop-down box that names the font in the font itself; a click asks
// the editor for its font chooser.
class TextFontEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit TextFontEditingWidget(QWidget *parent);

  void setCurrentFont(const QFont &font);
  QFont currentFont() const { return _currentFont; }
  void setEditingEnabled(bool enabled);
  QPushButton *fontNameButton() const { return _fontNameButton; }
  QPushButton *fontNameTriangleButton() const { return _fontNameTriangleButton; }

signals:
  void fontButtonClicked();

private:
  QWidget *_fontNameButtonContainer = nullptr;
  QPushButton *_fontNameButton = nullptr;
  QPushButton *_fontNameTriangleButton = nullptr;
  QFont _currentFont;
};
