// The Segment element: round trips, unknown content, colliding names, broken input.
#include "segment.h"
#include "segmentxml.h"
#include "testenv.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

QByteArray write(const PropertyMap &map)
{
  QByteArray bytes;
  QXmlStreamWriter writer(&bytes);
  writer.setAutoFormatting(true);
  writer.writeStartDocument();
  writer.writeStartElement("Project");
  writeSegmentXml(map, writer);
  writer.writeEndElement();
  writer.writeEndDocument();
  return bytes;
}

// Reads every Segment element of a document; returns the first non-zero result.
int read(const QByteArray &bytes, PropertyMapList *maps)
{
  QXmlStreamReader reader(bytes);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == QLatin1String("Segment")) {
      maps->push_back(std::make_unique<PropertyMap>());
      if (const int result = readSegmentXml(*maps->back(), reader))
        return result;
    }
  }
  return reader.hasError() ? int(reader.error()) : 0;
}

} // namespace

class TestSegmentXml : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  // A written copy stands for its segment while nothing it holds has changed; a change of a
  // slot the element does not hold leaves it standing.
  void writtenCopyFollowsTheSegment_data()
  {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stands");
    QTest::newRow("none") << "none" << true;
    QTest::newRow("replaced by its own copy") << "own copy" << true;
    QTest::newRow("begin slot of the segment") << "segment begin" << true;
    QTest::newRow("transitions of a record") << "record transitions" << true;
    QTest::newRow("text") << "text" << false;
    QTest::newRow("text removed") << "text removed" << false;
    QTest::newRow("replaced by an equal map") << "equal map" << false;
    QTest::newRow("record text") << "record text" << false;
    QTest::newRow("begin set text") << "begin text" << false;
    QTest::newRow("end set added") << "end added" << false;
    QTest::newRow("begin set removed") << "begin removed" << false;
    QTest::newRow("transition added") << "transition added" << false;
    QTest::newRow("transitions dropped") << "transitions dropped" << false;
  }
  void writtenCopyFollowsTheSegment()
  {
    QFETCH(QString, change);
    QFETCH(bool, stands);
    PropertyMap map;
    map.setText("Type", "TEXT");
    map.setText("Text", "Title");
    auto record = std::make_unique<PropertyMap>();
    record->setText("Duration", "0.5");
    record->setValues(true, std::make_unique<PropertyMap>());
    record->values(true)->setText("Alpha", "0");
    map.ensureTransitions().push_back(std::move(record));
    PropertyMap written;
    QVERIFY(writtenSegmentProperties(map, &written));

    PropertyMap &first = *map.transitions()->front();
    if (change == "own copy")
      map = PropertyMap(map);
    else if (change == "segment begin")
      map.setValues(true, std::make_unique<PropertyMap>());
    else if (change == "record transitions")
      first.ensureTransitions();
    else if (change == "text")
      map.setText("Text", "Other");
    else if (change == "text removed")
      map.remove("Type");
    else if (change == "equal map") {
      PropertyMap equal;
      QVERIFY(writtenSegmentProperties(map, &equal));
      equal.setText("Text", "Other");
      equal.setText("Text", "Title");
      map = std::move(equal);
    } else if (change == "record text")
      first.setText("Duration", "1");
    else if (change == "begin text")
      first.values(true)->setText("Alpha", "1");
    else if (change == "end added")
      first.setValues(false, std::make_unique<PropertyMap>());
    else if (change == "begin removed")
      first.setValues(true, nullptr);
    else if (change == "transition added")
      map.transitions()->push_back(std::make_unique<PropertyMap>());
    else if (change == "transitions dropped")
      map.setTransitions(nullptr);
    QCOMPARE(isWrittenFrom(written, map), stands);
    // Standing, it is what a new copy would be.
    if (stands) {
      PropertyMap again;
      QVERIFY(writtenSegmentProperties(map, &again));
      QVERIFY(written == again);
    }
  }

  void roundTrip_data()
  {
    QTest::addColumn<QString>("type");
    for (const char *type : {"MOVIE", "IMAGE", "TEXT", "DRAWING", "MUSIC", "VOICE"})
      QTest::newRow(type) << QString::fromLatin1(type);
  }
  void roundTrip()
  {
    QFETCH(QString, type);
    Segment s(nullptr);
    s.setType(type);
    s.setTrackId(3);
    s.setRangeStart(1.25f);
    s.setDuration(8);
    s.setUserRotation(0.7853981633974483);
    s.setKeyColor(0x80102030u);
    s.setUserTranslation(QPointF(0.25, -0.5));
    s.properties()->setText("FromALaterVersion", "x < y & \"z\"");
    s.properties()->setText("Text", "line 1\nline 2\ttab");
    QCOMPARE(s.insertTransition(1, 3), 1);
    QCOMPARE(s.insertTransition(2, 6), 2);
    s.setTransitionEasingFunction(2, 9);
    s.transition(1)->setValues(false, nullptr); // a record with only a begin set

    const QByteArray bytes = write(*s.properties());
    PropertyMapList maps;
    QCOMPARE(read(bytes, &maps), 0);
    QCOMPARE(int(maps.size()), 1);
    QVERIFY(*maps[0] == *s.properties());
    Segment back(maps[0].release(), nullptr);
    QCOMPARE(back.uid(), s.uid());
    QCOMPARE(back.userRotation(), 0.7853981633974483);
    QCOMPARE(back.transitionCount(), 2);
    QCOMPARE(back.transitionEasingFunction(2), 9);
    QVERIFY(!back.transitionValues(1, false));
    QCOMPARE(back.transitionUserVolume(1, false), 1.0f);
    // Written twice, the bytes are the same.
    QCOMPARE(write(*back.properties()), bytes);
    QVERIFY(bytes.indexOf("<TBegin") < bytes.lastIndexOf("<TEnd"));
  }

  // Characters XML cannot hold (a pasted vertical tab, a control byte) are left out, and the
  // rest of the segment is written and reads back.
  void charactersXmlCannotHold()
  {
    PropertyMap map;
    map.setText("Text", QString("soft\x0b" "break\x01 and ") + QChar(0xFFFF) + "end");
    map.setText("Type", "TEXT");
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartDocument();
    writeSegmentXml(map, writer);
    writer.writeEndDocument();
    QVERIFY(!writer.hasError());
    PropertyMapList maps;
    QCOMPARE(read(bytes, &maps), 0);
    QCOMPARE(maps[0]->text("Text"), QStringLiteral("softbreak and end"));
    QCOMPARE(maps[0]->text("Type"), QStringLiteral("TEXT"));
  }

  // A long value is written with the stream writer's own bytes, whatever it holds, and the
  // map said to be written is what reads back.
  void longValues_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reference"); // what the stream writer is given
    QTest::addColumn<QString>("kept");      // the text as it reads back
    QTest::addColumn<bool>("plain");
    const auto repeated = [](const QString &piece, int size) {
      QString text;
      while (text.size() < size)
        text += piece;
      return text;
    };
    // Past the 64 KiB buffer, so escapes and pairs meet its edge.
    const QString escapes = repeated("a<b>c&d\"e'f\tg\nh\r\ni ", 70000);
    const QString wide = repeated(QString::fromUtf8("\u00e9\u00df \u4e2d\u6587 \xf0\x9f\x98\x80x"), 70000);
    QTest::newRow("escapes") << escapes << escapes << escapes << true;
    QTest::newRow("two, three and four bytes") << wide << wide << wide << true;
    QTest::newRow("at the length") << escapes.left(4096) << escapes.left(4096) << escapes.left(4096) << true;
    QTest::newRow("control character") << escapes + "\x01" + wide << escapes + wide << escapes + wide << false;
    // Written as bytes no reader takes back, the project would not open again.
    const QString lone = escapes + QChar(0xD800) + "x" + QChar(0xDC00);
    const QString replaced = escapes + QChar(QChar::ReplacementCharacter) + "x" + QChar(QChar::ReplacementCharacter);
    QTest::newRow("lone surrogates") << lone << replaced << replaced << false;
  }
  void longValues()
  {
    QFETCH(QString, text);
    QFETCH(QString, reference);
    QFETCH(QString, kept);
    QFETCH(bool, plain);
    PropertyMap map;
    map.setText("A", "1");
    map.setText("Text", text);
    map.setText("Z", "2");
    auto record = std::make_unique<PropertyMap>();
    record->setText("Duration", "0.5");
    record->setValues(true, std::make_unique<PropertyMap>());
    record->ensureTransitions(); // slots the element has no place for
    map.ensureTransitions().push_back(std::move(record));
    map.setValues(false, std::make_unique<PropertyMap>());

    QByteArray expected;
    QXmlStreamWriter writer(&expected);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement("Project");
    writer.writeStartElement("Segment");
    writer.writeAttribute("A", "1");
    writer.writeAttribute("Text", reference);
    writer.writeAttribute("Z", "2");
    writer.writeStartElement("Transitions");
    writer.writeStartElement("Transition");
    writer.writeAttribute("Duration", "0.5");
    writer.writeEmptyElement("TBegin");
    writer.writeEndDocument();
    const QByteArray bytes = write(map);
    QVERIFY2(bytes == expected, qPrintable(QString("first difference at byte %1 of %2")
                                               .arg(std::mismatch(bytes.cbegin(), bytes.cend(), expected.cbegin(),
                                                                  expected.cend()).first - bytes.cbegin())
                                               .arg(bytes.size())));
    PropertyMap written;
    QCOMPARE(writtenSegmentProperties(map, &written), plain);
    PropertyMapList maps;
    QCOMPARE(read(bytes, &maps), 0);
    QVERIFY(maps[0]->text("Text") == kept);
    if (plain)
      QVERIFY(written == *maps[0]);
  }

  void onlyAttributes()
  {
    const QByteArray xml = "<Project><Segment Type=\"IMAGE\" UId=\"u\"/></Project>";
    PropertyMapList maps;
    QCOMPARE(read(xml, &maps), 0);
    QCOMPARE(maps[0]->texts().size(), 2);
    QVERIFY(!maps[0]->hasTransitions());
    QVERIFY(!write(*maps[0]).contains("Transitions"));
  }

  void emptyTransitions()
  {
    PropertyMapList maps;
    QCOMPARE(read("<Project><Segment Type=\"TEXT\"><Transitions/></Segment></Project>", &maps), 0);
    QVERIFY(maps[0]->hasTransitions());
    QCOMPARE(int(maps[0]->transitions()->size()), 0);
    QVERIFY(write(*maps[0]).contains("<Transitions/>"));
  }

  void unknownChildrenAreDropped()
  {
    const QByteArray xml = R"(<Project>
      <Segment Type="MOVIE" A="1">
        <Extra Foo="bar"><Deeper/></Extra>
        <Wrapper>
          <Transitions>
            <Transition TStart="0.1" TDuration="0.2"><Note X="1"/><TBegin UserFlip="1"/><TEnd UserFlip="2"/></Transition>
          </Transitions>
        </Wrapper>
        <Segment Nested="yes"/>
      </Segment>
      <Segment Type="TEXT"/>
    </Project>)";
    PropertyMapList maps;
    QCOMPARE(read(xml, &maps), 0);
    QCOMPARE(int(maps.size()), 2); // the nested Segment did not end the first one early
    const PropertyMap &m = *maps[0];
    QCOMPARE(m.texts().size(), 2);
    QVERIFY(!m.contains("Foo") && !m.contains("Nested"));
    QCOMPARE(int(m.transitions()->size()), 1);
    const PropertyMap &record = *m.transitions()->front();
    QCOMPARE(record.texts().size(), 2);
    QCOMPARE(record.values(true)->text("UserFlip"), QStringLiteral("1"));
    QCOMPARE(record.values(false)->text("UserFlip"), QStringLiteral("2"));
    QCOMPARE(maps[1]->text("Type"), QStringLiteral("TEXT"));
  }

  void secondTransitionsReplacesFirst()
  {
    const QByteArray xml = "<Segment><Transitions><Transition TStart=\"0.1\"/><Transition/></Transitions>"
                           "<Transitions><Transition TStart=\"0.5\"/></Transitions></Segment>";
    PropertyMapList maps;
    QCOMPARE(read(xml, &maps), 0);
    QCOMPARE(int(maps[0]->transitions()->size()), 1);
    QCOMPARE(maps[0]->transitions()->front()->text("TStart"), QStringLiteral("0.5"));
  }

  void strayTransitionElementsAreIgnored()
  {
    const QByteArray xml = "<Segment A=\"1\"><Transition TStart=\"0.1\"/><TBegin UserFlip=\"1\"/>"
                           "<Transitions><Transition/><TEnd UserFlip=\"3\"/></Transitions></Segment>";
    PropertyMapList maps;
    QCOMPARE(read(xml, &maps), 0);
    QCOMPARE(int(maps[0]->transitions()->size()), 1);
    QVERIFY(!maps[0]->transitions()->front()->values(false)); // TEnd after its Transition closed
  }

  void collidingNamesAreIgnored()
  {
    const QByteArray xml = "<Segment Transition=\"oops\" Type=\"IMAGE\"><Transitions>"
                           "<Transition TBegin=\"x\" TEnd=\"y\" TStart=\"0.2\"><TBegin UserFlip=\"1\"/></Transition>"
                           "</Transitions></Segment>";
    PropertyMapList maps;
    QCOMPARE(read(xml, &maps), 0);
    const PropertyMap &m = *maps[0];
    QVERIFY(!m.contains("Transition"));
    QCOMPARE(int(m.transitions()->size()), 1);
    const PropertyMap &record = *m.transitions()->front();
    QVERIFY(!record.contains("TBegin") && !record.contains("TEnd"));
    QCOMPARE(record.values(true)->text("UserFlip"), QStringLiteral("1"));
    const QByteArray written = write(m);
    QVERIFY(!written.contains("Transition=") && !written.contains("TBegin=") && !written.contains("TEnd="));

    // A segment without a list never gets one from an attribute.
    PropertyMapList plain;
    QCOMPARE(read("<Segment Transition=\"x\"/>", &plain), 0);
    QVERIFY(!plain[0]->hasTransitions());
  }

  void brokenInput_data()
  {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("error");
    QTest::newRow("truncated") << QByteArray("<Project><Segment A=\"1\"><Transitions><Transition TStart=\"0.1\">")
                               << int(QXmlStreamReader::PrematureEndOfDocumentError);
    QTest::newRow("cut in an attribute") << QByteArray("<Project><Segment A=\"1\"><Transitions><Tra")
                                         << int(QXmlStreamReader::PrematureEndOfDocumentError);
    QTest::newRow("mismatched tags") << QByteArray("<Project><Segment A=\"1\"><Transitions></Segment></Project>")
                                     << int(QXmlStreamReader::NotWellFormedError);
    QTest::newRow("bad attribute") << QByteArray("<Project><Segment A=\"1\"><Transition T=1/></Segment></Project>")
                                   << int(QXmlStreamReader::NotWellFormedError);
  }
  void brokenInput()
  {
    QFETCH(QByteArray, xml);
    PropertyMapList maps;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Load segment from xml error: "));
    QTEST(read(xml, &maps), "error");
    QCOMPARE(int(maps.size()), 1);
    QCOMPARE(maps[0]->text("A"), QStringLiteral("1")); // what was read stays
  }

  void everyTruncationFailsCleanly()
  {
    Segment s(nullptr);
    s.setType("MOVIE");
    s.setDuration(5);
    s.insertTransition(1, 1);
    s.insertTransition(1, 3);
    const QByteArray bytes = write(*s.properties());
    const int end = bytes.indexOf("</Project>");
    QVERIFY(end > 0);
    for (int n = bytes.indexOf("<Segment") + 1; n < end; ++n) {
      PropertyMapList maps;
      const QtMessageHandler old = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
      const int result = read(bytes.left(n), &maps);
      qInstallMessageHandler(old);
      QVERIFY2(result != 0, qPrintable(QStringLiteral("cut at %1 read as success").arg(n)));
    }
  }
};

TAVO_TEST_CORE_MAIN(TestSegmentXml)
#include "tst_segmentxml.moc"
