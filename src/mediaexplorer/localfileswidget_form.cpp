// The local files page: its header row, the three header menus, zoom and view.

#include "localfileswidget.h"

#include "animatedlabel.h"
#include "dialogprovider.h"
#include "explorerstyle.h"
#include "localfileslistwidget.h"
#include "localfileswidgetitemdelegate.h"
#include "seekablesliderstyle.h"

#include <QFileIconProvider>
#include <QHBoxLayout>
#include <QHostInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPushButton *flatButton(QWidget *parent, const QString &name, const QString &icon, int iconSide, int width = 0)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFlat(true);
  if (!icon.isEmpty()) {
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(iconSide, iconSide));
  }
  if (width > 0)
    button->setFixedWidth(width);
  return button;
}

QWidget *buttonContainer(QWidget *parent, const QString &name, const QString &layoutName)
{
  auto *container = new QWidget(parent);
  container->setObjectName(name);
  container->setAttribute(Qt::WA_StyledBackground);
  auto *layout = new QHBoxLayout(container);
  layout->setObjectName(layoutName);
  layout->setContentsMargins(5, 0, 5, 0);
  layout->setSpacing(0);
  return container;
}

QString hostName()
{
  return QHostInfo::localHostName();
}

} // namespace

void LocalFilesWidget::_buildForm()
{
  setWindowTitle(tr("Form"));
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);

  _header = new QWidget(this);
  _header->setObjectName("widget");
  _header->setFixedHeight(35);
  auto *row = new QHBoxLayout(_header);
  row->setObjectName("horizontalLayout");
  row->setContentsMargins(10, 5, 10, 0);

  _dirButtonContainer = buttonContainer(_header, "dirButtonContainer", "horizontalLayout_7");
  _dirButtonContainer->setMinimumWidth(150);
  _dirButtonContainer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  _dirButton = flatButton(_dirButtonContainer, "dirButton", QString(), 0);
  _dirButton->setText(tr("Movies"));
  _dirTriangleButton = flatButton(_dirButtonContainer, "dirTriangleButton", ":/images/move_down", 12, 16);
  _dirButtonContainer->layout()->addWidget(_dirButton);
  _dirButtonContainer->layout()->addWidget(_dirTriangleButton);
  row->addWidget(_dirButtonContainer);
  row->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

  _valueDownButton = flatButton(_header, "valueDownButton", ":/images/value_decrease", 12, 30);
  _slider = new QSlider(Qt::Horizontal, _header);
  _slider->setObjectName("slider");
  _slider->setFixedWidth(60);
  _slider->setRange(0, 2);
  _valueUpButton = flatButton(_header, "valueUpButton", ":/images/value_increase", 12, 30);
  row->addWidget(_valueDownButton);
  row->addWidget(_slider);
  row->addWidget(_valueUpButton);

  _viewButtonContainer = buttonContainer(_header, "viewButtonContainer", "horizontalLayout_9");
  _viewButton = flatButton(_viewButtonContainer, "viewButton", QString(), 0);
  _viewButton->setIconSize(QSize(20, 20));
  _viewTriangleButton = flatButton(_viewButtonContainer, "viewTriangleButton", ":/images/move_down", 12, 16);
  _viewButtonContainer->layout()->addWidget(_viewButton);
  _viewButtonContainer->layout()->addWidget(_viewTriangleButton);
  row->addWidget(_viewButtonContainer);

  _filterButtonContainer = buttonContainer(_header, "filterButtonContainer", "horizontalLayout_8");
  _filterButton = flatButton(_filterButtonContainer, "filterButton", QString(), 0);
  _filterButton->setText(tr("All"));
  _filterTriangleButton =
    flatButton(_filterButtonContainer, "filterTriangleButton", ":/images/media-explorer/filter_icon", 16, 16);
  _filterButtonContainer->layout()->addWidget(_filterButton);
  _filterButtonContainer->layout()->addWidget(_filterTriangleButton);
  row->addWidget(_filterButtonContainer);

  layout->addWidget(_header);
  _list = new LocalFilesListWidget(this);
  _list->setObjectName("listWidget");
  layout->addWidget(_list);
}

