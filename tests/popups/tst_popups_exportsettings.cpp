// The export popup's settings page: resolution, frame rate, codec, name and folder, the
// Export button and Return, and where the panel sits.

#include "animationswitch.h"
#include "exportlists.h"
#include "popupmovieexportingwidget.h"
#include "popuptestwindow.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>

namespace {

struct Settings
{
  int resolutionIndex = 2;
  float aspectWidth = 16;
  float aspectHeight = 9;
  QString defaultName = "My Movie";
  QString location = "/tmp/movies";
  QString codec = "h264";
  float frameRate = 30;
  int mode = 0;
};

// An export popup opened over a test window, as the editor opens it.
struct Opened
{
  AnimationsOff off;
  PopupTestWindow w;
  QPointer<PopupMovieExportingWidget> popup;
  explicit Opened(const Settings &s = Settings(), int width = 1200, int height = 800) : w(width, height)
  {
    QApplication::setActiveWindow(&w.top); // the name field takes the focus only in an active window
    popup = new PopupMovieExportingWidget(&w.top);
    popup->showPopupWithSettings(&w.top, s.resolutionIndex, s.aspectWidth, s.aspectHeight, s.defaultName,
                                 s.location, s.codec, s.frameRate, s.mode);
  }
  ~Opened() { delete popup; }
  template <typename T> T *child(const char *name) const
  {
    T *found = popup->findChild<T *>(name);
    if (!found)
      qWarning("no child %s", name);
    return found;
  }
  QString text(const char *name) const { return child<QLabel>(name)->text(); }
  QString buttonText(const char *name) const { return child<QPushButton>(name)->text(); }
  void click(const char *name) const { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
};

} // namespace

class TestExportSettings : public QObject
{
  Q_OBJECT
private slots:
  void sharedLists();
  void resolutionShown_data();
  void resolutionShown();
  void sliderStopsAt4K();
  void frameRateMenu();
  void codecMenu();
  void movieName_data();
  void movieName();
  void exportButtonAndReturn();
  void placement_data();
  void placement();
  void saveFolder();
};

void TestExportSettings::sharedLists()
{
  QCOMPARE(frameRateList(), (QList<float>{60, 30, 25, 24}));
  QCOMPARE(exportCodecIdList(), (QStringList{"h264", "hevc", "vp9"}));
  QCOMPARE(codecDisplayName("hevc"), QString("HEVC"));
  QCOMPARE(codecDisplayName("av1"), QString("H.264"));
  QCOMPARE(frameRateText(29.97f), QString("29.97"));
  QCOMPARE(frameRateText(60), QString("60"));
}

void TestExportSettings::resolutionShown_data()
{
  QTest::addColumn<float>("aspectWidth");
  QTest::addColumn<float>("aspectHeight");
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("detail");
  QTest::addColumn<int>("slider");

  QTest::newRow("16:9 1080P") << 16.0f << 9.0f << 3 << "Full HD - 1080P (1920x1080)" << 3;
  QTest::newRow("21:9 360P, short side made even") << 21.0f << 9.0f << 0 << "SD - 360P (640x274)" << 0;
  QTest::newRow("9:16 720P keeps portrait") << 9.0f << 16.0f << 2 << "HD - 720P (720x1280)" << 2;
  QTest::newRow("4:3 4K") << 4.0f << 3.0f << 4 << "Ultra HD - 4K (2880x2160)" << 4;
  // An index the slider cannot show is taken as 360P everywhere, never exported at 0 x 0.
  QTest::newRow("index 7") << 16.0f << 9.0f << 7 << "SD - 360P (640x360)" << 0;
  QTest::newRow("index -1") << 16.0f << 9.0f << -1 << "SD - 360P (640x360)" << 0;
}

void TestExportSettings::resolutionShown()
{
  QFETCH(float, aspectWidth);
  QFETCH(float, aspectHeight);
  QFETCH(int, index);
  QFETCH(QString, detail);
  QFETCH(int, slider);
  Settings s;
  s.aspectWidth = aspectWidth;
  s.aspectHeight = aspectHeight;
  s.resolutionIndex = index;
  Opened o(s);
  QCOMPARE(o.text("resolutionDetailLabel"), detail);
  QCOMPARE(o.child<QSlider>("resolutionSlider")->value(), slider);
  QCOMPARE(o.popup->resolution(), slider);
  QCOMPARE(o.popup->resolutionIndex(), slider);
}

void TestExportSettings::sliderStopsAt4K()
{
  Opened o;
  auto *slider = o.child<QSlider>("resolutionSlider");
  auto *name = o.child<QLineEdit>("nameLineEdit");
  name->setFocus();
  QTRY_VERIFY(name->hasFocus());
  // A click at the far right jumps there.
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, slider->height() / 2));
  QCOMPARE(slider->value(), 4);
  QCOMPARE(o.popup->resolution(), 4);
  QCOMPARE(o.text("resolutionDetailLabel"), QString("Ultra HD - 4K (3840x2160)"));
  QVERIFY(!name->hasFocus());
  QTest::keyClick(slider, Qt::Key_Right);
  QTest::keyClick(slider, Qt::Key_End);
  QCOMPARE(slider->value(), 4);
  QCOMPARE(o.popup->resolution(), 4);
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(2, slider->height() / 2));
  QCOMPARE(o.popup->resolution(), 0);
  QCOMPARE(o.text("resolutionDetailLabel"), QString("SD - 360P (640x360)"));
}

