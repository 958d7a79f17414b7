#pragma once

#include "localfilesitem.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QVector>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class AnimatedLabel;
class LocalFilesListWidget;
class LocalFilesWidgetItemDelegate;
class LocalThumbnailsCache;
class QFileSystemWatcher;
class QLabel;
class QAction;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSettings;
class QSlider;
class TaskGuard;

// The "Local Files" page of the media explorer: the pictures, videos and sounds of one folder
// as tiles or rows, with thumbnails made on the global thread pool and kept in a disk cache.
class LocalFilesWidget : public QWidget
{
  Q_OBJECT
public:
  enum Roles { TypeRole = Qt::UserRole + 1, DurationRole = Qt::UserRole + 2, IndexRole = Qt::UserRole + 3 };

  LocalFilesWidget(const QString &dir, QSettings *settings, QWidget *parent);
  ~LocalFilesWidget() override;

  LocalFilesListWidget *listWidget() const { return _list; }
  QDir currentDir() const { return _currentDir; }

signals:
  void beginLoadingFiles();
  void finishLoadingFiles(bool fromThread);
  void beginLoadingThumbnail();
  void finishLoadingThumbnail(QPixmap pixmap, QFileInfo fi, int index, QString metadata);
  void fileItemClicked(int type, QFileInfo fi, QPixmap image, QString metadata);
  void errorOccurred(QString errMsg);

public slots:
  void onBeginLoadingFiles();
  void onFinishLoadingFiles(bool fromThread);
  void onBeginLoadingThumbnail();
  void onFinishLoadingThumbnail(QPixmap pixmap, QFileInfo fi, int index, QString metadata);
  void onVerticalScrollBarValueChanged(int value);
  void onDirButtonClicked();
  void onViewButtonClicked();
  void onFilterButtonClicked();
  void onSliderValueChanged(int value);
  void onValueUpButtonClicked();
  void onValueDownButtonClicked();
  void onItemClicked(QListWidgetItem *item);
  void onItemDoubleClicked(QListWidgetItem *item);
  void onCustomContextMenuRequested(QPoint pos);
  void onCurrentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
  void onFetchFilePathForItem(QListWidgetItem *item, QString &outFilePath);
  void onFileSystemDirectoryChanged(QString path);
  void onFileSystemFileChanged(QString path);
  void onLoadError(QString errMsg);

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  friend class FilesLoadingTask;
  friend class ThumbnailLoadingTask;

  void _buildForm();
  void _applyLooks();
  void _startLoadingFiles(int delayMs, bool clearList);
  void _startListingWhenIdle(bool clearList);
  // Pool thread: lists dirPath and hands the new records over for finishLoadingFiles.
  void _loadFiles(const QString &dirPath, int generation);
  void _loadVisibleThumbnails();
  void _watchCurrentDir();
  void _startThumbnailTask(const LocalFileItem &record, int row);
  void _applyViewMode();
  void _showFileContextMenu(const LocalFileItem &item, const QPoint &globalPos);
  // Browses another folder: the thumbnail work of the one left stops.
  void _changeDir(const QString &path);
  void _updateDirButton();
  void _updateFilterButton();
  void _setItemMetadata(QListWidgetItem *item, int type, const QString &metadata);
  void _layoutErrorLabel();
  void _centreLoadingHud();
  QMenu *_headerMenu(const QString &itemPadding);
  // Runs a menu through the dialog seam; the chosen action (valid until the next event loop) or null.
  QAction *_execMenu(QMenu *menu, const QPoint &globalPos);
  const LocalFileItem *_recordOf(QListWidgetItem *item) const;
  void _queueForItem(QListWidgetItem *item, void (LocalFilesWidget::*slot)(QListWidgetItem *));
  static QSize _gridSize(int zoom, int viewMode);

  // Thumbnails (pool thread); each read breaks off once cancelled answers true.
  using Cancel = std::function<bool()>;
  void _loadThumbnail(const QFileInfo &fi, int type, int row, const Cancel &cancelled);
  static QPixmap _videoThumbnail(const QString &path, int bound, double &duration, int &width, int &height,
                                 int &rotation, const Cancel &cancelled);
  static QPixmap _imageThumbnail(const QString &path, int bound, int &width, int &height, const Cancel &cancelled);
  static QPixmap _audioThumbnail(const QString &path, double &duration, const Cancel &cancelled);
  static QString _durationText(int seconds);

  QDir _currentDir;
  AnimatedLabel *_loadingHud = nullptr;
  int _zoom = 1;
  int _filter = 7;
  int _viewMode = 0;
  QVector<LocalFileItem> _fileItems;
  LocalThumbnailsCache *_thumbnailsCache = nullptr;
  int _scrollToken = 0;
  QFileSystemWatcher *_watcher = nullptr;
  QSettings *_settings = nullptr;
  QLabel *_errorLabel = nullptr;
  LocalFilesWidgetItemDelegate *_delegate = nullptr;

  // Listing hand-over: the newest listing's records wait here for finishLoadingFiles.
  std::mutex _pendingMutex;
  QVector<LocalFileItem> _pendingItems;
  bool _pendingValid = false;
  int _listingGeneration = 0;
  std::shared_ptr<TaskGuard> _tasks;
  // Counts the folders browsed: a thumbnail task of an earlier one gives up.
  std::atomic<int> _thumbnailGeneration{0};

  // The form.
  QWidget *_header = nullptr;
  QWidget *_dirButtonContainer = nullptr;
  QPushButton *_dirButton = nullptr;
  QPushButton *_dirTriangleButton = nullptr;
  QPushButton *_valueDownButton = nullptr;
  QSlider *_slider = nullptr;
  QPushButton *_valueUpButton = nullptr;
  QWidget *_viewButtonContainer = nullptr;
  QPushButton *_viewButton = nullptr;
  QPushButton *_viewTriangleButton = nullptr;
  QWidget *_filterButtonContainer = nullptr;
  QPushButton *_filterButton = nullptr;
  QPushButton *_filterTriangleButton = nullptr;
  LocalFilesListWidget *_list = nullptr;
};
