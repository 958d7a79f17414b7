#pragma once
// The grid of projects and browser folders on the Movies page, with every browser
// operation that changes the disk. Listing, tiles, navigation and input here; new
// project, folders, rename, duplicate, remove, copy and move in _operations; the item
// menu and the archives in _archives.

#include "projectlistitem.h"

#include <QListWidget>
#include <QPointer>
#include <QSet>

class ArchiveExporter;
class ArchiveImporter;
class ProjectsListWidgetItemDelegate;
class QLabel;
class QThread;

class ProjectsListWidget : public QListWidget
{
  Q_OBJECT
public:
  explicit ProjectsListWidget(QWidget *parent = nullptr);
  ~ProjectsListWidget() override;

  bool isInFolder() const { return !_currentFolder.isEmpty(); }
  bool isEditing() const { return _editing; }
  // True while a copy, move or duplicate job runs; every operation waits for its end.
  bool isBusy() const { return _busy; }
  QString currentFolder() const { return _currentFolder; }
  const QList<ProjectListItem> &records() const { return _records; }
  QStringList selectedNames() const { return _selectedNames; }
  ProjectsListWidgetItemDelegate *itemDelegate() const { return _delegate; }
  // Shown instead of the tiles when there is no projects folder to list.
  QLabel *noticeLabel() const { return _noticeLabel; }

  void reloadKeepingCurrent();
  void selectItemNamed(const QString &name);
  void importArchiveFile(const QString &archivePath);

  // seen holds the canonical paths of the groups above: a link back to one (a group holding a
  // link to itself) is left out rather than followed again.
  static QList<ProjectListItem> scanProjectFolder(const QString &directory, QSet<QString> *seen = nullptr);

signals:
  void newProjectCreated(QString name, QString folder);
  void oneProjectClicked(QString name, QString folder, bool damaged);
  void projectFolderEntered(QString folder);
  void issueShowWaitingHUD(QString text);
  void issueHideWaitingHUD();
  void issueShowProgressHUD(QString text, float progress);
  void issueHideProgressHUD();
  void issueShowTextMessage(QString text);
  void editStateChanged(bool editing);
  void editSelectionChanged(int selectedCnt);
  void workingDirectoryChanged();

public slots:
  void changeDirectory(QString newFolder);
  void cdUp();
  void toggleEdit();
  void newFolder();
  void deleteSelectedItems();
  void copySelectedItemsToFolder(QString folder);
  void moveSelectedItemsToFolder(QString folder);
  void importArchive();
  void newProject();
  void onItemClicked(int row);
  void onItemPressed(int row);
  void onItemDoubleClicked();
  void onCustomContextMenuRequested(QPoint pos);
  void onProjectMenuClicked(QModelIndex index, QPoint pos);
  void onProjectFetchImage(QModelIndex index, QPixmap &pixmap);
  void onProjectFetchSubImage(QModelIndex index, int subIndex, QPixmap &pixmap);
  void onDeleteActionTriggered();
  void onRenameActionTriggered();
  void onDuplicateActionTriggered();
  void onArchiveActionTriggered();
  void onArchiveImporterMessage(ArchiveImporter *importer, int message, QVariant data);
  void onArchiveExporterMessage(ArchiveExporter *exporter, int message, QVariant data);

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  // Listing and tiles.
  QString _currentDirectory() const;
  void _reload();
  void _clearAll();
  void _buildTile(const ProjectListItem &record);
  void _reloadKeepingScroll();
  void _reloadLaterSelecting(const QString &name);
  void _leaveEditMode();
  void _openItem(int row);
  void _scaleThumbnail(QPixmap &pixmap, const QSize &cover) const;

  // Operations.
  QString _nextNewMovieName() const;
  QString _duplicateName(const QString &name) const;
  void _renameItem(int row);
  void _duplicateProject(int row);
  void _removeItems(const QStringList &names, bool selection);
  void _copyOrMoveItems(const QString &folder, bool copy);
  // Runs a job thread while the window keeps working; false when the list went away.
  bool _waitFor(QThread *job);
  // Refuses an operation on the project open in the editor (or on the folder holding it).
  bool _refuseOpenItem(const QString &name, const QString &title);
  // The operation's failure when there is no projects folder.
  bool _refuseWithoutDirectory(const QString &title, const QString &text);
  // The pending name or the default, asked again until it is a usable name or cancelled.
  bool _askName(const QString &title, const QString &label, const QString &acceptText,
                const QString &defaultText, QString *name);
  void _fail(const QString &title, const QString &text);

  // Item menu and archives.
  void _createActions();
  void _showItemMenu(int row, const QPoint &pos);
  void _showArchiveFailure(int message, const QVariant &data, bool import);

  ProjectsListWidgetItemDelegate *_delegate = nullptr;
  QLabel *_noticeLabel = nullptr;
  QString _currentFolder;
  QList<ProjectListItem> _records;
  bool _editing = false;
  bool _busy = false;
  QStringList _selectedNames;
  QString _pendingName;
  QAction *_removeAction = nullptr;
  QAction *_renameAction = nullptr;
  QAction *_duplicateAction = nullptr;
  QAction *_archiveAction = nullptr;
};
