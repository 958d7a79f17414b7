#include "projectswidget.h"

#include "browserdialogs.h"
#include "desktopmainwindow.h"
#include "editorwindows.h"
#include "popupprojectsettingswidget.h"
#include "projectfolderspopup.h"
#include "projectmanager.h"
#include "projectslistwidget.h"
#include "xmlfile.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QXmlStreamWriter>

namespace {

QPushButton *_toolButton(QWidget *parent, const char *name, const QString &icon, const QString &tip)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setFlat(true);
  button->setToolTip(tip);
  if (!icon.isEmpty()) {
    QIcon both(icon);
    both.addFile(icon + QStringLiteral("_disabled"), QSize(), QIcon::Disabled);
    button->setIcon(both);
  }
  return button;
}

} // namespace

ProjectsWidget::ProjectsWidget(QWidget *parent) : QWidget(parent), _title(tr("Movies"))
{
  _buildForm();
  setStyleSheet(QStringLiteral(
      "#toolsPanelWidget { background: rgb(31,32,35); color: white; border: none; }"
      "#bottomToolbar { background: rgb(44,46,50); color: white; border: none; border-top: 0.5px solid rgb(64,64,64); }"
      "#toolsPanelWidget QPushButton, #bottomToolbar QPushButton { color: white; background: transparent; }"
      "#toolsPanelWidget QPushButton:hover, #bottomToolbar QPushButton:hover { background: rgb(44,46,50);"
      " border-radius: 5px; }"
      "#toolsPanelWidget QPushButton:pressed, #bottomToolbar QPushButton:pressed { background: black;"
      " border-radius: 5px; }"
      "QStatusBar { background: rgb(44,46,50); color: white; }"
      "QToolTip { background: rgb(54,200,255); color: white; padding: 2px; border-radius: 3px; }"));

  ProjectsListWidget *list = _projectsListWidget;
  connect(list, &ProjectsListWidget::projectFolderEntered, this, &ProjectsWidget::onProjectFolderEntered);
  connect(list, &ProjectsListWidget::oneProjectClicked, this, &ProjectsWidget::onProjectClicked);
  connect(list, &ProjectsListWidget::editStateChanged, this, &ProjectsWidget::onEditStateChanged);
  connect(list, &ProjectsListWidget::editSelectionChanged, this, &ProjectsWidget::onEditSelectionChanged);
  connect(list, &ProjectsListWidget::newProjectCreated, this, &ProjectsWidget::onNewProjectCreated);
  connect(list, &ProjectsListWidget::issueShowWaitingHUD, this, &ProjectsWidget::issueShowWaitingHUD);
  connect(list, &ProjectsListWidget::issueHideWaitingHUD, this, &ProjectsWidget::issueHideWaitingHUD);
  connect(list, &ProjectsListWidget::issueShowProgressHUD, this, &ProjectsWidget::issueShowProgressHUD);
  connect(list, &ProjectsListWidget::issueHideProgressHUD, this, &ProjectsWidget::issueHideProgressHUD);
  connect(list, &ProjectsListWidget::issueShowTextMessage, this, &ProjectsWidget::issueShowTextMessage);
  connect(list, &ProjectsListWidget::workingDirectoryChanged, this, &ProjectsWidget::workingDirectoryChanged);
  connect(_backButton, &QPushButton::clicked, list, &ProjectsListWidget::cdUp);
  connect(_importButton, &QPushButton::clicked, list, &ProjectsListWidget::importArchive);
  connect(_editButton, &QPushButton::clicked, list, &ProjectsListWidget::toggleEdit);
  connect(_editNewFolderButton, &QPushButton::clicked, list, &ProjectsListWidget::newFolder);
  connect(_editCopyToButton, &QPushButton::clicked, this, &ProjectsWidget::onEditCopyToButtonClicked);
  connect(_editMoveToButton, &QPushButton::clicked, this, &ProjectsWidget::onEditMoveToButtonClicked);
  connect(_editDeleteButton, &QPushButton::clicked, list, &ProjectsListWidget::deleteSelectedItems);
}

