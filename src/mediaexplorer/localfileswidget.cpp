#include "localfileswidget.h"

#include "animatedlabel.h"
#include "assetloadingthreadpool.h"
#include "dialogprovider.h"
#include "filesloadingtask.h"
#include "localfileslistwidget.h"
#include "localfileswidgetitemdelegate.h"
#include "localthumbnailscache.h"
#include "mediaitemtype.h"
#include "taskguard.h"
#include "thumbnailloadingtask.h"
#include "util.h"

#include <QDebug>
#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenu>
#include <QMimeDatabase>
#include <QPointer>
#include <QScrollBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

LocalFilesWidget::LocalFilesWidget(const QString &dir, QSettings *settings, QWidget *parent)
  : QWidget(parent), _settings(settings), _tasks(std::make_shared<TaskGuard>())
{
  qRegisterMetaType<QFileInfo>("QFileInfo");
  _buildForm();
  _thumbnailsCache = new LocalThumbnailsCache(this);

  QString dirPath = dir;
  if (_settings) {
    _settings->beginGroup("LocalFiles");
    dirPath = _settings->value("Dir", dir).toString();
    _filter = _settings->value("Filter", _filter).toInt();
    _zoom = _settings->value("Zoom", _zoom).toInt();
    _viewMode = _settings->value("View", _viewMode).toInt();
    _settings->endGroup();
  }
  _currentDir.setPath(dirPath);

  _applyLooks();
  _updateDirButton();
  _updateFilterButton();
  _viewButton->setIcon(QIcon(_viewMode != 0 ? ":/images/media-explorer/list_view_icon"
                                            : ":/images/media-explorer/icon_view_icon"));
  _slider->setValue(_zoom);

  _list->setViewMode(_viewMode == 0 ? QListView::IconMode : QListView::ListMode);
  _list->setDragDropMode(QAbstractItemView::DragOnly);
  _list->setGridSize(_gridSize(_zoom, _viewMode));
  _list->setResizeMode(QListView::Adjust);
  _list->setTextElideMode(Qt::ElideMiddle);
  _delegate = new LocalFilesWidgetItemDelegate(_list);
  _delegate->setZoom(_zoom);
  _delegate->setViewMode(_viewMode);
  _list->setItemDelegate(_delegate);
  _list->setContextMenuPolicy(Qt::CustomContextMenu);

  connect(_dirButton, &QPushButton::clicked, this, &LocalFilesWidget::onDirButtonClicked);
  connect(_dirTriangleButton, &QPushButton::clicked, this, &LocalFilesWidget::onDirButtonClicked);
  connect(_filterButton, &QPushButton::clicked, this, &LocalFilesWidget::onFilterButtonClicked);
  connect(_filterTriangleButton, &QPushButton::clicked, this, &LocalFilesWidget::onFilterButtonClicked);
  connect(_viewButton, &QPushButton::clicked, this, &LocalFilesWidget::onViewButtonClicked);
  connect(_viewTriangleButton, &QPushButton::clicked, this, &LocalFilesWidget::onViewButtonClicked);
  connect(_slider, &QSlider::valueChanged, this, &LocalFilesWidget::onSliderValueChanged);
  connect(_valueDownButton, &QPushButton::clicked, this, &LocalFilesWidget::onValueDownButtonClicked);
  connect(_valueUpButton, &QPushButton::clicked, this, &LocalFilesWidget::onValueUpButtonClicked);
  connect(_list->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &LocalFilesWidget::onVerticalScrollBarValueChanged);
  // Clicks are handled from the event loop, when a new listing may have deleted the item:
  // they travel as a persistent index, not as the item pointer.
  connect(_list, &QListWidget::itemClicked, this,
          [this](QListWidgetItem *item) { _queueForItem(item, &LocalFilesWidget::onItemClicked); });
  connect(_list, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem *item) { _queueForItem(item, &LocalFilesWidget::onItemDoubleClicked); });
  connect(_list, &QListWidget::currentItemChanged, this, &LocalFilesWidget::onCurrentItemChanged);
  connect(_list, &QListWidget::customContextMenuRequested, this, &LocalFilesWidget::onCustomContextMenuRequested,
          Qt::QueuedConnection);
  connect(_list, &LocalFilesListWidget::fetchFilePathForItem, this, &LocalFilesWidget::onFetchFilePathForItem,
          Qt::DirectConnection);
  connect(this, &LocalFilesWidget::beginLoadingFiles, this, &LocalFilesWidget::onBeginLoadingFiles,
          Qt::QueuedConnection);
  connect(this, &LocalFilesWidget::finishLoadingFiles, this, &LocalFilesWidget::onFinishLoadingFiles,
          Qt::QueuedConnection);
  connect(this, &LocalFilesWidget::beginLoadingThumbnail, this, &LocalFilesWidget::onBeginLoadingThumbnail,
          Qt::QueuedConnection);
  connect(this, &LocalFilesWidget::finishLoadingThumbnail, this, &LocalFilesWidget::onFinishLoadingThumbnail,
          Qt::QueuedConnection);
  connect(this, &LocalFilesWidget::errorOccurred, this, &LocalFilesWidget::onLoadError, Qt::QueuedConnection);

  _startLoadingFiles(500, true);
}

