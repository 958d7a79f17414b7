#include "transitionseditingwidget.h"

#include "editingformparts.h"
#include "segmentedcontrol.h"
#include "transitionitemdelegate.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int listOnlyHeight = 256;
constexpr int withControlsHeight = 345;

QPushButton *operationButton(const char *objectName, const char *icon, const QString &toolTip, QWidget *parent)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(objectName);
  button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
  button->setMinimumWidth(40);
  button->setMaximumWidth(50);
  button->setFlat(true);
  button->setIcon(QIcon(QString(":/images/segment-inspector/") + icon));
  button->setIconSize(QSize(20, 20));
  button->setToolTip(toolTip);
  button->setStyleSheet("QPushButton { background-color: rgb(24,24,24); }"
                        "QPushButton:pressed { background-color: rgb(44,46,50); }"
                        "QToolTip { background-color: rgb(54,200,255); color: white; padding: 2px;"
                        " border-radius: 3px; }");
  return button;
}

} // namespace

TransitionsEditingWidget::TransitionsEditingWidget(QWidget *parent) : QWidget(parent)
{
  _buildForm();
  _applyStyle();

  connect(_easingTypeIconButton, &QPushButton::clicked, this, &TransitionsEditingWidget::onEasingTypeButtonClicked);
  connect(_easingTypeButton, &QPushButton::clicked, this, &TransitionsEditingWidget::onEasingTypeButtonClicked);
  connect(_easingTypeTriangleButton, &QPushButton::clicked, this,
          &TransitionsEditingWidget::onEasingTypeButtonClicked);
  connect(_transitionSegmentedWidget, &SegmentedControl::segmentIndexChanged, this,
          &TransitionsEditingWidget::transitionSegmentedControlOnSegmentIndexChanged);
  connect(_treeWidget, &QTreeWidget::itemClicked, this, &TransitionsEditingWidget::onTransitionItemClicked);
  connect(_treeWidget, &QTreeWidget::currentItemChanged, this, [this] { _updateOperationButtons(); });
  connect(_addTransitionButton, &QPushButton::clicked, this, &TransitionsEditingWidget::onAddTransitionButtonClicked);
  connect(_removeTransitionButton, &QPushButton::clicked, this,
          &TransitionsEditingWidget::onRemoveTransitionButtonClicked);
  connect(_duplicateTransitionButton, &QPushButton::clicked, this,
          &TransitionsEditingWidget::onDuplicateTransitionButtonClicked);
  _updateOperationButtons();
}

