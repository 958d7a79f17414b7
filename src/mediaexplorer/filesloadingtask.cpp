#include "filesloadingtask.h"

#include "localfileswidget.h"
#include "taskguard.h"

FilesLoadingTask::FilesLoadingTask(LocalFilesWidget *page, std::shared_ptr<TaskGuard> guard, const QString &dirPath,
                                   int generation)
{
  std::lock_guard<std::mutex> lock(TaskGuard::handOverLock());
  _page = page;
  _guard = std::move(guard);
  _dirPath = dirPath;
  _generation = generation;
}

void FilesLoadingTask::run()
{
  { std::lock_guard<std::mutex> lock(TaskGuard::handOverLock()); }
  if (!_guard->enter())
    return;
  _page->_loadFiles(_dirPath, _generation);
  _guard->leave();
}
