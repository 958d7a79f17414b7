#pragma once

#include <QPushButton>

// The flat icon button of every tool bar: swaps icons for the pressed, selected and
// disabled states, can mark a corner, carries its command id and can show its own tool tip.
class TooltipButton : public QPushButton
{
  Q_OBJECT
public:
  TooltipButton(const QString &normalIcon, const QString &selectedIcon, QWidget *parent = nullptr);
  explicit TooltipButton(QWidget *parent = nullptr);

  void setCommandId(int cmdId) { _commandId = cmdId; }
  int commandId() const { return _commandId; }

  void setSelected(bool selected);
  void setButtonSelected(bool selected) { setSelected(selected); }
  bool isSelected() const { return _selected; }

  void setNormalIcon(const QString &path);
  void setSelectedIcon(const QString &path);
  void setDisabledIcon(const QString &path);
  QString normalIcon() const { return _normalIcon; }
  QString selectedIcon() const { return _selectedIcon; }
  QString disabledIcon() const { return _disabledIcon; }
  // The path of the icon on show now.
  QString shownIcon() const { return _shownIcon; }

  void setCornerMark(int mark);
  int cornerMark() const { return _cornerMark; }

  void setToolTipsEnabled(bool on) { _toolTipsOn = on; }
  void setShowToolTipOnSelect(bool on) { _toolTipOnSelect = on; }
  void setCustomToolTip(const QString &text) { _toolTipText = text; }
  void setToolTipDelay(int milliseconds) { _toolTipDelay = milliseconds; }
  void setToolTipY(int y) { _toolTipY = y; }
  bool isToolTipShowing() const { return _toolTipShowing; }
  // Where the tool tip goes, in button coordinates.
  QPoint toolTipPosition() const;
  void showCustomToolTip();
  void hideCustomToolTip();

public slots:
  void onPressed();
  void onReleased();

protected:
  void changeEvent(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;

private:
  void _init();
  void _showIcon(const QString &path);

  bool _toolTipsOn = true;
  int _cornerMark = 0;
  int _commandId = 0;
  bool _selected = false;
  QString _normalIcon;
  QString _selectedIcon;
  QString _disabledIcon;
  QString _shownIcon;
  bool _toolTipOnSelect = false;
  QString _toolTipText;
  int _toolTipDelay = 0;
  bool _toolTipShowing = false;
  int _toolTipY = 0;
};
