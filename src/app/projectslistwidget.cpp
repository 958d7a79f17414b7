// ProjectsListWidget: listing, tiles, navigation, input and thumbnails.
#include "projectslistwidget.h"

#include "projectmanager.h"
#include "projectslistwidgetitemdelegate.h"
#include "util.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

namespace {

const QString kNewTileName = QStringLiteral("/NEW/");
const QSize kTileSize(140, 178);

QDateTime _epoch()
{
  return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
}

// After the last record strictly later, so equal times keep the newest arrival first.
void _insertByTime(QList<ProjectListItem> &records, const ProjectListItem &record)
{
  int at = 0;
  for (int i = 0; i < records.size(); ++i)
    if (records[i].time > record.time)
      at = i + 1;
  records.insert(at, record);
}

QString _join(const QString &dir, const QString &name)
{
  return dir + QDir::separator() + name;
}

} // namespace

ProjectsListWidget::ProjectsListWidget(QWidget *parent) : QListWidget(parent)
{
  setViewMode(QListView::IconMode);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setMovement(QListView::Static);
  setGridSize(QSize(160, 218));
  setResizeMode(QListView::Adjust);
  setMouseTracking(true);
  // The menu button shows on the tile under the mouse.
  viewport()->setAttribute(Qt::WA_Hover);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalScrollBar()->setSingleStep(10);
  _delegate = new ProjectsListWidgetItemDelegate(this);
  setItemDelegate(_delegate);
  _createActions();
  addAction(_removeAction);
  setStyleSheet(QStringLiteral(
      "QListWidget { background: rgb(31,32,35); color: white; border: none; }"
      "QMenu { background-color: rgba(7,8,10,230); color: white; padding: 10px; border-radius: 10px; }"
      "QMenu::icon { margin: 5px; }"
      "QMenu::item { padding: 8px 10px 8px 10px; }"
      "QMenu::item:selected { background-color: rgb(44,46,50); }"
      "QScrollBar:vertical { width: 15px; background: #2A2929; margin: 3px; border-radius: 4px; }"
      "QScrollBar::handle:vertical { background: #6b6b6b; min-height: 15px; border-radius: 4px; }"
      "QScrollBar::handle:vertical:hover { background: #a4a5a7; }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { width: 10px; height: 10px; image: none; }"));

  _noticeLabel = new QLabel(
      tr("There is no folder to keep your movies in. Choose a working folder in the settings."), viewport());
  _noticeLabel->setAlignment(Qt::AlignCenter);
  _noticeLabel->setWordWrap(true);
  _noticeLabel->setStyleSheet(QStringLiteral("color: white;"));
  _noticeLabel->hide();

  connect(_delegate, &ProjectsListWidgetItemDelegate::projectMenuClicked, this,
          &ProjectsListWidget::onProjectMenuClicked, Qt::QueuedConnection);
  connect(_delegate, &ProjectsListWidgetItemDelegate::projectFetchImage, this, &ProjectsListWidget::onProjectFetchImage,
          Qt::DirectConnection);
  connect(_delegate, &ProjectsListWidgetItemDelegate::projectFetchSubImage, this,
          &ProjectsListWidget::onProjectFetchSubImage, Qt::DirectConnection);
  // Clicks arrive queued; the row travels instead of the item, which a reload may delete.
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
    const int r = row(item);
    QMetaObject::invokeMethod(this, [this, r] { onItemClicked(r); }, Qt::QueuedConnection);
  });
  connect(this, &QListWidget::itemPressed, this, [this](QListWidgetItem *item) { onItemPressed(row(item)); });
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this] { QMetaObject::invokeMethod(this, &ProjectsListWidget::onItemDoubleClicked, Qt::QueuedConnection); });
  connect(this, &QWidget::customContextMenuRequested, this, &ProjectsListWidget::onCustomContextMenuRequested,
          Qt::QueuedConnection);
}

ProjectsListWidget::~ProjectsListWidget() = default;

QString ProjectsListWidget::_currentDirectory() const
{
  const QString projects = ProjectManager::projectsDirectory();
  if (projects.isEmpty() || _currentFolder.isEmpty())
    return projects;
  return _join(projects, _currentFolder);
}

