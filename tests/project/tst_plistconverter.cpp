// Keyed-archive converter: the exact text of project.xml / properties.xml, well-formed
// output for odd archives, and failures that leave no file behind.

#include "bplistwriter.h"
#include "keyedarchiveconverter.h"
#include "plistconverter.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <clocale>
#include <csignal>
#include <locale>
#include <sys/resource.h>

namespace {

using Entries = KeyedArchiveWriter::Entries;

std::u16string utf16(const QString &text)
{
  return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
}

// Reads the whole document; returns the reader's error text, empty when well-formed.
QString xmlError(const QByteArray &text)
{
  QXmlStreamReader reader(text);
  while (!reader.atEnd())
    reader.readNext();
  return reader.hasError() ? reader.errorString() : QString();
}

// The attributes of the first element with this name.
QXmlStreamAttributes attributesOf(const QByteArray &text, const QString &element)
{
  QXmlStreamReader reader(text);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == element)
      return reader.attributes();
  }
  return {};
}

const char *const kRealisticProjectXml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Project>\n"
    "\t<Segment\n"
    "\t\tType=\"Video\"\n"
    "\t\tURL=\"file:///Movies/My Clip.mov\"\n"
    "\t\tTitle=\"a&lt;b &amp; c &quot;q&quot; &apos;x&apos;&#10;line2&#13;&#9;end &amp;amp;\"\n"
    "\t\tDuration=\"2.500000\"\n"
    "\t\tMuted=\"1\"\n"
    "\t\tVolume=\"-3\"\n"
    "\t\tFrameSize=\"{3840, 2160}\"\n"
    "\t\tCrop=\"{{0, 0}, {10, 20}}\"\n"
    "\t\tAnchor=\"{0.5, 0.5}\"\n"
    "\t\tFolder=\"Media\"\n"
    "\t\tName=\"Clip\"\n"
    "\t\tColor=\"1.000000,0.250000,0.500000\"\n"
    "\t>\n"
    "\t\t<Transitions>\n"
    "\t\t\t<Transition\n"
    "\t\t\t\tTStart=\"0.000000\"\n"
    "\t\t\t\tTDuration=\"0.250000\"\n"
    "\t\t\t\tTEasingFunction=\"4\"\n"
    "\t\t\t>\n"
    "\t\t\t\t<TBegin\n"
    "\t\t\t\t\tOpacity=\"0.000000\"\n"
    "\t\t\t\t\tPosition=\"{1, 2}\"\n"
    "\t\t\t\t/>\n"
    "\t\t\t\t<TEnd\n"
    "\t\t\t\t\tOpacity=\"1.000000\"\n"
    "\t\t\t\t/>\n"
    "\t\t\t</Transition>\n"
    "\t\t\t<Transition\n"
    "\t\t\t\tTStart=\"0.500000\"\n"
    "\t\t\t>\n"
    "\t\t\t\t<TEnd\n"
    "\t\t\t\t\tScale=\"2\"\n"
    "\t\t\t\t/>\n"
    "\t\t\t</Transition>\n"
    "\t\t\t<Transition\n"
    "\t\t\t\tTStart=\"0.750000\"\n"
    "\t\t\t>\n"
    "\t\t\t</Transition>\n"
    "\t\t</Transitions>\n"
    "\t</Segment>\n"
    "\t<Segment\n"
    "\t/>\n"
    "\t<Segment\n"
    "\t\tType=\"Text\"\n"
    "\t\tText=\"Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\"\n"
    "\t>\n"
    "\t\t<Transitions>\n"
    "\t\t</Transitions>\n"
    "\t</Segment>\n"
    "</Project>\n";

const char *const kPropertiesXml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                   "<Properties\n"
                                   "\tBackgroundColor=\"0.5,1\"\n"
                                   "\tFrameRate=\"30.000000\"\n"
                                   "\tTintColor=\"0.500000,1.000000\"\n"
                                   "\tName=\"Holiday\"\n"
                                   "/>\n";

