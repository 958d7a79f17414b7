#include "desktopservices.h"
#include "mediafixtures.h"
#include "testenv.h"
#include "util.h"

#include <QGraphicsOpacityEffect>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPropertyAnimation>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QUrlQuery>
#include <QVector4D>

namespace {
// Records what the program asked of the desktop.
class FakeDesktop : public DesktopServices
{
public:
  bool fileManagerAnswers = true;
  QList<QList<QUrl>> shown;
  QList<QUrl> opened;

  bool openUrl(const QUrl &url) override
  {
    opened << url;
    return true;
  }
  bool showItems(const QList<QUrl> &files) override
  {
    shown << files;
    return fileManagerAnswers;
  }
};

bool writeText(const QString &path, const QByteArray &text)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QByteArray readText(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs a slot of this test in a child process with the given environment.
int runChild(const QString &slot, const QStringList &environment)
{
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("LANGUAGE");
  env.remove("LC_ALL");
  env.remove("LC_MESSAGES");
  for (const QString &entry : environment)
    env.insert(entry.section('=', 0, 0), entry.section('=', 1));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  child.start(QCoreApplication::applicationFilePath(), {slot});
  child.waitForFinished(60000);
  return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}
} // namespace

class TestUtil : public QObject
{
  Q_OBJECT
  QTemporaryDir m_dir;
  FakeDesktop m_desktop;

  QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
  void initTestCase() { DesktopServices::setInstance(&m_desktop); }
  void cleanupTestCase() { DesktopServices::setInstance(nullptr); }
  void init()
  {
    m_desktop = FakeDesktop();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }

  // --- numbers and texts ---

  void compareWithTolerance()
  {
    QCOMPARE(Util::compareWithTolerance(1.0f, 1.05f, 0.1f), 0);
    QCOMPARE(Util::compareWithTolerance(1.0f, 1.2f, 0.1f), -1);
    QCOMPARE(Util::compareWithTolerance(1.2f, 1.0f, 0.1f), 1);
    QCOMPARE(Util::compareWithTolerance(1.0f, 1.5f, 0.5f), 0); // the bound itself counts as equal
    QCOMPARE(Util::compareWithTolerance(2.0f, 2.0f, 0.0f), 0);
    QCOMPARE(Util::compareWithTolerance(qQNaN(), 1.0f, 0.1f), -1);
  }

  void formatDuration()
  {
    QCOMPARE(Util::formatDuration(0), QString("00:00"));
    QCOMPARE(Util::formatDuration(61), QString("01:01"));
    QCOMPARE(Util::formatDuration(3599), QString("59:59"));
    QCOMPARE(Util::formatDuration(3600), QString("1:00:00"));
    QCOMPARE(Util::formatDuration(36061), QString("10:01:01"));
  }

  void formatFileSize()
  {
    QCOMPARE(Util::formatFileSize(0), QString("0 bytes"));
    QCOMPARE(Util::formatFileSize(1023), QString("1,023 bytes"));
    QCOMPARE(Util::formatFileSize(1024), QString("1 KB"));
    QCOMPARE(Util::formatFileSize(1048575), QString("1023 KB"));
    QCOMPARE(Util::formatFileSize(1572864), QString("1.5 MB"));
    QCOMPARE(Util::formatFileSize(1073741823), QString("1024.0 MB"));
    QCOMPARE(Util::formatFileSize(1610612736), QString("1.50 GB"));
    QCOMPARE(Util::formatFileSize(qint64(5) << 40), QString("5120.00 GB"));
    // The byte count follows the locale; the rounded units keep their point.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(Util::formatFileSize(1023), QString("1.023 bytes"));
    QCOMPARE(Util::formatFileSize(1572864), QString("1.5 MB"));
  }

