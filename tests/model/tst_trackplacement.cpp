// Rows and starts of stored segments that the timeline could not show as they are.
#include "trackplacement.h"
#include "testenv.h"

#include <QtTest>

namespace {

// "TYPE,track,start,length;..." into bags.
PropertyMapList bags(const QString &segments)
{
  PropertyMapList maps;
  for (const QString &segment : segments.split(QLatin1Char(';'))) {
    const QStringList fields = segment.split(QLatin1Char(','));
    auto map = std::make_unique<PropertyMap>();
    map->setText("Type", fields[0]);
    map->setText("TrackId", fields[1]);
    map->setText("RangeStart", fields[2]);
    map->setText("RangeDuration", fields[3]);
    maps.push_back(std::move(map));
  }
  return maps;
}

// "track,start,length;..." of the bags.
QString places(const PropertyMapList &maps)
{
  QStringList result;
  for (const auto &map : maps)
    result << QStringList{map->text("TrackId"), map->text("RangeStart"), map->text("RangeDuration")}.join(',');
  return result.join(';');
}

} // namespace

class TestTrackPlacement : public QObject
{
  Q_OBJECT

private slots:
  void place_data()
  {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("moved");
    QTest::newRow("lengths take their kind's default, media learn theirs")
        << "IMAGE,1,0,nan;TEXT,2,0,-1;MUSIC,3,0,-3" << "1,0,5;2,0,3;3,0,0" << 0;
    // Six significant digits: the first ends at 12345.723, the second starts at 12345.7.
    QTest::newRow("blocks abutting as far as stored digits go stay")
        << "TEXT,1,100.123,12245.6;TEXT,1,12345.7,2" << "1,100.123,12245.6;1,12345.7,2" << 0;
    QTest::newRow("after a row end of more digits than are stored")
        << "TEXT,1,0,1234.561;TEXT,1,inf,2" << "1,0,1234.561;1,1234.57,2" << 1;
    QTest::newRow("a row ending past the longest time takes no more")
        << "TEXT,1,43199,2;TEXT,1,1e308,2" << "1,43199,2;2,0,2" << 1;
    QTest::newRow("a fifth movie row is not made")
        << "MOVIE,1,0,10;MOVIE,2,0,10;MOVIE,3,0,10;MOVIE,4,0,10;MOVIE,1,5,2"
        << "1,0,10;2,0,10;3,0,10;4,0,10;1,10,2" << 1;
    QTest::newRow("new rows take ids no segment has")
        << "TEXT,2,0,2;IMAGE,2,0,2;HOLOGRAM,1,0,2;IMAGE,-4,2,2" << "2,0,2;3,0,2;1,0,2;3,2,2" << 2;
    QTest::newRow("a type of a newer version is left as it is")
        << "HOLOGRAM,-5,nan,nan;TEXT,1,0,2" << "-5,nan,nan;1,0,2" << 0;
  }
  void place()
  {
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QFETCH(int, moved);
    PropertyMapList maps = bags(stored);
    const auto lengths = [](const QString &type) { return type == "IMAGE" ? 5.0f : type == "TEXT" ? 3.0f : 0.0f; };

    const TrackPlacement::Result result = TrackPlacement::place(maps, lengths);

    QCOMPARE(places(maps), expected);
    QCOMPARE(result.moved, moved);
    QCOMPARE(result.changed, places(bags(stored)) != expected);
  }
};

TAVO_TEST_CORE_MAIN(TestTrackPlacement)
#include "tst_trackplacement.moc"
