// The segment tool bar's commands on the edited segment, the end of a popup, and the project
// settings applied to the project, the preview and the engine.

#include "editingfixture.h"
#include "testenv.h"

#include "avcomposition.h"
#include "avglwidget.h"
#include "commonslidercolorpopup.h"
#include "editscrollarea.h"
#include "popupprojectsettingswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupsliderwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "tooltipbutton.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QFileInfo>
#include <QImage>
#include <QtTest>

#include <cmath>

namespace {

using Attributes = QList<QPair<QString, QString>>;

// seg-1 .. seg-5 are the standard segments (movie, picture, "Hello" text, drawing, music).
QList<SegmentSpec> commandSegments()
{
  QList<SegmentSpec> segments = EditingProject::standardSegments();
  segments << SegmentSpec{"MUSIC", 4, 0, 1, Attributes{{"File", "tune.wav"}, {"Title", "Slow"}, {"Speed", "0.25"}, {"TrimDuration", "0.25"}}}            // seg-6
           << SegmentSpec{"MUSIC", 5, 0, 1, Attributes{{"File", "tune.wav"}, {"Title", "Fast"}, {"Speed", "4"}, {"TrimDuration", "3"}}}               // seg-7
           << SegmentSpec{"TEXT", 6, 0, 2, Attributes{{"Text", "Twenty"}, {"BorderWidth", "20"}}}           // seg-8
           << SegmentSpec{"TEXT", 7, 0, 2, Attributes{{"Text", "Forty"}, {"BorderWidth", "40"}}}            // seg-9
           << SegmentSpec{"IMAGE", 8, 0, 2,                                                                  // seg-10
                          Attributes{{"File", "still.png"},
                                     {"BorderWidthFraction", "0.1"},
                                     {"ShadowPixelOffset", "{0, 0}"},
                                     {"ShadowOffset", "{0.1, 0.1}"}}};
  return segments;
}

float storedRotation(Segment *segment, int property)
{
  switch (property) {
  case 5:
    return segment->userRotationX();
  case 6:
    return segment->userRotationY();
  default:
    return float(segment->userRotation());
  }
}

QString engineValues(const QList<EngineCallLog::Call> &calls)
{
  QStringList values;
  for (const EngineCallLog::Call &call : calls)
    values << QString::number(double(call.a));
  return values.join(' ');
}

} // namespace

class TestCommands : public QObject
{
  Q_OBJECT

  EditingSession session;

  EditingWindow *window() { return session.window.get(); }
  int snapshots() { return window()->projectManager()->history().count(); }
  // With the play head inside the segment, so the tools that need the overlay are enabled.
  ScrollableToolBar *editWithToolBar(Segment *segment)
  {
    window()->_setPlayheadTime(segment->rangeStart() + 0.1f, false);
    session.edit(segment);
    window()->_buildSegmentToolBar(segment, segment->rangeStart());
    return window()->_segmentToolBar;
  }
  void click(ScrollableToolBar *bar, int command)
  {
    TooltipButton *button = bar->button(command);
    QVERIFY2(button, qPrintable(QString("no button %1").arg(command)));
    QTest::mouseClick(button, Qt::LeftButton);
  }

private slots:
  void initTestCase() { QVERIFY(session.open(commandSegments())); }

  void cleanup()
  {
    if (window()->_currentPopup)
      window()->_currentPopup->dismiss();
    QTRY_VERIFY(!window()->_currentPopup);
  }

