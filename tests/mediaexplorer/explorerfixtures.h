#pragma once
// Media folders for the explorer's tests: generated files, a page on a folder and the wait
// for its listing.

#include "localfileslistwidget.h"
#include "localfileswidget.h"
#include "mediafixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace ExplorerFixtures {

// An MP3 tone through the FFmpeg command line (our fixtures have no MP3 writer), with a
// JPEG cover of the given colour as its attached picture when the colour is valid.
inline bool writeMp3(const QString &path, double seconds, const QColor &cover = QColor())
{
  QStringList args = {"-hide_banner", "-y", "-loglevel", "error", "-f", "lavfi", "-i",
                      QString("sine=frequency=440:duration=%1").arg(seconds)};
  if (cover.isValid())
    args << "-f" << "lavfi" << "-i" << QString("color=c=0x%1:s=64x48:d=1").arg(cover.name().mid(1)) << "-map"
         << "0:a" << "-map" << "1:v" << "-frames:v" << "1" << "-c:v" << "mjpeg" << "-disposition:v:0"
         << "attached_pic";
  args << "-c:a" << "libmp3lame" << "-id3v2_version" << "3" << path;
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", args);
  return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 && QFile::exists(path);
}

// A small picture of one colour.
inline bool writePlainPicture(const QString &path, int width, int height, const QColor &color)
{
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image.save(path);
}

// Gives a file a modification time some seconds from now (and so a new one).
inline bool touch(const QString &path, int secondsFromNow)
{
  QFile file(path);
  return file.open(QIODevice::ReadWrite) &&
         file.setFileTime(QDateTime::currentDateTime().addSecs(secondsFromNow), QFileDevice::FileModificationTime);
}

// A local files page on a folder with its own "media.config", shown at the given size.
// The page reports from pool threads; the counters here are queued behind the page's own
// slots, so once one counts, the page has applied what it counts.
struct Page
{
  QSettings settings;
  std::unique_ptr<LocalFilesWidget> page;
  int listings = 0;
  int tasks = 0;
  QList<QVariantList> thumbnails; // pixmap, QFileInfo, row, metadata

  Page(const QString &folder, const QString &configPath, QSize size = QSize(800, 600))
    : settings(configPath, QSettings::IniFormat)
  {
    page.reset(new LocalFilesWidget(folder, &settings, nullptr));
    QObject::connect(page.get(), &LocalFilesWidget::finishLoadingFiles, page.get(), [this](bool fromThread) {
      if (fromThread)
        ++listings;
    }, Qt::QueuedConnection);
    QObject::connect(page.get(), &LocalFilesWidget::beginLoadingThumbnail, page.get(), [this]() { ++tasks; },
                     Qt::QueuedConnection);
    QObject::connect(page.get(), &LocalFilesWidget::finishLoadingThumbnail, page.get(),
                     [this](QPixmap pixmap, QFileInfo fi, int row, QString metadata) {
                       thumbnails.append({pixmap, QVariant::fromValue(fi), row, metadata});
                     },
                     Qt::QueuedConnection);
    page->resize(size);
    page->show();
  }

  LocalFilesListWidget *list() const { return page->listWidget(); }

  bool waitListed(int count = 1, int timeoutMs = 15000)
  {
    return QTest::qWaitFor([this, count]() { return listings >= count; }, timeoutMs);
  }
  bool waitThumbnails(int count, int timeoutMs = 30000)
  {
    return QTest::qWaitFor([this, count]() { return thumbnails.size() >= count; }, timeoutMs);
  }

  // The thumbnail result of a file, by its name.
  QVariantList thumbnailOf(const QString &name) const
  {
    for (const QVariantList &t : thumbnails)
      if (t.at(1).value<QFileInfo>().fileName() == name)
        return t;
    return {};
  }

  QStringList names() const
  {
    QStringList texts;
    for (int i = 0; i < list()->count(); ++i)
      texts << list()->item(i)->text();
    return texts;
  }

  QListWidgetItem *item(const QString &name) const
  {
    for (int i = 0; i < list()->count(); ++i)
      if (list()->item(i)->text() == name)
        return list()->item(i);
    return nullptr;
  }
};

} // namespace ExplorerFixtures