  void friendlyDateText()
  {
    const QDate today = QDate::currentDate();
    QCOMPARE(Util::friendlyDateText(QDateTime(today, QTime(0, 0))), QString("Today"));
    QCOMPARE(Util::friendlyDateText(QDateTime(today, QTime(23, 59, 59))), QString("Today"));
    const QDate march = QDate(today.year(), 3, today.month() == 3 && today.day() == 3 ? 4 : 3);
    QCOMPARE(Util::friendlyDateText(QDateTime(march, QTime(12, 0))), QString("3/%1").arg(march.day()));
    QCOMPARE(Util::friendlyDateText(QDateTime(QDate(2020, 3, 3), QTime(12, 0))), QString("3/3/2020"));
    QCOMPARE(Util::friendlyDateText(QDateTime(QDate(today.year() + 1, 12, 31), QTime(1, 0))),
             QString("12/31/%1").arg(today.year() + 1));
  }

  void systemLocaleTexts_data()
  {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("uiLanguage");
    QTest::addColumn<QString>("country");
    QTest::newRow("Chinese (China)") << "zh_CN.UTF-8" << "zh_CN" << "CN";
    QTest::newRow("German (Austria)") << "de_AT.UTF-8" << "de_AT" << "AT";
    QTest::newRow("C") << "C" << "C" << "en";
  }
  void systemLocaleTexts()
  {
    QFETCH(QString, lang);
    QFETCH(QString, uiLanguage);
    QFETCH(QString, country);
    // The system locale is read once per process: ask a child started under that locale.
    QCOMPARE(runChild("childLocaleTexts",
                      {"LANG=" + lang, "TAVO_EXPECT_UI_LANGUAGE=" + uiLanguage, "TAVO_EXPECT_COUNTRY=" + country}),
             0);
  }
  void childLocaleTexts()
  {
    const QString uiLanguage = qEnvironmentVariable("TAVO_EXPECT_UI_LANGUAGE");
    if (uiLanguage.isEmpty())
      QSKIP("run by systemLocaleTexts");
    QCOMPARE(Util::systemUiLanguage(), uiLanguage);
    QCOMPARE(Util::systemCountryCode(), qEnvironmentVariable("TAVO_EXPECT_COUNTRY"));
  }

  // --- addresses ---

  void updateCheckUrl()
  {
    const QString address = Util::updateCheckUrl("http://127.0.0.1:9/check now");
    QVERIFY2(address.startsWith("http://127.0.0.1:9/check%20now?product=tr&dev="), qPrintable(address));
    QVERIFY2(address.endsWith("&end=1") && !address.contains(' '), qPrintable(address));
    const QUrlQuery query(QUrl(address).query());
    const QStringList keys{"product", "dev", "os", "ver", "from", "lang", "end"};
    QStringList seen;
    for (const auto &item : query.queryItems())
      seen << item.first;
    QCOMPARE(seen, keys);
    QCOMPARE(query.queryItemValue("dev", QUrl::FullyDecoded), QSysInfo::machineHostName());
    QCOMPARE(query.queryItemValue("os", QUrl::FullyDecoded), QSysInfo::prettyProductName());
    QCOMPARE(query.queryItemValue("ver"), QString("2.3.5"));
    QCOMPARE(query.queryItemValue("from"), Util::systemCountryCode());
    QCOMPARE(query.queryItemValue("lang"), Util::systemUiLanguage());
  }

  void userHelpUrl()
  {
    qputenv("TAVO_HELP_HOST", "http://127.0.0.1:9");
    const QString empty = Util::userHelpUrl(QString());
    QVERIFY2(empty.startsWith("http://127.0.0.1:9/tavoren2/user-help-desktop/index.html"
                              "?product=tr&branch=help&topic=&dev="),
             qPrintable(empty));
    // A topic holding the query's own separators stays one field.
    const QString address = Util::userHelpUrl("a&b=c d/e");
    const QUrlQuery query(QUrl(address).query());
    QCOMPARE(query.queryItems().size(), 9);
    QCOMPARE(query.queryItemValue("topic", QUrl::FullyDecoded), QString("a&b=c d/e"));
    QCOMPARE(query.queryItemValue("branch"), QString("help"));
    qunsetenv("TAVO_HELP_HOST");
  }

  // --- files and folders ---