void LocalFilesWidget::_applyLooks()
{
  const QString container = "QWidget#%1{color: white; background-color: rgb(44,45,46); border-radius: 5px;}";
  _dirButtonContainer->setStyleSheet(container.arg("dirButtonContainer"));
  _viewButtonContainer->setStyleSheet(container.arg("viewButtonContainer"));
  _filterButtonContainer->setStyleSheet(container.arg("filterButtonContainer"));
  const QString textButton = "QPushButton{color: white; background-color: transparent; padding: 5px; text-align: left;}"
                             "QPushButton:pressed{color: gray;}";
  _dirButton->setStyleSheet(textButton);
  _filterButton->setStyleSheet(textButton);
  _viewButton->setStyleSheet("QPushButton{color: white; background-color: transparent; padding-top: 5px; "
                             "padding-bottom: 5px;}QPushButton:pressed{color: gray;}");
  _slider->setStyle(new SeekableSliderStyle(_slider->style()));
  _slider->setStyleSheet(
    "QSlider::groove:horizontal{height: 5px; background: transparent; border-radius: 2px;}"
    "QSlider::sub-page:horizontal{background: #2A2929; border-radius: 2px;}"
    "QSlider::add-page:horizontal{background: #2A2929; border-radius: 2px;}"
    "QSlider::handle:horizontal{background: white; width: 11px; margin: -3px 0; border-radius: 4px;}");
  _list->setStyleSheet(
    "QListWidget{background: transparent; color: white; margin: 10px; border: none;}"
    "QToolTip{color: white; background-color: rgb(54,200,255); padding: 2px; border-radius: 3px;}");
  _list->verticalScrollBar()->setStyleSheet(ExplorerStyle::listScrollBarStyleSheet());
}

void LocalFilesWidget::_updateDirButton()
{
  _dirButton->setIcon(QFileIconProvider().icon(QFileInfo(_currentDir.absolutePath())).pixmap(16, 16));
  const QString name = _currentDir.dirName();
  _dirButton->setText(name.isEmpty() ? hostName() : name);
}

void LocalFilesWidget::_updateFilterButton()
{
  switch (_filter) {
  case 1:
    _filterButton->setText(tr("Video"));
    break;
  case 2:
    _filterButton->setText(tr("Picture"));
    break;
  case 4:
    _filterButton->setText(tr("Audio"));
    break;
  default:
    _filterButton->setText(tr("All"));
    break;
  }
}

QMenu *LocalFilesWidget::_headerMenu(const QString &itemPadding)
{
  auto *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  menu->setStyleSheet(QString("QMenu{background-color: rgb(7,8,10); color: white; padding: 10px; border-radius: 10px;}"
                              "QMenu::icon{margin: 5px;}"
                              "QMenu::item{padding: %1;}"
                              "QMenu::item:selected{background-color: rgb(44,46,50);}"
                              "QMenu::separator{height: 1px; background: rgb(44,46,50);}")
                        .arg(itemPadding));
  return menu;
}

void LocalFilesWidget::onDirButtonClicked()
{
  QMenu *menu = _headerMenu("8px 30px 8px 10px");
  QDir ancestor = _currentDir;
  QFileIconProvider icons;
  if (ancestor.cdUp()) {
    while (true) {
      const QString name = ancestor.dirName();
      QAction *action = menu->addAction(icons.icon(QFileInfo(ancestor.absolutePath())),
                                        name.isEmpty() ? hostName() : name);
      action->setShortcut(QKeySequence());
      action->setData(ancestor.absolutePath());
      if (!ancestor.cdUp())
        break;
    }
    menu->addSeparator();
  }
  QAction *select = menu->addAction(tr("Select Directory..."));
  select->setShortcut(QKeySequence());
  QAction *chosen = _execMenu(menu, _dirButtonContainer->mapToGlobal(QPoint(0, _dirButtonContainer->height())));
  if (!chosen)
    return;
  if (chosen == select) {
    QTimer::singleShot(100, this, [this]() {
      const QString dir = DialogProvider::instance()->getExistingDirectory(
        window(), tr("Select Directory"), _currentDir.absolutePath(), QFileDialog::ShowDirsOnly);
      if (!dir.isEmpty())
        _changeDir(dir);
    });
    return;
  }
  _changeDir(chosen->data().toString());
}

