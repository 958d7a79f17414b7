#include "startwindow.h"

#include "endpoints.h"
#include "leftsidelistwidget.h"
#include "nativewebbrowserwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "projectswidget.h"
#include "settingswidget.h"
#include "usersettings.h"
#include "util.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHostInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>
#include <QVBoxLayout>

StartWindow::StartWindow(QWidget *parent) : QMainWindow(parent)
{
  _buildForm();

  _navigation->setStyleSheet("QListWidget { background-color: rgb(44,46,50); color:white; border:0; }");
  _navigation->setDisplayStyle(0);
  _navigation->setIconSize(75);
  const struct
  {
    QString text;
    const char *icon;
  } rows[] = {{tr("Movies"), ":/images/leftside_logo"},
              {tr("Settings"), ":/images/leftside_settings"},
              {tr("Help"), ":/images/leftside_help_support"}};
  for (const auto &row : rows) {
    auto *item = new QListWidgetItem(QIcon(row.icon), row.text, _navigation);
    item->setSizeHint(QSize(75, 75));
  }
  _navigation->setCurrentRow(0);
  connect(_navigation, &QListWidget::currentRowChanged, this, &StartWindow::listsideListWidget_onCurrentRowChanged);

  ProjectManager::setWorkingDirectory(UserSettings::instance()->workingDir());
  installExampleProjects();
  _createProjectsPage();
  statusBar()->hide();

  _buildMenus();
  qApp->installEventFilter(this);
  setAcceptDrops(true);
}

