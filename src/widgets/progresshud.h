#pragma once

#include "popupwidget.h"

class AnimatedLabel;
class QBoxLayout;
class QLabel;
class QProgressBar;
class QSpacerItem;

enum ProgressHUDStyle
{
  ProgressHUDStyleSpinner = 0,
  ProgressHUDStyleProgress = 1,
  ProgressHUDStyleText = 2,
};

// The heads-up display a window puts over itself while something takes time: a spinner,
// a progress bar with an optional caption, or a short text message that removes itself.
class ProgressHUD : public PopupWidget
{
  Q_OBJECT
public:
  ProgressHUD(QWidget *parent, int style);

  int style() const { return _style; }
  void setText(const QString &text);
  // A fraction 0..1; only the progress-bar style shows it.
  void setProgress(float progress);

  // A text display over `parent` that goes away by itself after `milliseconds`.
  static ProgressHUD *showTextMessage(const QString &text, QWidget *parent, int milliseconds);

  QWidget *mainWidget() const { return _mainWidget; }
  QLabel *textLabel() const { return _textLabel; }
  QProgressBar *progressBar() const { return _progressBar; }
  AnimatedLabel *spinner() const { return _spinner; }

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  void _buildForm();

  int _style;
  QWidget *_mainWidget = nullptr;
  QBoxLayout *_mainVerticalLayout = nullptr;
  QBoxLayout *_mainUpperHorizontalLayout = nullptr;
  QSpacerItem *_lowerSpacer = nullptr;
  AnimatedLabel *_spinner = nullptr;
  QLabel *_textLabel = nullptr;
  QProgressBar *_progressBar = nullptr;
};