  // Each click records one snapshot and sends the value read back from the segment.
  void rotateAndFlip_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("property");
    QTest::addColumn<QList<float>>("sent");
    const float quarter = float(M_PI / 2);
    QTest::newRow("four clockwise turns") << 10006 << 4 << 4 << QList<float>{quarter, 2 * quarter, 3 * quarter, 0};
    QTest::newRow("counterclockwise from 0") << 10007 << 1 << 4 << QList<float>{-quarter};
    QTest::newRow("horizontal flip twice") << 10008 << 2 << 6 << QList<float>{float(M_PI), 0};
    QTest::newRow("vertical flip") << 10009 << 1 << 5 << QList<float>{float(M_PI)};
  }

  void rotateAndFlip()
  {
    QFETCH(int, command);
    QFETCH(int, clicks);
    QFETCH(int, property);
    QFETCH(QList<float>, sent);
    Segment *picture = session.segmentByUId("seg-2");
    picture->setUserRotation(0);
    picture->setUserRotationX(0);
    picture->setUserRotationY(0);
    // As the inspector and the menus send them: the buttons follow the overlay, which these
    // commands do not need.
    session.edit(picture);
    session.engine.clear();
    const int before = snapshots();
    for (int i = 0; i < clicks; ++i)
      window()->_segmentCommand(nullptr, command);
    QCOMPARE(snapshots() - before, clicks);
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", property);
    QCOMPARE(calls.size(), clicks);
    for (int i = 0; i < clicks; ++i) {
      QCOMPARE(calls[i].id, picture->id());
      QVERIFY2(std::abs(calls[i].a - sent[i]) < 1e-4, qPrintable(engineValues(calls)));
    }
    QVERIFY(std::abs(storedRotation(picture, property) - sent.last()) < 1e-4);
    QVERIFY(window()->projectManager()->isModified());
  }

  void alignmentCycles()
  {
    struct Step
    {
      int alignment;
      QString toolTip;
      QString icon;
    };
    const QList<Step> steps = {{2, "Text Alignment: Right", "rightAlign"},
                               {1, "Text Alignment: Center", "centerAlign"},
                               {0, "Text Alignment: Left", "leftAlign"}};
    auto *text = static_cast<TextSegment *>(session.segmentByUId("seg-3"));
    QCOMPARE(text->alignment(), 0);
    ScrollableToolBar *bar = editWithToolBar(text);
    for (const Step &step : steps) {
      session.engine.clear();
      const int before = snapshots();
      click(bar, 10023);
      QCOMPARE(text->alignment(), step.alignment);
      QCOMPARE(snapshots() - before, 1);
      const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", 19);
      QCOMPARE(calls.size(), 1);
      QCOMPARE(calls[0].a, float(step.alignment));
      TooltipButton *button = bar->button(10023);
      QCOMPARE(button->toolTip(), step.toolTip);
      QCOMPARE(button->normalIcon(), ":/images/toolbar/" + step.icon);
      QCOMPARE(button->selectedIcon(), ":/images/toolbar/" + step.icon + "2");
    }
  }

  void fontDialog_data()
  {
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("recorded");
    QFont boldItalic("Liberation Sans");
    boldItalic.setBold(true);
    boldItalic.setItalic(true);
    boldItalic.setStyleName(QString());
    QFont named("Liberation Sans");
    named.setStyleName("Bold Italic");
    QFont same("DejaVu Sans");
    same.setStyleName("Book");
    QTest::newRow("bold italic without a style name")
        << QVariant::fromValue(boldItalic) << "Liberation Sans" << "Bold Italic" << true;
    QTest::newRow("style name as given") << QVariant::fromValue(named) << "Liberation Sans" << "Bold Italic" << true;
    QTest::newRow("same font") << QVariant::fromValue(same) << "DejaVu Sans" << "Book" << false;
    QTest::newRow("cancelled") << QVariant() << "DejaVu Sans" << "Book" << false;
  }

  void fontDialog()
  {
    QFETCH(QVariant, answer);
    QFETCH(QString, family);
    QFETCH(QString, style);
    QFETCH(bool, recorded);
    auto *text = static_cast<TextSegment *>(session.segmentByUId("seg-3"));
    text->setFontName("DejaVu Sans");
    text->setFontStyle("Book");
    UserStyleDefaults::instance()->setTextFont("DejaVu Sans", "Book");
    ScrollableToolBar *bar = editWithToolBar(text);
    session.engine.clear();
    window()->dialogs.calls.clear();
    window()->dialogs.answers = {answer};
    const int before = snapshots();
    click(bar, 10016);
    QCOMPARE(window()->dialogs.kinds(), QStringList{"getFont"});
    QCOMPARE(text->fontName(), family);
    QCOMPARE(text->fontStyle(), style);
    QCOMPARE(snapshots() - before, recorded ? 1 : 0);
    const QList<EngineCallLog::Call> fonts = session.engine.calls("setTextFont");
    QCOMPARE(fonts.size(), recorded ? 1 : 0);
    if (recorded) {
      QCOMPARE(fonts[0].text, family);
      QCOMPARE(fonts[0].text2, style);
    }
    QCOMPARE(UserStyleDefaults::instance()->textFont(), family);
    QCOMPARE(UserStyleDefaults::instance()->textStyle(), style);
  }

  // Opening a popup shows the segment's values, changes nothing and records nothing.
  void popupsOpenWithTheSegmentsValues_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("tag");
    QTest::addColumn<float>("value");
    QTest::newRow("speed 1.0") << "seg-5" << 10022 << 2 << 3.0f;
    QTest::newRow("speed 0.25") << "seg-6" << 10022 << 2 << 0.0f;
    QTest::newRow("speed 4.0") << "seg-7" << 10022 << 2 << 15.0f;
    QTest::newRow("text border unconverted") << "seg-8" << 10012 << 11 << 20.0f;
    QTest::newRow("text border stops at 32") << "seg-9" << 10012 << 11 << 32.0f;
    // 0.1 of any preview width of 640 or more.
    QTest::newRow("picture border capped at 64") << "seg-10" << 10012 << 30 << 64.0f;
    QTest::newRow("transparency") << "seg-2" << 10005 << 1 << 0.0f;
    QTest::newRow("volume") << "seg-5" << 10018 << 3 << 1.0f;
  }

  void popupsOpenWithTheSegmentsValues()
  {
    QFETCH(QString, uid);
    QFETCH(int, command);
    QFETCH(int, tag);
    QFETCH(float, value);
    Segment *segment = session.segmentByUId(uid);
    QVERIFY(window()->_composition->width() >= 640);
    const QString before = session.state();
    const int history = snapshots();
    ScrollableToolBar *bar = editWithToolBar(segment);
    session.engine.clear();
    click(bar, command);
    auto *popup = qobject_cast<CommonSliderColorPopup *>(window()->_currentPopup.data());
    QVERIFY(popup);
    QCOMPARE(popup->tag(), tag);
    QVERIFY2(std::abs(popup->value() - value) < 1e-3, qPrintable(QString::number(double(popup->value()))));
    QCOMPARE(window()->_selectedToolBarCommand, command);
    QVERIFY(bar->button(command)->isSelected());
    QCOMPARE(snapshots(), history);
    QCOMPARE(session.state(), before);
    QCOMPARE(session.engine.calls("setSegmentProperty").size(), 0);
  }

  // Offsets of old projects: "ShadowOffset" scaled by 100 and 80 when the pixel offset is (0, 0).
  void shadowPopupOffset()
  {
    ScrollableToolBar *bar = editWithToolBar(session.segmentByUId("seg-10"));
    click(bar, 10014);
    auto *popup = qobject_cast<PopupSliderColorShadowWidget *>(window()->_currentPopup.data());
    QVERIFY(popup);
    QCOMPARE(popup->tag(), 50);
    const double width = window()->_composition->width();
    const QSizeF offset = popup->shadowOffset();
    QVERIFY2(std::abs(offset.width() - 10 * width / 1280) < 0.01 && std::abs(offset.height() - 8 * width / 1280) < 0.01,
             qPrintable(sizeText(offset)));
  }

  // Dismissal clears the command and its button, and the next popup opens.
  void dismissalDeselectsTheButton()
  {
    ScrollableToolBar *bar = editWithToolBar(session.segmentByUId("seg-2"));
    click(bar, 10005);
    QVERIFY(bar->button(10005)->isSelected());
    QTest::keyClick(window()->_currentPopup.data(), Qt::Key_Escape);
    QTRY_VERIFY(!window()->_currentPopup);
    QVERIFY(!bar->button(10005)->isSelected());
    QCOMPARE(window()->_selectedToolBarCommand, 0);
    click(bar, 10013);
    QVERIFY(window()->_currentPopup);
    QCOMPARE(window()->_currentPopup->tag(), 4);
  }

  // With the transition strip up, its button is the one deselected.
  void dismissalPrefersTheTransitionStrip()
  {
    ScrollableToolBar *segmentStrip = editWithToolBar(session.segmentByUId("seg-2"));
    click(segmentStrip, 10005);
    window()->_buildTransitionToolBar();
    ScrollableToolBar *transitionStrip = window()->_transitionToolBar;
    window()->_selectedToolBarCommand = 10106;
    transitionStrip->setButtonSelected(10106, true);
    window()->_currentPopup->dismiss();
    QTRY_VERIFY(!window()->_currentPopup);
    QVERIFY(!transitionStrip->button(10106)->isSelected());
    QVERIFY(segmentStrip->button(10005)->isSelected());
  }

  void commandsForOtherTypesDoNothing_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("command");
    QTest::newRow("edit text on a picture") << "seg-2" << 10015;
    QTest::newRow("edit drawing on a text") << "seg-3" << 10019;
    QTest::newRow("grab on a picture") << "seg-2" << 10021;
    QTest::newRow("crop on music") << "seg-5" << 10024;
    QTest::newRow("change photo on a text") << "seg-3" << 10028;
    QTest::newRow("font on a picture") << "seg-2" << 10016;
    QTest::newRow("below the range") << "seg-2" << 10000;
    QTest::newRow("above the range") << "seg-2" << 10029;
  }

  void commandsForOtherTypesDoNothing()
  {
    QFETCH(QString, uid);
    QFETCH(int, command);
    session.edit(session.segmentByUId(uid));
    const QString before = session.state();
    const int history = snapshots();
    session.engine.clear();
    window()->dialogs.calls.clear();
    window()->_segmentCommand(nullptr, command);
    QTest::qWait(50);
    QCOMPARE(session.state(), before);
    QCOMPARE(snapshots(), history);
    // A redraw still due from entering the editing state may land here on a busy machine; it
    // changes nothing.
    QStringList changes = session.engine.names();
    changes.removeAll(QStringLiteral("refresh"));
    QVERIFY2(changes.isEmpty(), qPrintable(changes.join(' ')));
    QVERIFY(window()->dialogs.calls.isEmpty());
    QVERIFY(!window()->_currentPopup);
  }

  void changePhoto_data()
  {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("a picture chosen") << true;
    QTest::newRow("cancelled") << false;
  }

  void changePhoto()
  {
    QFETCH(bool, chosen);
    QTemporaryDir outside;
    const QString picture = outside.filePath("beach.png");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(picture));
    Segment *still = session.segmentByUId("seg-2");
    const QString file = still->properties()->text("File");
    ScrollableToolBar *bar = editWithToolBar(still);
    window()->dialogs.calls.clear();
    window()->dialogs.answers = {chosen ? QVariant(picture) : QVariant()};
    const int history = snapshots();
    click(bar, 10028);
    QCOMPARE(window()->dialogs.kinds(), QStringList{"getOpenFileName"});
    QCOMPARE(snapshots() - history, chosen ? 1 : 0);
    if (!chosen) {
      QCOMPARE(still->properties()->text("File"), file);
      return;
    }
    QCOMPARE(QFileInfo(still->properties()->text("File")).fileName(), QString("beach.png"));
    // Copied into the project only when the user asked for copies.
    QCOMPARE(QFile::exists(session.project.directory() + "/beach.png"), UserSettings::instance()->autoCopyAssets());
  }

  void projectSettings_data()
  {
    QTest::addColumn<int>("resolution");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<float>("frameRate");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("resized");
    QTest::addColumn<bool>("modified");
    const QColor black(0, 0, 0);
    QTest::newRow("nothing differs") << 1 << true << 30.0f << black << false << false;
    QTest::newRow("frame rate only") << 1 << true << 25.0f << black << false << true;
    QTest::newRow("landscape to portrait") << 1 << false << 30.0f << black << true << true;
    QTest::newRow("aspect ratio") << 2 << true << 30.0f << black << true << true;
    QTest::newRow("transparent background") << 1 << true << 30.0f << QColor(10, 20, 30, 0) << false << true;
  }

  void projectSettings()
  {
    QFETCH(int, resolution);
    QFETCH(bool, landscape);
    QFETCH(float, frameRate);
    QFETCH(QColor, background);
    QFETCH(bool, resized);
    QFETCH(bool, modified);
    ProjectManager *project = window()->projectManager();
    project->setResolution(1);
    project->setDirection(true);
    project->setFrameRate(30);
    project->setBackgroundColor(0xFF000000u);
    project->setFixCoverImage(false);
    project->setModified(false);
    session.engine.clear();
    auto *popup = new PopupProjectSettingsWidget(window()->centralWidget());
    popup->showPopupWithSettings(window()->centralWidget(), window()->centralWidget(), 0, resolution, landscape,
                                 frameRate, false, background);
    window()->projectSettingsPopup_onParametersDidChange(popup);
    popup->dismiss();

    QCOMPARE(project->resolution(), resolution);
    QCOMPARE(project->direction(), landscape);
    QCOMPARE(project->frameRate(), frameRate);
    QCOMPARE(project->backgroundColor(), background.rgba());
    QCOMPARE(project->isModified(), modified);
    QCOMPARE(session.engine.calls("setRenderSize").size(), resized ? 1 : 0);
    QList<quint32> sized;
    for (const EngineCallLog::Call &call : session.engine.calls("setSegmentProperty", 16))
      sized << call.id;
    QList<quint32> texts;
    if (resized)
      for (int i = 0; i < session.segmentCount(); ++i)
        if (session.segmentAt(i)->type() == "TEXT")
          texts << session.segmentAt(i)->id();
    QCOMPARE(sized, texts);
    const bool recoloured = background != QColor(0, 0, 0);
    QCOMPARE(session.engine.calls("setBackgroundColor").size(), recoloured ? 1 : 0);
    if (recoloured) {
      QCOMPARE(window()->_hooks.previewArea->styleSheet(), QString("background-color: rgba(10,20,30,0)"));
      const EngineCallLog::Call call = session.engine.calls("setBackgroundColor").first();
      QVERIFY(std::abs(call.a - 10 / 255.0f) < 1e-4 && call.d == 0);
      QCOMPARE(window()->previewWidget()->backgroundColor(), background);
    }
  }

  void settingsFinishDismisses()
  {
    auto *popup = new PopupProjectSettingsWidget(window()->centralWidget());
    popup->showPopupWithSettings(window()->centralWidget(), window()->centralWidget(), 0, 1, true, 24, false,
                                 QColor(0, 0, 0));
    QPointer<PopupProjectSettingsWidget> guard(popup);
    QSignalSpy dismissed(popup, &CommonPopup::dismissed);
    window()->projectSettingsPopup_onDidFinish(popup);
    QCOMPARE(window()->projectManager()->frameRate(), 24.0f);
    QCOMPARE(dismissed.count(), 1);
    QTRY_VERIFY(guard.isNull());
  }
};

TAVO_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