void TransitionsEditingWidget::_buildForm()
{
  setObjectName("TransitionsEditingWidget");
  resize(400, 300);
  setWindowTitle("Form");
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");

  _titleLabel = new QLabel(tr("Transitions"), this);
  _titleLabel->setObjectName("titleLabel");
  _titleLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  _titleLabel->setAlignment(Qt::AlignCenter);
  layout->addWidget(_titleLabel);

  _treeWidget = new QTreeWidget(this);
  _treeWidget->setObjectName("treeWidget");
  _treeWidget->setFocusPolicy(Qt::NoFocus);
  _treeWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _treeWidget->setRootIsDecorated(false);
  _treeWidget->setUniformRowHeights(true);
  _treeWidget->setColumnCount(3);
  _treeWidget->setHeaderLabels({tr("ID"), tr("Start"), tr("Duration")});
  _treeWidget->header()->setDefaultSectionSize(50);
  _treeWidget->header()->setSortIndicatorShown(false);
  _treeWidget->header()->setStretchLastSection(true);
  layout->addWidget(_treeWidget);

  _oprButtonsPanel = new QWidget(this);
  _oprButtonsPanel->setObjectName("oprButtonsPanel");
  _oprButtonsPanel->setFixedHeight(30);
  auto *buttons = new QHBoxLayout(_oprButtonsPanel);
  buttons->setObjectName("horizontalLayout");
  buttons->setSpacing(2);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addSpacerItem(new QSpacerItem(223, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _addTransitionButton = operationButton("addTransitionButton", "transition_add", tr("Add Transition"), this);
  _removeTransitionButton = operationButton("removeTransitionButton", "transition_remove", tr("Remove"), this);
  _duplicateTransitionButton =
    operationButton("duplicateTransitionButton", "transition_duplicate", tr("Duplicate"), this);
  buttons->addWidget(_addTransitionButton);
  buttons->addWidget(_removeTransitionButton);
  buttons->addWidget(_duplicateTransitionButton);
  layout->addWidget(_oprButtonsPanel);

  _easingTypePanel = new QWidget(this);
  _easingTypePanel->setObjectName("easingTypePanel");
  _easingTypePanel->setMinimumHeight(45);
  auto *easing = new QHBoxLayout(_easingTypePanel);
  easing->setObjectName("horizontalLayout_2");
  easing->setSpacing(0);
  easing->setContentsMargins(0, 0, 0, 0);
  _easingTypeLabel = new QLabel(tr("Easing type"), _easingTypePanel);
  _easingTypeLabel->setObjectName("easingTypeLabel");
  _easingTypeLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  easing->addWidget(_easingTypeLabel);
  easing->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Preferred, QSizePolicy::Minimum));
  const EditingFormParts::DropDown box = EditingFormParts::dropDown(
    _easingTypePanel, "easingTypeButtonContainer", "horizontalLayout_6", "easingTypeButton", "easingTypeTriangleButton");
  _easingTypeButtonContainer = box.container;
  _easingTypeButton = box.nameButton;
  _easingTypeTriangleButton = box.triangleButton;
  box.layout->setContentsMargins(12, 0, 0, 0);
  _easingTypeIconButton = new QPushButton(box.container);
  _easingTypeIconButton->setObjectName("easingTypeIconButton");
  _easingTypeIconButton->setFixedWidth(30);
  _easingTypeIconButton->setFlat(true);
  _easingTypeIconButton->setStyleSheet("QPushButton { background-color: transparent; }");
  box.layout->insertWidget(0, _easingTypeIconButton);
  for (QPushButton *button : {_easingTypeIconButton, _easingTypeButton})
    button->setIconSize(QSize(20, 20));
  easing->addWidget(_easingTypeButtonContainer);
  layout->addWidget(_easingTypePanel);

  _transitionSegmentedWidget = new SegmentedControl(this);
  _transitionSegmentedWidget->setObjectName("transitionSegmentedWidget");
  _transitionSegmentedWidget->setFixedWidth(200);
  _transitionSegmentedWidget->setMinimumHeight(30);
  layout->addWidget(_transitionSegmentedWidget, 0, Qt::AlignHCenter);
}

void TransitionsEditingWidget::_applyStyle()
{
  EditingFormParts::styleTitle(_titleLabel);

  _treeWidget->setColumnWidth(0, 50);
  _treeWidget->setColumnWidth(1, 80);
  auto *delegate = new TransitionItemDelegate(_treeWidget);
  delegate->setRowHeight(25);
  _treeWidget->setItemDelegate(delegate);
  _treeWidget->header()->setFixedHeight(25);
  _treeWidget->header()->setStyleSheet(
    "QHeaderView { color: rgb(162,162,162); background-color: rgb(20,20,20); border: 1px solid rgb(56,56,56); }"
    "QHeaderView::section:horizontal { background-color: transparent; color: rgb(162,162,162); border: none;"
    " border-left: 1px solid rgb(56,56,56); padding: 2px; }"
    "QHeaderView::section:horizontal:first { border: none; }");
  _treeWidget->setStyleSheet(
    "QTreeWidget { color: white; background-color: rgb(44,46,50); }"
    "QTreeWidget::item { color: white; border: none; border-left: 1px solid rgb(56,56,56);"
    " border-bottom: 1px solid rgb(56,56,56); margin-left: 1px; }"
    "QTreeWidget::item:first { border-left: none; }"
    "QTreeWidget::item:selected { background-color: rgb(54,200,255); border-color: rgb(54,200,255); }");

  _easingTypeLabel->setStyleSheet("QLabel { color: rgb(162,162,162); } QLabel:disabled { color: rgb(128,128,128); }");

  _transitionSegmentedWidget->setSegmentTitles({tr("Start"), tr("End")});
  _transitionSegmentedWidget->setBackgroundColor(QColor(7, 8, 10));
  _transitionSegmentedWidget->setSelectedSegmentColor(QColor(54, 200, 255));
  _transitionSegmentedWidget->setTextColor(QColor(54, 200, 255));
  _transitionSegmentedWidget->setSelectedTextColor(Qt::white);
  _transitionSegmentedWidget->setCornerRadius(_transitionSegmentedWidget->height() / 2.0f);
}

void TransitionsEditingWidget::addTransitionItem(int id, float start, float duration)
{
  auto *item = new QTreeWidgetItem(_treeWidget);
  item->setText(0, QString::asprintf("%d", id));
  item->setText(1, QString::asprintf("%.2f", start));
  item->setText(2, QString::asprintf("%.2f", duration));
}

