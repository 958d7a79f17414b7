#include "popupcolormatrixwidget.h"

#include "colormatrixpalettewidget.h"
#include "colorpickerwidget.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int maxRecentColors = 10;
constexpr int panelWidth = 350;
constexpr int panelHeight = 400;
constexpr int columns = 10;
constexpr float spacing = 5.0f;
constexpr int loupeSide = 120;
constexpr int loupeGrip = 20;

const char *const iconNormal = ":/images/color_picker_icon_nor";
const char *const iconSelected = ":/images/color_picker_icon_sel";

const char *const buttonStyle = "QPushButton {color: white; border: 1px solid white; border-radius: 5px;}"
                                " QPushButton:pressed {background-color: rgb(31,32,35);}";
} // namespace

QList<QColor> PopupColorMatrixWidget::paletteColors()
{
  static const char *const names[] = {
    "#000000", "#434343", "#666666", "#999999", "#B7B7B7", "#CCCCCC", "#D9D9D9", "#EFEFEF", "#F3F3F3", "#FFFFFF",
    "#980000", "#FF0000", "#FF9900", "#FFFF00", "#00FF00", "#00FFFF", "#4A86E8", "#0000FF", "#9900FF", "#FF00FF",
    "#E6B8AF", "#F4CCCC", "#FCE5CD", "#FFF2CC", "#D9EAD3", "#D0E0E3", "#C9DAF8", "#CFE2F3", "#D9D2E9", "#EAD1DC",
    "#DD7E6B", "#EA9999", "#F9CB9C", "#FFE599", "#B6D7A8", "#A2C4C9", "#A4C2F4", "#9FC5E8", "#B4A7D6", "#D5A6BD",
    "#CC4125", "#E06666", "#F6B26B", "#FFD966", "#93C47D", "#76A5AF", "#6D9EEB", "#6FA8DC", "#8E7CC3", "#C27BA0",
    "#A61C00", "#CC0000", "#E69138", "#F1C232", "#6AA84F", "#45818E", "#3C78D8", "#3D85C6", "#674EA7", "#A64D79",
    "#85200C", "#990000", "#B45F06", "#BF9000", "#38761D", "#134F5C", "#1155CC", "#0B5394", "#351C75", "#741B47",
    "#5B0F00", "#660000", "#783F04", "#7F6000", "#274E13", "#0C343D", "#1C4587", "#073763", "#20124D", "#4C1130",
  };
  QList<QColor> colors;
  for (const char *name : names)
    colors.append(QColor(name));
  return colors;
}

PopupColorMatrixWidget::PopupColorMatrixWidget(QWidget *parent) : CommonPopup(parent)
{
  setObjectName("PopupColorMatrixWidget");
  _buildForm();
}

void PopupColorMatrixWidget::_buildForm()
{
  setWindowTitle("Form");
  resize(460, 461);
  auto *mainWidget = new QWidget(this);
  mainWidget->setObjectName("mainWidget");
  _mainVerticalLayout = new QVBoxLayout(mainWidget);
  _recentlyUsedColorsLabel = new QLabel(tr("Recently Used Colors"), mainWidget);
  _recentlyUsedColorsLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  _recentlyUsedColorsPanel = new ColorMatrixPaletteWidget(mainWidget);
  _separator = new QWidget(mainWidget);
  _separator->setFixedHeight(1);
  _separator->setMinimumWidth(0);
  _separator->setMaximumWidth(16777215);
  _palettePanel = new ColorMatrixPaletteWidget(mainWidget);
  _palettePanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  auto *horizontalLayout = new QHBoxLayout;
  _moreColorButton = new QPushButton(tr("More Colors..."), mainWidget);
  _moreColorButton->setObjectName("moreColorButton");
  _moreColorButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  _moreColorButton->setMinimumHeight(30);
  _moreColorButton->setFlat(true);
  _colorPickerButton = new QPushButton(mainWidget);
  _colorPickerButton->setObjectName("colorPickerButton");
  _colorPickerButton->setFixedSize(30, 30);
  _colorPickerButton->setFlat(true);
  _colorPickerButton->setCheckable(true);
  QIcon icon;
  icon.addFile(iconNormal, QSize(), QIcon::Normal);
  icon.addFile(iconSelected, QSize(), QIcon::Active);
  icon.addFile(iconSelected, QSize(), QIcon::Selected);
  _colorPickerButton->setIcon(icon);
  _colorPickerButton->setIconSize(QSize(23, 23));
  horizontalLayout->addWidget(_moreColorButton);
  horizontalLayout->addWidget(_colorPickerButton);
  _mainVerticalLayout->addWidget(_recentlyUsedColorsLabel);
  _mainVerticalLayout->addWidget(_recentlyUsedColorsPanel);
  _mainVerticalLayout->addWidget(_separator);
  _mainVerticalLayout->addWidget(_palettePanel);
  _mainVerticalLayout->addLayout(horizontalLayout);
  setForm(mainWidget, nullptr);
  connect(_moreColorButton, &QPushButton::clicked, this, &PopupColorMatrixWidget::on_moreColorButton_clicked);
  connect(_colorPickerButton, &QPushButton::clicked, this, &PopupColorMatrixWidget::on_colorPickerButton_clicked);
}

