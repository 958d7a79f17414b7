#include "progresshud.h"

#include "animatedlabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

ProgressHUD::ProgressHUD(QWidget *parent, int style) : PopupWidget(parent), _style(style)
{
  _buildForm();
  setStyleSheet("QWidget#mainWidget { background-color: rgb(64,64,64); border-radius: 10px; }"
                "QProgressBar { border: none; color: white; text-align: center; background-color: rgb(44,46,50);"
                " height: 20px; border-radius: 10px; }"
                "QProgressBar::chunk { background-color: rgb(54, 200, 255); border-radius: 10px; border: none; }"
                "QLabel { color: white; background-color: transparent; }");
  setFocusPolicy(Qt::NoFocus);

  switch (style) {
  case ProgressHUDStyleSpinner:
    _spinner = new AnimatedLabel(this, ":/images/loading_hud_dark");
    _spinner->setMaximumSize(80, 80);
    _mainUpperHorizontalLayout->insertWidget(1, _spinner);
    break;
  case ProgressHUDStyleProgress:
    _progressBar = new QProgressBar(this);
    _progressBar->setRange(0, 100);
    _progressBar->setMaximumHeight(20);
    _mainWidget->setMaximumWidth(400);
    _mainUpperHorizontalLayout->insertWidget(1, _progressBar);
    _mainUpperHorizontalLayout->setContentsMargins(30, 0, 30, 0);
    break;
  case ProgressHUDStyleText:
    _mainVerticalLayout->removeItem(_mainUpperHorizontalLayout);
    delete _mainUpperHorizontalLayout;
    _mainUpperHorizontalLayout = nullptr;
    _mainWidget->setMinimumHeight(70);
    _mainWidget->setFixedHeight(70);
    _lowerSpacer->changeSize(20, 90, QSizePolicy::Minimum, QSizePolicy::Preferred);
    layout()->invalidate();
    setInputTransparent(true);
    break;
  default:
    break;
  }
}

void ProgressHUD::_buildForm()
{
  setObjectName("ProgressHUD");
  setWindowTitle("Form");
  resize(400, 300);
  auto *outer = new QVBoxLayout(this);
  outer->setObjectName("verticalLayout_2");
  outer->addItem(new QSpacerItem(20, 96, QSizePolicy::Minimum, QSizePolicy::Expanding));
  auto *row = new QHBoxLayout;
  row->setObjectName("horizontalLayout");
  outer->addLayout(row);
  _lowerSpacer = new QSpacerItem(20, 96, QSizePolicy::Minimum, QSizePolicy::Expanding);
  outer->addItem(_lowerSpacer);

  row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _mainWidget = new QWidget(this);
  _mainWidget->setObjectName("mainWidget");
  _mainWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  _mainWidget->setMinimumSize(100, 100);
  // Style sheet backgrounds of a plain QWidget need this attribute.
  _mainWidget->setAttribute(Qt::WA_StyledBackground);
  row->addWidget(_mainWidget);
  row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

  _mainVerticalLayout = new QVBoxLayout(_mainWidget);
  _mainVerticalLayout->setObjectName("mainVerticalLayout");
  _mainVerticalLayout->setContentsMargins(12, 12, 12, 12);
  _mainUpperHorizontalLayout = new QHBoxLayout;
  _mainUpperHorizontalLayout->setObjectName("mainUpperHorizontalLayout");
  const QMargins defaults = _mainUpperHorizontalLayout->contentsMargins();
  _mainUpperHorizontalLayout->setContentsMargins(0, defaults.top(), 0, defaults.bottom());
  _mainUpperHorizontalLayout->addItem(new QSpacerItem(0, 20, QSizePolicy::Preferred, QSizePolicy::Minimum));
  _mainUpperHorizontalLayout->addItem(new QSpacerItem(0, 20, QSizePolicy::Preferred, QSizePolicy::Minimum));
  _mainVerticalLayout->addLayout(_mainUpperHorizontalLayout);
}

void ProgressHUD::setText(const QString &text)
{
  if (text.isEmpty()) {
    if (_textLabel) {
      _mainVerticalLayout->removeWidget(_textLabel);
      delete _textLabel;
      _textLabel = nullptr;
    }
    return;
  }
  if (!_textLabel) {
    _textLabel = new QLabel(this);
    QFont font = _textLabel->font();
    font.setPointSize(font.pointSize() + 1);
    _textLabel->setFont(font);
    _textLabel->setAlignment(Qt::AlignCenter);
    _textLabel->setStyleSheet("color:white;");
    _mainVerticalLayout->addWidget(_textLabel);
  }
  _textLabel->setText(text);
  switch (_style) {
  case ProgressHUDStyleSpinner:
    _mainVerticalLayout->setContentsMargins(12, 0, 12, 12);
    _mainVerticalLayout->setSpacing(0);
    break;
  case ProgressHUDStyleProgress:
    _mainVerticalLayout->setContentsMargins(12, 30, 12, 12);
    break;
  case ProgressHUDStyleText:
    _mainVerticalLayout->setContentsMargins(25, 12, 25, 12);
    break;
  default:
    break;
  }
}

void ProgressHUD::setProgress(float progress)
{
  if (_progressBar)
    _progressBar->setValue(int(progress * 100));
}

ProgressHUD *ProgressHUD::showTextMessage(const QString &text, QWidget *parent, int milliseconds)
{
  auto *hud = new ProgressHUD(parent, ProgressHUDStyleText);
  hud->setGeometry(0, 0, parent->width(), parent->height());
  hud->setText(text);
  hud->show();
  // The parent is the context: if it goes first, the HUD goes with it and the timer is dropped.
  QPointer<ProgressHUD> guard(hud);
  QTimer::singleShot(milliseconds, parent, [guard] {
    if (guard) {
      guard->hide();
      guard->deleteLater();
    }
  });
  return hud;
}

void ProgressHUD::showEvent(QShowEvent *event)
{
  PopupWidget::showEvent(event);
  if (_spinner)
    _spinner->start(0);
}

void ProgressHUD::hideEvent(QHideEvent *event)
{
  if (_spinner)
    _spinner->stop();
  PopupWidget::hideEvent(event);
}