void TransitionsEditingWidget::clearItems()
{
  _selectingSilently = true;
  _treeWidget->clear();
  _selectingSilently = false;
}

void TransitionsEditingWidget::clearCurrentItem()
{
  _setCurrentSilently(nullptr);
}

void TransitionsEditingWidget::selectItemAt(int row)
{
  if (QTreeWidgetItem *item = _treeWidget->topLevelItem(row))
    _setCurrentSilently(item);
}

int TransitionsEditingWidget::currentRow() const
{
  return _treeWidget->indexOfTopLevelItem(_treeWidget->currentItem());
}

void TransitionsEditingWidget::_setCurrentSilently(QTreeWidgetItem *item)
{
  _selectingSilently = true;
  _treeWidget->setCurrentItem(item);
  if (!item)
    _treeWidget->clearSelection();
  _selectingSilently = false;
}

void TransitionsEditingWidget::setDuplicateButtonEnabled(bool enabled)
{
  _duplicateAllowed = enabled;
  _updateOperationButtons();
}

void TransitionsEditingWidget::setRemoveButtonEnabled(bool enabled)
{
  _removeAllowed = enabled;
  _updateOperationButtons();
}

void TransitionsEditingWidget::_updateOperationButtons()
{
  const bool hasRow = _treeWidget->currentItem() != nullptr;
  _removeTransitionButton->setEnabled(_removeAllowed && hasRow);
  _duplicateTransitionButton->setEnabled(_duplicateAllowed && hasRow);
}

void TransitionsEditingWidget::setSegmentedIndex(int index)
{
  if (_transitionSegmentedWidget->currentIndex() != index)
    _transitionSegmentedWidget->setCurrentIndex(index);
}

void TransitionsEditingWidget::setTransitionControlsHidden(bool hidden)
{
  _easingTypePanel->setHidden(hidden);
  _transitionSegmentedWidget->setHidden(hidden);
  setFixedHeight(hidden ? listOnlyHeight : withControlsHeight);
}

void TransitionsEditingWidget::showEmptyHint(bool show)
{
  if (!show) {
    if (_emptyHintLabel)
      _emptyHintLabel->hide();
    return;
  }
  if (!_emptyHintLabel) {
    _emptyHintLabel = new QLabel(tr("Press \"+\" to add a transition"), this);
    _emptyHintLabel->setObjectName("emptyHintLabel");
    _emptyHintLabel->setStyleSheet("QLabel { color: rgb(154,154,154); background-color: transparent; }");
    _emptyHintLabel->setAlignment(Qt::AlignCenter);
  }
  _placeEmptyHint();
  _emptyHintLabel->show();
  _emptyHintLabel->raise();
}

void TransitionsEditingWidget::_placeEmptyHint()
{
  if (!_emptyHintLabel)
    return;
  const QRect r = _treeWidget->geometry();
  _emptyHintLabel->setGeometry(r.x(), r.center().y() - 10, r.width(), 20);
}

void TransitionsEditingWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _placeEmptyHint();
}

void TransitionsEditingWidget::updateEasingType(const QPixmap &icon, const QString &text)
{
  _easingTypeIconButton->setIcon(QIcon(icon));
  _easingTypeButton->setText(text);
}

void TransitionsEditingWidget::onEasingTypeButtonClicked()
{
  if (auto *button = qobject_cast<QPushButton *>(sender()))
    emit popupEasingFunctionsWidgetOnButton(button);
}

void TransitionsEditingWidget::transitionSegmentedControlOnSegmentIndexChanged(SegmentedControl *, int index)
{
  emit transitionSegmentedWidgetIndexChanged(index);
}

void TransitionsEditingWidget::onTransitionItemClicked(QTreeWidgetItem *, int)
{
  if (!_selectingSilently)
    emit transitionSelectionIndexChanged(currentRow());
}

void TransitionsEditingWidget::onAddTransitionButtonClicked()
{
  emit addTransitionActionOnButton(_addTransitionButton);
}

void TransitionsEditingWidget::onRemoveTransitionButtonClicked()
{
  if (currentRow() >= 0)
    emit removeTransitionAtIndex(currentRow());
}

void TransitionsEditingWidget::onDuplicateTransitionButtonClicked()
{
  if (currentRow() >= 0)
    emit duplicateTransitionAtIndex(currentRow());
}
