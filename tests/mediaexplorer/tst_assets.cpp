// The built-in asset catalogue and its page: tags, rows, clicks, drag data and tag layout.

#include "mediafixtures.h"
#include "resourceassetcatalogue.h"
#include "resourceassetslistwidget.h"
#include "resourceassetswidget.h"
#include "testenv.h"

#include <QCryptographicHash>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>

class TestAssets : public QObject
{
  Q_OBJECT
private slots:
  void catalogues_data();
  void catalogues();
  void everyFileExists();
  void builtinSounds_data();
  void builtinSounds();
  void durationText_data();
  void durationText();
  void clickAndDrag_data();
  void clickAndDrag();
  void tagChoice();
  void tagRows_data();
  void tagRows();

private:
  QTemporaryDir _soundDir;
  // Digest of each decoded sound so far, to the path it came from.
  QHash<QByteArray, QString> _soundDigests;
};

namespace {
ResourceAssetCatalogue catalogueNamed(const QString &name)
{
  if (name == "music")
    return ResourceAssetCatalogue::music();
  if (name == "soundfx")
    return ResourceAssetCatalogue::soundFx();
  return ResourceAssetCatalogue::stickers();
}

int modeOf(const QString &name)
{
  return name == "stickers" ? 0 : 1;
}

QListWidgetItem *clickRow(ResourceAssetsWidget &page, int row)
{
  ResourceAssetsListWidget *list = page.listWidget();
  QListWidgetItem *item = list->item(row);
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  return item;
}
} // namespace

void TestAssets::catalogues_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QList<int>>("counts");
  QTest::addColumn<bool>("tagsShown");
  QTest::newRow("music") << "music" << QList<int>{13} << false;
  QTest::newRow("sound effects") << "soundfx" << QList<int>{12, 12, 19, 7, 7, 9, 9} << true;
  QTest::newRow("stickers") << "stickers" << QList<int>{25, 19, 11, 16} << true;
}

void TestAssets::catalogues()
{
  QFETCH(QString, name);
  QFETCH(QList<int>, counts);
  QFETCH(bool, tagsShown);
  const ResourceAssetCatalogue catalogue = catalogueNamed(name);
  QList<int> found;
  for (const QString &tag : catalogue.tags)
    found << catalogue.assets.value(tag).size();
  QCOMPARE(found, counts);

  ResourceAssetsWidget page(modeOf(name), catalogue.tags, catalogue.assets, nullptr);
  page.resize(400, 900);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  QCOMPARE(page.tagsPanel()->isVisible(), tagsShown);
  QCOMPARE(page.currentTag(), catalogue.tags.first());
  QCOMPARE(page.listWidget()->count(), counts.first());
  if (tagsShown)
    QCOMPARE(page.tagButton(catalogue.tags.first())->property("highlighted").toBool(), true);
  else // all music rows at once
    QVERIFY(page.listWidget()->visualItemRect(page.listWidget()->item(12)).bottom() <=
            page.listWidget()->viewport()->height());
}

void TestAssets::everyFileExists()
{
  const QList<ResourceAsset> music = ResourceAssetCatalogue::music().assets.value("general");
  for (int i = 0; i < music.size(); ++i)
    QVERIFY2(music.at(i).path.startsWith(i < 6 ? ":/music/v1/" : ":/music/v2/"), qPrintable(music.at(i).path));
  int checked = 0;
  for (const ResourceAssetCatalogue &catalogue : {ResourceAssetCatalogue::music(), ResourceAssetCatalogue::soundFx(),
                                                  ResourceAssetCatalogue::stickers()})
    for (const QList<ResourceAsset> &list : catalogue.assets)
      for (const ResourceAsset &asset : list) {
        QVERIFY2(QFile::exists(asset.path), qPrintable(asset.path));
        QVERIFY2(asset.thumbnail.isEmpty() || QFile::exists(asset.thumbnail), qPrintable(asset.thumbnail));
        ++checked;
      }
  QCOMPARE(checked, 13 + 75 + 71);
  QCOMPARE(music.at(6).title, QString("Mountain"));
  const ResourceAsset ghost = ResourceAssetCatalogue::soundFx().assets.value("Ambience").at(5);
  QCOMPARE(ghost.title, QString("Launghing Ghost"));
  QCOMPARE(ghost.path, QString(":/soundfx/ambience/Laughing Ghost.mp3"));
}

void TestAssets::builtinSounds_data()
{
  QTest::addColumn<QString>("path");
  QTest::addColumn<int>("seconds");
  QTest::addColumn<bool>("unbroken");
  // Sounds that never pause: a gap in them means a loop was put together wrongly.
  const QStringList unbroken = {"Busy Office", "Helicopter", "Ambulance", "Vehicle Idle"};
  for (const ResourceAssetCatalogue &catalogue : {ResourceAssetCatalogue::music(), ResourceAssetCatalogue::soundFx()})
    for (const QString &tag : catalogue.tags)
      for (const ResourceAsset &asset : catalogue.assets.value(tag))
        QTest::newRow(qPrintable(asset.path))
          << asset.path << int(asset.duration) << (tag == "general" || unbroken.contains(asset.title));
}

