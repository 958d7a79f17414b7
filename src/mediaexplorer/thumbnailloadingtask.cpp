#include "thumbnailloadingtask.h"

#include "localfileswidget.h"
#include "taskguard.h"

ThumbnailLoadingTask::ThumbnailLoadingTask(LocalFilesWidget *page, std::shared_ptr<TaskGuard> guard,
                                           const QFileInfo &fi, int type, int row)
{
  std::lock_guard<std::mutex> lock(TaskGuard::handOverLock());
  _page = page;
  _guard = std::move(guard);
  _path = fi.absoluteFilePath();
  _type = type;
  _row = row;
}

void ThumbnailLoadingTask::run()
{
  { std::lock_guard<std::mutex> lock(TaskGuard::handOverLock()); }
  if (!_guard->enter())
    return;
  _page->_loadThumbnail(QFileInfo(_path), _type, _row);
  _guard->leave();
}