QList<ProjectListItem> ProjectsListWidget::scanProjectFolder(const QString &directory, QSet<QString> *seen)
{
  QSet<QString> top;
  if (!seen) {
    seen = &top;
    seen->insert(QFileInfo(directory).canonicalFilePath());
  }
  QList<ProjectListItem> records;
  const QFileInfoList entries =
      directory.isEmpty() ? QFileInfoList()
                          : QDir(directory).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time);
  for (const QFileInfo &entry : entries) {
    ProjectListItem record;
    record.fileInfo = entry;
    const QDir dir(entry.absoluteFilePath());
    record.time = entry.lastModified();
    if (dir.exists(QStringLiteral(".folder"))) {
      const QString canonical = entry.canonicalFilePath();
      if (seen->contains(canonical))
        continue;
      seen->insert(canonical);
      record.folder = true;
      record.thumbnailPath = QStringLiteral(":/images/project_folder");
      record.children = scanProjectFolder(entry.absoluteFilePath(), seen);
      if (record.children.size() >= 2) {
        record.time = _epoch();
        for (const ProjectListItem &child : qAsConst(record.children))
          if (child.time.isValid() && child.time > record.time)
            record.time = child.time;
      }
      for (int k = 0; k < 4; ++k)
        if (record.children.size() > k + 1)
          record.subThumbnailPaths[k] = record.children[k + 1].fileInfo.absoluteFilePath() + "/shot.jpg";
    } else {
      if (dir.exists(QStringLiteral("project.xml")))
        record.time = QFileInfo(dir.filePath(QStringLiteral("project.xml"))).lastModified();
      else if (dir.exists(QStringLiteral("project.plist")))
        record.time = QFileInfo(dir.filePath(QStringLiteral("project.plist"))).lastModified();
      else
        record.damaged = true;
      if (dir.exists(QStringLiteral("example.dat")))
        record.time = _epoch();
      record.thumbnailPath = dir.filePath(QStringLiteral("shot.jpg"));
    }
    _insertByTime(records, record);
  }
  ProjectListItem placeholder;
  placeholder.thumbnailPath = QStringLiteral(":/images/project_new_normal");
  records.insert(0, placeholder);
  return records;
}

void ProjectsListWidget::_clearAll()
{
  clear();
  _records.clear();
}

void ProjectsListWidget::_buildTile(const ProjectListItem &record)
{
  auto *item = new QListWidgetItem;
  if (record.isPlaceholder()) {
    item->setData(Qt::DisplayRole, kNewTileName);
  } else {
    item->setData(Qt::DisplayRole, record.name());
    QString info;
    if (record.folder) {
      const int n = record.children.size();
      info = n <= 1 ? tr("(Empty)") : n == 2 ? tr("(1 Item)") : tr("(%1 Items)").arg(n - 1);
    } else if (record.time != _epoch()) {
      info = Util::friendlyDateText(record.time);
    }
    item->setData(ProjectInfoTextRole, info);
  }
  item->setData(ProjectFolderRole, record.folder);
  item->setData(ProjectDamagedRole, record.damaged);
  item->setData(ProjectMarkedRole, _editing && !record.isPlaceholder() && _selectedNames.contains(record.name()));
  item->setSizeHint(kTileSize);
  addItem(item);
}

void ProjectsListWidget::_reload()
{
  _clearAll();
  const QString directory = _currentDirectory();
  _noticeLabel->setVisible(directory.isEmpty());
  // Without a projects folder nothing can be listed or created.
  if (directory.isEmpty())
    return;
  _records = scanProjectFolder(directory);
  if (_editing)
    _records[0].thumbnail.load(QStringLiteral(":/images/project_new_disabled"));
  for (const ProjectListItem &record : qAsConst(_records))
    _buildTile(record);
}

void ProjectsListWidget::selectItemNamed(const QString &name)
{
  for (int i = 1; i < _records.size(); ++i) {
    if (_records[i].name() == name) {
      setCurrentRow(i);
      scrollToItem(item(i));
      return;
    }
  }
}

void ProjectsListWidget::reloadKeepingCurrent()
{
  QString name;
  if (currentRow() > 0 && currentRow() < _records.size())
    name = _records[currentRow()].name();
  _reload();
  if (!name.isEmpty())
    selectItemNamed(name);
}

void ProjectsListWidget::_reloadKeepingScroll()
{
  const int offset = verticalScrollBar()->value();
  _reload();
  verticalScrollBar()->setValue(offset);
}

void ProjectsListWidget::_reloadLaterSelecting(const QString &name)
{
  QTimer::singleShot(200, this, [this, name] {
    _reload();
    selectItemNamed(name);
  });
}

void ProjectsListWidget::changeDirectory(QString newFolder)
{
  if (_editing || isInFolder())
    return;
  _currentFolder = newFolder;
  _reload();
  emit projectFolderEntered(_currentFolder);
}

void ProjectsListWidget::cdUp()
{
  if (_editing || !isInFolder())
    return;
  const QString folder = _currentFolder;
  _currentFolder.clear();
  _reload();
  selectItemNamed(folder);
  emit projectFolderEntered(QString());
}

void ProjectsListWidget::_leaveEditMode()
{
  if (_editing)
    toggleEdit();
}

void ProjectsListWidget::toggleEdit()
{
  _editing = !_editing;
  _selectedNames.clear();
  _delegate->setEditing(_editing);
  for (int i = 0; i < count(); ++i)
    item(i)->setData(ProjectMarkedRole, false);
  if (!_records.isEmpty())
    _records[0].thumbnail.load(_editing ? QStringLiteral(":/images/project_new_disabled")
                                        : QStringLiteral(":/images/project_new_normal"));
  viewport()->update();
  emit editStateChanged(_editing);
}

