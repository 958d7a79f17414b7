// ProjectsListWidget: new project, new folder, rename, duplicate, remove, copy and move.
#include "projectslistwidget.h"

#include "browserdialogs.h"
#include "copyormoveprojectstask.h"
#include "dircopier.h"
#include "editorwindows.h"
#include "projectmanager.h"
#include "projectslistwidgetitemdelegate.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

namespace {

QString _join(const QString &dir, const QString &name)
{
  return dir + QDir::separator() + name;
}

// Written under a temporary name, so a full disk never leaves half a file in place.
bool _writeText(const QString &path, const QString &text)
{
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
    return false;
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

// A project or folder shown in the list that is a link goes as a link: what it points to is
// not inside the projects folder.
bool _removeItem(const QString &path)
{
  return QFileInfo(path).isSymLink() ? QFile::remove(path) : QDir(path).removeRecursively();
}

} // namespace

void ProjectsListWidget::_fail(const QString &title, const QString &text)
{
  BrowserDialogs::warning(this, title, text);
}

bool ProjectsListWidget::_refuseWithoutDirectory(const QString &title, const QString &text)
{
  if (!_currentDirectory().isEmpty())
    return false;
  _fail(title, text);
  return true;
}

bool ProjectsListWidget::_refuseOpenItem(const QString &name, const QString &title)
{
  const bool folder = !isInFolder() && EditorWindows::isFolderInUse(name);
  if (!folder && !EditorWindows::isProjectOpen(name, _currentFolder))
    return false;
  _fail(title, folder ? tr("The folder \"%1\" holds the movie open in the editor. Close the movie first.").arg(name)
                      : tr("The movie \"%1\" is open in the editor. Close it first.").arg(name));
  return true;
}

bool ProjectsListWidget::_askName(const QString &title, const QString &label, const QString &acceptText,
                                  const QString &defaultText, QString *name)
{
  QString typed = _pendingName.isEmpty() ? defaultText : _pendingName;
  for (;;) {
    if (!BrowserDialogs::askText(this, title, label, acceptText, typed, &typed)) {
      _pendingName.clear();
      return false;
    }
    if (BrowserDialogs::checkedName(typed, name))
      return true;
    _pendingName = typed;
    BrowserDialogs::wrongName(this);
  }
}

QString ProjectsListWidget::_nextNewMovieName() const
{
  const QDir dir(_currentDirectory());
  const QString base = tr("New Movie");
  if (!dir.exists(base))
    return base;
  for (int n = 1;; ++n) {
    const QString candidate = QStringLiteral("%1 %2").arg(base).arg(n);
    if (!dir.exists(candidate))
      return candidate;
  }
}

QString ProjectsListWidget::_duplicateName(const QString &name) const
{
  QString candidate = tr("%1 Copy").arg(name);
  for (int n = 1; QFileInfo::exists(ProjectManager::projectDirectory(candidate, _currentFolder)); ++n)
    candidate = tr("%1 Copy %2").arg(name).arg(n);
  return candidate;
}

void ProjectsListWidget::newProject()
{
  if (_busy || _refuseWithoutDirectory(QString(), tr("Failed to create movie file")))
    return;
  QString name;
  while (_askName(tr("New Movie"), tr("Enter project name"), tr("Create"), _nextNewMovieName(), &name)) {
    const QString directory = ProjectManager::projectDirectory(name, _currentFolder);
    if (QFileInfo::exists(directory)) {
      _pendingName = name;
      _fail(tr("Wrong Name"), tr("The named movie already exists"));
      continue;
    }
    if (!QDir().mkpath(directory)) {
      _pendingName = name;
      _fail(QString(), tr("Failed to create movie file"));
      continue;
    }
    const QString header = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n");
    QString properties;
    QTextStream(&properties) << "<Properties version=\"" << 5.0 << "\"/>";
    if (!_writeText(ProjectManager::projectFilePath(name, _currentFolder), header + QStringLiteral("<Project/>")) ||
        !_writeText(ProjectManager::propertiesFilePath(name, _currentFolder), header + properties)) {
      emit issueShowTextMessage(tr("Failed to create movie file"));
      return;
    }
    _reload();
    setCurrentRow(0);
    scrollToItem(item(0));
    _pendingName.clear();
    emit newProjectCreated(name, _currentFolder);
    return;
  }
}

void ProjectsListWidget::newFolder()
{
  if (_busy || _refuseWithoutDirectory(QString(), tr("New Folder Failed")))
    return;
  QString name;
  while (_askName(tr("New Folder"), tr("Enter folder name"), tr("Create"), QString(), &name)) {
    QDir dir(_currentDirectory());
    if (!dir.mkdir(name)) {
      _pendingName = name;
      if (dir.exists(name))
        _fail(tr("Rename Failed"), tr("An item with the name \"%1\" already exists").arg(name));
      else
        _fail(QString(), tr("New Folder Failed"));
      continue;
    }
    _pendingName.clear();
    QFile marker(_join(dir.filePath(name), QStringLiteral(".folder")));
    if (!marker.open(QIODevice::WriteOnly)) {
      _fail(QString(), tr("Create new folder exception occurs"));
      return;
    }
    marker.close();
    _reloadLaterSelecting(name);
    return;
  }
}

void ProjectsListWidget::onRenameActionTriggered()
{
  _renameItem(currentRow());
}

void ProjectsListWidget::_renameItem(int r)
{
  if (_busy || r <= 0 || r >= _records.size())
    return;
  const QString oldName = _records[r].name();
  if (_refuseOpenItem(oldName, tr("Rename Failed")))
    return;
  QString name;
  while (_askName(tr("Rename Item"), tr("Enter item name"), tr("Rename"), oldName, &name)) {
    if (_refuseWithoutDirectory(QString(), tr("Rename failed")))
      return;
    QDir dir(_currentDirectory());
    if (name == oldName) {
      _pendingName.clear();
      return;
    }
    if (dir.rename(oldName, name)) {
      _pendingName.clear();
      _reloadLaterSelecting(name);
      return;
    }
    _pendingName = name;
    if (dir.exists(name))
      _fail(tr("Rename Failed"), tr("An item with the name \"%1\" already exists").arg(name));
    else
      _fail(QString(), tr("Rename failed"));
  }
}

void ProjectsListWidget::onDuplicateActionTriggered()
{
  _duplicateProject(currentRow());
}

void ProjectsListWidget::_duplicateProject(int r)
{
  if (_busy || r <= 0 || r >= _records.size() || _records[r].folder)
    return;
  if (_refuseWithoutDirectory(QString(), tr("Failed to duplicate movie")))
    return;
  const QString source = _records[r].fileInfo.absoluteFilePath();
  QString name;
  for (;;) {
    if (!_askName(tr("Duplicate Movie"), tr("Enter movie name"), tr("Duplicate"), _duplicateName(_records[r].name()),
                  &name))
      return;
    if (!QDir(_currentDirectory()).exists(name))
      break;
    _pendingName = name;
    _fail(tr("Wrong Name"), tr("The named movie already exists"));
  }
  const QString target = ProjectManager::projectDirectory(name, _currentFolder);
  if (!QDir().mkpath(target)) {
    _pendingName.clear();
    return;
  }
  emit issueShowWaitingHUD(QString());
  removeAction(_removeAction);
  auto *copier = new DirCopier(nullptr, source, target);
  if (!_waitFor(copier))
    return;
  const bool ok = copier->result();
  delete copier;
  if (ok) {
    // The copy of a sample is an ordinary project of the user.
    QFile::remove(_join(target, QStringLiteral("example.dat")));
    _reloadLaterSelecting(name);
  } else {
    _fail(QString(), tr("Failed to duplicate movie"));
  }
  emit issueHideWaitingHUD();
  addAction(_removeAction);
  _pendingName.clear();
}

bool ProjectsListWidget::_waitFor(QThread *job)
{
  // Nothing else may change the disk while the job runs, and the list may be gone after it.
  QPointer<ProjectsListWidget> self(this);
  _busy = true;
  QEventLoop loop;
  connect(job, &QThread::finished, &loop, &QEventLoop::quit);
  job->start();
  loop.exec();
  job->wait();
  if (!self) {
    delete job;
    return false;
  }
  _busy = false;
  return true;
}

void ProjectsListWidget::onDeleteActionTriggered()
{
  const int r = currentRow();
  if (r <= 0 || r >= _records.size())
    return;
  _removeItems({_records[r].name()}, false);
}

void ProjectsListWidget::deleteSelectedItems()
{
  if (!_selectedNames.isEmpty())
    _removeItems(_selectedNames, true);
}

void ProjectsListWidget::_removeItems(const QStringList &names, bool selection)
{
  if (_busy)
    return;
  const QString title = selection ? tr("Remove Item(s)") : tr("Remove Item");
  for (const QString &name : names)
    if (_refuseOpenItem(name, title))
      return;
  const QString text = selection ? tr("Do you really want to remove %1 item(s)?").arg(names.size())
                                 : tr("Do you really want to remove item \"%1\"?").arg(names.first());
  if (!BrowserDialogs::question(this, QMessageBox::Warning, title, text, tr("Remove")))
    return;
  QStringList removed;
  for (const QString &name : names) {
    // An empty path would name the process's current folder.
    const QString path = ProjectManager::projectDirectory(name, _currentFolder);
    if (path.isEmpty() || !_removeItem(path))
      break;
    removed << name;
  }
  if (!removed.isEmpty()) {
    QTimer::singleShot(200, this, [this, removed] {
      _reloadKeepingScroll();
      for (const QString &name : removed)
        _selectedNames.removeAll(name);
      emit editSelectionChanged(_selectedNames.size());
    });
  }
  if (removed.size() < names.size())
    _fail(QString(), tr("Failed to remove the item(s)"));
}

void ProjectsListWidget::copySelectedItemsToFolder(QString folder)
{
  _copyOrMoveItems(folder, true);
}

void ProjectsListWidget::moveSelectedItemsToFolder(QString folder)
{
  _copyOrMoveItems(folder, false);
}

void ProjectsListWidget::_copyOrMoveItems(const QString &folder, bool copy)
{
  if (_busy)
    return;
  const QString failure = copy ? tr("Failed to duplicate movie") : tr("Failed to move movie");
  const QString projects = ProjectManager::projectsDirectory();
  if (_currentDirectory().isEmpty() || projects.isEmpty()) {
    _fail(QString(), failure);
    return;
  }
  if (!copy)
    for (const QString &name : qAsConst(_selectedNames))
      if (_refuseOpenItem(name, tr("Move Failed")))
        return;
  // A destination popup answer that is no folder of the root would lead out of the projects.
  QString checked;
  if (!folder.isEmpty() && (!BrowserDialogs::checkedName(folder, &checked) || checked != folder)) {
    _fail(QString(), failure);
    return;
  }
  const QString destination = folder.isEmpty() ? projects : _join(projects, folder);
  QStringList sources;
  // Copies: the records may be reloaded while the job runs.
  QList<ProjectListItem> folders;
  for (const ProjectListItem &record : qAsConst(_records)) {
    if (record.isPlaceholder() || !_selectedNames.contains(record.name()))
      continue;
    if (!record.folder) {
      sources << record.fileInfo.absoluteFilePath();
      continue;
    }
    folders << record;
    for (const ProjectListItem &child : record.children)
      if (!child.isPlaceholder())
        sources << child.fileInfo.absoluteFilePath();
  }
  const QString text = copy ? tr("Copying items...") : tr("Moving items...");
  emit issueShowProgressHUD(text, 0);
  removeAction(_removeAction);
  auto *task = new CopyOrMoveProjectsTask(nullptr, sources, destination, copy);
  connect(task, &CopyOrMoveProjectsTask::progressChanged, this,
          [this, text](float progress) { emit issueShowProgressHUD(text, progress); });
  if (!_waitFor(task))
    return;
  int done = 0;
  const bool ok = task->result(&done);
  delete task;
  emit issueHideProgressHUD();
  addAction(_removeAction);
  if (ok)
    emit issueShowTextMessage(copy ? tr("%1 item(s) copied").arg(done) : tr("%1 item(s) moved").arg(done));
  else
    _fail(QString(), failure);
  if (!copy) {
    for (const ProjectListItem &record : qAsConst(folders)) {
      bool emptied = true;
      for (const ProjectListItem &child : record.children)
        if (!child.isPlaceholder() && QFileInfo::exists(child.fileInfo.absoluteFilePath()))
          emptied = false;
      if (emptied)
        _removeItem(record.fileInfo.absoluteFilePath());
    }
  }
  _selectedNames.clear();
  _reloadKeepingScroll();
  emit editSelectionChanged(0);
}