void StartWindow::_buildForm()
{
  setObjectName("StartWindow");
  resize(800, 600);
  setWindowTitle(tr("MainWindow"));
  auto *central = new QWidget(this);
  central->setObjectName("centralwidget");
  auto *layout = new QHBoxLayout(central);
  layout->setObjectName("horizontalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);
  auto *leftside = new QWidget(central);
  leftside->setObjectName("leftsideWidget");
  leftside->setFixedWidth(100);
  leftside->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  leftside->setStyleSheet("background-color: rgb(0, 0, 0);");
  auto *leftLayout = new QVBoxLayout(leftside);
  leftLayout->setObjectName("verticalLayout");
  leftLayout->setContentsMargins(0, 0, 0, 0);
  _navigation = new LeftsideListWidget(leftside);
  _navigation->setObjectName("leftsideListWidget");
  _navigation->setFocusPolicy(Qt::NoFocus);
  _navigation->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _navigation->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  leftLayout->addWidget(_navigation);
  layout->addWidget(leftside);
  _stack = new QStackedWidget(central);
  _stack->setObjectName("stackedWidget");
  layout->addWidget(_stack);
  setCentralWidget(central);
  auto *bar = new QMenuBar(this);
  bar->setObjectName("menubar");
  bar->setGeometry(0, 0, 800, 24);
  setMenuBar(bar);
  auto *status = new QStatusBar(this);
  status->setObjectName("statusbar");
  setStatusBar(status);
}

void StartWindow::_buildMenus()
{
  _newMovieAction = new QAction(tr("New Movie..."), this);
  _newMovieAction->setShortcut(QKeySequence::New);
  _newFolderAction = new QAction(tr("New Folder..."), this);
  _importAction = new QAction(tr("Import..."), this);
  connect(_newMovieAction, &QAction::triggered, this, &StartWindow::onActionNewProjectTriggered);
  connect(_newFolderAction, &QAction::triggered, this, &StartWindow::onActionNewFolderTriggered);
  connect(_importAction, &QAction::triggered, this, &StartWindow::onActionImportArchiveTriggered);
  addAction(_newMovieAction);
  addAction(_importAction);

  QMenuBar *bar = menuBar();
  Util::applyMenuBarStyleSheet(bar);
  QMenu *file = bar->addMenu(tr("File"));
  file->setObjectName("fileMenu");
  Util::applyMenuStyleSheet(file);
  file->addAction(_newMovieAction);
  file->addAction(_newFolderAction);
  file->addSeparator();
  file->addAction(_importAction);
  file->addSeparator();
  QAction *close = file->addAction(tr("Close"), this, &QWidget::close);
  close->setShortcuts(QKeySequence::Close);
  connect(file, &QMenu::aboutToShow, this, &StartWindow::onFileMenuAboutToShow);

  QMenu *help = bar->addMenu(tr("Help"));
  help->setObjectName("helpMenu");
  Util::applyMenuStyleSheet(help);
  help->addAction(tr("Tavo REN Help"), this, &StartWindow::showUserHelp);
  help->addAction(tr("Get Tavo REN on Smartphones"), this, &StartWindow::getMobileApp);
  help->addSeparator();
  help->addAction(tr("Feedback..."), this, &StartWindow::feedback);
  help->addSeparator();
  QAction *about = help->addAction(tr("About Tavo REN"), this, &StartWindow::showAbout);
  about->setMenuRole(QAction::AboutRole);
}

void StartWindow::_createProjectsPage()
{
  if (_projectsPage)
    return;
  _projectsPage = new ProjectsWidget(_stack);
  _stack->addWidget(_projectsPage);
  connect(_projectsPage, &ProjectsWidget::issueShowWaitingHUD, this, &StartWindow::showWaitingHUD);
  connect(_projectsPage, &ProjectsWidget::issueHideWaitingHUD, this, &StartWindow::hideWaitingHUD);
  connect(_projectsPage, &ProjectsWidget::issueShowProgressHUD, this, &StartWindow::showProgressHUD);
  connect(_projectsPage, &ProjectsWidget::issueHideProgressHUD, this, &StartWindow::hideProgressHUD);
  connect(_projectsPage, &ProjectsWidget::issueShowTextMessage, this, &StartWindow::showTextMessage);
  connect(_projectsPage, &ProjectsWidget::titleChanged, this, &StartWindow::changeTitle);
  connect(_projectsPage, &ProjectsWidget::workingDirectoryChanged, this,
          &StartWindow::settingsWidget_onWorkingDirectoryChanged);
}

void StartWindow::installExampleProjects()
{
  const QString projects = ProjectManager::projectsDirectory();
  // Without a usable working folder the examples would land at the file-system root.
  if (projects.isEmpty())
    return;
  const QString examples = projects + QDir::separator() + "Examples";
  if (QFileInfo::exists(examples))
    return;
  Util::copyDirRecursively(":/examples", examples, true);
  QFile marker(examples + "/.folder");
  marker.open(QIODevice::WriteOnly);
}

void StartWindow::openFileFromExternal(QString file)
{
  if (QFileInfo(file).completeSuffix() != QLatin1String("tavorenproject"))
    return;
  qDebug().noquote() << "StartWindow import project archive" << file;
  _projectsPage->importProjectArchivePrompt(file);
}

void StartWindow::_showHUD(int style, const QString &text)
{
  if (!_hud) {
    _hud = new ProgressHUD(this, style);
    _hud->setGeometry(0, 0, width(), height());
    _hud->show();
  }
  _hud->setText(text);
}

void StartWindow::showWaitingHUD(QString text)
{
  _showHUD(ProgressHUDStyleSpinner, text);
}

void StartWindow::showProgressHUD(QString text, float progress)
{
  _showHUD(ProgressHUDStyleProgress, text);
  _hud->setProgress(progress);
}

void StartWindow::hideWaitingHUD()
{
  if (!_hud)
    return;
  _hud->hide();
  _hud->close();
  delete _hud;
  _hud = nullptr;
}

void StartWindow::hideProgressHUD()
{
  hideWaitingHUD();
}

void StartWindow::showTextMessage(QString text)
{
  ProgressHUD::showTextMessage(text, this, 2000);
}

void StartWindow::changeTitle(QString title)
{
  if (!title.isEmpty())
    setWindowTitle(title);
}

void StartWindow::showAbout()
{
  Util::showAbout(this);
}

void StartWindow::showUserHelp()
{
  _navigation->setCurrentRow(2);
}

void StartWindow::feedback()
{
  QString body = QStringLiteral("How do you think about Tavo REN? What features do you want to see in the next version "
                                "of Tavo REN? Or do you want to report a bug? All about Tavo REN, please tell "
                                "us.\n\n\n\n\n\n\n\n<From Tavo REN v%1 on %2 with %3>")
                     .arg(Util::appVersionString(), QHostInfo::localHostName(), QSysInfo::prettyProductName());
  body.replace("\n", "%0A").replace("<", "%3C").replace(">", "%3E");
  QString address = QStringLiteral("mailto:%1?subject=Tavo REN Feedback&body=%2").arg(Endpoints::supportAddress(), body);
  address.replace(" ", "%20");
  qDebug() << "Email url " << address;
  Util::openUrl(address);
}

void StartWindow::getMobileApp()
{
  Util::openUrl(Endpoints::smartphonePage());
}

void StartWindow::listsideListWidget_onCurrentRowChanged(int currentRow)
{
  QString title;
  if (currentRow == 0) {
    _createProjectsPage();
    _stack->setCurrentWidget(_projectsPage);
    title = _projectsPage->title();
  } else if (currentRow == 1) {
    if (!_settingsPage) {
      _settingsPage = new SettingsWidget(_stack);
      _stack->addWidget(_settingsPage);
      connect(_settingsPage, &SettingsWidget::issueShowTextMessage, this, &StartWindow::showTextMessage);
      connect(_settingsPage, &SettingsWidget::workingDirectoryChanged, this,
              &StartWindow::settingsWidget_onWorkingDirectoryChanged);
    }
    _stack->setCurrentWidget(_settingsPage);
    title = _settingsPage->title();
  } else if (currentRow == 2) {
    if (!_helpPage) {
      _helpPage = new NativeWebBrowserWidget(_stack);
      _helpPage->setTitle(tr("Help Center"));
      _stack->addWidget(_helpPage);
      connect(_helpPage, &NativeWebBrowserWidget::titleChanged, this, &StartWindow::changeTitle);
      _helpPage->load(Util::userHelpUrl(QString()));
    }
    _stack->setCurrentWidget(_helpPage);
    title = _helpPage->title();
  }
  changeTitle(title);
}

void StartWindow::settingsWidget_onWorkingDirectoryChanged()
{
  installExampleProjects();
  _projectsPage->returnToRoot();
}

void StartWindow::_afterProjectsPageShown(void (ProjectsWidget::*step)())
{
  _navigation->setCurrentRow(0);
  QTimer::singleShot(200, this, [this, step] { (_projectsPage->*step)(); });
}

void StartWindow::onActionNewProjectTriggered()
{
  if (!isVisible())
    show();
  _afterProjectsPageShown(&ProjectsWidget::newMovieFromMenu);
}

void StartWindow::onActionNewFolderTriggered()
{
  if (!isVisible())
    show();
  _projectsPage->newFolderFromMenu();
}

void StartWindow::onActionImportArchiveTriggered()
{
  _afterProjectsPageShown(&ProjectsWidget::importFromMenu);
}

void StartWindow::onFileMenuAboutToShow()
{
  _newFolderAction->setEnabled(!_projectsPage->isInFolder());
}

void StartWindow::changeEvent(QEvent *event)
{
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow())
    return;
  _projectsPage->reloadList();
  QTimer::singleShot(1000, this, &StartWindow::checkForNewVersion);
}