void ProjectsListWidget::onItemPressed(int row)
{
  if (row == 0 && !_editing)
    item(0)->setData(ProjectNewPressedRole, true);
}

void ProjectsListWidget::onItemClicked(int r)
{
  if (r < 0 || r >= count() || r >= _records.size())
    return;
  if (r == 0) {
    if (!_editing) {
      item(0)->setData(ProjectNewPressedRole, false);
      newProject();
    }
    return;
  }
  QListWidgetItem *tile = item(r);
  if (!_editing || tile->data(ProjectMenuOpenRole).toBool())
    return;
  const QString name = _records[r].name();
  const bool marked = !_selectedNames.contains(name);
  if (marked)
    _selectedNames.append(name);
  else
    _selectedNames.removeAll(name);
  tile->setData(ProjectMarkedRole, marked);
  emit editSelectionChanged(_selectedNames.size());
}

void ProjectsListWidget::onItemDoubleClicked()
{
  if (!_editing)
    _openItem(currentRow());
}

void ProjectsListWidget::_openItem(int r)
{
  if (_busy)
    return;
  if (r <= 0 || r >= _records.size()) {
    newProject();
    return;
  }
  const ProjectListItem &record = _records[r];
  if (record.folder) {
    const QString name = record.name();
    QTimer::singleShot(100, this, [this, name] { changeDirectory(name); });
  } else {
    emit oneProjectClicked(record.name(), _currentFolder, record.damaged);
  }
}

void ProjectsListWidget::keyPressEvent(QKeyEvent *event)
{
  switch (event->key()) {
  case Qt::Key_Enter:
  case Qt::Key_Return:
  case Qt::Key_Space:
    if (!_editing)
      _openItem(currentRow());
    return;
  case Qt::Key_Delete:
    if (_editing && !_selectedNames.isEmpty())
      deleteSelectedItems();
    else
      onDeleteActionTriggered();
    return;
  case Qt::Key_Backspace:
  case Qt::Key_Back:
    if (_editing && !_selectedNames.isEmpty())
      deleteSelectedItems();
    else if (!_editing && isInFolder())
      cdUp();
    else
      onDeleteActionTriggered();
    return;
  case Qt::Key_Escape:
    _leaveEditMode();
    return;
  default:
    QListWidget::keyPressEvent(event);
  }
}

void ProjectsListWidget::mouseReleaseEvent(QMouseEvent *event)
{
  QListWidget::mouseReleaseEvent(event);
  // Only a left click on the tile clears its pressed look; any other end of the press would
  // leave it lit.
  if (count() > 0)
    item(0)->setData(ProjectNewPressedRole, false);
}

void ProjectsListWidget::showEvent(QShowEvent *event)
{
  QListWidget::showEvent(event);
  _reload();
}

void ProjectsListWidget::hideEvent(QHideEvent *event)
{
  QListWidget::hideEvent(event);
  _clearAll();
}

void ProjectsListWidget::resizeEvent(QResizeEvent *event)
{
  QListWidget::resizeEvent(event);
  _noticeLabel->setGeometry(viewport()->rect().adjusted(40, 0, -40, 0));
}

void ProjectsListWidget::_scaleThumbnail(QPixmap &pixmap, const QSize &cover) const
{
  const QSizeF image = pixmap.size();
  QSizeF size = image.scaled(QSizeF(cover), Qt::KeepAspectRatioByExpanding);
  const qreal ratio = devicePixelRatioF();
  pixmap = pixmap.scaled(qRound(size.width() * ratio), qRound(size.height() * ratio), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
  pixmap.setDevicePixelRatio(ratio);
}

void ProjectsListWidget::onProjectFetchImage(QModelIndex index, QPixmap &pixmap)
{
  const int r = index.row();
  if (!index.isValid() || r >= _records.size())
    return;
  ProjectListItem &record = _records[r];
  if (record.thumbnail.isNull() && record.thumbnail.load(record.thumbnailPath) &&
      !record.thumbnailPath.startsWith(QLatin1Char(':')))
    _scaleThumbnail(record.thumbnail,
                    ProjectsListWidgetItemDelegate::imageRect(QRect(QPoint(0, 0), kTileSize)).size());
  pixmap = record.thumbnail;
}

void ProjectsListWidget::onProjectFetchSubImage(QModelIndex index, int subIndex, QPixmap &pixmap)
{
  const int r = index.row();
  if (!index.isValid() || r >= _records.size() || subIndex < 0 || subIndex > 3)
    return;
  ProjectListItem &record = _records[r];
  QPixmap &sub = record.subThumbnails[subIndex];
  if (sub.isNull() && !record.subThumbnailPaths[subIndex].isEmpty() && sub.load(record.subThumbnailPaths[subIndex]))
    _scaleThumbnail(sub, QSize(30, 30));
  pixmap = sub;
}
