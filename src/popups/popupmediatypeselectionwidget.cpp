#include "popupmediatypeselectionwidget.h"

#include "popupmainwidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {
constexpr int panelWidth = 240;
constexpr int panelHeight = 300;
// Room of the balloon's arrow on the left.
constexpr int arrowRoom = 16;

QString rgb(const QColor &color)
{
  return QString("rgb(%1,%2,%3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

QString buttonStyle(const QColor &background, const QColor &text)
{
  return QString("QPushButton {color: %1; background-color: %2; border: none; border-radius: 5px;}"
                 " QPushButton:hover {background-color: %3;}"
                 " QPushButton:pressed {background-color: %4;}"
                 " QPushButton:disabled {background-color: rgb(217,217,217); color: rgba(128,128,128,128);}")
    .arg(rgb(text), rgb(background), rgb(background.lighter(150)), rgb(background.darker(200)));
}
} // namespace

PopupMediaTypeSelectionWidget::PopupMediaTypeSelectionWidget(QWidget *parent) : CommonPopup(parent)
{
  setObjectName("PopupMediaTypeSelectionWidget");
  _buildForm();
}

void PopupMediaTypeSelectionWidget::_buildForm()
{
  auto *mainWidget = new PopupMainWidget(this);
  mainWidget->setObjectName("mainWidget");
  _mainVerticalLayout = new QVBoxLayout(mainWidget);
  _mainVerticalLayout->setObjectName("mainVerticalLayout");
  const QMargins margins = _mainVerticalLayout->contentsMargins();
  _mainVerticalLayout->setContentsMargins(margins.left(), margins.top(), 12, 24);
  auto *titleLabel = new QLabel(mainWidget);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setMinimumHeight(18);
  titleLabel->setAlignment(Qt::AlignCenter);
  _mainVerticalLayout->addWidget(titleLabel);

  auto button = [mainWidget](const char *name, const QString &text) {
    auto *b = new QPushButton(text, mainWidget);
    b->setObjectName(name);
    b->setFlat(true);
    b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    return b;
  };
  _chooseFileButton = button("chooseFileButton", tr("Choose File..."));
  _cameraButton = button("cameraButton", tr("Camera"));
  _microphoneButton = button("microphoneButton", tr("Microphone"));
  _textButton = button("textButton", tr("Text"));
  _selfdrawButton = button("selfdrawButton", tr("Self-Draw"));
  _mainVerticalLayout->addWidget(_chooseFileButton);
  _mainVerticalLayout->addWidget(_cameraButton);
  _mainVerticalLayout->addWidget(_microphoneButton);
  _mainVerticalLayout->addItem(new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Preferred));
  _mainVerticalLayout->addWidget(_textButton);
  _mainVerticalLayout->addWidget(_selfdrawButton);
  setForm(mainWidget, titleLabel);
}

PopupMainWidget *PopupMediaTypeSelectionWidget::balloon() const
{
  return static_cast<PopupMainWidget *>(_mainWidget);
}

void PopupMediaTypeSelectionWidget::setRestriction(int restriction)
{
  _restriction = restriction;
  if (restriction != 0) {
    _microphoneButton->setEnabled(false);
    _textButton->setEnabled(false);
    _selfdrawButton->setEnabled(false);
  }
  if (restriction == 3)
    _cameraButton->setEnabled(false);
}

void PopupMediaTypeSelectionWidget::showPopupAt(QWidget *parent, const QString &title, QWidget *anchorWidget)
{
  _anchorWidget = anchorWidget;
  showPopup(parent, title, QPoint(0, 0));
}

void PopupMediaTypeSelectionWidget::showPopup(QWidget *parent, const QString &title, const QPoint &anchor)
{
  CommonPopup::showPopup(parent, title, anchor);
  addDropShadow();
}

void PopupMediaTypeSelectionWidget::initialize()
{
  CommonPopup::initialize();
  PopupMainWidget *panel = balloon();
  panel->setBackgroundColor(QColor(31, 32, 35, 255));
  panel->setBorderColor(QColor(64, 64, 64, 128));
  panel->setRadius(10.0f);

  const QColor white(255, 255, 255), black(0, 0, 0);
  const std::pair<QPushButton *, QString> styles[] = {
    {_chooseFileButton, buttonStyle(QColor(0, 84, 204), white)},
    {_cameraButton, buttonStyle(QColor(64, 64, 64), white)},
    {_microphoneButton, buttonStyle(QColor(64, 64, 64), white)},
    {_textButton, buttonStyle(QColor(166, 166, 166), black)},
    {_selfdrawButton, buttonStyle(QColor(189, 54, 46), white)},
  };
  for (const auto &[button, style] : styles) {
    button->setStyleSheet(style);
    connect(button, &QPushButton::clicked, this, &PopupMediaTypeSelectionWidget::onMediaTypeButtonClicked,
            Qt::UniqueConnection);
  }

  QMargins margins = _mainVerticalLayout->contentsMargins();
  margins.setLeft(margins.left() + arrowRoom);
  _mainVerticalLayout->setContentsMargins(margins);
}

void PopupMediaTypeSelectionWidget::layoutAt(const QPoint &)
{
  // The middle of the anchor widget's right edge, in our coordinates.
  QPoint a(0, 0);
  if (_anchorWidget)
    a = mapFromGlobal(_anchorWidget->mapToGlobal(QPoint(_anchorWidget->width(), _anchorWidget->height() / 2)));
  int x = a.x();
  int y = a.y() - panelHeight / 2;
  const QWidget *parent = parentWidget();
  const int parentWidth = parent ? parent->width() : width();
  const int parentHeight = parent ? parent->height() : height();
  if (x + panelWidth > parentWidth + 1)
    x = parentWidth - panelWidth - 9;
  if (x < 0)
    x = 10;
  if (parentWidth < panelWidth + 20)
    x = (parentWidth - panelWidth) / 2;
  if (y + panelHeight > parentHeight + 1)
    y = parentHeight - panelHeight - 9;
  if (y < 0)
    y = (parentHeight - panelHeight) / 2;
  _mainWidget->setGeometry(x, y, panelWidth, panelHeight);
  balloon()->setArrowSide(1);
  balloon()->setArrowPoint(a - QPoint(x, y));
}

void PopupMediaTypeSelectionWidget::onMediaTypeButtonClicked()
{
  QObject *button = sender();
  if (button == _chooseFileButton)
    emit popupMediaTypeSelectionWidgetDidClickSelectFile(this);
  else if (button == _cameraButton)
    emit popupMediaTypeSelectionWidgetDidClickCamera(this);
  else if (button == _microphoneButton)
    emit popupMediaTypeSelectionWidgetDidClickMicrophone(this);
  else if (button == _textButton)
    emit popupMediaTypeSelectionWidgetDidClickText(this);
  else if (button == _selfdrawButton)
    emit popupMediaTypeSelectionWidgetDidClickSelfDraw(this);
}
