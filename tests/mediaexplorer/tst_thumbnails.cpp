// Thumbnails and metadata of local media files, and their disk cache between pages.

#include "explorerfixtures.h"
#include "localthumbnailscache.h"
#include "pixelprobe.h"
#include "testenv.h"

#include <QDirIterator>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

using namespace ExplorerFixtures;

namespace {

QString cacheFolder(const QString &mediaFolder)
{
  return LocalThumbnailsCache::cacheRoot() + "/" + QString::number(qHash(mediaFolder, 0));
}

QString key(const QString &fileName)
{
  return QString::number(qHash(fileName, 0));
}

// Modification times of every file of a folder, by name.
QMap<QString, QDateTime> fileTimes(const QString &folder)
{
  QMap<QString, QDateTime> times;
  for (const QFileInfo &fi : QDir(folder).entryInfoList(QDir::Files))
    times.insert(fi.fileName(), fi.lastModified());
  return times;
}

QColor centre(const QPixmap &pixmap)
{
  const QImage image = pixmap.toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Whether every pixel passed through RGB 5-6-5 (the display may hold it as 32-bit again):
// 5 and 6 bit channels widened by repeating their top bits.
bool held16Bit(const QImage &image)
{
  auto five = [](int c) { return c == (((c >> 3) << 3) | (c >> 5)); };
  auto six = [](int c) { return c == (((c >> 2) << 2) | (c >> 6)); };
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (!five(qRed(p)) || !six(qGreen(p)) || !five(qBlue(p)))
        return false;
    }
  return true;
}

} // namespace

class TestThumbnails : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir _root;
  QString _media;