void TestAssets::builtinSounds()
{
  // Each built-in sound decodes to its catalogue length, is clearly audible without clipping,
  // and is not a copy of an earlier one.
  QFETCH(QString, path);
  QFETCH(int, seconds);
  QFETCH(bool, unbroken);
  const QString copy = _soundDir.filePath("sound.mp3");
  QFile::remove(copy);
  QVERIFY(QFile::copy(path, copy));
  const MediaFixtures::DecodedAudio audio = MediaFixtures::decodeAudio(copy);
  QVERIFY2(audio.ok, qPrintable(MediaFixtures::lastError()));
  QVERIFY2(audio.codecName.startsWith("mp3"), qPrintable(audio.codecName));
  QVERIFY2(std::fabs(audio.seconds() - seconds) < 0.05, qPrintable(QString::number(audio.seconds())));
  double sum = 0;
  float peak = 0;
  for (const float v : audio.samples) {
    sum += double(v) * v;
    peak = std::max(peak, std::fabs(v));
  }
  const double rms = std::sqrt(sum / std::max(1, audio.samples.size()));
  QVERIFY2(rms > 0.01, qPrintable(QString("RMS %1").arg(rms))); // -40 dBFS
  QVERIFY2(peak < 0.89f, qPrintable(QString("peak %1").arg(peak))); // -1 dBFS
  // Tenths of a second from the start to the fade-out, each audible.
  const int tenth = audio.sampleRate * audio.channels / 10;
  for (int at = 2 * tenth; unbroken && at + 16 * tenth < audio.samples.size(); at += tenth) {
    double part = 0;
    for (int i = at; i < at + tenth; ++i)
      part += double(audio.samples[i]) * audio.samples[i];
    QVERIFY2(std::sqrt(part / tenth) > 0.003, qPrintable(QString("silent at %1 s").arg(double(at) / tenth / 10)));
  }
  // The first second: the same sound cut to another length is still the same.
  const int head = std::min(audio.samples.size(), audio.sampleRate * audio.channels);
  const QByteArray digest = QCryptographicHash::hash(
    QByteArray::fromRawData(reinterpret_cast<const char *>(audio.samples.constData()), int(head * sizeof(float))),
    QCryptographicHash::Md5);
  QVERIFY2(!_soundDigests.contains(digest), qPrintable("the same as " + _soundDigests.value(digest)));
  _soundDigests.insert(digest, path);
}

void TestAssets::durationText_data()
{
  QTest::addColumn<float>("seconds");
  QTest::addColumn<QString>("text");
  QTest::newRow("under a minute") << 29.f << "0:29";
  QTest::newRow("fraction truncated") << 59.9f << "0:59";
  QTest::newRow("minutes") << 600.f << "10:00";
  QTest::newRow("an hour and more") << 3725.f << "1:02:05";
}

void TestAssets::durationText()
{
  QFETCH(float, seconds);
  QFETCH(QString, text);
  QCOMPARE(ResourceAssetsWidget::durationText(seconds), text);
}

void TestAssets::clickAndDrag_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("type");
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("metadata");
  QTest::addColumn<QByteArray>("length");
  QTest::addColumn<QByteArray>("scale");
  QTest::newRow("music") << "music" << 0 << 3 << ":/music/v1/Love.mp3" << "29;0" << QByteArray("29")
                         << QByteArray("0");
  QTest::newRow("sound effect") << "soundfx" << 7 << 3 << ":/soundfx/ambience/School Bell.mp3" << "10;0"
                                << QByteArray("10") << QByteArray("0");
  QTest::newRow("sticker takes the content image") << "stickers" << 2 << 2 << ":/stickers/emoticons/Content/03.png"
                                                   << "0;0.5" << QByteArray("0") << QByteArray("0.5");
}