void ProjectsWidget::_buildForm()
{
  resize(809, 469);
  auto *layout = new QVBoxLayout(this);
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);

  _toolsPanelWidget = new QWidget(this);
  _toolsPanelWidget->setObjectName(QStringLiteral("toolsPanelWidget"));
  _toolsPanelWidget->setAttribute(Qt::WA_StyledBackground);
  _toolsPanelWidget->setMinimumHeight(50);
  QFont font = _toolsPanelWidget->font();
  font.setPointSize(font.pointSize() + 1);
  _toolsPanelWidget->setFont(font);
  auto *tools = new QHBoxLayout(_toolsPanelWidget);
  tools->setContentsMargins(tools->contentsMargins().left(), 9, 9, 9);
  _backButton = _toolButton(_toolsPanelWidget, "backButton", QStringLiteral(":/images/navi_back_2"), tr("Back"));
  _backButton->setEnabled(false);
  _backButton->setMinimumWidth(40);
  _backButton->setIconSize(QSize(20, 20));
  _importButton = _toolButton(_toolsPanelWidget, "importButton", QString(), tr("Import project"));
  _importButton->setText(tr("Import..."));
  _editButton = _toolButton(_toolsPanelWidget, "editButton", QString(), QString());
  _editButton->setMinimumWidth(80);
  _editButton->setText(tr("Edit"));
  tools->addWidget(_backButton);
  tools->addStretch();
  tools->addWidget(_importButton);
  tools->addWidget(_editButton);
  layout->addWidget(_toolsPanelWidget);

  _projectsListWidget = new ProjectsListWidget(this);
  _projectsListWidget->setObjectName(QStringLiteral("projectsListWidget"));
  layout->addWidget(_projectsListWidget);

  _bottomToolbar = new QWidget(this);
  _bottomToolbar->setObjectName(QStringLiteral("bottomToolbar"));
  _bottomToolbar->setAttribute(Qt::WA_StyledBackground);
  _bottomToolbar->setMinimumHeight(44);
  auto *bottom = new QHBoxLayout(_bottomToolbar);
  bottom->setContentsMargins(bottom->contentsMargins().left(), 0, bottom->contentsMargins().right(), 0);
  _editNewFolderButton = _toolButton(_bottomToolbar, "editNewFolderButton",
                                     QStringLiteral(":/images/project_tb_new_folder"), tr("Create a new folder"));
  _editCopyToButton = _toolButton(_bottomToolbar, "editCopyToButton", QStringLiteral(":/images/project_tb_copy"),
                                  tr("Copy selected items to folder"));
  _editMoveToButton = _toolButton(_bottomToolbar, "editMoveToButton", QStringLiteral(":/images/project_tb_moveto"),
                                  tr("Move selected items to folder"));
  _editDeleteButton = _toolButton(_bottomToolbar, "editDeleteButton", QStringLiteral(":/images/project_tb_delete"),
                                  tr("Delete selected items"));
  const QList<QPushButton *> buttons = {_editNewFolderButton, _editCopyToButton, _editMoveToButton, _editDeleteButton};
  for (QPushButton *button : buttons) {
    button->setIconSize(QSize(24, 24));
    if (button != _editNewFolderButton)
      bottom->addStretch();
    bottom->addWidget(button);
  }
  _bottomToolbar->hide();
  layout->addWidget(_bottomToolbar);
}

bool ProjectsWidget::isInFolder() const
{
  return _projectsListWidget->isInFolder();
}

void ProjectsWidget::_leaveEditMode()
{
  if (_projectsListWidget->isEditing())
    _projectsListWidget->toggleEdit();
}

void ProjectsWidget::newMovieFromMenu()
{
  _leaveEditMode();
  _projectsListWidget->newProject();
}

void ProjectsWidget::newFolderFromMenu()
{
  _projectsListWidget->newFolder();
}

void ProjectsWidget::importFromMenu()
{
  _leaveEditMode();
  _projectsListWidget->importArchive();
}

void ProjectsWidget::reloadList()
{
  _projectsListWidget->reloadKeepingCurrent();
}

void ProjectsWidget::returnToRoot()
{
  _leaveEditMode();
  if (isInFolder())
    _projectsListWidget->cdUp();
}

void ProjectsWidget::importProjectArchivePrompt(const QString &archivePath)
{
  if (!BrowserDialogs::question(this, QMessageBox::Question, tr("Import Project"),
                                tr("Do you want to import project \"%1\" into Tavo REN?")
                                    .arg(QFileInfo(archivePath).fileName()),
                                tr("Import")))
    return;
  _leaveEditMode();
  _projectsListWidget->importArchiveFile(archivePath);
}

void ProjectsWidget::onProjectClicked(QString name, QString folder, bool damaged)
{
  if (damaged) {
    BrowserDialogs::warning(window(), tr("Open Movie Failed"), tr("This movie is damaged, you cannot open it."));
    return;
  }
  _openProject(name, folder);
}