PopupColorMatrixWidget::~PopupColorMatrixWidget()
{
  if (_recentColors.isEmpty())
    return;
  QSettings settings;
  settings.beginWriteArray("RecentColors");
  for (int i = 0; i < _recentColors.size(); ++i) {
    settings.setArrayIndex(i);
    settings.setValue("color", uint(_recentColors[i].rgba()));
  }
  settings.endArray();
}

void PopupColorMatrixWidget::_setPickingAllowed(bool allowed)
{
  _colorPickerButton->setVisible(allowed);
  _colorPickingMode = allowed ? 1 : 0;
}

void PopupColorMatrixWidget::showPopupAt(QWidget *parent, const QPoint &anchor, bool pickingAllowed)
{
  _setPickingAllowed(pickingAllowed);
  showPopup(parent, QString(), anchor);
}

void PopupColorMatrixWidget::embedInWidget(QWidget *container, bool pickingAllowed)
{
  _setPickingAllowed(pickingAllowed);
  CommonPopup::embedInWidget(container, QString());
  _mainWidget->setStyleSheet("QWidget#mainWidget {background-color: transparent; border-radius: 0px;}");
}

void PopupColorMatrixWidget::initialize()
{
  CommonPopup::initialize();
  if (!_embedded) {
    // Dims what lies under the overlay.
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet("QWidget#PopupColorMatrixWidget {background-color: rgba(64,64,64,128);}");
  }
  _recentlyUsedColorsLabel->setStyleSheet("QLabel {color: white;}");

  _recentColors.clear();
  QSettings settings;
  const int count = settings.beginReadArray("RecentColors");
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    _recentColors.append(QColor(QRgb(settings.value("color").toUInt()))); // read back opaque
  }
  settings.endArray();
  if (!_recentColors.isEmpty())
    _recentlyUsedColorsPanel->setColors(_recentColors, columns, spacing);
  connect(_recentlyUsedColorsPanel, &ColorMatrixPaletteWidget::colorClicked, this,
          &PopupColorMatrixWidget::onColorMatrixPaletteWidgetColorClicked, Qt::UniqueConnection);

  _separator->setStyleSheet("background-color: rgb(90,92,94);");
  _palettePanel->setColors(paletteColors(), columns, spacing);
  connect(_palettePanel, &ColorMatrixPaletteWidget::colorClicked, this,
          &PopupColorMatrixWidget::onColorMatrixPaletteWidgetColorClicked, Qt::UniqueConnection);

  _moreColorButton->setStyleSheet(buttonStyle);
  _colorPickerButton->setStyleSheet(QString(buttonStyle) + " QPushButton:checked {background-color: white;}");
  _colorPickerButton->setToolTip(tr("Pick color from preview"));
}

void PopupColorMatrixWidget::_fitRecentRow(int width)
{
  const QMargins margins = _mainVerticalLayout->contentsMargins();
  const int side = int(ColorMatrixPaletteWidget::cellSize(width - margins.left() - margins.right(), columns, spacing));
  _recentlyUsedColorsPanel->setFixedHeight(side + 1);
}

void PopupColorMatrixWidget::layoutAt(const QPoint &anchor)
{
  const int w = panelWidth, h = panelHeight;
  int x = anchor.x() - w / 2;
  int y = anchor.y() - h / 2;
  const QWidget *parent = parentWidget();
  const int parentWidth = parent ? parent->width() : width();
  const int parentHeight = parent ? parent->height() : height();
  if (x + w > parentWidth + 1)
    x = parentWidth - w - 9;
  if (x < 0)
    x = 10;
  if (y + h > parentHeight + 1)
    y = parentHeight - h - 9;
  if (y < 0)
    y = (parentHeight - h) / 2;
  _mainWidget->setGeometry(x, y, w, h);
  refreshColorPickingGeometry();
  _fitRecentRow(w);
  applyPanelStyle(_mainWidget, 10, 4);
}

void PopupColorMatrixWidget::resizeEvent(QResizeEvent *event)
{
  CommonPopup::resizeEvent(event);
  if (_embedded)
    _fitRecentRow(width());
}

void PopupColorMatrixWidget::addRecentColor(const QColor &color)
{
  _recentColors.removeAll(color);
  _recentColors.prepend(color);
  while (_recentColors.size() > maxRecentColors)
    _recentColors.removeLast();
}

void PopupColorMatrixWidget::onColorMatrixPaletteWidgetColorClicked(QColor color)
{
  addRecentColor(color);
  emit colorMatrixPopupColorSelected(this, color);
}

void PopupColorMatrixWidget::on_moreColorButton_clicked()
{
  emit colorMatrixPopupMoreColorNeeded(this);
}

QWidget *PopupColorMatrixWidget::pickingLabel() const
{
  return _pickingLabel;
}

bool PopupColorMatrixWidget::colorPickingActive() const
{
  return _colorPicker && !_colorPicker->isHidden();
}