void TestExportSettings::frameRateMenu()
{
  Settings s;
  s.frameRate = 29.97f;
  Opened o(s);
  QCOMPARE(o.buttonText("frameRateButton"), QString("29.97"));
  ScriptedDialogProvider dialogs;
  o.click("frameRateButton"); // closed without a choice
  QCOMPARE(o.popup->frameRate(), 29.97f);
  dialogs.answers << "25";
  o.click("frameRateTriangleButton");
  QCOMPARE(o.popup->frameRate(), 25.0f);
  QCOMPARE(o.buttonText("frameRateButton"), QString("25"));
  dialogs.answers << "25";
  o.click("frameRateButton");
  QCOMPARE(o.popup->frameRate(), 25.0f);
  QCOMPARE(dialogs.calls.size(), 3);
  for (const ScriptedDialogProvider::Call &call : dialogs.calls) {
    QCOMPARE(call.kind, QString("menu"));
    QCOMPARE(call.buttons, (QStringList{"60", "30", "25", "24"}));
  }
}

void TestExportSettings::codecMenu()
{
  Settings s;
  s.codec = "av1";
  Opened o(s);
  // Unknown ids read as the first codec but go back to the editor as they came.
  QCOMPARE(o.buttonText("videoCodecButton"), QString("H.264"));
  QCOMPARE(o.popup->videoCodec(), QString("av1"));
  ScriptedDialogProvider dialogs;
  o.click("videoCodecButton");
  QCOMPARE(o.popup->videoCodec(), QString("av1"));
  dialogs.answers << "VP9";
  o.click("videoCodecTriangleButton");
  QCOMPARE(o.popup->videoCodec(), QString("vp9"));
  QCOMPARE(o.buttonText("videoCodecButton"), QString("VP9"));
  QCOMPARE(dialogs.calls.last().buttons, (QStringList{"H.264", "HEVC", "VP9"}));
}

void TestExportSettings::movieName_data()
{
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("default proposed") << QString("\x01") << "My Movie";
  QTest::newRow("emptied") << "" << "My Movie";
  QTest::newRow("blanks") << "   " << "My Movie";
  QTest::newRow("trimmed") << "  Trip  " << "Trip";
  QTest::newRow("no way out of the folder") << "../a/b:c" << ".. a b c";
  QTest::newRow("backslash and controls") << QString("a\\b\tc\nd") << "a b c d";
  QTest::newRow("nothing but separators") << "/\\:" << "My Movie";
}