void LocalFilesWidget::_changeDir(const QString &path)
{
  ++_thumbnailGeneration;
  _currentDir.setPath(path);
  _updateDirButton();
  _startLoadingFiles(100, true);
}

void LocalFilesWidget::onFilterButtonClicked()
{
  QMenu *menu = _headerMenu("8px 10px 8px 10px");
  const QList<QPair<QString, int>> choices = {{tr("All"), 7}, {tr("Video"), 1}, {tr("Picture"), 2}, {tr("Audio"), 4}};
  for (const auto &choice : choices) {
    QAction *action = menu->addAction(choice.first);
    action->setShortcut(QKeySequence());
    action->setCheckable(true);
    action->setChecked(_filter == choice.second);
    action->setData(choice.second);
  }
  QAction *chosen =
    _execMenu(menu, _filterButtonContainer->mapToGlobal(QPoint(0, _filterButtonContainer->height())));
  if (!chosen)
    return;
  _filter = chosen->data().toInt();
  _updateFilterButton();
  onFinishLoadingFiles(false);
}

void LocalFilesWidget::onViewButtonClicked()
{
  QMenu *menu = _headerMenu("8px 10px 8px 10px");
  QAction *icon = menu->addAction(QIcon(":/images/media-explorer/icon_view_icon"), tr("Icon Mode"));
  QAction *list = menu->addAction(QIcon(":/images/media-explorer/list_view_icon"), tr("List Mode"));
  icon->setShortcut(QKeySequence());
  list->setShortcut(QKeySequence());
  QAction *chosen = _execMenu(menu, _viewButtonContainer->mapToGlobal(QPoint(0, _viewButtonContainer->height())));
  if (!chosen)
    return;
  const int mode = chosen == list ? 1 : 0;
  if (mode == _viewMode)
    return;
  _viewMode = mode;
  _list->setViewMode(mode == 0 ? QListView::IconMode : QListView::ListMode);
  _viewButton->setIcon(QIcon(_viewMode != 0 ? ":/images/media-explorer/list_view_icon"
                                            : ":/images/media-explorer/icon_view_icon"));
  // Changing the view mode resets both.
  _list->setMovement(QListView::Free);
  _list->setDragDropMode(QAbstractItemView::DragOnly);
  _applyViewMode();
}

void LocalFilesWidget::_applyViewMode()
{
  _delegate->setViewMode(_viewMode);
  _list->setGridSize(_gridSize(_zoom, _viewMode));
  onFinishLoadingFiles(false);
}

void LocalFilesWidget::onSliderValueChanged(int value)
{
  if (value == _zoom)
    return;
  _zoom = value;
  _delegate->setZoom(_zoom);
  _list->setGridSize(_gridSize(_zoom, _viewMode));
  onFinishLoadingFiles(false);
}

void LocalFilesWidget::onValueUpButtonClicked()
{
  _slider->setValue(_slider->value() + 1);
}

void LocalFilesWidget::onValueDownButtonClicked()
{
  _slider->setValue(_slider->value() - 1);
}

void LocalFilesWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _centreLoadingHud();
  _layoutErrorLabel();
  emit _list->verticalScrollBar()->valueChanged(0);
  const bool narrow = width() < 430;
  if (narrow && !_slider->isHidden()) {
    _slider->hide();
    _valueDownButton->hide();
    _valueUpButton->hide();
  } else if (!narrow && _slider->isHidden()) {
    _slider->show();
    _valueDownButton->show();
    _valueUpButton->show();
  }
}

void LocalFilesWidget::_layoutErrorLabel()
{
  if (_errorLabel)
    _errorLabel->setGeometry(0, (height() - _errorLabel->height()) / 2, width(), _errorLabel->height());
}

void LocalFilesWidget::_centreLoadingHud()
{
  if (_loadingHud)
    _loadingHud->move((width() - _loadingHud->width()) / 2, (height() - _loadingHud->height()) / 2);
}
