// ProjectsListWidget: the item menu, and project archive export and import.
#include "projectslistwidget.h"

#include "archiveexporter.h"
#include "archiveimporter.h"
#include "browserdialogs.h"
#include "dialogprovider.h"
#include "projectslistwidgetitemdelegate.h"
#include "util.h"

#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QWidgetAction>

void ProjectsListWidget::_createActions()
{
  const auto make = [this](const QString &text, const char *icon, const QString &tip, void (ProjectsListWidget::*slot)()) {
    auto *action = new QAction(QIcon(QString::fromLatin1(icon)), text, this);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, slot, Qt::QueuedConnection);
    return action;
  };
  _removeAction = make(tr("Remove"), ":/images/project_edit_delete", tr("Delete current movie project"),
                       &ProjectsListWidget::onDeleteActionTriggered);
  _renameAction = make(tr("Rename"), ":/images/project_edit_rename", tr("Rename current movie project"),
                       &ProjectsListWidget::onRenameActionTriggered);
  _duplicateAction = make(tr("Duplicate"), ":/images/project_edit_copy", tr("Duplicate current movie project"),
                          &ProjectsListWidget::onDuplicateActionTriggered);
  _archiveAction = make(tr("Archive"), ":/images/project_edit_archive", tr("Archive current movie project"),
                        &ProjectsListWidget::onArchiveActionTriggered);
}

void ProjectsListWidget::onCustomContextMenuRequested(QPoint pos)
{
  const int r = row(itemAt(pos));
  if (r > 0)
    _showItemMenu(r, pos);
}

void ProjectsListWidget::onProjectMenuClicked(QModelIndex index, QPoint pos)
{
  if (index.isValid())
    _showItemMenu(index.row(), pos);
}

void ProjectsListWidget::_showItemMenu(int r, const QPoint &pos)
{
  if (_busy || r <= 0 || r >= _records.size())
    return;
  const ProjectListItem record = _records[r];
  QListWidgetItem *tile = item(r);
  tile->setData(ProjectMenuOpenRole, true);
  auto *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  auto *header = new QLabel(QStringLiteral("<font color=\"#36c8ff\"><i>%1</i></font>").arg(record.name().toHtmlEscaped()));
  header->setAlignment(Qt::AlignCenter);
  header->setFixedHeight(30);
  auto *headerAction = new QWidgetAction(menu);
  headerAction->setDefaultWidget(header);
  menu->addAction(headerAction);
  menu->addAction(_removeAction);
  menu->addAction(_renameAction);
  if (!record.folder)
    menu->addAction(_duplicateAction);
  if (!record.folder && !record.damaged)
    menu->addAction(_archiveAction);

  // The menu's own trigger is held back, so the chosen action fires once whoever ran it.
  const QList<QAction *> actions = {_removeAction, _renameAction, _duplicateAction, _archiveAction};
  for (QAction *action : actions)
    action->blockSignals(true);
  QPointer<ProjectsListWidget> self(this);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, viewport()->mapToGlobal(pos));
  if (!self)
    return;
  for (QAction *action : actions)
    action->blockSignals(false);
  delete menu;
  if (QListWidgetItem *still = item(r))
    still->setData(ProjectMenuOpenRole, false);
  if (chosen && chosen != headerAction)
    chosen->trigger();
}

void ProjectsListWidget::onArchiveActionTriggered()
{
  const int r = currentRow();
  if (_busy || r <= 0 || r >= _records.size() || _records[r].folder || _records[r].damaged)
    return;
  const QString name = _records[r].name();
  // An archive of the open project could catch a file half saved.
  if (_refuseOpenItem(name, tr("Archive Project Failed")))
    return;
  const QString directory = DialogProvider::instance()->getExistingDirectory(
      this, tr("Select an output directory"), QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
      QFileDialog::ShowDirsOnly);
  if (directory.isEmpty())
    return;
  auto *exporter = new ArchiveExporter(name, _currentFolder, directory, this);
  connect(exporter, &ArchiveExporter::onMessage, this, &ProjectsListWidget::onArchiveExporterMessage);
  connect(exporter, &QThread::finished, exporter, &QObject::deleteLater);
  exporter->start();
}

void ProjectsListWidget::importArchive()
{
  if (_busy)
    return;
  const QString path = DialogProvider::instance()->getOpenFileName(
      this, tr("Select an archive to import"), QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
      tr("Tavo REN Project File (*.tavorenproject)"));
  if (!path.isEmpty())
    importArchiveFile(path);
}

void ProjectsListWidget::importArchiveFile(const QString &archivePath)
{
  if (_busy)
    return;
  if (_currentDirectory().isEmpty()) {
    _showArchiveFailure(ImportFolderFailed, QVariant(), true);
    return;
  }
  auto *importer = new ArchiveImporter(archivePath, _currentDirectory(), this);
  connect(importer, &ArchiveImporter::onMessage, this, &ProjectsListWidget::onArchiveImporterMessage);
  connect(importer, &QThread::finished, importer, &QObject::deleteLater);
  importer->start();
}

void ProjectsListWidget::_showArchiveFailure(int message, const QVariant &data, bool import)
{
  emit issueHideProgressHUD();
  if (message == ExportNoSpace) {
    const QString size = Util::formatFileSize(data.toLongLong());
    _fail(tr("Insufficient Space"),
          import ? tr("There's not enough storage space to import this archive. About %1 more space is needed.").arg(size)
                 : tr("There's not enough storage space to archive this project. About %1 more space is needed.")
                       .arg(size));
  } else if (import) {
    _fail(tr("Import Failed"), tr("Import archive error occurs (%1)").arg(message));
  } else {
    _fail(tr("Archive Project Failed"), tr("Archive project error occurs (%1)").arg(message));
  }
}

void ProjectsListWidget::onArchiveExporterMessage(ArchiveExporter *, int message, QVariant data)
{
  switch (message) {
  case ExportStarted:
    emit issueShowProgressHUD(tr("Archiving project..."), 0);
    break;
  case ExportProgress:
    emit issueShowProgressHUD(tr("Archiving project..."), data.toInt() / 100.0f);
    break;
  case ExportCreateFailed:
  case ExportProjectUnreadable:
  case ExportNoSpace:
  case ExportFileFailed:
  case ExportProjectXmlFailed:
    _showArchiveFailure(message, data, false);
    break;
  case ExportCancelled:
    emit issueHideProgressHUD();
    break;
  case ExportFinished:
    emit issueHideProgressHUD();
    emit issueShowTextMessage(tr("Archive Project Completed"));
    Util::showFileInExplorer(data.toString());
    break;
  default:
    break;
  }
}

void ProjectsListWidget::onArchiveImporterMessage(ArchiveImporter *, int message, QVariant data)
{
  switch (message) {
  case ImportStarted:
    emit issueShowProgressHUD(tr("Importing archive..."), 0);
    break;
  case ImportProgress:
    emit issueShowProgressHUD(tr("Importing archive..."), data.toInt() / 100.0f);
    break;
  case ImportArchiveMissing:
  case ImportNoSpace:
  case ImportOpenFailed:
  case ImportBadMagic:
  case ImportHigherVersion:
  case ImportBadName:
  case ImportFolderFailed:
  case ImportDamaged:
    _showArchiveFailure(message, data, true);
    break;
  case ImportCancelled:
    emit issueHideProgressHUD();
    break;
  case ImportFinished:
    emit issueHideProgressHUD();
    emit issueShowTextMessage(tr("Import Completed"));
    _reload();
    setCurrentRow(0);
    scrollToItem(item(0));
    break;
  default:
    break;
  }
}
