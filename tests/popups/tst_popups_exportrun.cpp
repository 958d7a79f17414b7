// The export popup while the editor exports: the progress page that cannot be left, the
// error page, and the result page with the facts of a real movie file.

#include "animationswitch.h"
#include "desktopservices.h"
#include "mediafixtures.h"
#include "popupmovieexportingwidget.h"
#include "popuptestwindow.h"
#include "testenv.h"
#include "util.h"

#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>

namespace {

class CapturingDesktop : public DesktopServices
{
public:
  QList<QList<QUrl>> shown;
  CapturingDesktop() { DesktopServices::setInstance(this); }
  ~CapturingDesktop() override { DesktopServices::setInstance(nullptr); }
  bool openUrl(const QUrl &) override { return true; }
  bool showItems(const QList<QUrl> &files) override
  {
    shown << files;
    return true;
  }
};

// An export popup on its settings page, as the editor shows it before Export.
struct Exporting
{
  AnimationsOff off;
  PopupTestWindow w;
  QPointer<PopupMovieExportingWidget> popup;
  QSignalSpy *dismissed = nullptr;
  Exporting()
  {
    popup = new PopupMovieExportingWidget(&w.top);
    popup->showPopupWithSettings(&w.top, 2, 16, 9, "My Movie", "/tmp", "h264", 30, 0);
    dismissed = new QSignalSpy(popup.data(), &CommonPopup::dismissed);
  }
  ~Exporting()
  {
    delete dismissed;
    delete popup;
  }
  QString page() const { return popup->findChild<QStackedWidget *>("mainStackedWidget")->currentWidget()->objectName(); }
  QString text(const char *name) const { return popup->findChild<QLabel *>(name)->text(); }
  QPushButton *button(const char *name) const { return popup->findChild<QPushButton *>(name); }
  // A press on the overlay well away from the centred panel.
  void clickOutside() { QTest::mouseClick(popup.data(), Qt::LeftButton, {}, QPoint(5, 5)); }
};

QString writeBytes(const QString &path, int count)
{
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QString();
  file.write(QByteArray(count, 'x'));
  return path;
}

} // namespace

class TestExportRun : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void progressCannotBeLeft();
  void errorPage();
  void resultOfARealMovie_data();
  void resultOfARealMovie();
  void sizeText_data();
  void sizeText();
  void durationRoundsUp_data();
  void durationRoundsUp();
  void progressAfterTheResultIsIgnored();
  void missingOrEmptyOutputIsAnError_data();
  void missingOrEmptyOutputIsAnError();
  void goButtonShowsTheFile();

private:
  QTemporaryDir _dir;
  QString _path(const QString &name) const { return _dir.filePath(name); }
};

void TestExportRun::progressCannotBeLeft()
{
  Exporting e;
  QSignalSpy cancel(e.popup.data(), &PopupMovieExportingWidget::popupMovieExportingWidgetExportCancelAction);
  e.popup->setExportProgress(0);
  QCOMPARE(e.page(), QString("exportPage"));
  QCOMPARE(e.text("exportLabel"), QString("Exporting movie..."));
  QCOMPARE(e.text("exportDetailLabel"), QString("Please do not exit Tavo REN or lock the computer."));
  QTest::keyClick(&e.w.top, Qt::Key_Escape);
  e.clickOutside();
  QCOMPARE(e.dismissed->size(), 0);
  QVERIFY(e.popup->isVisible());

  auto *bar = e.popup->findChild<QProgressBar *>("exportProgressBar");
  e.popup->setExportProgress(0.5f);
  QCOMPARE(bar->value(), 50);
  e.popup->setExportProgress(0.999f);
  QCOMPARE(bar->value(), 99);
  e.popup->setExportProgress(1.0f);
  QCOMPARE(bar->value(), 100);

  QTest::mouseClick(e.button("exportCancelButton"), Qt::LeftButton);
  QCOMPARE(cancel.size(), 1);
  QCOMPARE(cancel[0][0].value<PopupMovieExportingWidget *>(), e.popup.data());
  QCOMPARE(e.page(), QString("exportPage"));
  QCOMPARE(e.dismissed->size(), 0);
}

void TestExportRun::errorPage()
{
  Exporting e;
  e.popup->setExportProgress(0.3f);
  e.popup->showExportResult("Encoder could not be opened", QString());
  QCOMPARE(e.page(), QString("errorPage"));
  QCOMPARE(e.text("errorLabel"), QString("Export Failed"));
  QCOMPARE(e.text("errorDetailLabel"), QString("Encoder could not be opened"));
  // No longer held: Escape dismisses again.
  QTest::keyClick(&e.w.top, Qt::Key_Escape);
  QCOMPARE(e.dismissed->size(), 1);

  Exporting closing;
  closing.popup->showExportResult("failed", QString(), QImage());
  QCOMPARE(closing.page(), QString("errorPage"));
  QTest::mouseClick(closing.button("errorCloseButton"), Qt::LeftButton);
  QCOMPARE(closing.dismissed->size(), 1);
}

void TestExportRun::resultOfARealMovie_data()
{
  QTest::addColumn<bool>("withSound");
  QTest::newRow("picture and sound") << true;
  QTest::newRow("picture only") << false;
}