void ProjectsWidget::_openProject(const QString &name, const QString &folder)
{
  if (MainWindow *open = EditorWindows::openWindow()) {
    if (open->projectName() == name && open->browserFolder() == folder) {
      open->setWindowState((open->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
      open->raise();
      open->activateWindow();
      return;
    }
    BrowserDialogs::warning(this, tr("Open Failed"), tr("This project cannot be opened at this time."));
    return;
  }
  auto *window = new DesktopMainWindow(name, folder);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // The editor writes the cover as it closes: the tile shows it at once, not at the next
  // activation of the start window, which a window manager need not give.
  connect(window, &QObject::destroyed, this, &ProjectsWidget::reloadList, Qt::QueuedConnection);
  window->showMaximized();
}

void ProjectsWidget::onNewProjectCreated(QString name, QString folder)
{
  auto *popup = new PopupProjectSettingsWidget(window());
  _projectSettingsPopup = popup;
  _newProjectName = name;
  _newProjectFolder = folder;
  connect(popup, &CommonPopup::dismissed, this, &ProjectsWidget::popup_onDismissed);
  connect(popup, &PopupProjectSettingsWidget::popupProjectSettingsWidgetDidFinish, this,
          &ProjectsWidget::projectSettingsPopup_onDidFinish);
  popup->showPopupWithSettings(window(), nullptr, 0, 1, true, 30.0f, false, QColor::fromRgba(0xff000000));
}

void ProjectsWidget::popup_onDismissed(CommonPopup *popup)
{
  if (popup == _projectSettingsPopup)
    _projectSettingsPopup = nullptr;
}

void ProjectsWidget::projectSettingsPopup_onDidFinish(PopupProjectSettingsWidget *settingsWidget)
{
  const int resolution = settingsWidget->resolution();
  const int direction = settingsWidget->direction();
  const int fixCoverImage = settingsWidget->fixCoverImage();
  const float frameRate = settingsWidget->frameRate();
  const QColor background = settingsWidget->backgroundColor();
  settingsWidget->dismiss();
  const QString name = _newProjectName;
  const QString folder = _newProjectFolder;
  const int saved = saveXmlFile(
      ProjectManager::propertiesFilePath(name, folder), true,
      [&](QXmlStreamWriter &writer) {
        writer.writeEmptyElement(QStringLiteral("Properties"));
        writer.writeAttribute(QStringLiteral("version"), QString::number(5.0, 'g', 6));
        writer.writeAttribute(QStringLiteral("direction"), QString::number(direction));
        writer.writeAttribute(QStringLiteral("resolution"), QString::number(resolution));
        writer.writeAttribute(QStringLiteral("frameRate"), QString::number(frameRate, 'g', 6));
        writer.writeAttribute(QStringLiteral("fixCoverImage"), QString::number(fixCoverImage));
        writer.writeAttribute(QStringLiteral("backgroundColor"), background.name(QColor::HexArgb));
        return true;
      },
      "Cannot write the new project's properties");
  if (saved != 0) {
    emit issueShowTextMessage(tr("Failed to open project file"));
    return;
  }
  QTimer::singleShot(200, this, [this, name, folder] { _openProject(name, folder); });
}

void ProjectsWidget::onEditStateChanged(bool editing)
{
  _backButton->setVisible(!editing);
  _importButton->setVisible(!editing);
  _editButton->setText(editing ? tr("Done") : tr("Edit"));
  _bottomToolbar->setVisible(editing);
  if (editing)
    _updateEditButtons(0);
}

void ProjectsWidget::onEditSelectionChanged(int selectedCnt)
{
  _updateEditButtons(selectedCnt);
}

void ProjectsWidget::_updateEditButtons(int selectedCnt)
{
  _editNewFolderButton->setEnabled(!isInFolder());
  _editCopyToButton->setEnabled(selectedCnt >= 1);
  _editMoveToButton->setEnabled(selectedCnt >= 1);
  _editDeleteButton->setEnabled(selectedCnt >= 1);
}

void ProjectsWidget::onProjectFolderEntered(QString folder)
{
  _backButton->setEnabled(!folder.isEmpty());
  _title = folder.isEmpty() ? tr("Movies") : folder;
  emit titleChanged(_title);
}

void ProjectsWidget::onEditCopyToButtonClicked()
{
  _showFoldersPopup(0);
}

void ProjectsWidget::onEditMoveToButtonClicked()
{
  _showFoldersPopup(1);
}

void ProjectsWidget::_showFoldersPopup(int mode)
{
  if (_foldersPopup)
    return;
  QWidget *over = window();
  _foldersPopup = new ProjectFoldersPopup(over, mode, QString());
  _foldersPopup->setGeometry(0, 0, over->width(), over->height());
  connect(_foldersPopup, &ProjectFoldersPopup::didCancel, this, &ProjectsWidget::onProjectFoldersPopupDidCancel);
  connect(_foldersPopup, &ProjectFoldersPopup::didSelectFolder, this,
          &ProjectsWidget::onProjectFoldersPopupDidSelectFolder);
  _foldersPopup->show();
  _foldersPopup->raise();
}

void ProjectsWidget::_closeFoldersPopup()
{
  if (!_foldersPopup)
    return;
  ProjectFoldersPopup *popup = _foldersPopup;
  _foldersPopup = nullptr;
  popup->hide();
  popup->close();
  // The answer comes from inside the popup's own handler.
  popup->deleteLater();
}

void ProjectsWidget::onProjectFoldersPopupDidCancel()
{
  _closeFoldersPopup();
  _projectsListWidget->reloadKeepingCurrent();
}

void ProjectsWidget::onProjectFoldersPopupDidSelectFolder(QString folder)
{
  const int mode = _foldersPopup ? _foldersPopup->mode() : 0;
  _closeFoldersPopup();
  QTimer::singleShot(200, this, [this, mode, folder] {
    if (mode == 1)
      _projectsListWidget->moveSelectedItemsToFolder(folder);
    else
      _projectsListWidget->copySelectedItemsToFolder(folder);
  });
}

void ProjectsWidget::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  emit titleChanged(_title);
}

void ProjectsWidget::changeEvent(QEvent *event)
{
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    _projectsListWidget->reloadKeepingCurrent();
}

void ProjectsWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  if (_projectSettingsPopup)
    _projectSettingsPopup->moveToAnchor(QPoint(0, 0));
}
