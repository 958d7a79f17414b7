#pragma once
// The Movies page of the start window: the projects list framed by its tool bars, the
// destination popup for copy and move, the settings of a new project, and the editor
// window a project opens in.

#include "popupprojectsettingswidget.h"
#include "projectfolderspopup.h"

#include <QPointer>
#include <QWidget>

class ProjectsListWidget;
class QPushButton;

class ProjectsWidget : public QWidget
{
  Q_OBJECT
public:
  explicit ProjectsWidget(QWidget *parent = nullptr);

  QString title() const { return _title; }
  bool isInFolder() const;
  void newMovieFromMenu();
  void newFolderFromMenu();
  void importFromMenu();
  void importProjectArchivePrompt(const QString &archivePath);
  void reloadList();
  void returnToRoot();

  ProjectsListWidget *projectsListWidget() const { return _projectsListWidget; }
  QWidget *toolsPanelWidget() const { return _toolsPanelWidget; }
  QWidget *bottomToolbar() const { return _bottomToolbar; }
  QPushButton *backButton() const { return _backButton; }
  QPushButton *importButton() const { return _importButton; }
  QPushButton *editButton() const { return _editButton; }
  QPushButton *editNewFolderButton() const { return _editNewFolderButton; }
  QPushButton *editCopyToButton() const { return _editCopyToButton; }
  QPushButton *editMoveToButton() const { return _editMoveToButton; }
  QPushButton *editDeleteButton() const { return _editDeleteButton; }
  ProjectFoldersPopup *foldersPopup() const { return _foldersPopup; }
  PopupProjectSettingsWidget *projectSettingsPopup() const { return _projectSettingsPopup; }

signals:
  void titleChanged(QString title);
  void issueShowWaitingHUD(QString text);
  void issueHideWaitingHUD();
  void issueShowProgressHUD(QString text, float progress);
  void issueHideProgressHUD();
  void issueShowTextMessage(QString text);
  void workingDirectoryChanged();

public slots:
  void onProjectFolderEntered(QString folder);
  void onProjectClicked(QString name, QString folder, bool damaged);
  void onEditStateChanged(bool editing);
  void onEditSelectionChanged(int selectedCnt);
  void onNewProjectCreated(QString name, QString folder);
  void onEditMoveToButtonClicked();
  void onEditCopyToButtonClicked();
  void onProjectFoldersPopupDidCancel();
  void onProjectFoldersPopupDidSelectFolder(QString folder);
  void popup_onDismissed(CommonPopup *popup);
  void projectSettingsPopup_onDidFinish(PopupProjectSettingsWidget *settingsWidget);

protected:
  void showEvent(QShowEvent *event) override;
  void changeEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _openProject(const QString &name, const QString &folder);
  void _showFoldersPopup(int mode);
  void _closeFoldersPopup();
  void _updateEditButtons(int selectedCnt);
  void _leaveEditMode();

  QString _title;
  QPointer<ProjectFoldersPopup> _foldersPopup;
  QPointer<PopupProjectSettingsWidget> _projectSettingsPopup;
  QString _newProjectName;
  QString _newProjectFolder;

  QWidget *_toolsPanelWidget = nullptr;
  QPushButton *_backButton = nullptr;
  QPushButton *_importButton = nullptr;
  QPushButton *_editButton = nullptr;
  ProjectsListWidget *_projectsListWidget = nullptr;
  QWidget *_bottomToolbar = nullptr;
  QPushButton *_editNewFolderButton = nullptr;
  QPushButton *_editCopyToButton = nullptr;
  QPushButton *_editMoveToButton = nullptr;
  QPushButton *_editDeleteButton = nullptr;
};