private slots:
  void initTestCase()
  {
    QVERIFY(_root.isValid());
    _media = _root.filePath("media");
    QVERIFY(QDir().mkpath(_media));
    using namespace MediaFixtures;
    QVERIFY2(writeColorVideo(_media + "/wide.mp4", 1920, 1080, 30, 3), qPrintable(lastError()));
    VideoParams phone;
    phone.width = 1920;
    phone.height = 1080;
    phone.frames = 3;
    phone.rotation = 90;
    // Stored with a red top half over blue: shown upright, the red is on the right.
    QVERIFY2(writeVideo(_media + "/phone.mp4", phone,
                        [](int) {
                          QImage frame(1920, 1080, QImage::Format_RGB32);
                          frame.fill(Qt::blue);
                          QPainter(&frame).fillRect(0, 0, 1920, 540, Qt::red);
                          return frame;
                        }),
             qPrintable(lastError()));
    VideoParams minute;
    minute.width = minute.height = 32;
    minute.fps = 10;
    minute.frames = 599;
    QVERIFY2(writeColorVideo(_media + "/minute.mp4", minute), qPrintable(lastError()));
    VideoParams hour = minute;
    hour.fps = 1;
    hour.frames = 3600;
    hour.gop = 600;
    QVERIFY2(writeColorVideo(_media + "/hour.mp4", hour), qPrintable(lastError()));
    QVERIFY(writePicture(_media + "/small.png", 100, 50));
    QVERIFY(writePicture(_media + "/large.png", 4000, 3000));
    QVERIFY(writeTone(_media + "/tone.m4a", 75));
    QVERIFY(writeMp3(_media + "/plain.mp3", 2));
    QVERIFY(writeMp3(_media + "/cover.mp3", 2, Qt::green));
    QFile notes(_media + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not media\n") > 0);
  }

  // Every kind of file with its thumbnail and metadata, made by the pool tasks of a page.
  void thumbnailsAndMetadata_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("metadata");
    QTest::newRow("1920x1080 video") << "wide.mp4" << QSize(320, 180) << "0:00;1920x1080;0";
    QTest::newRow("rotated phone video") << "phone.mp4" << QSize(180, 320) << "0:00;1080x1920;90";
    QTest::newRow("59.9 s") << "minute.mp4" << QSize(320, 320) << "0:59;32x32;0";
    QTest::newRow("one hour") << "hour.mp4" << QSize(320, 320) << "1:00:00;32x32;0";
    QTest::newRow("small picture kept") << "small.png" << QSize(100, 50) << "100x50";
    QTest::newRow("large picture decoded small") << "large.png" << QSize(320, 240) << "4000x3000";
    QTest::newRow("75 s sound") << "tone.m4a" << QSize(160, 160) << "1:15";
    QTest::newRow("mp3 without cover") << "plain.mp3" << QSize(160, 160) << "0:02";
    QTest::newRow("mp3 with cover") << "cover.mp3" << QSize(64, 48) << "0:02";
  }
  void thumbnailsAndMetadata()
  {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, metadata);
    static std::unique_ptr<Page> page;
    if (!page) {
      QDir(LocalThumbnailsCache::cacheRoot()).removeRecursively();
      page.reset(new Page(_media, _root.filePath("made.config")));
      QVERIFY(page->waitListed());
      QVERIFY(page->waitThumbnails(9));
    }
    QVERIFY2(!page->names().contains("notes.txt"), qPrintable(page->names().join(", ")));
    QCOMPARE(page->names().size(), 9);
    const QVariantList t = page->thumbnailOf(name);
    QVERIFY(!t.isEmpty());
    const QPixmap pixmap = t.at(0).value<QPixmap>();
    QCOMPARE(pixmap.size(), size);
    QCOMPARE(t.at(3).toString(), metadata);
    if (name.endsWith(".mp4"))
      QVERIFY2(held16Bit(pixmap.toImage()), "video thumbnails are held as RGB 5-6-5");
    if (name == "phone.mp4") {
      const QImage image = pixmap.toImage();
      PROBE(image, 150, 160, QColor(Qt::red), 40);
      PROBE(image, 30, 160, QColor(Qt::blue), 40);
    }
    if (name == "cover.mp3")
      QVERIFY2(PixelProbe::near(centre(pixmap).rgb(), Qt::green, 40), qPrintable(centre(pixmap).name()));
    if (name == "plain.mp3" || name == "tone.m4a")
      QCOMPARE(pixmap.toImage(), QImage(":/images/media-explorer/audio_placeholder_dark").convertToFormat(
                                   pixmap.toImage().format()));
    // The list item shows what was made.
    QListWidgetItem *item = page->item(name);
    QVERIFY(item);
    QCOMPARE(item->icon().availableSizes().value(0), size);
    if (QTest::currentDataTag() == QByteArray("mp3 with cover"))
      page.reset();
  }

  // What a destroyed page leaves in the cache, and what the next page makes of it.
  void cacheBetweenPages()
  {
    QDir(LocalThumbnailsCache::cacheRoot()).removeRecursively();
    const QString config = _root.filePath("cache.config");
    {
      Page first(_media, config);
      QVERIFY(first.waitListed());
      QVERIFY(first.waitThumbnails(9));
    }
    const QString folder = cacheFolder(_media);
    QSettings index(folder + "/media.data", QSettings::IniFormat);
    const QStringList names = {"wide.mp4", "phone.mp4", "minute.mp4", "hour.mp4", "small.png",
                               "large.png", "tone.m4a",  "plain.mp3",  "cover.mp3"};
    QCOMPARE(index.childGroups().size(), names.size());
    for (const QString &name : names) {
      index.beginGroup(key(name));
      QVERIFY2(!index.value("meta").toString().isEmpty(), qPrintable(name));
      QCOMPARE(index.value("time").toLongLong(), QFileInfo(_media + "/" + name).lastModified().toMSecsSinceEpoch());
      index.endGroup();
      QImageReader png(folder + "/" + key(name));
      QCOMPARE(png.format(), QByteArray("png"));
    }

    // A new page shows the cached rows without a task and, closed again, writes nothing.
    const QMap<QString, QDateTime> written = fileTimes(folder);
    {
      Page second(_media, config);
      QVERIFY(second.waitListed());
      QListWidgetItem *wide = second.item("wide.mp4");
      QVERIFY(wide);
      QTRY_COMPARE(wide->data(LocalFilesWidget::DurationRole).toString(), QString("0:00"));
      QCOMPARE(wide->icon().availableSizes().value(0), QSize(320, 180));
      QCOMPARE(wide->toolTip(), QString("wide.mp4\n0:00\n1920x1080"));
      QCOMPARE(second.item("small.png")->toolTip(), QString("small.png\n100x50"));
      QCOMPARE(second.item("tone.m4a")->data(LocalFilesWidget::DurationRole).toString(), QString("1:15"));
      QTest::qWait(300);
      QCOMPARE(second.tasks, 0);
    }
    QCOMPARE(fileTimes(folder), written);

    // A touched file loses its picture at the next lookup and gets a new one.
    QVERIFY(touch(_media + "/small.png", 10));
    {
      Page third(_media, config);
      QVERIFY(third.waitListed());
      QVERIFY(third.waitThumbnails(1));
      QCOMPARE(third.thumbnails.size(), 1);
      QCOMPARE(third.thumbnailOf("small.png").value(3).toString(), QString("100x50"));
      QVERIFY(!QFile::exists(folder + "/" + key("small.png")));
    }
    QVERIFY(QFile::exists(folder + "/" + key("small.png")));
    QSettings after(folder + "/media.data", QSettings::IniFormat);
    QCOMPARE(after.value(key("small.png") + "/time").toLongLong(),
             QFileInfo(_media + "/small.png").lastModified().toMSecsSinceEpoch());
  }

  // "Aa" and "BB" hash alike: the two files share one key but never each other's picture.
  void collidingNames()
  {
    QCOMPARE(qHash(QString("Aa.png"), 0), qHash(QString("BB.png"), 0));
    const QString folder = _root.filePath("colliding");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writePlainPicture(folder + "/Aa.png", 40, 30, Qt::red));
    QVERIFY(writePlainPicture(folder + "/BB.png", 40, 30, Qt::blue));
    const QFileInfo aa(folder + "/Aa.png"), bb(folder + "/BB.png");
    const QPixmap red = QPixmap::fromImage(QImage(aa.absoluteFilePath()));
    const QPixmap blue = QPixmap::fromImage(QImage(bb.absoluteFilePath()));

    // Stored one after the other: only the last stays, and the other misses.
    {
      LocalThumbnailsCache cache(nullptr);
      cache.setThumbnail(aa, red, "40x30 red");
      cache.setThumbnail(bb, blue, "40x30 blue");
    }
    {
      LocalThumbnailsCache cache(nullptr);
      QPixmap pixmap;
      QString metadata;
      cache.thumbnail(pixmap, bb, metadata);
      QVERIFY(!pixmap.isNull());
      QCOMPARE(metadata, QString("40x30 blue"));
      QVERIFY(PixelProbe::near(centre(pixmap).rgb(), Qt::blue, 8));
      metadata = "untouched";
      cache.thumbnail(pixmap, aa, metadata);
      QVERIFY(pixmap.isNull());
      QCOMPARE(metadata, QString("untouched"));
    }

    // Through pages, also after a restart, each file shows its own colour.
    for (int restart = 0; restart < 2; ++restart) {
      Page page(folder, _root.filePath("colliding.config"));
      QVERIFY(page.waitListed());
      for (const QString &name : {QString("Aa.png"), QString("BB.png")}) {
        QListWidgetItem *item = page.item(name);
        QVERIFY(item);
        QTRY_VERIFY(item->toolTip().contains("40x30"));
        const QPixmap shown = item->icon().pixmap(40, 30);
        QVERIFY2(PixelProbe::near(centre(shown).rgb(), name == "Aa.png" ? Qt::red : Qt::blue, 8),
                 qPrintable(name + " shows " + centre(shown).name()));
      }
    }
  }

  // An index written for another folder whose path hashes alike holds nothing of ours.
  void indexOfAnotherFolder()
  {
    const QString folder = _root.filePath("foreign");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writePlainPicture(folder + "/x.png", 20, 10, Qt::red));
    const QFileInfo fi(folder + "/x.png");
    const QString cache = cacheFolder(folder);
    QVERIFY(QDir().mkpath(cache));
    QVERIFY(QImage(20, 10, QImage::Format_RGB32).save(cache + "/" + key("x.png"), "PNG"));
    for (const QString &path : {QString("/somewhere/else"), QString()}) {
      {
        QSettings index(cache + "/media.data", QSettings::IniFormat);
        index.clear();
        if (!path.isEmpty())
          index.setValue("path", path);
        index.setValue(key("x.png") + "/meta", "20x10");
        index.setValue(key("x.png") + "/time", fi.lastModified().toMSecsSinceEpoch());
        index.setValue(key("x.png") + "/name", "x.png");
      }
      LocalThumbnailsCache lookups(nullptr);
      QPixmap pixmap;
      QString metadata;
      lookups.thumbnail(pixmap, fi, metadata);
      QVERIFY2(pixmap.isNull(), qPrintable(path));
      QVERIFY(metadata.isEmpty());
    }
  }
};

TAVO_TEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
