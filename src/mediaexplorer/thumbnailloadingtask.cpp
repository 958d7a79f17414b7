#include "thumbnailloadingtask.h"

#include "localfileswidget.h"
#include "taskguard.h"

ThumbnailLoadingTask::ThumbnailLoadingTask(LocalFilesWidget *page, std::shared_ptr<TaskGuard> guard,
                                           const QFileInfo &fi, int type, int row, int generation)
{
  std::lock_guard<std::mutex> lock(TaskGuard::handOverLock());
  _page = page;
  _guard = std::move(guard);
  _path = fi.absoluteFilePath();
  _type = type;
  _row = row;
  _generation = generation;
}

void ThumbnailLoadingTask::run()
{
  { std::lock_guard<std::mutex> lock(TaskGuard::handOverLock()); }
  if (!_guard->enter())
    return;
  // The page goes or browses another folder: the reads break off. Inside the guard the page
  // lives, so its folder count can be read.
  const auto cancelled = [this] { return _guard->isCancelled() || _page->_thumbnailGeneration != _generation; };
  if (!cancelled())
    _page->_loadThumbnail(QFileInfo(_path), _type, _row, cancelled);
  _guard->leave();
}
