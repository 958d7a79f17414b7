#include "popupwidget.h"

#include <QApplication>
#include <QKeyEvent>

PopupWidget::PopupWidget(QWidget *parent) : QWidget(parent)
{
  Q_ASSERT(parent);
}

PopupWidget::~PopupWidget() = default;

void PopupWidget::setInputTransparent(bool transparent)
{
  _inputTransparent = transparent;
  setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

bool PopupWidget::onEscapeKeyPressed()
{
  return false;
}

bool PopupWidget::onReturnKeyPressed()
{
  return false;
}

bool PopupWidget::eventFilter(QObject *watched, QEvent *event)
{
  if (!_inputTransparent) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key == Qt::Key_Escape)
        onEscapeKeyPressed();
      else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        onReturnKeyPressed();
      return true;
    }
    if (event->type() == QEvent::KeyRelease)
      return true;
  }
  if (event->type() == QEvent::Resize && watched == parentWidget()) {
    const QWidget *parent = parentWidget();
    setGeometry(0, 0, parent->width(), parent->height());
  }
  return QWidget::eventFilter(watched, event);
}

void PopupWidget::wheelEvent(QWheelEvent *event)
{
  if (_embedded)
    QWidget::wheelEvent(event);
  else
    event->accept();
}

void PopupWidget::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  if (_embedded || _filtering)
    return;
  _watchFocusWidget(QApplication::focusWidget());
  if (parentWidget())
    parentWidget()->installEventFilter(this);
  // The focus can come back to the window while the popup shows (a dialog over it closes):
  // its keys must not reach the window under the popup either.
  connect(qApp, &QApplication::focusChanged, this, &PopupWidget::_onFocusChanged);
  _filtering = true;
}

void PopupWidget::_watchFocusWidget(QWidget *widget)
{
  if (_focusWidget)
    _focusWidget->removeEventFilter(this);
  _focusWidget = widget;
  if (_focusWidget)
    _focusWidget->installEventFilter(this);
}

void PopupWidget::_onFocusChanged(QWidget *, QWidget *now)
{
  if (now && now != this && now->window() == window() && !isAncestorOf(now))
    _watchFocusWidget(now);
}

void PopupWidget::hideEvent(QHideEvent *event)
{
  if (!_embedded && _filtering) {
    if (parentWidget())
      parentWidget()->removeEventFilter(this);
    disconnect(qApp, &QApplication::focusChanged, this, &PopupWidget::_onFocusChanged);
    _watchFocusWidget(nullptr);
    _filtering = false;
  }
  QWidget::hideEvent(event);
}
