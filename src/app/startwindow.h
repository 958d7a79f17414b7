#pragma once

#include <QMainWindow>
#include <QString>

class LeftsideListWidget;
class NativeWebBrowserWidget;
class ProgressHUD;
class ProjectsWidget;
class QAction;
class QNetworkAccessManager;
class QNetworkReply;
class QStackedWidget;
class SettingsWidget;

// The first window of the program; it stays open while the program runs. Navigation between
// the projects, settings and help pages, the File and Help menus, example projects, archive
// drops and the once-per-run check for a newer version.
class StartWindow : public QMainWindow
{
  Q_OBJECT
public:
  explicit StartWindow(QWidget *parent = nullptr);

  // Copies the example projects into "Examples" of the projects directory unless it exists.
  static void installExampleProjects();

  LeftsideListWidget *navigationList() const { return _navigation; }
  QStackedWidget *stackedWidget() const { return _stack; }
  ProjectsWidget *projectsPage() const { return _projectsPage; }
  SettingsWidget *settingsPage() const { return _settingsPage; }
  NativeWebBrowserWidget *helpPage() const { return _helpPage; }
  ProgressHUD *headsUpDisplay() const { return _hud; }

public slots:
  // A project archive handed over by the command line, another instance or the desktop.
  void openFileFromExternal(QString file);
  void showWaitingHUD(QString text);
  void showProgressHUD(QString text, float progress);
  void hideWaitingHUD();
  void hideProgressHUD();
  void showTextMessage(QString text);
  void changeTitle(QString title);
  void showAbout();
  void showUserHelp();
  void feedback();
  void getMobileApp();
  void listsideListWidget_onCurrentRowChanged(int currentRow);
  void settingsWidget_onWorkingDirectoryChanged();
  void onActionNewProjectTriggered();
  void onActionNewFolderTriggered();
  void onActionImportArchiveTriggered();
  void onFileMenuAboutToShow();
  void checkForNewVersion();
  void onNetworkCompleted(QNetworkReply *reply);

protected:
  void changeEvent(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dragMoveEvent(QDragMoveEvent *event) override;
  void dropEvent(QDropEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void _buildForm();
  void _buildMenus();
  void _createProjectsPage();
  void _showHUD(int style, const QString &text);
  void _afterProjectsPageShown(void (ProjectsWidget::*step)());

  LeftsideListWidget *_navigation = nullptr;
  QStackedWidget *_stack = nullptr;
  ProgressHUD *_hud = nullptr;
  ProjectsWidget *_projectsPage = nullptr;
  SettingsWidget *_settingsPage = nullptr;
  NativeWebBrowserWidget *_helpPage = nullptr;
  QAction *_newMovieAction = nullptr;
  QAction *_newFolderAction = nullptr;
  QAction *_importAction = nullptr;
  QString _pendingDrop;
  QNetworkAccessManager *_network = nullptr;
  QString _latestVersion;
  int _checkState = 0;
};
