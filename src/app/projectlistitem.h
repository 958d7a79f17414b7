#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QPixmap>
#include <QString>

// One tile of the projects list: a project, a browser folder with its own listing, or the
// new-movie placeholder (empty file info). Pixmaps stay empty until the tile is painted.
struct ProjectListItem
{
  QFileInfo fileInfo;
  bool damaged = false;
  bool folder = false;
  QList<ProjectListItem> children;
  QDateTime time;
  QPixmap thumbnail;
  QString thumbnailPath;
  QPixmap subThumbnails[4];
  QString subThumbnailPaths[4];

  QString name() const { return fileInfo.fileName(); }
  bool isPlaceholder() const { return fileInfo.filePath().isEmpty(); }
};
