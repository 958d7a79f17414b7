#pragma once

#include <QRunnable>
#include <QString>

#include <memory>

class LocalFilesWidget;
class TaskGuard;

// Lists one folder of the local files page on the global pool.
class FilesLoadingTask : public QRunnable
{
public:
  FilesLoadingTask(LocalFilesWidget *page, std::shared_ptr<TaskGuard> guard, const QString &dirPath, int generation);
  void run() override;

private:
  LocalFilesWidget *_page = nullptr;
  std::shared_ptr<TaskGuard> _guard;
  QString _dirPath;
  int _generation = 0;
};