LocalFilesWidget::~LocalFilesWidget()
{
  // Pool tasks point at this page: none may run on once the records and the cache go.
  _tasks->cancelAndWait();
  if (_settings) {
    _settings->beginGroup("LocalFiles");
    _settings->setValue("Dir", _currentDir.absolutePath());
    _settings->setValue("Filter", _filter);
    _settings->setValue("Zoom", _zoom);
    _settings->setValue("View", _viewMode);
    _settings->endGroup();
  }
  delete _thumbnailsCache;
}

QSize LocalFilesWidget::_gridSize(int zoom, int viewMode)
{
  if (viewMode == 0)
    return zoom == 0 ? QSize(60, 80) : zoom == 2 ? QSize(180, 200) : QSize(100, 120);
  return zoom == 0 ? QSize(20, 20) : zoom == 2 ? QSize(80, 80) : QSize(40, 40);
}

// --- Listing ---

void LocalFilesWidget::_startLoadingFiles(int delayMs, bool clearList)
{
  QTimer::singleShot(delayMs, this, [this, clearList]() { _startListingWhenIdle(clearList); });
}

void LocalFilesWidget::_startListingWhenIdle(bool clearList)
{
  // A listing never competes with the loading of a project: look again a little later.
  if (AssetLoadingThreadPool::instance()->activeThreadCount() > 0) {
    qDebug() << "Still wait until project loading complete...";
    QTimer::singleShot(100, this, [this, clearList]() { _startListingWhenIdle(clearList); });
    return;
  }
  if (clearList)
    _list->clear();
  // Watched before the task reads the folder: a change made while it lists is not lost.
  _watchCurrentDir();
  int generation;
  {
    std::lock_guard<std::mutex> lock(_pendingMutex);
    generation = ++_listingGeneration;
  }
  QThreadPool::globalInstance()->start(new FilesLoadingTask(this, _tasks, _currentDir.absolutePath(), generation), 0);
}

void LocalFilesWidget::_loadFiles(const QString &dirPath, int generation)
{
  emit beginLoadingFiles();
  const QDir dir(dirPath);
  const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Time);
  const QString error = entries.isEmpty() && !dir.exists() ? tr("Directory not found") : QString();
  QVector<LocalFileItem> items;
  QMimeDatabase mimes;
  for (const QFileInfo &fi : entries) {
    const QString mime = mimes.mimeTypeForFile(fi.absoluteFilePath()).name();
    int type = 0;
    if (mime.startsWith("image/"))
      type = MediaItemTypePicture;
    else if (mime.startsWith("video/"))
      type = MediaItemTypeVideo;
    else if (mime.startsWith("audio/"))
      type = MediaItemTypeAudio;
    else
      continue;
    items.append({fi, type, false});
  }
  {
    // Only the newest listing hands its records over; an older one that ends late is dropped.
    std::lock_guard<std::mutex> lock(_pendingMutex);
    if (generation != _listingGeneration)
      return;
    _pendingItems = items;
    _pendingValid = true;
  }
  emit errorOccurred(error);
  emit finishLoadingFiles(true);
}

void LocalFilesWidget::onBeginLoadingFiles()
{
  if (!_loadingHud) {
    _loadingHud = new AnimatedLabel(this, ":/images/loading_hud_dark-2");
    _loadingHud->setFixedSize(80, 80);
  }
  _centreLoadingHud();
  _loadingHud->show();
  _loadingHud->start(0);
}

void LocalFilesWidget::onFinishLoadingFiles(bool fromThread)
{
  if (fromThread) {
    std::lock_guard<std::mutex> lock(_pendingMutex);
    if (!_pendingValid)
      return;
    _fileItems = _pendingItems;
    _pendingItems.clear();
    _pendingValid = false;
  }
  if (_loadingHud) {
    _loadingHud->hide();
    _loadingHud->deleteLater();
    _loadingHud = nullptr;
  }
  _list->clear();
  QFileIconProvider icons;
  for (int i = 0; i < _fileItems.size(); ++i) {
    LocalFileItem &record = _fileItems[i];
    record.thumbnailLoaded = false;
    const int bit = record.type == MediaItemTypeVideo ? 1 : record.type == MediaItemTypePicture ? 2 : 4;
    if (!(_filter & bit))
      continue;
    auto *item = new QListWidgetItem(icons.icon(record.fileInfo), record.fileInfo.fileName());
    item->setData(DurationRole, QString());
    item->setSizeHint(_gridSize(_zoom, _viewMode));
    item->setData(TypeRole, record.type);
    item->setData(IndexRole, i);
    _list->addItem(item);
  }
  _loadVisibleThumbnails();
}