void TestAssets::clickAndDrag()
{
  QFETCH(QString, name);
  QFETCH(int, row);
  QFETCH(int, type);
  QFETCH(QString, path);
  QFETCH(QString, metadata);
  QFETCH(QByteArray, length);
  QFETCH(QByteArray, scale);
  const ResourceAssetCatalogue catalogue = catalogueNamed(name);
  ResourceAssetsWidget page(modeOf(name), catalogue.tags, catalogue.assets, nullptr);
  page.resize(400, 600);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  QSignalSpy clicked(&page, &ResourceAssetsWidget::assetItemClicked);
  QListWidgetItem *item = clickRow(page, row);
  QTRY_COMPARE(clicked.count(), 1);
  QCOMPARE(clicked.at(0).at(0).toInt(), type);
  QCOMPARE(clicked.at(0).at(1).toString(), path);
  QVERIFY(!clicked.at(0).at(2).value<QPixmap>().isNull());
  QCOMPARE(clicked.at(0).at(3).toString(), metadata);

  ResourceAssetsListWidget *list = page.listWidget();
  std::unique_ptr<QMimeData> data(list->model()->mimeData({list->model()->index(list->row(item), 0)}));
  QCOMPARE(data->formats(), QStringList({"media/resource-asset-length", "media/resource-asset-type",
                                         "media/resource-asset-path", "media/resource-asset-scale"}));
  QCOMPARE(data->data("media/resource-asset-length"), length);
  QCOMPARE(data->data("media/resource-asset-type"), QByteArray::number(type));
  QCOMPARE(QString::fromUtf8(data->data("media/resource-asset-path")), path);
  QCOMPARE(data->data("media/resource-asset-scale"), scale);
  QCOMPARE(list->mimeTypes(), QStringList{"media/resource-asset-item"});
}

void TestAssets::tagChoice()
{
  const ResourceAssetCatalogue catalogue = ResourceAssetCatalogue::soundFx();
  ResourceAssetsWidget page(1, catalogue.tags, catalogue.assets, nullptr);
  page.resize(400, 300);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  ResourceAssetsListWidget *list = page.listWidget();

  // Another tag: its rows, from the top, and only its button highlighted.
  QTest::mouseClick(page.tagButton("Event"), Qt::LeftButton);
  QCOMPARE(page.currentTag(), QString("Event"));
  QCOMPARE(list->count(), 19);
  QCOMPARE(list->item(18)->text(), QString("Door Bell"));
  QCOMPARE(page.tagButton("Ambience")->property("highlighted").toBool(), false);
  QCOMPARE(page.tagButton("Event")->property("highlighted").toBool(), true);

  // The highlighted tag again: nothing reloads and the list stays where it was scrolled.
  list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
  const int scrolled = list->verticalScrollBar()->value();
  QVERIFY(scrolled > 0);
  QListWidgetItem *first = list->item(0);
  QTest::mouseClick(page.tagButton("Event"), Qt::LeftButton);
  QCOMPARE(list->item(0), first);
  QCOMPARE(list->verticalScrollBar()->value(), scrolled);

  // A click queued before the list was rebuilt for another tag reports nothing.
  QSignalSpy clicked(&page, &ResourceAssetsWidget::assetItemClicked);
  emit list->itemClicked(first);
  page.selectTag("People");
  QTest::qWait(0);
  QCOMPARE(clicked.count(), 0);
}

void TestAssets::tagRows_data()
{
  // Buttons are text width + 20 wide; the rows of x and y they land at.
  QTest::addColumn<int>("panelWidth");
  QTest::addColumn<QList<int>>("buttonWidths");
  QTest::addColumn<QList<QPoint>>("positions");
  QTest::addColumn<int>("panelHeight");
  QTest::newRow("one row") << 300 << QList<int>{100, 100} << QList<QPoint>{{10, 10}, {120, 10}} << 40;
  QTest::newRow("exactly fits") << 230 << QList<int>{100, 100} << QList<QPoint>{{10, 10}, {120, 10}} << 40;
  QTest::newRow("wraps") << 229 << QList<int>{100, 100, 50}
                         << QList<QPoint>{{10, 10}, {10, 50}, {120, 50}} << 80;
  QTest::newRow("first too wide starts on row two") << 200 << QList<int>{181, 50}
                                                    << QList<QPoint>{{10, 50}, {10, 90}} << 120;
}

void TestAssets::tagRows()
{
  QFETCH(int, panelWidth);
  QFETCH(QList<int>, buttonWidths);
  QFETCH(QList<QPoint>, positions);
  QFETCH(int, panelHeight);
  QStringList tags;
  ResourceAssetHash assets;
  for (int i = 0; i < buttonWidths.size(); ++i)
    tags << QString("tag%1").arg(i);
  ResourceAssetsWidget page(0, tags, assets, nullptr);
  for (int i = 0; i < tags.size(); ++i)
    page.tagButton(tags.at(i))->setFixedWidth(buttonWidths.at(i));
  page.resize(panelWidth, 400);
  page.show();
  QVERIFY(QTest::qWaitForWindowExposed(&page));
  QCOMPARE(page.tagsPanel()->width(), panelWidth);
  for (int i = 0; i < tags.size(); ++i)
    QCOMPARE(page.tagButton(tags.at(i))->pos(), positions.at(i));
  QCOMPARE(page.tagsPanel()->height(), panelHeight);
}

TAVO_TEST_MAIN(TestAssets)
#include "tst_assets.moc"
