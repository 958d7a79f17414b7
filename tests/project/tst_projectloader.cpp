// The project loader on real project folders: the property codes, the message sequence of
// XML and plist-only projects, the chroma-key migration, the wait for the segments' loading
// and cancelling either wait.
#include "bplistwriter.h"
#include "projectloader.h"
#include "projectmanager.h"
#include "segment.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

const char *const kProperties = "<?xml version=\"1.0\"?>\n<Properties version=\"%1\" backgroundColor=\"#ff112233\"/>\n";

QByteArray projectXml(int segments)
{
  QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n";
  for (int i = 0; i < segments; ++i)
    xml += QStringLiteral("<Segment Type=\"MOVIE\" TrackId=\"1\" RangeStart=\"%1\" Duration=\"2\" Label=\"s%2\"/>\n")
               .arg(i * 2)
               .arg(i)
               .toUtf8();
  return xml + "</Project>\n";
}

QByteArray properties(const char *version)
{
  return QString::fromLatin1(kProperties).arg(QLatin1String(version)).toUtf8();
}

// A segment whose loading the test finishes.
class LoadingSegment : public Segment
{
public:
  explicit LoadingSegment(PropertyMap *properties) : Segment(properties, nullptr) {}
  bool isLoaded() const override { return loaded; }
  std::atomic<bool> loaded{false};
};

// Plays the editor window's part: on message 5 adopts the maps into segments, inserts them
// and reports the layout done.
class Window : public QObject
{
  Q_OBJECT

public:
  explicit Window(const QString &name) : m_name(name) {}
  ~Window() override { loader.reset(); }

  void start()
  {
    loader = std::make_unique<ProjectLoader>(m_name, QString(), &manager);
    connect(loader.get(), &ProjectLoader::onMessage, this, &Window::onLoaderMessage);
    loader->start();
  }
  // Waits for the thread, answering its messages meanwhile, then takes the last ones.
  bool finish(int timeoutMs = 10000)
  {
    QElapsedTimer timer;
    timer.start();
    while (!loader->wait(10)) {
      if (timer.elapsed() > timeoutMs)
        return false;
      QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return true;
  }
  QList<int> codes() const
  {
    QList<int> result;
    for (const auto &m : messages)
      result << m.first;
    return result;
  }
  QVariant payload(int code) const
  {
    for (const auto &m : messages)
      if (m.first == code)
        return m.second;
    return QVariant();
  }

  ProjectManager manager;
  std::unique_ptr<ProjectLoader> loader;
  QList<QPair<int, QVariant>> messages;
  QList<LoadingSegment *> segments;
  bool layOut = true;
  bool loadedOnArrival = true;

private slots:
  void onLoaderMessage(ProjectLoader *sender, int message, QVariant data)
  {
    QCOMPARE(sender, loader.get());
    messages.append({message, data});
    if (message != LoaderSegmentsRead)
      return;
    for (auto &map : sender->takeSegments()) {
      auto *segment = new LoadingSegment(map.release());
      segment->loaded = loadedOnArrival;
      segments.append(segment);
      manager.insertSegment(segment, nullptr);
    }
    if (layOut)
      sender->setLayoutEditAreaCompleted();
  }

private:
  QString m_name;
};

} // namespace

class TestProjectLoader : public QObject
{
  Q_OBJECT
  QTemporaryDir m_root;
  int m_count = 0;
  QString m_name;

  QString file(const QString &name) const { return ProjectManager::projectDirectory(m_name, QString()) + '/' + name; }
  void write(const QString &name, const QByteArray &bytes)
  {
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
  }

