#pragma once

#include "popupwidget.h"

#include <QStringList>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Chooses the destination of a copy or move: the root of the projects ("Movies") or one of
// its browser folders; can also make a new folder at the root. Laid over the whole window.
class ProjectFoldersPopup : public PopupWidget
{
  Q_OBJECT
public:
  ProjectFoldersPopup(QWidget *parent, int mode, const QString &currentFolder);

  int mode() const { return _mode; }
  QString currentFolder() const { return _currentFolder; }
  QStringList folderNames() const { return _folderNames; }

  QWidget *mainWidget() const { return _mainWidget; }
  QLabel *titleLabel() const { return _titleLabel; }
  QListWidget *listWidget() const { return _listWidget; }
  QPushButton *backButton() const { return _backButton; }
  QPushButton *cancelButton() const { return _cancelButton; }
  QPushButton *newFolderButton() const { return _newFolderButton; }
  QPushButton *operationButton() const { return _operationButton; }

  void refreshFolderList();

signals:
  void didCancel();
  void didSelectFolder(QString folder);

public slots:
  void onFolderItemClicked(QListWidgetItem *item);
  void on_backButton_clicked();
  void on_cancelButton_clicked();
  void on_newFolderButton_clicked();
  void on_operationButton_clicked();

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void _buildForm();
  void _createFolder();
  QString _directory() const;

  int _mode;
  QString _currentFolder;
  QString _pendingName;
  QStringList _folderNames;

  QWidget *_mainWidget = nullptr;
  QWidget *_titleBar = nullptr;
  QPushButton *_backButton = nullptr;
  QLabel *_titleLabel = nullptr;
  QPushButton *_cancelButton = nullptr;
  QListWidget *_listWidget = nullptr;
  QWidget *_bottomBar = nullptr;
  QPushButton *_newFolderButton = nullptr;
  QPushButton *_operationButton = nullptr;
};
