#include "popuptransitionslistwidget.h"

#include "popupform.h"
#include "util.h"

#include <QLabel>
#include <QVariant>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QVBoxLayout>

namespace {
constexpr int panelHeight = 360;
constexpr int rowHeight = 45;
} // namespace

PopupTransitionsListWidget::PopupTransitionsListWidget(QWidget *parent) : CommonPopup(parent)
{
  setObjectName("PopupTransitionsListWidget");
  _buildForm();
}

PopupTransitionsListWidget::~PopupTransitionsListWidget()
{
  _deleteItems();
}

void PopupTransitionsListWidget::_deleteItems()
{
  // A record listed twice is still deleted once.
  const QSet<Item *> unique(_items.begin(), _items.end());
  qDeleteAll(unique);
  _items.clear();
}

void PopupTransitionsListWidget::_buildForm()
{
  QLabel *titleLabel = nullptr;
  QVBoxLayout *verticalLayout = PopupForm::buildTitledPanel(this, &titleLabel);
  QWidget *mainWidget = verticalLayout->parentWidget();
  _scrollArea = new QScrollArea(mainWidget);
  _scrollArea->setObjectName("scrollArea");
  _scrollArea->setWidgetResizable(true);
  _scrollAreaWidget = new QWidget;
  _scrollAreaWidget->setObjectName("scrollAreaWidget");
  _scrollArea->setWidget(_scrollAreaWidget);
  verticalLayout->addWidget(_scrollArea);
  setForm(mainWidget, titleLabel);
}

void PopupTransitionsListWidget::showPopupWithItems(QWidget *parent, const QPoint &anchor, const QList<Item *> &items,
                                                    bool inPanel)
{
  // Records handed over before and not again would otherwise be lost.
  QList<Item *> previous;
  for (Item *item : qAsConst(_items))
    if (!items.contains(item))
      previous.append(item);
  _items = previous;
  _deleteItems();
  _items = items;

  _inPanel = inPanel;
  PopupForm::showInPanelOrFloating(this, parent, tr("Add Transition"), anchor, inPanel);
}

void PopupTransitionsListWidget::initialize()
{
  CommonPopup::initialize();
  _scrollArea->setStyleSheet("QScrollArea {background-color: transparent; border: none;}");
  // The scroll area makes its widget paint the window colour; ours shows the panel.
  _scrollArea->viewport()->setAutoFillBackground(false);
  _scrollAreaWidget->setAutoFillBackground(false);
  const QString hover = _inPanel ? "rgb(44,46,50)" : "rgb(31,32,35)";
  const QString pressed = _inPanel ? "rgb(31,32,35)" : "rgb(28,29,32)";
  _scrollAreaWidget->setStyleSheet(QString("QPushButton { color: white; background-color: transparent; }"
                                           " QPushButton:hover { background-color: %1; }"
                                           " QPushButton:pressed { background-color: %2; }")
                                     .arg(hover, pressed));
  Util::applyScrollBarStyleSheet(_scrollArea->verticalScrollBar());

  // Built once: a popup serves one opening.
  if (_itemLayout)
    return;
  _itemLayout = new QVBoxLayout;
  _itemLayout->setSpacing(0);
  _itemLayout->setContentsMargins(0, 0, 0, 0);
  const QString separatorStyle =
    _inPanel ? "background-color: rgb(44,46,50);" : "background-color: rgb(101,101,101);";
  for (const Item *item : qAsConst(_items)) {
    auto *button = new QPushButton(item->text, _scrollAreaWidget);
    button->setFlat(true);
    if (item->bold) {
      QFont font = button->font();
      font.setWeight(QFont::Bold);
      button->setFont(font);
    }
    button->setFixedHeight(rowHeight - 1);
    button->setProperty("tag", item->cmdId);
    connect(button, &QPushButton::clicked, this, &PopupTransitionsListWidget::onTransitionItemButtonClicked);
    _itemLayout->addWidget(button, 1);
    _itemButtons.append(button);

    auto *separator = new QWidget(_scrollAreaWidget);
    separator->setStyleSheet(separatorStyle);
    separator->setFixedHeight(1);
    _itemLayout->addWidget(separator);
  }
  _scrollAreaWidget->setLayout(_itemLayout);
  _scrollAreaWidget->setFixedHeight(_items.size() * rowHeight);
}

void PopupTransitionsListWidget::layoutAt(const QPoint &anchor)
{
  CommonPopup::layoutAt(anchor);
}

int PopupTransitionsListWidget::popupHeight()
{
  return panelHeight;
}

void PopupTransitionsListWidget::onTransitionItemButtonClicked()
{
  if (QObject *button = sender())
    emit transitionItemSelected(this, button->property("tag").toInt());
}
