#include "editingformparts.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>

namespace {

// A name wider than the box ends in an ellipsis instead of being cut on both sides; the
// button's text stays the whole name.
class ElidingButton : public QPushButton
{
public:
  using QPushButton::QPushButton;

protected:
  void paintEvent(QPaintEvent *) override
  {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int iconWidth = option.icon.isNull() ? 0 : option.iconSize.width() + 4;
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, contents.width() - iconWidth));
    setToolTip(option.text == text() ? QString() : text());
    painter.drawControl(QStyle::CE_PushButton, option);
  }
};

} // namespace

namespace EditingFormParts {

QLabel *titledColumn(QWidget *form, const char *objectName, const QString &title, QVBoxLayout **layout)
{
  form->setObjectName(objectName);
  form->resize(400, 100);
  form->setWindowTitle("Form");
  auto *column = new QVBoxLayout(form);
  column->setObjectName("verticalLayout");
  auto *label = new QLabel(title, form);
  label->setObjectName("titleLabel");
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  label->setAlignment(Qt::AlignCenter);
  column->addWidget(label);
  styleTitle(label);
  if (layout)
    *layout = column;
  return label;
}

void styleTitle(QLabel *label)
{
  QFont font = label->font();
  font.setPointSize(font.pointSize() + 1);
  label->setFont(font);
  label->setStyleSheet("QLabel { color: rgb(54,200,255); }");
}

QPushButton *whiteButton(const char *objectName, const QString &text, QWidget *parent)
{
  auto *button = new QPushButton(text, parent);
  button->setObjectName(objectName);
  button->setFlat(true);
  button->setMinimumSize(0, 30);
  button->setMaximumSize(16777215, 30);
  QFont font = button->font();
  font.setWeight(QFont::Bold);
  button->setFont(font);
  button->setStyleSheet("QPushButton { color: black; background-color: white; border-radius: 5px; }"
                        "QPushButton:pressed { background-color: rgb(200,200,200); }"
                        "QPushButton:disabled { background-color: rgb(128,128,128); }");
  return button;
}

DropDown dropDown(QWidget *parent, const char *containerName, const char *layoutName, const char *nameButtonName,
                  const char *triangleButtonName)
{
  DropDown d;
  d.container = new QWidget(parent);
  d.container->setObjectName(containerName);
  d.container->setFixedHeight(35);
  d.container->setAttribute(Qt::WA_StyledBackground, true);
  d.container->setStyleSheet(QString("QWidget#%1 { color: white; background-color: rgb(44,46,50); border-radius: 5px; }")
                               .arg(containerName));
  d.layout = new QHBoxLayout(d.container);
  d.layout->setObjectName(layoutName);
  d.layout->setSpacing(0);
  d.layout->setContentsMargins(0, 0, 0, 0);

  d.nameButton = new ElidingButton(d.container);
  d.nameButton->setObjectName(nameButtonName);
  d.nameButton->setFlat(true);
  d.nameButton->setMinimumSize(0, 0);
  d.nameButton->setStyleSheet("QPushButton { color: white; background-color: transparent; padding: 5px 10px; }"
                              "QPushButton:pressed { color: gray; }"
                              "QPushButton:disabled { color: rgb(128,128,128); }");
  d.triangleButton = new QPushButton(d.container);
  d.triangleButton->setObjectName(triangleButtonName);
  d.triangleButton->setFixedWidth(32);
  d.triangleButton->setFlat(true);
  d.triangleButton->setIcon(QIcon(":/images/move_down"));
  d.triangleButton->setIconSize(QSize(12, 12));
  // The box's colour shows through, whatever the panel around it paints.
  d.triangleButton->setStyleSheet("QPushButton { background-color: transparent; }");
  d.layout->addWidget(d.nameButton);
  d.layout->addWidget(d.triangleButton);
  return d;
}

} // namespace EditingFormParts
