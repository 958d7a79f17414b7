#include "popupform.h"

#include "commonpopup.h"

#include <QLabel>
#include <QVBoxLayout>

namespace PopupForm {

QVBoxLayout *buildTitledPanel(QWidget *popup, QLabel **titleLabel)
{
  auto *mainWidget = new QWidget(popup);
  mainWidget->setObjectName("mainWidget");
  auto *verticalLayout = new QVBoxLayout(mainWidget);
  verticalLayout->setObjectName("verticalLayout");
  verticalLayout->setSpacing(10);
  *titleLabel = new QLabel(mainWidget);
  (*titleLabel)->setObjectName("titleLabel");
  (*titleLabel)->setAlignment(Qt::AlignCenter);
  verticalLayout->addWidget(*titleLabel);
  return verticalLayout;
}

void showInPanelOrFloating(CommonPopup *popup, QWidget *parent, const QString &title, const QPoint &anchor,
                           bool inPanel)
{
  if (!inPanel) {
    popup->setCornerStyle(4);
    popup->setBackgroundColor(QColor(44, 46, 50, 244));
  }
  popup->showPopup(parent, title, anchor);
  if (!inPanel)
    popup->addDropShadow();
}

bool userCloses(const CommonPopup *popup)
{
  return !popup->isEmbedded() && !popup->isPersistent();
}

bool userCloses(const CommonPopup *popup, const QPoint &pos)
{
  return userCloses(popup) && popup->mainWidget() && !popup->mainWidget()->geometry().contains(pos);
}

} // namespace PopupForm