void StartWindow::closeEvent(QCloseEvent *event)
{
  delete _helpPage;
  _helpPage = nullptr;
  // The stack falls back to another page: the row must follow, or choosing "Help" again
  // would not count as a change and the help page would never come back.
  if (_navigation->currentRow() == 2)
    _navigation->setCurrentRow(0);
  QMainWindow::closeEvent(event);
}

bool StartWindow::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == qApp && event->type() == QEvent::ApplicationActivate && !isVisible())
    show();
  return QMainWindow::eventFilter(watched, event);
}

void StartWindow::dragEnterEvent(QDragEnterEvent *event)
{
  const QMimeData *data = event->mimeData();
  qDebug() << "StartWindow dropEnterEvent" << data->formats() << data->urls();
  _pendingDrop.clear();
  if (!data->hasFormat("text/uri-list") || data->urls().isEmpty())
    return;
  const QUrl first = data->urls().first();
  if (!first.isLocalFile() || QFileInfo(first.toLocalFile()).suffix() != QLatin1String("tavorenproject"))
    return;
  _pendingDrop = first.toLocalFile();
  event->acceptProposedAction();
}

void StartWindow::dragMoveEvent(QDragMoveEvent *event)
{
  event->accept();
}

void StartWindow::dropEvent(QDropEvent *event)
{
  if (_pendingDrop.isEmpty())
    return;
  raise();
  activateWindow();
  _navigation->setCurrentRow(0);
  const QString path = _pendingDrop;
  QTimer::singleShot(200, this, [this, path] { _projectsPage->importProjectArchivePrompt(path); });
  event->accept();
  _pendingDrop.clear();
}
