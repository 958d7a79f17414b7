#include "popupappearance.h"

#include "animationswitch.h"
#include "util.h"

#include <QPropertyAnimation>
#include <QWidget>

namespace PopupAppearance {

constexpr int durationMs = 200;

void fadeIn(QWidget *popup)
{
  if (isAnimationEnabled())
    Util::fadeInWidget(popup, durationMs, 1.0f);
  else
    popup->show();
}

void slideUp(QWidget *popup)
{
  if (!isAnimationEnabled()) {
    popup->move(0, 0);
    popup->show();
    return;
  }
  popup->move(0, popup->parentWidget()->height());
  popup->show();
  auto *slide = new QPropertyAnimation(popup, "pos", popup);
  slide->setDuration(durationMs);
  slide->setEndValue(QPoint(0, 0));
  slide->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace PopupAppearance
