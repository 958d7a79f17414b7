#include "selfdraweditingwidget.h"

#include "drawingcolorwidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMoveEvent>
#include <QVBoxLayout>

namespace {

// The column's margins: 12 at each side, so the grid is 24 narrower than the form and the
// form is 44 higher than its three parts with the two gaps of 10.
const int kMargin = 12;
const int kSpacing = 10;

} // namespace

SelfDrawEditingWidget::SelfDrawEditingWidget(const QSize &canvasSize, QWidget *parent) : QWidget(parent)
{
  setObjectName("SelfDrawEditingWidget");
  resize(400, 300);
  setWindowTitle("Form");
  _verticalLayout = new QVBoxLayout(this);
  _verticalLayout->setObjectName("verticalLayout");
  _verticalLayout->setSpacing(kSpacing);
  _verticalLayout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

  _colorWidget = new DrawingColorWidget(canvasSize, this);
  _colorWidget->setFixedSize(50, 50);
  _colorWidget->setPopupShadowEnabled(true);
  auto *colorRow = new QHBoxLayout;
  colorRow->setContentsMargins(10, 0, 10, 0);
  colorRow->addWidget(_colorWidget, 0, Qt::AlignLeft);
  _verticalLayout->addLayout(colorRow);

  _tuningWidget = new DrawingTuningWidget(this);
  _tuningWidget->setFixedHeight(120);
  _tuningWidget->useInspectorLayout();
  _verticalLayout->addWidget(_tuningWidget);

  // Every shape gets its own button in the inspector.
  _toolsWidget = new DrawingToolsWidget(true, this);
  _verticalLayout->addWidget(_toolsWidget);

  _watchWindow();
}

SelfDrawEditingWidget::~SelfDrawEditingWidget()
{
  if (_watchedWindow)
    _watchedWindow->removeEventFilter(this);
}

void SelfDrawEditingWidget::dismissDrawingPopups()
{
  _colorWidget->dismissPopup();
  _tuningWidget->dismissPopup();
}

// The inspector may be put into its window after the form was made.
void SelfDrawEditingWidget::_watchWindow()
{
  QWidget *top = window();
  if (top == _watchedWindow || top == this)
    return;
  if (_watchedWindow)
    _watchedWindow->removeEventFilter(this);
  _watchedWindow = top;
  top->installEventFilter(this);
}

void SelfDrawEditingWidget::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  _watchWindow();
}

bool SelfDrawEditingWidget::eventFilter(QObject *watched, QEvent *event)
{
  // A resized window can move the swatch and the panel without moving them in their
  // parent; a move event in place lets their open popups follow.
  if (watched == _watchedWindow && event->type() == QEvent::Resize) {
    for (QWidget *widget : {static_cast<QWidget *>(_colorWidget), static_cast<QWidget *>(_tuningWidget)})
      QCoreApplication::postEvent(widget, new QMoveEvent(widget->pos(), widget->pos()));
  }
  return QWidget::eventFilter(watched, event);
}

void SelfDrawEditingWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _toolsWidget->setFixedHeight(_toolsWidget->sizeForWidth(width() - 2 * kMargin).height());
  const int height = _tuningWidget->height() + _toolsWidget->height() + _colorWidget->height() + 2 * kMargin +
                     2 * kSpacing;
  // Fixing the height resizes the form again; the owner hears of each new height once.
  const bool changed = height != _computedHeight;
  _computedHeight = height;
  setFixedHeight(height);
  if (changed)
    emit widgetSizeChanged();
}
