#pragma once
// The GIF service played by a loopback server: scripted list pages, random ids and small
// animated GIFs, and a GIF page pointed at it.

#include "giphygifswidget.h"
#include "loopbackhttpserver.h"
#include "mediafixtures.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace GiphyFixtures {

// Frame delays of the served GIFs, 0.6 s in all.
inline QVector<int> gifDelays()
{
  return {100, 200, 300};
}

inline QByteArray gifBytes(int side)
{
  QTemporaryDir dir;
  const QString path = dir.filePath("g.gif");
  if (!MediaFixtures::writeAnimatedGif(path, side, side, gifDelays()))
    return QByteArray();
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

// One GIF of a list reply, its renditions on the server under /media/.
inline QJsonObject gifJson(const LoopbackHttpServer &server, const QString &id, bool withOriginal = true)
{
  QJsonObject images;
  images.insert("fixed_width_small", QJsonObject{{"url", server.url("/media/" + id + "-small.gif").toString()}});
  if (withOriginal)
    images.insert("original", QJsonObject{{"url", server.url("/media/" + id + ".gif").toString()},
                                          {"width", "200"},
                                          {"height", "100"}});
  return QJsonObject{{"id", id}, {"title", "GIF " + id}, {"images", images}};
}

inline QByteArray pageJson(const QList<QJsonObject> &gifs, int offset, int total)
{
  QJsonArray data;
  for (const QJsonObject &gif : gifs)
    data.append(gif);
  const QJsonObject pagination{{"count", gifs.size()}, {"offset", offset}, {"total_count", total}};
  return QJsonDocument(QJsonObject{{"data", data}, {"pagination", pagination}}).toJson(QJsonDocument::Compact);
}

// A page of `count` GIFs named prefix0, prefix1, ...
inline QByteArray namedPage(const LoopbackHttpServer &server, const QString &prefix, int count, int offset, int total)
{
  QList<QJsonObject> gifs;
  for (int i = 0; i < count; ++i)
    gifs << gifJson(server, prefix + QString::number(offset + i));
  return pageJson(gifs, offset, total);
}

// The query of a recorded request target, decoded.
inline QUrlQuery queryOf(const QString &target)
{
  return QUrlQuery(QUrl("http://h" + target).query(QUrl::FullyEncoded));
}

inline QString pathOf(const QString &target)
{
  return target.section('?', 0, 0);
}

inline QStringList pathsOf(const QStringList &targets)
{
  QStringList paths;
  for (const QString &target : targets)
    paths << pathOf(target);
  return paths;
}

// A GIF page of one project against the server.
struct Page
{
  explicit Page(LoopbackHttpServer &server, const QString &projectDir = QString())
    : settings((projectDir.isEmpty() ? dir.path() : projectDir) + "/media.config", QSettings::IniFormat)
  {
    qputenv("TAVO_GIPHY_API_ROOT", server.url("/v1/").toString().toUtf8());
  }

  GiphyGifsWidget *open(const QSize &size = QSize(400, 300))
  {
    widget.reset(new GiphyGifsWidget(&settings, nullptr));
    widget->resize(size);
    widget->show();
    return widget.get();
  }

  QTemporaryDir dir;
  QSettings settings;
  std::unique_ptr<GiphyGifsWidget> widget;
};

// Every file below a folder, relative, with its size.
inline QStringList treeOf(const QString &root)
{
  QStringList files;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    files << QDir(root).relativeFilePath(it.filePath()) + " " + QString::number(it.fileInfo().size());
  }
  files.sort();
  return files;
}

} // namespace GiphyFixtures
