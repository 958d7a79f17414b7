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
  if (_focusWidget)
    _focusWidget->removeEventFilter(this);
  _focusWidget = QApplication::focusWidget();
  if (_focusWidget)
    _focusWidget->installEventFilter(this);
  if (parentWidget())
    parentWidget()->installEventFilter(this);
  _filtering = true;
}

void PopupWidget::hideEvent(QHideEvent *event)
{
  if (!_embedded && _filtering) {
    if (parentWidget())
      parentWidget()->removeEventFilter(this);
    if (_focusWidget)
      _focusWidget->removeEventFilter(this);
    _focusWidget.clear();
    _filtering = false;
  }
  QWidget::hideEvent(event);
}