// A decimal-comma locale for C++ streams, whatever locales the system has installed.
struct CommaDecimal : std::numpunct<char>
{
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

} // namespace

class TestPlistConverter : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;

  QString path(const QString &name) const { return m_dir.filePath(name); }

  void writeFile(const QString &name, const std::string &content)
  {
    QFile f(path(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(content.data(), qint64(content.size())), qint64(content.size()));
  }

  QByteArray readFile(const QString &name) const
  {
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // Runs a conversion through the plain entry points; the error text comes back in `error`.
  int convert(bool project, const QString &input, const QString &output, QByteArray &error, int bufferLength = 1024)
  {
    QByteArray buffer(bufferLength + 1, '\x7F');
    const std::u16string in = utf16(path(input)), out = utf16(path(output));
    const int result = project ? convertProjectPlist(in.c_str(), out.c_str(), buffer.data(), bufferLength)
                               : convertPropertiesPlist(in.c_str(), out.c_str(), buffer.data(), bufferLength);
    error = buffer.left(bufferLength);
    const int nul = error.indexOf('\0');
    error = nul < 0 ? QByteArray("(untouched)") : error.left(nul);
    if (buffer.at(bufferLength) != '\x7F')
      error = "(written past the buffer)";
    return result;
  }

  // Converts an archive given as bytes; returns the error text, or the output on success.
  QByteArray convertBytes(const std::string &archive, bool project = true)
  {
    writeFile("in.plist", archive);
    QFile::remove(path("out.xml"));
    QByteArray error;
    if (convert(project, "in.plist", "out.xml", error) != 0) {
      if (QFile::exists(path("out.xml")))
        return "(output left behind) " + error;
      return error;
    }
    return readFile("out.xml");
  }

  QStringList strayFiles() const
  {
    return QDir(m_dir.path()).entryList(QStringList() << "*.tmp-*", QDir::Files | QDir::Hidden);
  }

private slots:
  void realisticProject()
  {
    const QByteArray xml = convertBytes(Fixtures::realisticProject());
    QCOMPARE(xml, QByteArray(kRealisticProjectXml));
    QCOMPARE(xmlError(xml), QString());
    // Multi-line texts keep their line feed, carriage return and tab when read back.
    QCOMPARE(attributesOf(xml, "Segment").value("Title").toString(),
             QString::fromUtf8("a<b & c \"q\" 'x'\nline2\r\tend &amp;"));
    QVERIFY(strayFiles().isEmpty());
  }

  void properties()
  {
    const QByteArray xml = convertBytes(Fixtures::propertiesArchive(), false);
    QCOMPARE(xml, QByteArray(kPropertiesXml));
    QCOMPARE(xmlError(xml), QString());
  }

  void emptyProject()
  {
    KeyedArchiveWriter a;
    QCOMPARE(convertBytes(a.build(a.array({}))),
             QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Project>\n</Project>\n"));
  }

  void wellFormedOutputFromOddArchives()
  {
    KeyedArchiveWriter a;
    const int32_t segment = a.dictionary({
        {"Good", a.string("1")},
        {"dup", a.string("x")},
        {"1bad", a.string("skipped")},
        {"a b", a.string("skipped")},
        {"a:b", a.string("skipped")},
        {"xmlns", a.string("skipped")},
        {"", a.string("skipped")},
        {"\xFFname", a.string("skipped")},
        {"uid", a.addObject(a.w.uid(3))},
        {"data", a.data("xyz")},
        {"date", a.addObject(a.w.date(0))},
        {"plainDict", a.addObject(a.w.dict({{"other", a.w.integer(1)}}))},
        {"control", a.string("a\x01" "b\x1F" "c\x7F" "d\xEF\xBF\xBE" "e")},
        {"broken", a.string("a\xFF" "b\xC3")},
        {"surrogateBytes", a.string("x\xED\xA0\x80y")},
        {"URL", a.string("%00x%zz%41%-1%4")},
        {"dup", a.string("y")},
        {"\xC3\x9F" "e\xC3\xA9", a.string("unicode name")},
        {"_under.score-1", a.string("ok")},
    });
    const QByteArray xml = convertBytes(a.build(a.array({segment})));
    QCOMPARE(xml, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                             "<Project>\n"
                             "\t<Segment\n"
                             "\t\tGood=\"1\"\n"
                             "\t\tdup=\"y\"\n"
                             "\t\tcontrol=\"abc\x7F" "de\"\n"
                             "\t\tbroken=\"a\xEF\xBF\xBD" "b\xEF\xBF\xBD\"\n"
                             "\t\tsurrogateBytes=\"x\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDy\"\n"
                             "\t\tURL=\"x%zzA\xEF\xBF\xBD%4\"\n"
                             "\t\t\xC3\x9F" "e\xC3\xA9=\"unicode name\"\n"
                             "\t\t_under.score-1=\"ok\"\n"
                             "\t/>\n"
                             "</Project>\n"));
    QCOMPARE(xmlError(xml), QString());
  }

  void archiveEdgeCases()
  {
    KeyedArchiveWriter a;
    // Keys and values of different lengths: only the positions present in both count.
    const int32_t uneven = a.dictionaryOfUids({a.string("A"), a.string("B"), a.string("C")},
                                              {a.integer(1), a.integer(2)});
    // An empty begin set, and a later "Transition" entry replacing an earlier one.
    const int32_t transition = a.dictionary({{"TBegin", a.dictionary({})}});
    const int32_t twice = a.dictionary({{"Transition", a.array({transition, transition})},
                                        {"Transition", a.array({transition})}});
    QCOMPARE(convertBytes(a.build(a.array({uneven, twice}))),
             QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                        "<Project>\n"
                        "\t<Segment\n\t\tA=\"1\"\n\t\tB=\"2\"\n\t/>\n"
                        "\t<Segment\n\t>\n"
                        "\t\t<Transitions>\n"
                        "\t\t\t<Transition\n\t\t\t>\n\t\t\t\t<TBegin\n\t\t\t\t/>\n\t\t\t</Transition>\n"
                        "\t\t</Transitions>\n"
                        "\t</Segment>\n"
                        "</Project>\n"));
  }

  void failures_data()
  {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QByteArray>("error");
    const QByteArray typeMismatch = "boost::bad_any_cast: failed conversion using boost::any_cast";
    const QByteArray missingKey = "invalid map<K, T> key";
    const auto bytes = [](const std::string &s) { return QByteArray::fromStdString(s); };

    QTest::newRow("XML form of a keyed archive")
        << QByteArray("<?xml version=\"1.0\"?><plist><dict>"
                      "<key>$objects</key><array><string>$null</string><dict><key>NS.objects</key><array/></dict></array>"
                      "<key>$top</key><dict><key>root</key><dict><key>CF$UID</key><integer>1</integer></dict></dict>"
                      "</dict></plist>")
        << typeMismatch;
    QTest::newRow("root not a dictionary") << QByteArray("<plist><array/></plist>") << typeMismatch;
    QTest::newRow("no $objects") << QByteArray("<plist><dict><key>$top</key><dict/></dict></plist>") << missingKey;
    {
      BplistWriter w;
      const int root = w.reserve();
      w.set(root, w.dictBytes({{"$objects", w.array({})}, {"$top", w.dict({})}}));
      QTest::newRow("no root entry") << bytes(w.build()) << typeMismatch;
    }
    {
      KeyedArchiveWriter a;
      QTest::newRow("root beyond $objects") << bytes(a.build(500)) << QByteArray("invalid vector subscript");
    }
    {
      KeyedArchiveWriter a;
      QTest::newRow("root is a string") << bytes(a.build(a.string("x"))) << typeMismatch;
    }
    {
      KeyedArchiveWriter a;
      const int32_t segment = a.addObject(a.w.dict({{"NS.keys", a.uidArray({})}}));
      QTest::newRow("segment without NS.objects") << bytes(a.build(a.array({segment}))) << missingKey;
    }
    {
      KeyedArchiveWriter a;
      const int32_t root = a.addObject(a.w.dict({{"NS.objects", a.w.array({a.w.integer(1)})}}));
      QTest::newRow("segment reference not a UID") << bytes(a.build(root)) << typeMismatch;
    }
    {
      KeyedArchiveWriter a;
      const int32_t segment = a.dictionaryOfUids({a.integer(5)}, {a.string("v")});
      QTest::newRow("key object not a string") << bytes(a.build(a.array({segment}))) << typeMismatch;
    }
    {
      KeyedArchiveWriter a;
      const int32_t segment = a.dictionary({{"Transition", a.string("not a list")}});
      QTest::newRow("transition list not a dictionary") << bytes(a.build(a.array({segment}))) << typeMismatch;
    }
    {
      // Raised by the reader where no array swallows it: a value of the root dictionary.
      BplistWriter w;
      const int root = w.reserve();
      w.set(root, w.dictBytes({{"$archiver", w.unicode(std::u16string(1, char16_t(0xDC00)))}}));
      QTest::newRow("broken surrogate") << bytes(w.build()) << QByteArray("Conversion failed");
    }
    {
      KeyedArchiveWriter a;
      const int32_t loop = a.boxed("NS.rectval", a.nextUid()); // the box refers to itself
      const int32_t segment = a.dictionary({{"Frame", loop}});
      QTest::newRow("reference cycle") << bytes(a.build(a.array({segment})))
                                       << QByteArray("Keyed archive: value refers back to itself");
    }
    {
      // The reader leaves a broken object out of "$objects"; later UIDs are not adjusted,
      // so the root UID then names the object after the root.
      KeyedArchiveWriter a;
      const int32_t segment = a.dictionary({{"Type", a.string("Text")}});
      a.addObject(a.w.add("\x70"));
      const int32_t root = a.array({segment});
      a.string("after the root");
      QTest::newRow("object left out") << bytes(a.build(root)) << typeMismatch;
    }
    QTest::newRow("reader error") << QByteArray("bplist00") << QByteArray("Out of bounds getRange");
  }

  void failures()
  {
    QFETCH(QByteArray, archive);
    QFETCH(QByteArray, error);
    // An earlier good conversion must survive a failed one.
    writeFile("out.xml", "previous");
    writeFile("in.plist", archive.toStdString());
    QByteArray text;
    QCOMPARE(convert(true, "in.plist", "out.xml", text), 1);
    QCOMPARE(text, error);
    QCOMPARE(readFile("out.xml"), QByteArray("previous"));
    QVERIFY(strayFiles().isEmpty());
  }

  void filesAndBuffers()
  {
    QByteArray error;
    QCOMPARE(convert(true, "missing.plist", "fresh.xml", error), 1);
    QCOMPARE(error, QByteArray("Can't open file."));
    QVERIFY(!QFile::exists(path("fresh.xml")));

    writeFile("in.plist", Fixtures::propertiesArchive());
    QCOMPARE(convert(false, "in.plist", "no/such/folder/out.xml", error), 1);
    QCOMPARE(error, QByteArray("Cannot create output file"));
    // A short buffer gets the beginning of the text and a terminating NUL.
    QCOMPARE(convert(false, "in.plist", "no/such/folder/out.xml", error, 10), 1);
    QCOMPARE(error, QByteArray("Cannot cr"));
    QCOMPARE(convert(false, "in.plist", "no/such/folder/out.xml", error, 1), 1);
    QCOMPARE(error, QByteArray(""));
    QCOMPARE(convertPropertiesPlist(nullptr, nullptr, nullptr, 0), 1);
    // Success leaves the buffer untouched and replaces an older file.
    writeFile("out.xml", "older");
    QCOMPARE(convert(false, "in.plist", "out.xml", error), 0);
    QCOMPARE(error, QByteArray("(untouched)"));
    QCOMPARE(readFile("out.xml"), QByteArray(kPropertiesXml));
    // Non-ASCII folder names.
    QVERIFY(QDir(m_dir.path()).mkpath(QString::fromUtf8("Proj\xC3\xA9t")));
    QCOMPARE(convert(false, "in.plist", QString::fromUtf8("Proj\xC3\xA9t/properties.xml"), error), 0);
    QVERIFY(QFile::exists(path(QString::fromUtf8("Proj\xC3\xA9t/properties.xml"))));
    QVERIFY(strayFiles().isEmpty());
  }

  void writeFailureLeavesNoFile()
  {
    // A file-size limit makes the write fail as a full disk would.
    writeFile("in.plist", Fixtures::realisticProject());
    writeFile("out.xml", "previous");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    QByteArray error;
    const int result = convert(true, "in.plist", "out.xml", error);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &old), 0);
    QCOMPARE(result, 1);
    QCOMPARE(error, QByteArray("Cannot write output file"));
    QCOMPARE(readFile("out.xml"), QByteArray("previous"));
    QVERIFY(strayFiles().isEmpty());
  }

  void decimalCommaLocale()
  {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
      if (std::setlocale(LC_ALL, name))
        break;
    const QByteArray project = convertBytes(Fixtures::realisticProject());
    const QByteArray properties = convertBytes(Fixtures::propertiesArchive(), false);
    // The XML form reads its reals in the C locale too.
    Plist::Value value;
    const std::string xmlReal = "<plist><real>2.5</real></plist>";
    Plist::readBuffer(xmlReal.data(), int64_t(xmlReal.size()), value);
    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previous);
    QCOMPARE(project, QByteArray(kRealisticProjectXml));
    QCOMPARE(properties, QByteArray(kPropertiesXml));
    QCOMPARE(boost::any_cast<double>(value), 2.5);
  }

  void workIsBounded()
  {
    // One large segment referred to many times would write gigabytes.
    KeyedArchiveWriter a;
    Entries entries;
    const int32_t value = a.string(std::string(1000, 'x'));
    for (int i = 0; i < 200; ++i)
      entries.emplace_back("A" + std::to_string(i), value);
    const int32_t segment = a.dictionary(entries);
    const std::vector<int32_t> many(20000, segment);
    QCOMPARE(convertBytes(a.build(a.array(many))), QByteArray("Keyed archive: output too large"));
  }

  void textHelpers()
  {
    using namespace KeyedArchive;
    QCOMPARE(percentDecode("My%20Song.mp3"), std::string("My Song.mp3"));
    QCOMPARE(percentDecode("100%"), std::string("100%"));
    QCOMPARE(percentDecode("%4"), std::string("%4"));
    QCOMPARE(percentDecode("%zz%41"), std::string("%zzA"));
    QCOMPARE(percentDecode("% 9"), std::string("\x09"));
    std::string text = "aaa";
    QCOMPARE(replaceAll(text, "a", "aa"), std::string("aaaaaa"));
    QCOMPARE(replaceAll(text, "", "x"), std::string("aaaaaa"));
    QCOMPARE(escapeAttribute("<&>\"'\n\r\t"), std::string("&lt;&amp;&gt;&quot;&apos;&#10;&#13;&#9;"));
    QVERIFY(isXmlName("Segment"));
    QVERIFY(isXmlName("_x-1.2"));
    QVERIFY(!isXmlName("-x"));
    QVERIFY(!isXmlName("x y"));
    QVERIFY(!isXmlName("x:y"));
  }
};

TAVO_TEST_CORE_MAIN(TestPlistConverter)
#include "tst_plistconverter.moc"
