// Value forms of the property bag: written forms round-trip exactly, other accepted forms
// parse and come back in the canonical form. Runs under a decimal-comma locale.
#include "propertymap.h"
#include "testenv.h"

#include <QLocale>

#include <clocale>
#include <limits>

Q_DECLARE_METATYPE(QSizeF)

class TestPropertyMap : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase()
  {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // where installed
    QCOMPARE(QLocale().toString(0.5), QStringLiteral("0,5"));
  }

  void floats_data()
  {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one") << 1.0f << "1";
    QTest::newRow("half") << 0.5f << "0.5";
    QTest::newRow("2pi") << 6.2831853f << "6.28319";
    QTest::newRow("tiny") << 1.5e-05f << "1.5e-05";
    QTest::newRow("negative") << -0.25f << "-0.25";
    QTest::newRow("tenth") << 0.1f << "0.1";
    QTest::newRow("large") << 1234567.0f << "1.23457e+06";
    QTest::newRow("zero") << 0.0f << "0";
  }
  void floats()
  {
    QFETCH(float, value);
    QFETCH(QString, text);
    PropertyMap map;
    setFloatValue(map, "F", value);
    QCOMPARE(map.text("F"), text);
    QCOMPARE(floatValue(map, "F", 99), text.toFloat());
    // Reading what was written and writing it again gives the same text.
    setFloatValue(map, "F", floatValue(map, "F", 99));
    QCOMPARE(map.text("F"), text);
  }

  void numberReading_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<float>("asFloat");
    QTest::addColumn<bool>("asBool");
    QTest::newRow("int") << "42" << 42 << 42.0f << false;
    QTest::newRow("negative int") << "-7" << -7 << -7.0f << false;
    QTest::newRow("one") << "1" << 1 << 1.0f << true;
    QTest::newRow("two is not true") << "2" << 2 << 2.0f << false;
    QTest::newRow("blanks around a float") << " 2.5 " << 0 << 2.5f << false;
    QTest::newRow("decimal comma is not a number") << "0,5" << 0 << 0.0f << false;
    QTest::newRow("garbage") << "abc" << 0 << 0.0f << false;
    QTest::newRow("empty") << "" << 0 << 0.0f << false;
    QTest::newRow("exponent") << "1.5e-05" << 0 << 1.5e-05f << false;
  }
  void numberReading()
  {
    QFETCH(QString, text);
    PropertyMap map;
    map.setText("N", text);
    QTEST(intValue(map, "N", 99), "asInt");
    QTEST(floatValue(map, "N", 99), "asFloat");
    QTEST(boolValue(map, "N", true), "asBool");
  }

  void doubles()
  {
    PropertyMap map;
    setDoubleValue(map, "TimeStamp", 1655734567890.0);
    QCOMPARE(map.text("TimeStamp"), QStringLiteral("1.65573e+12"));
    setDoubleValue(map, "UserRotation", 1.0 / 3.0, 16);
    QCOMPARE(map.text("UserRotation"), QStringLiteral("0.3333333333333333"));
    QCOMPARE(doubleValue(map, "UserRotation", 5), 0.3333333333333333);
    setIntValue(map, "I", -12);
    QCOMPARE(map.text("I"), QStringLiteral("-12"));
  }

  void defaultsWhenAbsent()
  {
    const PropertyMap map;
    QCOMPARE(intValue(map, "X", 7), 7);
    QCOMPARE(floatValue(map, "X", 0.5f), 0.5f);
    QCOMPARE(doubleValue(map, "X", 2.5), 2.5);
    QCOMPARE(boolValue(map, "X", true), true);
    QCOMPARE(stringValue(map, "X", "d"), QStringLiteral("d"));
    QCOMPARE(pointValue(map, "X", QPointF(0.5, 0.5)), QPointF(0.5, 0.5));
    QCOMPARE(sizeValue(map, "X", QSizeF(1, 1)), QSizeF(1, 1));
    QCOMPARE(colorValue(map, "X", 0xFF00FF00u), 0xFF00FF00u);
  }

  void strings()
  {
    PropertyMap map;
    const QString text = QStringLiteral("a \"quoted\" <text> & ümlaut\n2nd line");
    setStringValue(map, "S", text);
    QCOMPARE(stringValue(map, "S", QString()), text);
  }

  void points_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QString>("canonical");
    QTest::newRow("written") << "{0.25,-0.5}" << QPointF(0.25, -0.5) << QSizeF(0.25, -0.5) << "{0.25,-0.5}";
    QTest::newRow("blank after comma") << "{0.25, -0.5}" << QPointF(0.25, -0.5) << QSizeF(0.25, -0.5)
                                       << "{0.25,-0.5}";
    QTest::newRow("blanks everywhere") << "{ 1 , 2 }" << QPointF(1, 2) << QSizeF(1, 2) << "{1,2}";
    QTest::newRow("extra fields ignored") << "{1,2,3}" << QPointF(1, 2) << QSizeF(1, 2) << "{1,2}";
    QTest::newRow("unparsable field") << "{x,2}" << QPointF(0, 2) << QSizeF(0, 2) << "{0,2}";
    QTest::newRow("no braces") << "0.2" << QPointF(0, 0) << QSizeF(-1, -1) << "";
    QTest::newRow("too short") << "{}" << QPointF(0, 0) << QSizeF(-1, -1) << "";
    QTest::newRow("empty") << "" << QPointF(0, 0) << QSizeF(-1, -1) << "";
    QTest::newRow("exponent") << "{1.5e-05,1e+06}" << QPointF(1.5e-05f, 1e+06) << QSizeF(1.5e-05f, 1e+06)
                              << "{1.5e-05,1e+06}";
  }
  void points()
  {
    QFETCH(QString, text);
    QFETCH(QPointF, point);
    QFETCH(QSizeF, size);
    QFETCH(QString, canonical);
    PropertyMap map;
    map.setText("P", text);
    QCOMPARE(pointValue(map, "P", QPointF(9, 9)), point);
    QCOMPARE(sizeValue(map, "P", QSizeF(9, 9)), size);
    if (!canonical.isEmpty()) {
      setPointValue(map, "P", point);
      QCOMPARE(map.text("P"), canonical);
      setSizeValue(map, "P", size);
      QCOMPARE(map.text("P"), canonical);
    }
  }

  void colours_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("argb");
    QTest::newRow("written") << "#80102030" << 0x80102030u;
    QTest::newRow("opaque green") << "#ff00ff00" << 0xFF00FF00u;
    QTest::newRow("upper case") << "#FF00FF00" << 0xFF00FF00u;
    QTest::newRow("rgb") << "#00ff00" << 0xFF00FF00u;
    QTest::newRow("name") << "red" << 0xFFFF0000u;
    QTest::newRow("brace list") << "{0, 1, 0, 1}" << 0xFF00FF00u;
    QTest::newRow("nested braces") << "{{0, 1}, {0, 1}}" << 0xFF00FF00u;
    QTest::newRow("no blanks") << "{0,1,0,1}" << 0xFF00FF00u;
    QTest::newRow("truncated products") << "{0.5, 0.5, 0.5, 0.5}" << 0x7F7F7F7Fu;
    QTest::newRow("component above 1") << "{0, 1.5, 0, 1}" << 0xFF000000u;
    QTest::newRow("negative component") << "{0, -0.5, 0, 1}" << 0xFF000000u;
    QTest::newRow("unknown name") << "notacolour" << 0xFF000000u;
    QTest::newRow("bad hex") << "#zz00ff00" << 0xFF000000u;
  }
  void colours()
  {
    QFETCH(QString, text);
    QFETCH(quint32, argb);
    PropertyMap map;
    map.setText("C", text);
    QCOMPARE(colorValue(map, "C", 0x12345678u), argb);
    setColorValue(map, "C", argb);
    QCOMPARE(colorValue(map, "C", 0x12345678u), argb);
    QCOMPARE(map.text("C"), QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0')));
  }

  void colourEdgeCases()
  {
    PropertyMap map;
    map.setText("C", "");
    QCOMPARE(colorValue(map, "C", 0xFF00FF00u), 0xFF00FF00u); // empty reads the default
    setColorValue(map, "C", 0x80102030u);
    QCOMPARE(map.text("C"), QStringLiteral("#80102030"));
    setColorValue(map, "C", 0x00000001u);
    QCOMPARE(map.text("C"), QStringLiteral("#00000001"));
    QCOMPARE(rgbaFromColorName("blue"), 0xFF0000FFu);
    QCOMPARE(rgbaFromColorName("nonsense"), 0xFF000000u);
  }

  void reservedNamesAreSlotsOnly()
  {
    PropertyMap map;
    for (const char *name : {"Transition", "TBegin", "TEnd"}) {
      map.setText(name, "text");
      QVERIFY2(!map.contains(name), name);
    }
    QVERIFY(!map.hasTransitions());
    map.ensureTransitions();
    QVERIFY(map.hasTransitions());
    QCOMPARE(int(map.transitions()->size()), 0);
  }

  void deepCopyAndEquality()
  {
    PropertyMap map;
    map.setText("A", "1");
    auto record = std::make_unique<PropertyMap>();
    record->setText("TStart", "0.5");
    record->setValues(true, std::make_unique<PropertyMap>());
    record->values(true)->setText("UserFlip", "1");
    map.ensureTransitions().push_back(std::move(record));

    PropertyMap copy(map);
    QVERIFY(copy == map);
    copy.transitions()->front()->values(true)->setText("UserFlip", "2");
    QCOMPARE(map.transitions()->front()->values(true)->text("UserFlip"), QStringLiteral("1"));
    QVERIFY(copy != map);

    PropertyMap assigned;
    assigned = map;
    QVERIFY(assigned == map);
    PropertyMap withoutList;
    withoutList.setText("A", "1");
    QVERIFY(withoutList != map);
    map.transitions()->clear();
    QVERIFY(withoutList != map); // an empty list is not an absent one
  }
};

TAVO_TEST_CORE_MAIN(TestPropertyMap)
#include "tst_propertymap.moc"
