#pragma once

#include <QFileInfo>
#include <QRunnable>

#include <memory>

class LocalFilesWidget;
class TaskGuard;

// Makes the thumbnail and metadata of one listed file on the global pool.
class ThumbnailLoadingTask : public QRunnable
{
public:
  // generation: the page's folder count when the task was made.
  ThumbnailLoadingTask(LocalFilesWidget *page, std::shared_ptr<TaskGuard> guard, const QFileInfo &fi, int type, int row,
                       int generation);
  void run() override;

private:
  LocalFilesWidget *_page = nullptr;
  std::shared_ptr<TaskGuard> _guard;
  // A path, not the page's QFileInfo: its lazily filled cache is shared between copies.
  QString _path;
  int _type = 0;
  int _row = 0;
  int _generation = 0;
};
