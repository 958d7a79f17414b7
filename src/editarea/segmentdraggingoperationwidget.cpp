#include "segmentdraggingoperationwidget.h"

#include "animationswitch.h"
#include "tooltipbutton.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSpacerItem>

namespace {
constexpr int HitMargin = 10;
constexpr int ToolTipDelay = 200;
constexpr int ToolTipAbove = -60;
} // namespace

SegmentDraggingOperationWidget::SegmentDraggingOperationWidget(QWidget *parent) : QWidget(parent)
{
  _setupUi();
}

void SegmentDraggingOperationWidget::_setupUi()
{
  setObjectName(QStringLiteral("SegmentDraggingOperationWidget"));
  resize(301, 90);
  _layout = new QHBoxLayout(this);
  _layout->setSpacing(0);
  _layout->addItem(new QSpacerItem(45, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  for (TooltipButton **button : {&_duplicateButton, &_trashButton}) {
    *button = new TooltipButton(this);
    (*button)->setFlat(true);
    (*button)->setIconSize(QSize(37, 37));
    _layout->addWidget(*button);
  }
  _duplicateButton->setObjectName(QStringLiteral("duplicateButton"));
  _trashButton->setObjectName(QStringLiteral("trashButton"));
  _duplicateButton->setNormalIcon(QStringLiteral(":/images/duplicate_opr"));
  _trashButton->setNormalIcon(QStringLiteral(":/images/remove_opr"));
  _layout->addItem(new QSpacerItem(44, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _retranslateUi();
}

void SegmentDraggingOperationWidget::_retranslateUi()
{
  setWindowTitle(tr("Form"));
}

void SegmentDraggingOperationWidget::_applyStyle()
{
  setStyleSheet(QStringLiteral("QWidget{ background-color: rgba(0,0,0,128); border-radius: 10px; } "
                               "QPushButton{ background-color: transparent; }"));
  _layout->setSpacing(35);
  struct Target
  {
    TooltipButton *button;
    const char *normal;
    const char *selected;
    QString tip;
  };
  for (const Target &t : {Target{_duplicateButton, ":/images/duplicate_opr", ":/images/duplicate_opr_2", tr("Duplicate")},
                          Target{_trashButton, ":/images/remove_opr", ":/images/remove_opr_2", tr("Remove")}}) {
    t.button->setNormalIcon(QString::fromLatin1(t.normal));
    t.button->setSelectedIcon(QString::fromLatin1(t.selected));
    t.button->setCustomToolTip(t.tip);
    t.button->setToolTipsEnabled(true);
    t.button->setShowToolTipOnSelect(true);
    t.button->setToolTipDelay(ToolTipDelay);
    t.button->setToolTipY(ToolTipAbove);
  }
}

void SegmentDraggingOperationWidget::showAt(const QRect &area, bool hideDuplicate)
{
  _applyStyle();
  const QSize size = hideDuplicate ? QSize(100, 60) : QSize(180, 60);
  // QRect::right/bottom are one short of the edge; the targets hang off the true edges.
  const int right = area.x() + area.width();
  const int bottom = area.y() + area.height();
  setGeometry(QRect(QPoint(right - 20 - size.width(), bottom), size));
  const QPoint target(right - 20 - size.width(), bottom - 10 - size.height());
  if (hideDuplicate)
    _duplicateButton->hide();
  if (!isAnimationEnabled()) {
    show();
    move(target);
    return;
  }
  auto *effect = new QGraphicsOpacityEffect(this);
  effect->setOpacity(0.0);
  setGraphicsEffect(effect);
  show();
  auto *group = new QParallelAnimationGroup(this);
  auto *fade = new QPropertyAnimation(effect, "opacity", group);
  fade->setDuration(200);
  fade->setEndValue(1.0);
  auto *rise = new QPropertyAnimation(this, "pos", group);
  rise->setDuration(200);
  rise->setEndValue(target);
  group->addAnimation(fade);
  group->addAnimation(rise);
  connect(group, &QParallelAnimationGroup::finished, effect, [effect] { effect->setEnabled(false); });
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

int SegmentDraggingOperationWidget::hitTest(const QPoint &pos)
{
  const QMargins grow(HitMargin, HitMargin, HitMargin, HitMargin);
  if (!_duplicateButton->isHidden() && _duplicateButton->geometry().marginsAdded(grow).contains(pos)) {
    _duplicateButton->setSelected(true);
    _trashButton->setSelected(false);
    return 0;
  }
  if (_trashButton->geometry().marginsAdded(grow).contains(pos)) {
    _trashButton->setSelected(true);
    _duplicateButton->setSelected(false);
    return 1;
  }
  _duplicateButton->setSelected(false);
  _trashButton->setSelected(false);
  return -1;
}

QPoint SegmentDraggingOperationWidget::removeButtonCenter() const
{
  return _trashButton->mapToGlobal(_trashButton->rect().center());
}