  void copyFile()
  {
    const QString source = path("copy-source.txt"), target = path("copy-target.txt");
    QVERIFY(writeText(source, "new"));
    QVERIFY(!Util::copyFile(path("no-such-file"), target, true));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(Util::copyFile(source, target, false));
    QCOMPARE(readText(target), QByteArray("new"));

    QVERIFY(writeText(target, "old"));
    QVERIFY(!Util::copyFile(source, target, false)); // an existing destination stays
    QCOMPARE(readText(target), QByteArray("old"));
    QVERIFY(Util::copyFile(source, target, true));
    QCOMPARE(readText(target), QByteArray("new"));

    QVERIFY(!Util::copyFile(source, path("missing-folder/x.txt"), true));
  }

  void copyFileOntoItself()
  {
    const QString file = path("self.txt");
    QVERIFY(writeText(file, "keep me"));
    QVERIFY(Util::copyFile(file, file, true));
    QCOMPARE(readText(file), QByteArray("keep me"));
    // Spelled differently or reached through a link: still the same file, which an
    // overwriting copy would otherwise delete first.
    QVERIFY(Util::copyFile(m_dir.path() + "/./self.txt", file, true));
    QVERIFY(QFile::link(file, path("self-link.txt")));
    QVERIFY(Util::copyFile(file, path("self-link.txt"), true));
    QCOMPARE(readText(file), QByteArray("keep me"));
  }

  void copyFileWindowsForm()
  {
    // A relative "C:" folder stands in for a drive so the Windows-form paths resolve here.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(QDir().mkpath("C:/work"));
    QVERIFY(writeText("C:/work/clip.txt", "clip"));
    const bool same = Util::copyFile("C:\\work\\clip.txt", "C:/work/clip.txt", true);
    const bool converted = Util::copyFile("C:\\work\\clip.txt", "C:\\work\\copy.txt", false);
    const QByteArray copied = readText("C:/work/copy.txt");
    const QByteArray kept = readText("C:/work/clip.txt");
    QDir::setCurrent(previous);
    QVERIFY(same);
    QCOMPARE(kept, QByteArray("clip"));
    QVERIFY(converted);
    QCOMPARE(copied, QByteArray("clip"));
  }

  void copyFileBackslashIsAName()
  {
    // On Linux "a\b" is one file name, not a folder and a file.
    QVERIFY(QDir(m_dir.path()).mkpath("a"));
    QVERIFY(writeText(path("a\\b"), "backslash"));
    QVERIFY(Util::copyFile(path("a\\b"), path("a/b"), false));
    QCOMPARE(readText(path("a/b")), QByteArray("backslash"));
    QVERIFY(QFileInfo::exists(path("a\\b")));
  }

  void copyDirRecursively()
  {
    const QString source = path("tree"), target = path("tree-copy");
    QVERIFY(QDir().mkpath(source + "/sub/deeper"));
    QVERIFY(writeText(source + "/one.txt", "1"));
    QVERIFY(writeText(source + "/sub/two.txt", "2"));
    QVERIFY(writeText(source + "/sub/deeper/three.txt", "3"));
    QVERIFY(writeText(source + "/.hidden", "h"));
    QVERIFY(Util::copyDirRecursively(source, target, false));
    QCOMPARE(readText(target + "/one.txt"), QByteArray("1"));
    QCOMPARE(readText(target + "/sub/deeper/three.txt"), QByteArray("3"));
    QVERIFY(!QFileInfo::exists(target + "/.hidden"));

    QVERIFY(writeText(source + "/sub/two.txt", "2b"));
    QVERIFY(!Util::copyDirRecursively(source, target, false));
    QCOMPARE(readText(target + "/sub/two.txt"), QByteArray("2"));
    QVERIFY(Util::copyDirRecursively(source, target, true));
    QCOMPARE(readText(target + "/sub/two.txt"), QByteArray("2b"));

    // Only one level of the destination is created.
    QVERIFY(!Util::copyDirRecursively(source, path("x/y/z"), false));
    QVERIFY(!QFileInfo::exists(path("x")));
  }