void LocalFilesWidget::_watchCurrentDir()
{
  delete _watcher;
  _watcher = new QFileSystemWatcher(this);
  connect(_watcher, &QFileSystemWatcher::directoryChanged, this, &LocalFilesWidget::onFileSystemDirectoryChanged);
  if (_currentDir.exists())
    _watcher->addPath(_currentDir.absolutePath());
}

void LocalFilesWidget::onFileSystemDirectoryChanged(QString path)
{
  _watcher->removePath(path);
  _startLoadingFiles(100, false);
}

void LocalFilesWidget::onFileSystemFileChanged(QString path)
{
  qDebug() << path;
}

void LocalFilesWidget::onLoadError(QString errMsg)
{
  if (errMsg.isEmpty()) {
    delete _errorLabel;
    _errorLabel = nullptr;
    return;
  }
  if (!_errorLabel) {
    _errorLabel = new QLabel(this);
    _errorLabel->setFixedHeight(40);
    _errorLabel->setAlignment(Qt::AlignCenter);
    _errorLabel->setStyleSheet("QLabel{color: yellow;}");
    _errorLabel->setObjectName("errorLabel");
  }
  _layoutErrorLabel();
  _errorLabel->setText(errMsg);
  _errorLabel->show();
}

// --- Thumbnail scheduling ---

void LocalFilesWidget::_startThumbnailTask(const LocalFileItem &record, int row)
{
  QThreadPool::globalInstance()->start(
    new ThumbnailLoadingTask(this, _tasks, record.fileInfo, record.type, row, _thumbnailGeneration), 0);
}

void LocalFilesWidget::onVerticalScrollBarValueChanged(int value)
{
  Q_UNUSED(value)
  const int token = ++_scrollToken;
  QTimer::singleShot(100, this, [this, token]() {
    if (token == _scrollToken)
      _loadVisibleThumbnails();
  });
}

// --- Items ---

void LocalFilesWidget::_queueForItem(QListWidgetItem *item, void (LocalFilesWidget::*slot)(QListWidgetItem *))
{
  const QPersistentModelIndex index(_list->model()->index(_list->row(item), 0));
  QMetaObject::invokeMethod(
    this,
    [this, index, slot]() {
      if (index.isValid())
        (this->*slot)(_list->item(index.row()));
    },
    Qt::QueuedConnection);
}

const LocalFileItem *LocalFilesWidget::_recordOf(QListWidgetItem *item) const
{
  if (!item)
    return nullptr;
  const int index = item->data(IndexRole).toInt();
  return index >= 0 && index < _fileItems.size() ? &_fileItems.at(index) : nullptr;
}

void LocalFilesWidget::onItemClicked(QListWidgetItem *item)
{
  const LocalFileItem *record = _recordOf(item);
  if (!record)
    return;
  const QPixmap image = item->icon().pixmap(QSize(320, 320), QIcon::Normal, QIcon::On);
  QPixmap cached;
  QString metadata;
  _thumbnailsCache->thumbnail(cached, record->fileInfo, metadata);
  emit fileItemClicked(record->type, record->fileInfo, image, metadata);
}

void LocalFilesWidget::onItemDoubleClicked(QListWidgetItem *item)
{
  if (const LocalFileItem *record = _recordOf(item))
    QDesktopServices::openUrl(QUrl::fromLocalFile(record->fileInfo.absoluteFilePath()));
}

void LocalFilesWidget::onFetchFilePathForItem(QListWidgetItem *item, QString &outFilePath)
{
  if (const LocalFileItem *record = _recordOf(item))
    outFilePath = record->fileInfo.absoluteFilePath();
}

void LocalFilesWidget::onCurrentItemChanged(QListWidgetItem *current, QListWidgetItem *previous)
{
  Q_UNUSED(current)
  Q_UNUSED(previous)
  qDebug() << "current item changed";
}

void LocalFilesWidget::onCustomContextMenuRequested(QPoint pos)
{
  if (const LocalFileItem *record = _recordOf(_list->itemAt(pos)))
    _showFileContextMenu(*record, _list->viewport()->mapToGlobal(pos));
}

void LocalFilesWidget::_showFileContextMenu(const LocalFileItem &item, const QPoint &globalPos)
{
  const QString path = item.fileInfo.absoluteFilePath();
  QMenu *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(menu);
  QAction *show = menu->addAction(tr("Show in File Explorer"));
  show->setShortcut(QKeySequence());
  if (_execMenu(menu, globalPos) == show)
    Util::showFileInExplorer(path);
}

QAction *LocalFilesWidget::_execMenu(QMenu *menu, const QPoint &globalPos)
{
  // The menu runs modally: the page (and the menu with it) may be gone when it returns.
  QPointer<QMenu> guard(menu);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, globalPos);
  if (!guard)
    return nullptr;
  menu->deleteLater();
  return chosen;
}
