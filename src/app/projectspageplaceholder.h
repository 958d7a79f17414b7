#pragma once

#include <QWidget>

// Stands in for the projects browser page until it lands: the same signals and operations the
// start window uses, an empty page titled "Movies", and the archive import question.
class ProjectsPagePlaceholder : public QWidget
{
  Q_OBJECT
public:
  explicit ProjectsPagePlaceholder(QWidget *parent = nullptr);

  QString title() const { return tr("Movies"); }
  bool isInFolder() const { return false; }
  void newMovieFromMenu() {}
  void newFolderFromMenu() {}
  void importFromMenu() {}
  void reloadList() {}
  void returnToRoot() {}
  void importProjectArchivePrompt(const QString &path);

signals:
  void titleChanged(QString title);
  void issueShowWaitingHUD(QString text);
  void issueHideWaitingHUD();
  void issueShowProgressHUD(QString text, float progress);
  void issueHideProgressHUD();
  void issueShowTextMessage(QString text);
  void workingDirectoryChanged();
};
