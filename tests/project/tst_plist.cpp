// Property-list reader: both forms, and hostile input of every kind ending in an error.

#include "bplistwriter.h"
#include "plist.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <sstream>

using namespace Plist;

Q_DECLARE_METATYPE(std::string)

namespace {

Value parse(const std::string &bytes)
{
  Value value;
  readBuffer(bytes.data(), int64_t(bytes.size()), value);
  return value;
}

// The text of the exception a parse ends in, or "no error".
QString errorOf(const std::string &bytes)
{
  try {
    parse(bytes);
  } catch (const std::exception &e) {
    return QString::fromUtf8(e.what());
  }
  return QStringLiteral("no error");
}

const Dictionary &dict(const Value &v)
{
  return boost::any_cast<const Dictionary &>(v);
}

const Value &at(const Value &v, const char *key)
{
  return dict(v).at(key);
}

std::string xml(const std::string &body)
{
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>";
}

// A one-object list whose only object has these bytes.
std::string single(const std::string &objectBytes)
{
  BplistWriter w;
  w.add(objectBytes);
  return w.build();
}

std::string bytes(std::initializer_list<int> list)
{
  std::string out;
  for (int b : list)
    out += char(b);
  return out;
}

} // namespace

class TestPlist : public QObject
{
  Q_OBJECT
private slots:
  void binaryScalars()
  {
    BplistWriter w;
    const int root = w.reserve();
    std::vector<std::pair<std::string, int>> e;
    e.emplace_back("int1", w.add(bytes({0x10, 0xFF})));
    e.emplace_back("int4", w.add(bytes({0x12, 0xFF, 0xFF, 0xFF, 0xFF})));
    e.emplace_back("int8", w.add(bytes({0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    e.emplace_back("int16", w.add("\x14" + std::string(8, '\x7F') + BplistWriter::bigEndian(42, 8)));
    e.emplace_back("real4", w.add(bytes({0x22, 0x3F, 0x80, 0x00, 0x00})));
    e.emplace_back("real2", w.add(bytes({0x21, 0x3F, 0x80})));
    e.emplace_back("real8", w.real(-2.25));
    e.emplace_back("date0", w.date(0.0));
    e.emplace_back("dateNeg", w.date(-1.5));
    e.emplace_back("uid", w.add(bytes({0x80, 0x05})));
    e.emplace_back("five", w.add(bytes({0x10, 0x05})));
    e.emplace_back("yes", w.boolean(true));
    e.emplace_back("no", w.boolean(false));
    e.emplace_back("ascii20", w.string("abcdefghijklmnopqrst"));
    e.emplace_back("emoji", w.unicode(u"a\U0001F600"));
    e.emplace_back("data", w.data(std::string("\0\x01\xFF", 3)));
    e.emplace_back("empty", w.string(""));
    w.set(root, w.dictBytes(e));
    const std::string file = w.build();
    // The 20-character string uses the long length form: 0x5F, then the integer 0x10 0x14.
    QVERIFY(file.find(bytes({0x5F, 0x10, 0x14}) + "abcdefghijklmnopqrst") != std::string::npos);

    const Value v = parse(file);
    QCOMPARE(boost::any_cast<Integer>(at(v, "int1")), Integer(255));
    QCOMPARE(boost::any_cast<Integer>(at(v, "int4")), Integer(4294967295LL));
    QCOMPARE(boost::any_cast<Integer>(at(v, "int8")), Integer(-1));
    QCOMPARE(boost::any_cast<Integer>(at(v, "int16")), Integer(42));
    QCOMPARE(boost::any_cast<double>(at(v, "real4")), 1.0);
    QCOMPARE(boost::any_cast<double>(at(v, "real2")), 0.0);
    QCOMPARE(boost::any_cast<double>(at(v, "real8")), -2.25);
    QCOMPARE(boost::any_cast<Date>(at(v, "date0")).time, int64_t(978307200));
    QCOMPARE(boost::any_cast<Date>(at(v, "dateNeg")).time, int64_t(978307198));
    QCOMPARE(boost::any_cast<Uid>(at(v, "uid")), Uid(5));
    QVERIFY_EXCEPTION_THROWN(boost::any_cast<Integer>(at(v, "uid")), boost::bad_any_cast);
    QVERIFY_EXCEPTION_THROWN(boost::any_cast<Uid>(at(v, "five")), boost::bad_any_cast);
    QCOMPARE(boost::any_cast<bool>(at(v, "yes")), true);
    QCOMPARE(boost::any_cast<bool>(at(v, "no")), false);
    QCOMPARE(boost::any_cast<std::string>(at(v, "ascii20")), std::string("abcdefghijklmnopqrst"));
    QCOMPARE(boost::any_cast<std::string>(at(v, "emoji")), std::string("a\xF0\x9F\x98\x80"));
    QCOMPARE(boost::any_cast<Data>(at(v, "data")), Data({'\0', '\x01', '\xFF'}));
    QCOMPARE(boost::any_cast<std::string>(at(v, "empty")), std::string());
  }

  void binaryContainers()
  {
    // The top-object field is ignored: the root is object 0.
    {
      BplistWriter w;
      const int root = w.reserve();
      w.set(root, w.dictBytes({{"a", w.integer(1)}}));
      w.topObject = 3;
      QCOMPARE(boost::any_cast<Integer>(at(parse(w.build()), "a")), Integer(1));
    }
    // A broken array element is left out; the others stay in order.
    {
      BplistWriter w;
      const int root = w.reserve();
      const int bad = w.add(bytes({0x70}));
      w.set(root, w.dictBytes({{"list", w.array({w.integer(1), bad, w.integer(3), 99})}}));
      const Value v = parse(w.build());
      const auto &list = boost::any_cast<const Array &>(at(v, "list"));
      QCOMPARE(int(list.size()), 2);
      QCOMPARE(boost::any_cast<Integer>(list[1]), Integer(3));
    }
    // A non-string key skips its pair; a later equal key replaces the value.
    {
      BplistWriter w;
      const int root = w.reserve();
      const int k = w.string("k");
      w.set(root, w.dictBytes({w.integer(7), k, k}, {w.integer(1), w.integer(2), w.integer(3)}));
      const Value v = parse(w.build());
      QCOMPARE(int(dict(v).size()), 1);
      QCOMPARE(boost::any_cast<Integer>(at(v, "k")), Integer(3));
    }
    // An array holding itself loses that element instead of recursing.
    {
      BplistWriter w;
      const int root = w.reserve();
      const int self = w.reserve();
      w.set(self, w.arrayBytes({self, w.integer(4)}));
      w.set(root, w.dictBytes({{"self", self}}));
      const Value v = parse(w.build());
      const auto &list = boost::any_cast<const Array &>(at(v, "self"));
      QCOMPARE(int(list.size()), 1);
      QCOMPARE(boost::any_cast<Integer>(list[0]), Integer(4));
    }
    // One object shared by two containers is not a cycle.
    {
      BplistWriter w;
      const int root = w.reserve();
      const int shared = w.array({w.integer(1)});
      w.set(root, w.dictBytes({{"a", shared}, {"b", w.array({shared, shared})}}));
      const Value v = parse(w.build());
      QCOMPARE(int(boost::any_cast<const Array &>(at(v, "b")).size()), 2);
    }
  }

  void binaryMalformed_data()
  {
    QTest::addColumn<std::string>("file");
    QTest::addColumn<QString>("error");
    const QString bounds = "Out of bounds getRange";

    QTest::newRow("header only") << std::string("bplist00") << bounds;
    const std::string good = single(bytes({0x10, 0x01}));
    QTest::newRow("shorter than header and trailer") << good.substr(0, 39) << bounds;
    QTest::newRow("tail cut off") << good.substr(0, good.size() - 5) << "Plist: invalid trailer";
    QTest::newRow("null marker") << single(bytes({0x00})) << "Plist: null byte encountered, unsure how to parse";
    QTest::newRow("fill marker") << single(bytes({0x0F})) << "Plist: fill byte encountered, unsure how to parse";
    QTest::newRow("unknown 0x0n") << single(bytes({0x07})) << QString("Plist: unknown header \x07");
    QTest::newRow("type 7") << single(bytes({0x70})) << "This type is not supported";
    QTest::newRow("type F") << single(bytes({0xF3})) << "This type is not supported";
    QTest::newRow("lone low surrogate") << single(bytes({0x61, 0xDC, 0x00})) << "Conversion failed";
    QTest::newRow("high surrogate at end") << single(bytes({0x62, 0x00, 0x41, 0xD8, 0x3D})) << "Conversion failed";
    QTest::newRow("high then letter") << single(bytes({0x62, 0xD8, 0x3D, 0x00, 0x41})) << "Conversion failed";
    QTest::newRow("length not an integer") << single(bytes({0x5F, 0x23, 0, 0, 0, 0, 0, 0, 0, 0})) << "Plist: length is not an integer";
    QTest::newRow("length marker missing") << single(bytes({0x5F})) << bounds;
    QTest::newRow("negative length") << single(bytes({0x5F, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE})) << bounds;
    QTest::newRow("huge string length") << single(bytes({0x5F, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << bounds;
    QTest::newRow("huge unicode length") << single(bytes({0x6F, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << bounds;
    QTest::newRow("huge array count") << single(bytes({0xAF, 0x13, 0x40, 0, 0, 0, 0, 0, 0, 0})) << bounds;
    QTest::newRow("huge dict count") << single(bytes({0xDF, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << bounds;
    QTest::newRow("int of 32768 bytes") << single(bytes({0x1F, 0x01})) << bounds;
    QTest::newRow("real past end") << single(bytes({0x23, 0x01})) << bounds;
    QTest::newRow("date past end") << single(bytes({0x33, 0x01})) << bounds;
    QTest::newRow("uid past end") << single(bytes({0x8F, 0x01})) << bounds;
    QTest::newRow("date not a number") << single(bytes({0x33, 0x7F, 0xF8, 0, 0, 0, 0, 0, 0})) << "Plist::Date::set() date invalid";
    QTest::newRow("date too far") << single(bytes({0x33, 0x7F, 0xEF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << "Plist::Date::set() date invalid";
    {
      BplistWriter w;
      const int root = w.reserve();
      w.set(root, w.dictBytes({w.string("k")}, {99}));
      QTest::newRow("reference outside the table") << w.build() << bounds;
    }
    {
      BplistWriter w;
      w.integer(1);
      w.offsetTableOffsetDelta = 1000;
      QTest::newRow("table offset past trailer") << w.build() << bounds;
    }
    {
      BplistWriter w;
      w.integer(1);
      w.offsetTableOffsetDelta = -1000000;
      QTest::newRow("table offset negative") << w.build() << bounds;
    }
    {
      std::string file = single(bytes({0x10, 0x01}));
      file[file.size() - 32 + 6] = 0;
      QTest::newRow("zero offset size") << file << "Plist: invalid trailer";
      file = single(bytes({0x10, 0x01}));
      file[file.size() - 32 + 7] = 0;
      QTest::newRow("zero reference size") << file << "Plist: invalid trailer";
    }
    {
      std::string file = single(bytes({0x10, 0x01}));
      file.replace(file.size() - 36, 4, BplistWriter::bigEndian(0x7FFFFFF0, 4));
      QTest::newRow("object offset out of range") << file << bounds;
    }
    {
      BplistWriter w;
      w.offsetIntSize = 3; // the last entry runs into the trailer
      w.integer(1);
      w.integer(2);
      std::string file = w.build();
      file.erase(file.size() - 33, 1);
      QTest::newRow("partial table entry") << file << bounds;
    }
    {
      BplistWriter w;
      const int root = w.reserve();
      w.set(root, w.dictBytes({w.string("k")}, {root}));
      QTest::newRow("dictionary holds itself") << w.build() << "Plist: object refers to itself";
    }
    {
      BplistWriter w;
      const int first = w.reserve();
      int previous = first;
      for (int i = 0; i < 300; ++i) {
        const int next = w.reserve();
        w.set(previous, w.dictBytes({w.string("k")}, {next}));
        previous = next;
      }
      w.set(previous, bytes({0x10, 0x01}));
      QTest::newRow("deep nesting") << w.build() << "Plist: nesting too deep";
    }
    {
      // Shared references make the tree grow exponentially from a small file.
      BplistWriter w;
      const int first = w.reserve();
      int previous = first;
      for (int i = 0; i < 40; ++i) {
        const int next = w.reserve();
        w.set(previous, w.arrayBytes({next, next, next, next}));
        previous = next;
      }
      w.set(previous, bytes({0x10, 0x01}));
      QTest::newRow("exponential fan-out") << w.build() << "Plist: too many values";
    }
    {
      // Elements that all fail cost no values but must not cost endless work either.
      BplistWriter w;
      const int first = w.reserve();
      const int inner = w.reserve();
      const int bad = w.add(bytes({0x70}));
      w.set(inner, w.arrayBytes(std::vector<int>(3000, bad)));
      w.set(first, w.arrayBytes(std::vector<int>(3000, inner)));
      QTest::newRow("failing elements") << w.build() << "Plist: too many broken elements";
    }
  }

  void binaryMalformed()
  {
    QFETCH(std::string, file);
    QFETCH(QString, error);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(errorOf(file), error);
    // Instrumented builds run slower: the limit grows alike.
    const int scale = std::max(1, qEnvironmentVariableIntValue("TAVO_TEST_TIMEOUT_SCALE"));
    QVERIFY2(timer.elapsed() < 5000 * scale, "a hostile file must fail quickly");
  }

  void xmlForm()
  {
    const Value v = parse(xml("<dict>"
                              "<key>int</key><integer>12abc</integer>"
                              "<key>neg</key><integer>  -7</integer>"
                              "<key>none</key><integer>x</integer>"
                              "<key>real</key><real>2.5e3</real>"
                              "<key>data</key><data>SGVs\n bG8=</data>"
                              "<key>short</key><data>SGVsbG8</data>"
                              "<key>date</key><date>2001-01-01T00:00:00Z</date>"
                              "<key>text</key><string>a &amp; b</string>"
                              "<key>emptyText</key><string/>"
                              "<key>yes</key><true/><key>no</key><false/>"
                              "<key>list</key><array><integer>1</integer><string>x</string></array>"
                              "<key>dup</key><integer>1</integer><key>dup</key><integer>2</integer>"
                              "</dict>"));
    QCOMPARE(boost::any_cast<Integer>(at(v, "int")), Integer(12));
    QCOMPARE(boost::any_cast<Integer>(at(v, "neg")), Integer(-7));
    QCOMPARE(boost::any_cast<Integer>(at(v, "none")), Integer(0));
    QCOMPARE(boost::any_cast<double>(at(v, "real")), 2500.0);
    QCOMPARE(boost::any_cast<Data>(at(v, "data")), Data({'H', 'e', 'l', 'l', 'o'}));
    QCOMPARE(boost::any_cast<Data>(at(v, "short")), Data({'H', 'e', 'l'}));
    QCOMPARE(boost::any_cast<Date>(at(v, "date")).time, int64_t(978307200));
    QCOMPARE(boost::any_cast<std::string>(at(v, "text")), std::string("a & b"));
    QCOMPARE(boost::any_cast<std::string>(at(v, "emptyText")), std::string());
    QCOMPARE(boost::any_cast<bool>(at(v, "yes")), true);
    QCOMPARE(boost::any_cast<bool>(at(v, "no")), false);
    QCOMPARE(int(boost::any_cast<const Array &>(at(v, "list")).size()), 2);
    QCOMPARE(boost::any_cast<Integer>(at(v, "dup")), Integer(2));

    Data data;
    base64Decode("QQ==", "QQ==" + 4, data); // "=" after two characters: one byte
    QCOMPARE(data, Data({'A'}));
    data.clear();
    base64Decode("Q===", "Q===" + 4, data); // after one character: nothing
    QVERIFY(data.empty());
  }

  void xmlMalformed_data()
  {
    QTest::addColumn<std::string>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("not well-formed") << std::string("<plist><dict>") << "Plist: XML parsed with error Start-end tags mismatch";
    QTest::newRow("unknown element") << xml("<dict><key>a</key><foo/></dict>") << "Plist: XML unknown node type foo";
    QTest::newRow("no plist element") << std::string("<other/>") << "Plist: XML unknown node type ";
    QTest::newRow("value without key") << xml("<dict><integer>1</integer></dict>") << "Plist: XML dictionary key expected but not found";
    QTest::newRow("key after key") << xml("<dict><key>a</key><key>b</key></dict>")
                                   << "Plist: XML dictionary value expected for key abut found another key node";
    QTest::newRow("final key") << xml("<dict><key>a</key></dict>") << "Plist: XML dictionary value expected for key abut not found";
    QTest::newRow("bad date") << xml("<date>yesterday</date>") << "Plist::Date::set() date invalid";
    std::string deep;
    for (int i = 0; i < 5000; ++i)
      deep += "<array>";
    for (int i = 0; i < 5000; ++i)
      deep += "</array>";
    QTest::newRow("deep nesting") << xml(deep) << "Plist: nesting too deep";
  }

  void xmlMalformed()
  {
    QFETCH(std::string, file);
    QFETCH(QString, error);
    QCOMPARE(errorOf(file), error);
  }

  void entryPoints()
  {
    QCOMPARE(errorOf(std::string()), QString("Plist: Empty plist data"));
    Value v;
    QVERIFY_EXCEPTION_THROWN(readBuffer(nullptr, 10, v), Error);

    QTemporaryDir dir;
    const auto path16 = [&](const QString &name) {
      const QString p = dir.filePath(name);
      return std::u16string(reinterpret_cast<const char16_t *>(p.utf16()), size_t(p.size()));
    };
    const auto write = [&](const QString &name, const std::string &content) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(content.data(), qint64(content.size()));
    };
    const auto fileError = [&](const QString &name, Dictionary &d) {
      try {
        readFile(path16(name), d);
      } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
      }
      return QString("no error");
    };

    Dictionary d{{"keep", Value(Integer(1))}};
    QCOMPARE(fileError("missing.plist", d), QString("Can't open file."));
    QVERIFY(QDir(dir.path()).mkdir("folder.plist"));
    QCOMPARE(fileError("folder.plist", d), QString("Can't open file."));
    write("empty.plist", "");
    QCOMPARE(fileError("empty.plist", d), QString("Can't read zero length data"));
    write("array.plist", xml("<array/>"));
    QCOMPARE(fileError("array.plist", d), QString("boost::bad_any_cast: failed conversion using boost::any_cast"));
    {
      QFile big(dir.filePath("big.plist"));
      QVERIFY(big.open(QIODevice::WriteOnly));
      QVERIFY(big.resize(kMaxFileSize + 1)); // sparse: no disk used
    }
    QCOMPARE(fileError("big.plist", d), QString("Plist: data too large"));
    // Failures leave the caller's dictionary as it was.
    QCOMPARE(int(d.size()), 1);

    write("ok.plist", xml("<dict><key>b</key><true/></dict>"));
    QCOMPARE(fileError("ok.plist", d), QString("no error"));
    QCOMPARE(int(d.size()), 1);
    QVERIFY(d.count("b"));

    // Non-ASCII file names reach the file system as UTF-8.
    write(QString::fromUtf8("Projekt \xC3\xA4.plist"), xml("<dict/>"));
    QCOMPARE(fileError(QString::fromUtf8("Projekt \xC3\xA4.plist"), d), QString("no error"));

    std::istringstream stream(xml("<dict><key>x</key><string>y</string></dict>"));
    readDictionary(stream, d);
    QCOMPARE(boost::any_cast<std::string>(d.at("x")), std::string("y"));
  }

  void dates()
  {
    Date date;
    date.set(13, 1, 2000, 0, 0, 0, true); // month 13 rolls over into the next year
    QCOMPARE(date.time, int64_t(978307200));
    date.set(2, 29, 2020, 12, 30, 15, true);
    QCOMPARE(date.time, int64_t(1582979415));
    QVERIFY(Date().time > 1700000000);
  }
};

TAVO_TEST_CORE_MAIN(TestPlist)
#include "tst_plist.moc"