void TestExportRun::resultOfARealMovie()
{
  QFETCH(bool, withSound);
  MediaFixtures::VideoParams params;
  params.width = 160;
  params.height = 90;
  params.frames = 45;
  params.withTone = withSound;
  const QString path = _path(withSound ? "sound.mp4" : "silent.mp4");
  QVERIFY2(MediaFixtures::writeColorVideo(path, params), qPrintable(MediaFixtures::lastError()));
  QString video, audio;
  double seconds = 0;
  QVERIFY(Util::probeMediaInfo(path, video, audio, seconds));

  Exporting e;
  e.popup->setExportProgress(1);
  e.popup->showExportResult(QString(), path);
  QCOMPARE(e.page(), QString("computerDonePage"));
  QCOMPARE(e.text("doneFileNameValueLabel"), QDir::toNativeSeparators(path));
  const qint64 size = QFileInfo(path).size();
  QCOMPARE(e.text("doneFileSizeValueLabel"),
           QString("%1 bytes (%2)").arg(QLocale().toString(size), Util::formatFileSize(size)));
  QCOMPARE(e.text("doneDurationValueLabel"), QString("00:02")); // 1.5 s
  QCOMPARE(e.text("doneVideoValueLabel"), video);
  QVERIFY(video.contains("160 x 90"));
  QCOMPARE(e.text("doneAudioValueLabel"), withSound ? audio : QString("None"));
  QTest::keyClick(&e.w.top, Qt::Key_Escape);
  QCOMPARE(e.dismissed->size(), 1);
}

void TestExportRun::sizeText_data()
{
  QTest::addColumn<int>("bytes");
  QTest::addColumn<QString>("text");
  QTest::newRow("1 byte") << 1 << "1 bytes";
  QTest::newRow("1023 bytes") << 1023 << "1,023 bytes";
  QTest::newRow("1024 bytes") << 1024 << "1,024 bytes (1 KB)";
  QTest::newRow("1.5 MB") << 1572864 << "1,572,864 bytes (1.5 MB)";
}

void TestExportRun::sizeText()
{
  QFETCH(int, bytes);
  QFETCH(QString, text);
  const QString path = writeBytes(_path(QString("bytes-%1.mp4").arg(bytes)), bytes);
  Exporting e;
  e.popup->showExportResult(QString(), path);
  QCOMPARE(e.page(), QString("computerDonePage"));
  QCOMPARE(e.text("doneFileSizeValueLabel"), text);
  // Unreadable as a movie: the defaults stay.
  QCOMPARE(e.text("doneVideoValueLabel"), QString("H.264"));
  QCOMPARE(e.text("doneAudioValueLabel"), QString("None"));
  QCOMPARE(e.text("doneDurationValueLabel"), QString("00:00"));
  QTest::mouseClick(e.button("computerDoneButton"), Qt::LeftButton);
  QCOMPARE(e.dismissed->size(), 1);
}

void TestExportRun::durationRoundsUp_data()
{
  QTest::addColumn<double>("seconds");
  QTest::addColumn<QString>("text");
  QTest::newRow("59.2 s") << 59.2 << "01:00";
  QTest::newRow("exactly 2 s") << 2.0 << "00:02";
  QTest::newRow("exactly an hour") << 3600.0 << "1:00:00";
}

void TestExportRun::durationRoundsUp()
{
  QFETCH(double, seconds);
  QFETCH(QString, text);
  // Plain PCM at a low rate: the length is exact and the file small.
  const QString path = _path(QString("tone-%1.wav").arg(seconds));
  QVERIFY2(MediaFixtures::writeTone(path, seconds, 100, 1000, 1), qPrintable(MediaFixtures::lastError()));
  Exporting e;
  e.popup->showExportResult(QString(), path);
  QCOMPARE(e.text("doneDurationValueLabel"), text);
  QVERIFY(e.text("doneAudioValueLabel").contains("1000 Hz"));
}

void TestExportRun::progressAfterTheResultIsIgnored()
{
  const QString path = writeBytes(_path("late.mp4"), 2048);
  for (bool failed : {true, false}) {
    Exporting e;
    e.popup->setExportProgress(0.9f);
    e.popup->showExportResult(failed ? "failed" : QString(), path);
    const QString resultPage = e.page();
    QCOMPARE(resultPage, failed ? QString("errorPage") : QString("computerDonePage"));
    e.popup->setExportProgress(0.95f); // queued before the end, delivered after it
    QCOMPARE(e.page(), resultPage);
    QVERIFY(!e.popup->isPersistent());
    e.clickOutside();
    QCOMPARE(e.dismissed->size(), 1);
  }
}

void TestExportRun::missingOrEmptyOutputIsAnError_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("create");
  QTest::newRow("deleted") << "deleted.mp4" << false;
  QTest::newRow("empty") << "empty.mp4" << true;
  QTest::newRow("a folder") << "folder.mp4" << false;
}

void TestExportRun::missingOrEmptyOutputIsAnError()
{
  QFETCH(QString, file);
  QFETCH(bool, create);
  const QString path = _path(file);
  if (create)
    QVERIFY(!writeBytes(path, 0).isEmpty());
  if (file.startsWith("folder"))
    QVERIFY(QDir().mkpath(path));
  Exporting e;
  e.popup->setExportProgress(1);
  e.popup->showExportResult(QString(), path);
  QCOMPARE(e.page(), QString("errorPage"));
  QVERIFY2(e.text("errorDetailLabel").contains(QDir::toNativeSeparators(path)), qPrintable(e.text("errorDetailLabel")));
  QVERIFY(!e.popup->isPersistent());
}

void TestExportRun::goButtonShowsTheFile()
{
  CapturingDesktop desktop;
  const QString path = writeBytes(_path("shown.mp4"), 4096);
  Exporting e;
  e.popup->showExportResult(QString(), path);
  QTest::mouseClick(e.button("doneFileNameGoButton"), Qt::LeftButton);
  QCOMPARE(desktop.shown.size(), 1);
  QCOMPARE(desktop.shown[0], QList<QUrl>{QUrl::fromLocalFile(path)});
  QCOMPARE(e.dismissed->size(), 0);
}

TAVO_TEST_MAIN(TestExportRun)
#include "tst_popups_exportrun.moc"