void TestExportSettings::movieName()
{
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  Opened o;
  auto *name = o.child<QLineEdit>("nameLineEdit");
  QCOMPARE(name->text(), QString("My Movie"));
  if (typed != QString("\x01")) {
    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(name->text(), QString());
    if (typed.contains(QRegularExpression("[\\t\\n]")))
      name->setText(typed); // pasted: a key press could not put these in
    else
      QTest::keyClicks(name, typed);
  }
  QCOMPARE(o.popup->movieName(), expected);
}

void TestExportSettings::exportButtonAndReturn()
{
  Opened o;
  QSignalSpy share(o.popup.data(), &PopupMovieExportingWidget::popupMovieExportingWidgetShareAction);
  o.click("exportButton");
  QCOMPARE(share.size(), 1);
  QCOMPARE(share[0][0].value<PopupMovieExportingWidget *>(), o.popup.data());
  QCOMPARE(share[0][1].value<MovieExportingAction>(), MovieExportingActionComputer);
  QTest::keyClick(&o.w.top, Qt::Key_Return);
  QCOMPARE(share.size(), 2);
  QCOMPARE(share[1][1].value<MovieExportingAction>(), MovieExportingActionComputer);
  // Typing the name and pressing Return exports as well.
  auto *name = o.child<QLineEdit>("nameLineEdit");
  name->setFocus();
  QTRY_VERIFY(name->hasFocus());
  QTest::keyClick(name, Qt::Key_Enter);
  QCOMPARE(share.size(), 3);

  o.popup->setExportProgress(0);
  QTest::keyClick(&o.w.top, Qt::Key_Return);
  QCOMPARE(share.size(), 3);
  QVERIFY(o.popup && o.popup->isVisible());
  o.popup->showExportResult("failed", QString());
  QTest::keyClick(&o.w.top, Qt::Key_Return);
  QCOMPARE(share.size(), 3);
}

void TestExportSettings::placement_data()
{
  QTest::addColumn<QSize>("parent");
  QTest::addColumn<int>("mode");
  QTest::addColumn<QRect>("panel");
  QTest::newRow("centred") << QSize(1200, 800) << 0 << QRect(350, 215, 500, 370);
  QTest::newRow("centred, odd halves truncate") << QSize(1001, 601) << 0 << QRect(250, 115, 500, 370);
  QTest::newRow("bottom sheet") << QSize(1200, 800) << 1 << QRect(350, 390, 500, 370);
  QTest::newRow("parent smaller than the panel") << QSize(400, 300) << 0 << QRect(-50, -35, 500, 370);
}

void TestExportSettings::placement()
{
  QFETCH(QSize, parent);
  QFETCH(int, mode);
  QFETCH(QRect, panel);
  Settings s;
  s.mode = mode;
  Opened o(s, parent.width(), parent.height());
  QCOMPARE(o.popup->geometry(), QRect(QPoint(0, 0), parent));
  QCOMPARE(o.popup->mainWidget()->geometry(), panel);
  QCOMPARE(o.popup->titleLabel()->text(), QString("Export & Share"));
}

void TestExportSettings::saveFolder()
{
  Opened o;
  ScriptedDialogProvider dialogs;
  o.click("locationButton");
  QCOMPARE(dialogs.kinds(), QStringList{"getExistingDirectory"});
  QCOMPARE(dialogs.calls[0].title, QString("Select save directory"));
  QCOMPARE(dialogs.calls[0].text, QString("/tmp/movies"));
  QCOMPARE(o.popup->saveLocation(), QString("/tmp/movies"));
  QCOMPARE(o.text("locationValueLabel"), QString("/tmp/movies"));
  dialogs.answers << QString("/home/user/Videos/out");
  o.click("locationButton");
  QCOMPARE(o.popup->saveLocation(), QString("/home/user/Videos/out"));
  QCOMPARE(o.text("locationValueLabel"), QString("/home/user/Videos/out"));
  QCOMPARE(dialogs.calls[1].text, QString("/tmp/movies"));
}

TAVO_TEST_MAIN(TestExportSettings)
#include "tst_popups_exportsettings.moc"
