#include "resourceassetswidget.h"

#include "explorerlists.h"
#include "explorerstyle.h"
#include "mediaitemtype.h"
#include "resourceassetslistwidget.h"
#include "resourceassetswidgetitemdelegate.h"

#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

ResourceAssetsWidget::ResourceAssetsWidget(int mode, const QStringList &tags, const ResourceAssetHash &assets,
                                           QWidget *parent)
  : QWidget(parent), _mode(mode), _assets(assets)
{
  _layout = new QVBoxLayout(this);
  _layout->setObjectName("verticalLayout");
  _layout->setSpacing(0);
  _layout->setContentsMargins(0, 0, 0, 0);
  _tagsPanel = new QWidget(this);
  _tagsPanel->setObjectName("tagsPanel");
  _tagsPanel->setMinimumHeight(40);
  _list = new ResourceAssetsListWidget(this);
  _list->setObjectName("listWidget");
  _layout->addWidget(_tagsPanel);
  _layout->addWidget(_list);

  for (const QString &tag : tags) {
    auto *button = new QPushButton(tag, _tagsPanel);
    button->setFlat(true);
    button->setFixedSize(button->fontMetrics().horizontalAdvance(tag) + 20, 30);
    button->setStyleSheet("QPushButton{background-color: transparent; color: rgb(162,162,162); "
                          "border: 1px solid rgb(162,162,162); border-radius: 15px;}"
                          "QPushButton:pressed, QPushButton[highlighted=\"true\"]{color: white; border-color: white;}");
    connect(button, &QPushButton::clicked, this, &ResourceAssetsWidget::onTagButtonClicked);
    _tagButtons << button;
  }
  if (_tagButtons.size() < 2)
    _tagsPanel->hide();

  _list->setViewMode(mode == 0 ? QListView::IconMode : QListView::ListMode);
  _list->setDragDropMode(QAbstractItemView::DragOnly);
  _list->setGridSize(itemSize(mode));
  _list->setResizeMode(QListView::Adjust);
  auto *delegate = new ResourceAssetsWidgetItemDelegate(_list);
  delegate->setMode(mode);
  _list->setItemDelegate(delegate);
  _list->setStyleSheet("QListWidget{background: transparent; color: white; margin: 10px; border: none;}");
  _list->verticalScrollBar()->setStyleSheet(ExplorerStyle::listScrollBarStyleSheet());

  ExplorerLists::connectQueuedClicks(_list, &QListWidget::itemClicked, this,
                                     [this](QListWidgetItem *item) { onItemClicked(item); });
  ExplorerLists::connectQueuedClicks(_list, &QListWidget::itemDoubleClicked, this,
                                     [this](QListWidgetItem *item) { onItemDoubleClicked(item); });
  connect(_list, &ResourceAssetsListWidget::fetchResPathForItem, this, &ResourceAssetsWidget::onFetchResPathForItem,
          Qt::DirectConnection);

  if (!tags.isEmpty())
    selectTag(tags.first());
}

QSize ResourceAssetsWidget::itemSize(int mode)
{
  return mode == 0 ? QSize(80, 80) : QSize(40, 40);
}

QString ResourceAssetsWidget::durationText(float seconds)
{
  const int s = int(seconds);
  if (s >= 3600)
    return QString::asprintf("%d:%02d:%02d", s / 3600, s % 3600 / 60, s % 60);
  return QString::asprintf("%d:%02d", s / 60, s % 60);
}

void ResourceAssetsWidget::selectTag(const QString &tag)
{
  if (tag == _currentTag)
    return;
  if (QPushButton *old = tagButton(_currentTag))
    ExplorerStyle::setHighlighted(old, false);
  _currentTag = tag;
  if (QPushButton *button = tagButton(tag))
    ExplorerStyle::setHighlighted(button, true);
  reloadItems();
}

void ResourceAssetsWidget::reloadItems()
{
  _list->clear();
  const QSize size = itemSize(_mode);
  for (const ResourceAsset &asset : _assets.value(_currentTag)) {
    QPixmap icon;
    if (!asset.thumbnail.isEmpty())
      icon.load(asset.thumbnail);
    else if (asset.type == MediaItemTypeAudio)
      icon.load(":/images/media-explorer/audio_placeholder_dark");
    auto *item = new QListWidgetItem(QIcon(icon), asset.title);
    item->setData(Qt::UserRole + 1, durationText(asset.duration));
    item->setSizeHint(size);
    _list->addItem(item);
  }
  _list->scrollToTop();
}

QPushButton *ResourceAssetsWidget::tagButton(const QString &tag) const
{
  for (QPushButton *button : _tagButtons)
    if (button->text() == tag)
      return button;
  return nullptr;
}

void ResourceAssetsWidget::onTagButtonClicked()
{
  if (auto *button = qobject_cast<QPushButton *>(sender()))
    selectTag(button->text());
}

const ResourceAsset *ResourceAssetsWidget::_assetAt(QListWidgetItem *item) const
{
  const auto it = _assets.constFind(_currentTag);
  // A queued click may arrive after the list was rebuilt for another tag.
  if (it == _assets.constEnd() || !ExplorerLists::containsItem(_list, item))
    return nullptr;
  const int row = _list->row(item);
  return row >= 0 && row < it->size() ? &it->at(row) : nullptr;
}

void ResourceAssetsWidget::onItemClicked(QListWidgetItem *item)
{
  const ResourceAsset *asset = _assetAt(item);
  if (!asset)
    return;
  const QPixmap image = item->icon().pixmap(item->icon().actualSize(QSize(320, 320)));
  const QString metadata = QString("%1;%2").arg(double(asset->duration)).arg(double(asset->scale));
  emit assetItemClicked(asset->type, asset->path, image, metadata);
}

void ResourceAssetsWidget::onItemDoubleClicked(QListWidgetItem *) {}

void ResourceAssetsWidget::onFetchResPathForItem(QListWidgetItem *item, int &type, QString &outResPath,
                                                 float &outDuration, float &outScale)
{
  const ResourceAsset *asset = _assetAt(item);
  if (!asset)
    return;
  type = asset->type;
  outResPath = asset->path;
  outDuration = asset->duration;
  outScale = asset->scale;
}

void ResourceAssetsWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  const int panelWidth = _tagsPanel->width();
  int x = 10;
  int y = 10;
  for (QPushButton *button : _tagButtons) {
    if (x + button->width() > panelWidth - 10) {
      x = 10;
      y += 40;
    }
    button->move(x, y);
    x += button->width() + 10;
  }
  _tagsPanel->setFixedHeight(y + 30);
}
