#include "popupeasingfunctionswidget.h"

#include "popupform.h"
#include "tooltipbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVariant>
#include <QVBoxLayout>

#include <utility>

namespace {
constexpr int panelHeight = 317;
constexpr int iconSide = 27;

// Picture names of easing numbers 1..16, under ":/images/easing/easing_"; the selected
// picture adds "2".
const char *const pictureNames[] = {
  "linear",         "in_default", "out_default", "in_out_default",  "in_circular", "out_circular",
  "in_out_circular", "in_back",   "out_back",    "in_out_back",     "in_elastic",  "out_elastic",
  "in_out_elastic", "in_bounce",  "out_bounce",  "in_out_bounce",
};

const char *const buttonNames[] = {
  "linearButton",     "smoothInButton",     "smoothOutButton",  "smoothInOutButton",
  "circularInButton", "circularOutButton",  "circularInOutButton", "backInButton",
  "backOutButton",    "backInOutButton",    "elasticInButton",  "elasticOutButton",
  "elasticInOutButton", "bounceInButton",   "bounceOutButton",  "bounceInOutButton",
};

TooltipButton *flatButton(const char *name, QWidget *parent)
{
  auto *button = new TooltipButton(parent);
  button->setObjectName(name);
  button->setFlat(true);
  button->setIconSize(QSize(iconSide, iconSide));
  return button;
}
} // namespace

PopupEasingFunctionsWidget::PopupEasingFunctionsWidget(QWidget *parent) : CommonPopup(parent)
{
  setObjectName("PopupEasingFunctionsWidget");
  _buildForm();
}

void PopupEasingFunctionsWidget::_buildForm()
{
  QLabel *titleLabel = nullptr;
  QVBoxLayout *verticalLayout = PopupForm::buildTitledPanel(this, &titleLabel);
  QWidget *mainWidget = verticalLayout->parentWidget();

  _panelWidget = new QWidget(mainWidget);
  _panelWidget->setObjectName("panelWidget");
  QSizePolicy stretch(QSizePolicy::Preferred, QSizePolicy::Preferred);
  stretch.setVerticalStretch(1);
  _panelWidget->setSizePolicy(stretch);
  verticalLayout->addWidget(_panelWidget);
  auto *rows = new QVBoxLayout(_panelWidget);
  rows->setObjectName("verticalLayout_2");
  rows->setSpacing(0);
  rows->setContentsMargins(0, 0, 0, 0);

  auto label = [this](const char *name, const QString &text) {
    auto *l = new QLabel(text, _panelWidget);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    _labels.append(l);
    return l;
  };

  auto *header = new QHBoxLayout;
  header->setObjectName("horizontalLayout");
  const std::pair<const char *, QString> columns[] = {
    {"inLabel", tr("In")}, {"outLabel", tr("Out")}, {"inOutLabel", tr("InOut")}};
  for (const auto &[name, text] : columns) {
    QLabel *l = label(name, text);
    l->setFixedHeight(30);
    header->addWidget(l);
  }
  auto *corner = new QLabel(_panelWidget);
  corner->setObjectName("label_4");
  corner->setMaximumHeight(30);
  header->addWidget(corner);
  rows->addLayout(header);

  for (int i = 0; i < 16; ++i)
    _buttons.append(flatButton(buttonNames[i], _panelWidget));

  // Row 1 has the single linear button in the InOut column; empty buttons hold the others.
  auto *linearRow = new QHBoxLayout;
  linearRow->setObjectName("horizontalLayout_2");
  linearRow->addWidget(flatButton("pushButton", _panelWidget));
  linearRow->addWidget(flatButton("pushButton_2", _panelWidget));
  linearRow->addWidget(_buttons[0]);
  linearRow->addWidget(label("linearLabel", tr("Linear")));
  rows->addLayout(linearRow, 1);

  const std::pair<const char *, QString> families[] = {{"smoothLabel", tr("Smooth")},
                                                       {"circularLabel", tr("Circular")},
                                                       {"backLabel", tr("Back")},
                                                       {"elasticLabel", tr("Elastic")},
                                                       {"bounceLabel", tr("Bounce")}};
  for (int f = 0; f < 5; ++f) {
    auto *row = new QHBoxLayout;
    row->setObjectName(QString("horizontalLayout_%1").arg(f + 3));
    for (int c = 0; c < 3; ++c)
      row->addWidget(_buttons[1 + f * 3 + c]);
    row->addWidget(label(families[f].first, families[f].second));
    rows->addLayout(row, 1);
  }

  for (int i = 0; i < 16; ++i)
    _buttons[i]->setNormalIcon(_picture(i + 1));
  setForm(mainWidget, titleLabel);
}

void PopupEasingFunctionsWidget::showPopupWithEasing(QWidget *parent, const QPoint &anchor, int easing, bool inPanel)
{
  _easing = easing;
  _inPanel = inPanel;
  PopupForm::showInPanelOrFloating(this, parent, tr("Easing Type"), anchor, inPanel);
}

void PopupEasingFunctionsWidget::initialize()
{
  CommonPopup::initialize();
  for (QLabel *label : _labels)
    applyLabelStyle(label);
  for (int i = 0; i < _buttons.size(); ++i) {
    TooltipButton *button = _buttons[i];
    const QString picture = _picture(i + 1);
    button->setNormalIcon(picture);
    button->setSelectedIcon(picture + "2");
    connect(button, &QPushButton::clicked, this, &PopupEasingFunctionsWidget::onEasingFunctionButtonPressed,
            Qt::UniqueConnection);
    button->setProperty("tag", i + 1);
  }
  // The place holders of the linear row carry no tag and so never match.
  for (auto *button : _panelWidget->findChildren<TooltipButton *>(QString(), Qt::FindDirectChildrenOnly)) {
    const QVariant tag = button->property("tag");
    if (tag.isValid() && tag.toInt() == _easing) {
      button->setSelected(true);
      break;
    }
  }
  _panelWidget->setStyleSheet("background-color: transparent;");
}

int PopupEasingFunctionsWidget::popupHeight()
{
  return panelHeight;
}

QString PopupEasingFunctionsWidget::_picture(int easing)
{
  return QString(":/images/easing/easing_%1").arg(pictureNames[easing - 1]);
}

TooltipButton *PopupEasingFunctionsWidget::easingButton(int easing) const
{
  return easing >= 1 && easing <= _buttons.size() ? _buttons[easing - 1] : nullptr;
}

void PopupEasingFunctionsWidget::onEasingFunctionButtonPressed()
{
  if (QObject *button = sender())
    emit easingFunctionSelected(this, button->property("tag").toInt());
}