void PopupColorMatrixWidget::on_colorPickerButton_clicked()
{
  _colorPickingMode = 3 - _colorPickingMode;
  const bool on = _colorPickingMode == 2;
  _colorPickerButton->setIcon(QIcon(on ? iconSelected : iconNormal));
  _colorPickerButton->setChecked(on);
  if (!on) {
    if (_pickingLabel)
      _pickingLabel->hide();
    if (_colorPicker)
      _colorPicker->hide();
    return;
  }

  if (!_pickingLabel) {
    QImage image;
    emit colorMatrixPopupColorPickingImageNeeded(this, &image);
    if (!image.isNull()) {
      QRect frame;
      emit colorMatrixPopupGetPlaybackAreaFrame(this, &frame);
      QWidget *labelParent = this;
      if (_embedded)
        emit colorMatrixPopupGetColorPickingLabelParent(this, labelParent);
      _pickingLabel = new QLabel(labelParent);
      _pickingLabel->setGeometry(frame);
      _pickingLabel->setScaledContents(true);
      _pickingLabel->setPixmap(QPixmap::fromImage(image));
      _pickingLabel->show();
      _pickingLabel->lower();
      _pickingImage = image;
    }
  }
  if (!_colorPicker && _pickingLabel) {
    _colorPicker = new ColorPickerWidget(_pickingLabel->parentWidget());
    _colorPicker->resize(loupeSide, loupeSide);
    _pickerX = _pickerY = 0.5;
    _placeLoupe();
    _colorPicker->show();
    _mainWidget->raise();
    _colorPicker->setColor(_pickedColorAt(0.5f, 0.5f));
  }
  if (_pickingLabel)
    _pickingLabel->show();
  if (_colorPicker)
    _colorPicker->show();
}

void PopupColorMatrixWidget::didChangeVisibility(bool visible)
{
  if (!visible && _colorPickingMode == 2)
    on_colorPickerButton_clicked();
}

QColor PopupColorMatrixWidget::_pickedColorAt(float fx, float fy) const
{
  if (_pickingImage.isNull())
    return QColor();
  qDebug() << "Get color from picking image: " << fx << fy;
  return _pickingImage.pixelColor(int((_pickingImage.width() - 1) * fx), int((_pickingImage.height() - 1) * fy));
}

void PopupColorMatrixWidget::refreshColorPickingGeometry()
{
  if (!_pickingLabel)
    return;
  QRect frame;
  emit colorMatrixPopupGetPlaybackAreaFrame(this, &frame);
  _pickingLabel->setGeometry(frame);
  _placeLoupe();
}

void PopupColorMatrixWidget::_placeLoupe()
{
  if (!_colorPicker || !_pickingLabel)
    return;
  const QRect r = _pickingLabel->geometry();
  const double cx = r.left() + r.width() * _pickerX;
  const double cy = r.top() + r.height() * _pickerY;
  // Halves toward positive infinity, as std::floor(v + 0.5) rounds.
  _colorPicker->move(int(std::floor(cx - _colorPicker->width() / 2 + 0.5)),
                     int(std::floor(cy - _colorPicker->height() / 2 + 0.5)));
}

void PopupColorMatrixWidget::mousePressEvent(QMouseEvent *event)
{
  if (_colorPicker && _colorPicker->isVisible() && event->button() == Qt::LeftButton) {
    const QPoint pos = _colorPicker->parentWidget()->mapFromGlobal(event->globalPos());
    const QRect grip = _colorPicker->geometry().adjusted(-loupeGrip, -loupeGrip, loupeGrip, loupeGrip);
    if (grip.contains(pos)) {
      _pressGlobalPos = event->globalPos();
      _draggingPicker = true;
      _pressPickerPos = _colorPicker->pos();
      if (!_embedded)
        _mainWidget->hide();
      else
        emit colorMatrixPopupSetParentWidgetHidden(this, true);
      event->accept();
      return;
    }
  }
  CommonPopup::mousePressEvent(event);
}

void PopupColorMatrixWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_draggingPicker || !_pickingLabel) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const QRect r = _pickingLabel->geometry();
  if (r.width() < 1 || r.height() < 1) // no picture area to sample from
    return;
  const QPoint delta = event->globalPos() - _pressGlobalPos;
  int cx = _pressPickerPos.x() + delta.x() + _colorPicker->width() / 2;
  int cy = _pressPickerPos.y() + delta.y() + _colorPicker->height() / 2;
  cx = qBound(r.left() + 1, cx, r.left() + r.width());
  cy = qBound(r.top() + 1, cy, r.top() + r.height());
  _colorPicker->move(cx - _colorPicker->width() / 2, cy - _colorPicker->height() / 2);
  _pickerX = float(cx - r.left()) / float(r.width());
  _pickerY = float(cy - r.top()) / float(r.height());
  _colorPicker->setColor(_pickedColorAt(float(_pickerX), float(_pickerY)));
  event->accept();
}

void PopupColorMatrixWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_draggingPicker) {
    event->ignore();
    return;
  }
  _draggingPicker = false;
  const QColor color = _colorPicker->color();
  addRecentColor(color);
  emit colorMatrixPopupColorSelected(this, color);
}
