#include "textalignmenteditingwidget.h"

#include "segmentedcontrol.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TextAlignmentEditingWidget::TextAlignmentEditingWidget(QWidget *parent) : QWidget(parent)
{
  setObjectName("TextAlignmentEditingWidget");
  resize(400, 101);
  setWindowTitle("Form");
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  auto *row = new QWidget(this);
  row->setObjectName("widget");
  layout->addWidget(row);
  auto *rowLayout = new QHBoxLayout(row);
  rowLayout->setObjectName("horizontalLayout");
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _textAlignWidget = new SegmentedControl(row);
  _textAlignWidget->setObjectName("textAlignWidget");
  _textAlignWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  _textAlignWidget->setFixedSize(180, 30);
  rowLayout->addWidget(_textAlignWidget);
  rowLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

  _textAlignWidget->setSegmentTitles({tr("Left"), tr("Center"), tr("Right")});
  const char *icons[] = {"leftAlign", "centerAlign", "rightAlign"};
  for (int i = 0; i < 3; ++i) {
    const QString path = QString(":/images/toolbar/") + icons[i];
    _textAlignWidget->setSegmentIcons(i, QPixmap(path), QPixmap(path + "2"));
  }
  _textAlignWidget->setIconSize(QSize(20, 20));
  _textAlignWidget->setBorderWidth(0);
  _textAlignWidget->setSelectedSegmentColor(QColor(44, 46, 50));
  _textAlignWidget->setBackgroundColor(QColor(25, 26, 28));
  connect(_textAlignWidget, &SegmentedControl::segmentIndexChanged, this,
          &TextAlignmentEditingWidget::onSegmentIndexChanged);
}

void TextAlignmentEditingWidget::setAlignmentIndex(int index)
{
  _textAlignWidget->setCurrentIndex(index);
}

void TextAlignmentEditingWidget::setEditingEnabled(bool enabled)
{
  _textAlignWidget->setEnabled(enabled);
}

void TextAlignmentEditingWidget::onSegmentIndexChanged(SegmentedControl *, int index)
{
  emit alignmentIndexChanged(index);
}