  void copyDirIntoOrOntoItself()
  {
    const QString source = path("loop");
    QVERIFY(QDir().mkpath(source + "/inner"));
    QVERIFY(writeText(source + "/file.txt", "f"));
    QVERIFY(!Util::copyDirRecursively(source, source + "/inner/copy", true));
    QVERIFY(!QFileInfo::exists(source + "/inner/copy"));
    QVERIFY(Util::copyDirRecursively(source, source + "/inner/..", true));
    QCOMPARE(readText(source + "/file.txt"), QByteArray("f"));
  }

  // --- pictures and media ---

  void readImageScaledToFit_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("wide") << "wide.png" << QSize(1200, 600) << QSize(600, 300);
    QTest::newRow("tall") << "tall.png" << QSize(500, 1000) << QSize(300, 600);
    QTest::newRow("square") << "square.jpg" << QSize(900, 900) << QSize(600, 600);
    QTest::newRow("smaller: own size") << "small.png" << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("exactly the side") << "exact.png" << QSize(600, 100) << QSize(600, 100);
    QTest::newRow("truncated") << "odd.png" << QSize(1000, 333) << QSize(600, 199);
    QTest::newRow("very thin") << "thin.png" << QSize(3000, 2) << QSize(600, 1);
  }
  void readImageScaledToFit()
  {
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QSize, expected);
    QVERIFY(MediaFixtures::writePicture(path(file), size.width(), size.height()));
    const QImage image = Util::readImageScaledToFit(path(file), 600);
    QCOMPARE(image.size(), expected);
    if (expected.height() > 10) {
      QCOMPARE(QColor(image.pixel(2, 2)).red() > 200, true); // top-left stays red: not rotated
      QCOMPARE(QColor(image.pixel(image.width() - 3, image.height() - 3)).blue() > 200, true);
    }
  }

  void readImageScaledToFitUnreadable()
  {
    QVERIFY(writeText(path("fake.png"), "not a picture"));
    QVERIFY(Util::readImageScaledToFit(path("fake.png"), 600).isNull());
    QVERIFY(Util::readImageScaledToFit(path("none.png"), 600).isNull());
    // The content decides, not the name.
    QVERIFY(MediaFixtures::writePicture(path("really-png.png"), 80, 40));
    QVERIFY(QFile::rename(path("really-png.png"), path("really-png.jpg")));
    QCOMPARE(Util::readImageScaledToFit(path("really-png.jpg"), 600).size(), QSize(80, 40));
  }

  void gifDuration()
  {
    QVERIFY(MediaFixtures::writeAnimatedGif(path("anim.gif"), 20, 20, {100, 200, 50, 300}));
    QCOMPARE(Util::gifDuration(path("anim.gif")), 0.65);
    QVERIFY(MediaFixtures::writeAnimatedGif(path("one.gif"), 20, 20, {70}));
    QCOMPARE(Util::gifDuration(path("one.gif")), 0.07);
    QVERIFY(writeText(path("junk.gif"), "GIF89a but nothing else"));
    QCOMPARE(Util::gifDuration(path("junk.gif")), 0.0);
    QCOMPARE(Util::gifDuration(path("none.gif")), 0.0);
  }

  void probeMediaInfo_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("codec");
    QTest::addColumn<bool>("tone");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("audio");
    QTest::addColumn<int>("rotation");
    QTest::newRow("h264 + aac") << "p.mp4" << int(MediaFixtures::VideoCodec::H264) << true
                                << "H.264, 96 x 64" << "AAC, Stereo, 48000 Hz" << 0;
    // A phone clip shot upright is shown at its turned size.
    QTest::newRow("turned a quarter") << "p-upright.mp4" << int(MediaFixtures::VideoCodec::H264) << false
                                      << "H.264, 64 x 96" << "(unchanged)" << 90;
    QTest::newRow("turned upside down") << "p-down.mp4" << int(MediaFixtures::VideoCodec::H264) << false
                                        << "H.264, 96 x 64" << "(unchanged)" << 180;
    QTest::newRow("hevc") << "p-hevc.mp4" << int(MediaFixtures::VideoCodec::HEVC) << false << "HEVC, 96 x 64"
                          << "(unchanged)" << 0;
    QTest::newRow("vp9 + opus") << "p.webm" << int(MediaFixtures::VideoCodec::VP9) << true << "VP9, 96 x 64"
                                << "Opus, Stereo, 48000 Hz" << 0;
    QTest::newRow("prores 422") << "p422.mov" << int(MediaFixtures::VideoCodec::ProRes422) << false
                                << "Apple ProRes 422, 96 x 64" << "(unchanged)" << 0;
    QTest::newRow("prores 4444") << "p4444.mov" << int(MediaFixtures::VideoCodec::ProRes4444) << false
                                 << "Apple ProRes 4444, 96 x 64" << "(unchanged)" << 0;
    QTest::newRow("mpeg4") << "p.avi" << int(MediaFixtures::VideoCodec::Mpeg4) << false
                           << "Unknown codec, 96 x 64" << "(unchanged)" << 0;
  }
  void probeMediaInfo()
  {
    QFETCH(QString, file);
    QFETCH(int, codec);
    QFETCH(bool, tone);
    QFETCH(QString, video);
    QFETCH(QString, audio);
    QFETCH(int, rotation);
    MediaFixtures::VideoParams params;
    params.width = 96;
    params.height = 64;
    params.fps = 25;
    params.frames = 50;
    params.codec = MediaFixtures::VideoCodec(codec);
    params.withTone = tone;
    params.rotation = rotation;
    QVERIFY2(MediaFixtures::writeColorVideo(path(file), params), qPrintable(MediaFixtures::lastError()));
    QString videoText, audioText = "(unchanged)";
    double seconds = -1;
    QVERIFY(Util::probeMediaInfo(path(file), videoText, audioText, seconds));
    QCOMPARE(videoText, video);
    QCOMPARE(audioText, audio);
    QVERIFY2(qAbs(seconds - 2.0) < 0.1, qPrintable(QString::number(seconds)));
  }

  void probeMediaInfoAudioAndFailures()
  {
    QVERIFY(MediaFixtures::writeTone(path("mono.wav"), 1.5, 440, 44100, 1));
    QString videoText = "(unchanged)", audioText;
    double seconds = -1;
    QVERIFY(Util::probeMediaInfo(path("mono.wav"), videoText, audioText, seconds));
    QCOMPARE(audioText, QString("Unknown codec, Mono, 44100 Hz"));
    QCOMPARE(videoText, QString("(unchanged)"));
    QVERIFY2(qAbs(seconds - 1.5) < 0.01, qPrintable(QString::number(seconds)));

    QVERIFY(MediaFixtures::writeTone(path("six.m4a"), 0.5, 440, 48000, 6));
    QVERIFY(Util::probeMediaInfo(path("six.m4a"), videoText, audioText, seconds));
    QCOMPARE(audioText, QString("AAC, 6 channels, 48000 Hz"));

    // A song's cover picture is not a video.
    QVERIFY(MediaFixtures::writePicture(path("cover.png"), 60, 60));
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-i", path("mono.wav"), "-i",
                            path("cover.png"), "-map", "0", "-map", "1", "-c:a", "libmp3lame", "-c:v", "png",
                            "-disposition:v", "attached_pic", path("song.mp3")});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    videoText = "(unchanged)";
    QVERIFY(Util::probeMediaInfo(path("song.mp3"), videoText, audioText, seconds));
    QCOMPARE(videoText, QString("(unchanged)"));
    QCOMPARE(audioText, QString("Unknown codec, Mono, 44100 Hz"));

    // A single picture has no length: 0, not a huge negative number.
    QVERIFY(MediaFixtures::writePicture(path("still.png"), 64, 48));
    QVERIFY(Util::probeMediaInfo(path("still.png"), videoText, audioText, seconds));
    QCOMPARE(videoText, QString("Unknown codec, 64 x 48"));
    QVERIFY2(seconds >= 0 && seconds < 1, qPrintable(QString::number(seconds)));

    videoText = audioText = "(unchanged)";
    seconds = -1;
    QVERIFY(!Util::probeMediaInfo(path("nothing.mp4"), videoText, audioText, seconds));
    QVERIFY(writeText(path("garbage.mp4"), QByteArray(4096, '\x17')));
    QVERIFY(!Util::probeMediaInfo(path("garbage.mp4"), videoText, audioText, seconds));
    QCOMPARE(videoText, QString("(unchanged)"));
    QCOMPARE(audioText, QString("(unchanged)"));
    QCOMPARE(seconds, -1.0);
  }

  // --- desktop ---

  void showFileInExplorer()
  {
    const QString file = path("shown file.txt");
    QVERIFY(writeText(file, "x"));
    Util::showFileInExplorer(file);
    QCOMPARE(m_desktop.shown.size(), 1);
    QCOMPARE(m_desktop.shown.first(), QList<QUrl>{QUrl::fromLocalFile(file)});
    QVERIFY(m_desktop.opened.isEmpty());

    // No file manager on the bus: open the containing folder instead.
    m_desktop.fileManagerAnswers = false;
    Util::showFileInExplorer(file);
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});

    // A relative path is shown by its absolute location.
    m_desktop = FakeDesktop();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    Util::showFileInExplorer("shown file.txt");
    QDir::setCurrent(previous);
    QCOMPARE(m_desktop.shown.value(0), QList<QUrl>{QUrl::fromLocalFile(file)});

    m_desktop = FakeDesktop();
    Util::showFileInExplorer(path("missing.txt"));
    Util::showFileInExplorer(QString());
    QVERIFY(m_desktop.shown.isEmpty() && m_desktop.opened.isEmpty());
  }

  void helpAndAboutStandIns()
  {
    Util::openUserHelp("http://127.0.0.1:9/help", "Help");
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl("http://127.0.0.1:9/help")});

    QString helpAddress, helpTitle;
    Util::setUserHelpHandler([&](const QString &address, const QString &title) {
      helpAddress = address;
      helpTitle = title;
    });
    Util::openUserHelp("http://127.0.0.1:9/other", "Other");
    Util::setUserHelpHandler(nullptr);
    QCOMPARE(helpAddress, QString("http://127.0.0.1:9/other"));
    QCOMPARE(helpTitle, QString("Other"));
    QCOMPARE(m_desktop.opened.size(), 1);

    // Without an about box installed: a plain message naming the program and its version.
    QWidget parent;
    QString aboutText;
    QTimer::singleShot(0, [&] {
      if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        aboutText = box->text();
        box->accept();
      }
    });
    Util::showAbout(&parent);
    QCOMPARE(aboutText, QCoreApplication::applicationName() + " 2.3.5");

    QWidget *aboutParent = nullptr;
    Util::setAboutHandler([&](QWidget *p) { aboutParent = p; });
    Util::showAbout(&parent);
    Util::setAboutHandler(nullptr);
    QCOMPARE(aboutParent, &parent);
  }

  // --- geometry and widgets ---

  void fitRectWithAspectRatio()
  {
    // The start window's case: 4:3 in the screen shrunk by 104 on each side.
    const QRectF fitted = Util::fitRectWithAspectRatio(4, 3, QRectF(104, 104, 1712, 832));
    QVERIFY2(qAbs(fitted.x() - 405.333) < 0.01 && qAbs(fitted.width() - 1109.333) < 0.01,
             qPrintable(QString("%1 %2").arg(fitted.x()).arg(fitted.width())));
    QCOMPARE(fitted.y(), 104.0);
    QCOMPARE(fitted.height(), 832.0);
    QCOMPARE(Util::fitRectWithAspectRatio(16, 9, QRectF(0, 0, 100, 100)), QRectF(0, 21.875, 100, 56.25));
    QCOMPARE(Util::fitRectWithAspectRatio(1, 2, QRectF(10, 20, 100, 100)), QRectF(35, 20, 50, 100));
    QCOMPARE(Util::fitRectWithAspectRatio(2, 1, QRectF(0, 0, 200, 100)), QRectF(0, 0, 200, 100));
  }

  void colorToVector4()
  {
    const QVector4D v = Util::colorToVector4(QColor(255, 0, 51, 102));
    QCOMPARE(v, QVector4D(1.0f, 0.0f, 0.2f, 0.4f));
  }

  void hasKeyboardModifier()
  {
    QVERIFY(Util::hasKeyboardModifier(Qt::ShiftModifier));
    QVERIFY(Util::hasKeyboardModifier(Qt::MetaModifier));
    QVERIFY(Util::hasKeyboardModifier(Qt::KeypadModifier | Qt::ControlModifier));
    QVERIFY(!Util::hasKeyboardModifier(Qt::NoModifier));
    QVERIFY(!Util::hasKeyboardModifier(Qt::KeypadModifier));
    QVERIFY(!Util::hasKeyboardModifier(Qt::GroupSwitchModifier));
  }

  void widgetCentre()
  {
    QWidget parent;
    auto *child = new QWidget(&parent);
    child->resize(101, 51);
    Util::moveWidgetCenterTo(child, 200, 100);
    QCOMPARE(child->pos(), QPoint(150, 75));
    QCOMPARE(Util::widgetCenter(child), QPoint(200, 100));
    Util::moveWidgetCenterTo(child, QPoint(0, 0));
    QCOMPARE(child->pos(), QPoint(-50, -25));
  }

  void findMainWindowCentralWidget()
  {
    QVERIFY(!Util::findMainWindowCentralWidget());
    QMainWindow other;
    other.setObjectName("mainwindow");
    other.setCentralWidget(new QWidget);
    QVERIFY(!Util::findMainWindowCentralWidget());
    QMainWindow editor;
    editor.setObjectName("DesktopMainWindow");
    auto *central = new QWidget;
    editor.setCentralWidget(central);
    QCOMPARE(Util::findMainWindowCentralWidget(), central);
  }

  void portraitScreenSize()
  {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize portrait = Util::portraitScreenSize();
    QVERIFY(portrait.width() <= portrait.height());
    QCOMPARE(portrait.width(), qMin(screen.width(), screen.height()));
    QCOMPARE(portrait.height(), qMax(screen.width(), screen.height()));
  }

  void fades()
  {
    QWidget window;
    window.show();
    auto *full = new QWidget(&window);
    full->hide();
    Util::fadeInWidget(full, 30, 1.0f);
    QVERIFY(full->isVisible());
    QVERIFY(qobject_cast<QGraphicsOpacityEffect *>(full->graphicsEffect()));
    QTRY_VERIFY(!full->graphicsEffect());

    auto *half = new QWidget(&window);
    Util::fadeInWidget(half, 30, 0.5f);
    // Once the fade has run (its animation goes when it stops), the effect stays at its target.
    QTRY_VERIFY(half->findChildren<QPropertyAnimation *>().isEmpty());
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(half->graphicsEffect());
    QVERIFY(effect);
    QCOMPARE(effect->opacity(), 0.5);

    QPointer<QWidget> leaving = new QWidget(&window);
    leaving->show();
    Util::fadeOutWidget(leaving, 30, true);
    QTRY_VERIFY(!leaving);

    auto *staying = new QWidget(&window);
    staying->show();
    Util::fadeOutWidget(staying, 30, false);
    QTRY_VERIFY(!staying->isVisible());
    QVERIFY(!staying->graphicsEffect());
  }

  void styleSheetsParse()
  {
    // Qt drops a sheet with a syntax error with only a warning.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
      warnings << m;
    });
    QDialog dialog;
    QMenu menu;
    QMenu popup;
    QWidget menuBar;
    QScrollBar bar(Qt::Vertical);
    Util::applyDialogStyleSheet(&dialog);
    Util::applyMenuStyleSheet(&menu);
    Util::applyPopupMenuStyleSheet(&popup);
    Util::applyMenuBarStyleSheet(&menuBar);
    Util::applyScrollBarStyleSheet(&bar);
    for (QWidget *w : {static_cast<QWidget *>(&dialog), static_cast<QWidget *>(&menu),
                       static_cast<QWidget *>(&popup), &menuBar, static_cast<QWidget *>(&bar)}) {
      QVERIFY(!w->styleSheet().isEmpty());
      w->ensurePolished();
    }
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.filter("parse", Qt::CaseInsensitive).isEmpty(), qPrintable(warnings.join('\n')));
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(31, 32, 35));
  }
};

TAVO_TEST_MAIN(TestUtil)
#include "tst_util.moc"