  // A plist-only project: a chroma-keyed clip, one keyed with sensitivity 0, one without keys.
  static std::string chromaProject()
  {
    KeyedArchiveWriter a;
    const int32_t keyed = a.dictionary({{"Type", a.string("MOVIE")},
                                        {"FxGreenScreenSensitivity", a.integer(55)},
                                        {"FxGreenScreenSmooth", a.integer(20)}});
    const int32_t off = a.dictionary({{"Type", a.string("MOVIE")},
                                      {"FxGreenScreenSensitivity", a.integer(0)},
                                      {"FxGreenScreenSmooth", a.integer(3)}});
    const int32_t plain = a.dictionary({{"Type", a.string("TEXT")}});
    return a.build(a.array({keyed, off, plain}));
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_root.isValid());
    ProjectManager::setWorkingDirectory(m_root.path());
  }

  // Each test gets a project folder of its own.
  void init()
  {
    m_name = QStringLiteral("Project %1").arg(++m_count);
    QVERIFY(QDir().mkpath(ProjectManager::projectDirectory(m_name, QString())));
  }

  void propertiesCodes_data()
  {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("plist");
    QTest::addColumn<int>("code");
    QTest::newRow("no properties file") << QByteArray() << QByteArray() << 12;
    QTest::newRow("version 5") << properties("5") << QByteArray() << 0;
    QTest::newRow("version 5.01") << properties("5.01") << QByteArray() << 13;
    QTest::newRow("broken xml") << QByteArray("<?xml version=\"1.0\"?>\n<Properties version=\"5\"")
                                << QByteArray() << 12;
    QTest::newRow("plist only") << QByteArray() << QByteArray::fromStdString(Fixtures::propertiesArchive()) << 0;
    QTest::newRow("xml wins over broken plist") << properties("4") << QByteArray("garbage") << 0;
    QTest::newRow("broken plist") << QByteArray() << QByteArray("bplist00 garbage") << 11;
  }

  void propertiesCodes()
  {
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, plist);
    QFETCH(int, code);
    if (!xml.isEmpty())
      write("properties.xml", xml);
    if (!plist.isEmpty())
      write("properties.plist", plist);
    ProjectManager manager;
    QString error;
    QCOMPARE(ProjectLoader::loadProperties(m_name, QString(), &manager, &error), code);
    QCOMPARE(error.isEmpty(), code != 11);
    // A conversion leaves the XML file for the next open; a failed one leaves none.
    if (xml.isEmpty() && !plist.isEmpty())
      QCOMPARE(QFile::exists(file("properties.xml")), code == 0);
  }

  void xmlProject_data()
  {
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("modified");
    QTest::newRow("4.0") << QByteArray("4.0") << false;
    QTest::newRow("2.5 is saved again") << QByteArray("2.5") << true;
  }

  void xmlProject()
  {
    QFETCH(QByteArray, version);
    QFETCH(bool, modified);
    write("project.xml", projectXml(3));
    write("properties.xml", properties(version.constData()));
    Window window(m_name);
    QCOMPARE(ProjectLoader::loadProperties(m_name, QString(), &window.manager, nullptr), 0);
    QElapsedTimer timer;
    timer.start();
    window.start();
    QVERIFY(window.finish());
    // Loaded within four seconds: no progress message.
    QCOMPARE(window.codes(), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead, LoaderFinished}));
    QCOMPARE(window.payload(LoaderBackgroundColor).toInt(), int(0xff112233u));
    QVERIFY2(timer.elapsed() >= 1000 && timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(window.manager.segmentCount(), 3);
    for (int i = 0; i < 3; ++i)
      QCOMPARE(window.manager.segmentAt(i)->properties()->text("Label"), QStringLiteral("s%1").arg(i));
    QCOMPARE(window.manager.isModified(), modified);
    QVERIFY(window.loader->takeSegments().empty());
  }

  void plistOnlyProject()
  {
    write("project.plist", QByteArray::fromStdString(chromaProject()));
    write("properties.plist", QByteArray::fromStdString(Fixtures::propertiesArchive()));
    {
      Window window(m_name);
      QString error;
      QCOMPARE(ProjectLoader::loadProperties(m_name, QString(), &window.manager, &error), 0);
      window.start();
      QVERIFY(window.finish());
      QCOMPARE(window.codes(), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead, LoaderFinished}));
      QCOMPARE(window.segments.size(), 3);
      const PropertyMap *keyed = window.segments[0]->properties();
      QCOMPARE(keyed->text("KeyEnabled"), QStringLiteral("1"));
      QCOMPARE(keyed->text("KeySensitivity"), QStringLiteral("55"));
      QCOMPARE(keyed->text("KeyColor"), QStringLiteral("#ff00ff00"));
      QCOMPARE(keyed->text("KeySmoothing"), QStringLiteral("20"));
      QVERIFY(!keyed->contains("FxGreenScreenSensitivity") && !keyed->contains("FxGreenScreenSmooth"));
      const PropertyMap *off = window.segments[1]->properties();
      QCOMPARE(off->text("FxGreenScreenSensitivity"), QStringLiteral("0"));
      QCOMPARE(off->text("FxGreenScreenSmooth"), QStringLiteral("3"));
      QVERIFY(!off->contains("KeyEnabled") && !off->contains("KeySensitivity") && !off->contains("KeySmoothing"));
      QVERIFY(!window.segments[2]->properties()->contains("KeyEnabled"));
      QVERIFY(window.manager.isModified());
    }
    QVERIFY(QFile::exists(file("project.xml")) && QFile::exists(file("properties.xml")));

    // The next open reads the XML files: the plists are not looked at again.
    write("project.plist", "garbage");
    write("properties.plist", "garbage");
    Window again(m_name);
    QCOMPARE(ProjectLoader::loadProperties(m_name, QString(), &again.manager, nullptr), 0);
    again.start();
    QVERIFY(again.finish());
    QCOMPARE(again.codes(), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead, LoaderFinished}));
    QCOMPARE(again.segments.size(), 3);
  }

  void damagedProjects_data()
  {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("plist");
    QTest::addColumn<int>("code");
    QTest::newRow("no project file") << QByteArray() << QByteArray() << int(LoaderProjectDamaged);
    QTest::newRow("broken xml") << QByteArray("<Project><Segment Type=\"MOVIE\"/><Segment") << QByteArray()
                                << int(LoaderProjectDamaged);
    QTest::newRow("broken plist") << QByteArray() << QByteArray("bplist00 not really") << int(LoaderConvertFailed);
  }

  void damagedProjects()
  {
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, plist);
    QFETCH(int, code);
    if (!xml.isEmpty())
      write("project.xml", xml);
    if (!plist.isEmpty())
      write("project.plist", plist);
    Window window(m_name);
    window.start();
    QVERIFY(window.finish(3000));
    QCOMPARE(window.codes(), QList<int>({code}));
    QCOMPARE(window.messages[0].second.isValid(), code == LoaderConvertFailed);
    if (code == LoaderConvertFailed)
      QVERIFY(!window.messages[0].second.toString().isEmpty());
    QVERIFY(!QFile::exists(file("project.xml")) || !xml.isEmpty());
  }

  // Loading that lasts beyond four seconds is reported once a second with the counts of
  // the poll before.
  void progressWhileLoading()
  {
    write("project.xml", projectXml(2));
    write("properties.xml", properties("5"));
    Window window(m_name);
    window.loadedOnArrival = false;
    window.start();
    QTRY_COMPARE(window.segments.size(), 2);
    window.segments[0]->loaded = true;
    QTimer::singleShot(5500, [&window] { window.segments[1]->loaded = true; });
    QTRY_VERIFY_WITH_TIMEOUT(window.codes().contains(LoaderFinished), 9000);
    QVERIFY(window.finish());
    // Progress comes once a second after the first four; how many depends on the machine's
    // load, so only the shape of the sequence is fixed.
    const QList<int> codes = window.codes();
    QVERIFY2(codes.size() >= 4, qPrintable(QString::number(codes.size())));
    QCOMPARE(codes.mid(0, 2), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead}));
    QCOMPARE(codes.last(), int(LoaderFinished));
    for (int i = 2; i < codes.size() - 1; ++i) {
      QCOMPARE(codes[i], int(LoaderProgress));
      QCOMPARE(window.messages[i].second.toPoint(), QPoint(1, 2));
    }
  }

  void cancelWaitingForLayout()
  {
    write("project.xml", projectXml(1));
    Window window(m_name);
    window.layOut = false;
    window.start();
    QTRY_VERIFY(window.codes().contains(LoaderSegmentsRead));
    QVERIFY(window.manager.isModified()); // set by inserting; a finished load would clear it
    window.loader->cancel();
    QVERIFY(window.finish(500));
    QCOMPARE(window.codes(), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead}));
    QVERIFY(window.manager.isModified());
  }

  void cancelWaitingForLoading()
  {
    write("project.xml", projectXml(1));
    Window window(m_name);
    window.loadedOnArrival = false;
    window.start();
    QTRY_VERIFY(window.codes().contains(LoaderSegmentsRead));
    QTest::qWait(1500);
    QElapsedTimer timer;
    timer.start();
    window.loader->cancel();
    QVERIFY(window.finish(500));
    QVERIFY2(timer.elapsed() < 300, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(window.codes(), QList<int>({LoaderBackgroundColor, LoaderSegmentsRead}));
  }

  // A window torn down mid-load deletes its loader: that stops and joins the thread.
  void deletingARunningLoader()
  {
    write("project.xml", projectXml(1));
    Window window(m_name);
    window.layOut = false;
    window.start();
    QTRY_VERIFY(window.codes().contains(LoaderSegmentsRead));
    QElapsedTimer timer;
    timer.start();
    window.loader.reset();
    QVERIFY(timer.elapsed() < 500);
  }
};

TAVO_TEST_CORE_MAIN(TestProjectLoader)
#include "tst_projectloader.moc"
