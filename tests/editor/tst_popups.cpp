// The property popups' values reaching the edited segment: live to the engine, final into the
// model with one undo step; the colour adjustments; the inspector's wiring by tag; the text
// alignment request and the in-place editor's style.

#include "editingfixture.h"
#include "testenv.h"
#include "avrender.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "pixelprobe.h"
#include "projectmanager.h"
#include "propertymap.h"
#include "segment.h"
#include "segmentinspectorwidget.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

using Attributes = QList<QPair<QString, QString>>;

// seg-1 .. seg-5 are the standard segments (movie, picture, "Hello" text, drawing, music).
QList<SegmentSpec> popupSegments()
{
  QList<SegmentSpec> segments = EditingProject::standardSegments();
  // seg-6: two transitions, alone in the movie after 6 s
  segments << SegmentSpec{"IMAGE", 4, 6, 4, Attributes{{"File", "still.png"}}}
           << SegmentSpec{"TEXT", 5, 0, 8, Attributes{{"Text", "Long"}}};      // seg-7: for the speed
  return segments;
}

// The window's protected editing members, opened for these tests.
class PopupWindow : public EditingWindow
{
public:
  using EditingWindow::EditingWindow;
  using MainWindow::_addTransitionGroupToEngine;
  using MainWindow::_render;
  using MainWindow::_applyTextEditorStyle;
  using MainWindow::_textEditWidget;
};

// The remembered defaults as the settings store holds them once saved.
QString userGroup()
{
  UserStyleDefaults::instance()->save();
  QSettings settings;
  settings.beginGroup("User");
  QStringList pairs;
  for (const QString &key : settings.allKeys())
    pairs << key + "=" + settings.value(key).toString();
  return pairs.join(';');
}

bool near(double a, double b)
{
  return std::abs(a - b) < 1e-5;
}

} // namespace

class TestPopups : public QObject
{
  Q_OBJECT

  EditingSession session;

  PopupWindow *window() { return static_cast<PopupWindow *>(session.window.get()); }
  int snapshots() { return window()->projectManager()->history().count(); }
  float frameWidth() { return float(window()->_composition->width()); }
  // The block edited with the inspector showing it, no transition side chosen.
  Segment *edit(const QString &uid)
  {
    Segment *segment = session.segmentByUId(uid);
    session.edit(segment);
    window()->showEditingToolsFor(session.block(segment), segment->rangeStart());
    window()->_editedTransitionEnd = -1;
    session.block(segment)->setTransitionId(0);
    session.engine.clear();
    return segment;
  }
  // A popup of the type the tag belongs to, tagged as the dispatchers do.
  CommonSliderColorPopup *popup(int tag)
  {
    QWidget *parent = window()->centralWidget();
    CommonSliderColorPopup *p = nullptr;
    switch (tag) {
    case 10:
    case 11:
      p = new PopupSliderColorWidget(parent);
      break;
    case 20:
      p = new PopupSliderColor2SlidersWidget(parent);
      break;
    case 30:
      p = new PopupSliderColor1Switch2SlidersWidget(parent);
      break;
    case 40:
      p = new PopupChromaKeyWidget(parent);
      break;
    case 50:
      p = new PopupSliderColorShadowWidget(parent);
      break;
    default:
      p = new PopupSliderWidget(parent);
      break;
    }
    p->setTag(tag);
    _popups << p;
    return p;
  }
  void release(CommonSliderColorPopup *p, int slider, float value)
  {
    if (slider == 1)
      window()->sliderColorPopup_onValueChanged(p, value);
    else if (slider == 2)
      window()->sliderColorPopup_onValue2Changed(p, value);
    else
      window()->sliderColorPopup_onValue3Changed(p, value);
  }
  void drag(CommonSliderColorPopup *p, int slider, float value)
  {
    if (slider == 1)
      window()->sliderColorPopup_onValueChanging(p, value);
    else if (slider == 2)
      window()->sliderColorPopup_onValue2Changing(p, value);
    else
      window()->sliderColorPopup_onValue3Changing(p, value);
  }
  QList<QPointer<CommonSliderColorPopup>> _popups;

private slots:
  void initTestCase()
  {
    // The sizes below are those of a 1280 x 720 frame: the preview quality that renders it.
    QVERIFY(QDir().mkpath(session.project.directory()));
    QFile layout(session.project.directory() + "/layout.xml");
    QVERIFY(layout.open(QIODevice::WriteOnly));
    layout.write("<?xml version=\"1.0\"?>\n<Layout PreviewQuality=\"2\"/>\n");
    layout.close();
    session.makeWindow = [](const QString &name) { return std::make_unique<PopupWindow>(name); };
    QVERIFY(session.open(popupSegments()));
    QCOMPARE(window()->_composition->width(), 1280);
    Segment *picture = session.segmentByUId("seg-6");
    QVERIFY(picture->insertTransition(0.5f, 6.5f) > 0);
    QVERIFY(picture->insertTransition(0.5f, 8.5f) > 0);
    QCOMPARE(picture->transitionCount(), 2);
  }

  void init() { UserSettings::instance()->setApplyUserHabits(true); }

  void cleanup()
  {
    for (const QPointer<CommonSliderColorPopup> &p : _popups)
      delete p.data();
    _popups.clear();
    UserSettings::instance()->setApplyUserHabits(true);
  }

  // A release records once and stores the value; the engine gets the value read back.
  void finalValues_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("slider");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("property");
    QTest::addColumn<double>("sent");
    QTest::newRow("transparency") << "seg-2" << 1 << 1 << 0.25f << "UserTransparency" << 0.25 << 1 << 0.25;
    QTest::newRow("corner 64 px") << "seg-2" << 4 << 1 << 64.0f << "CornerRadiusFraction" << 0.05 << 12 << 0.05;
    QTest::newRow("shadow opacity") << "seg-2" << 50 << 1 << 0.3f << "ShadowOpacity" << 0.3 << 13 << 0.3;
    QTest::newRow("shadow radius 8 px") << "seg-2" << 50 << 2 << 8.0f << "ShadowRadiusFraction" << 0.00625 << 60
                                        << 0.00625;
    QTest::newRow("stroke tolerance 37.6") << "seg-2" << 30 << 2 << 37.6f << "BorderStrokeTolerance" << 37.0 << 41
                                           << 37.6;
    QTest::newRow("stroke strength 12.9") << "seg-2" << 30 << 3 << 12.9f << "BorderStrokeStrength" << 12.0 << 42
                                          << 12.9;
    QTest::newRow("key sensitivity") << "seg-2" << 40 << 2 << 20.9f << "KeySensitivity" << 20.0 << 51 << 20.9;
    QTest::newRow("key smoothing") << "seg-2" << 40 << 3 << 5.5f << "KeySmoothing" << 5.0 << 52 << 5.5;
    QTest::newRow("text back inset 16 px") << "seg-3" << 20 << 2 << 16.0f << "BackInset" << 0.0125 << 31 << 0.0125;
    QTest::newRow("text back corner 50") << "seg-3" << 20 << 3 << 50.0f << "BackCorner" << 0.5 << 32 << 0.5;
    QTest::newRow("text border width") << "seg-3" << 11 << 1 << 3.5f << "BorderWidth" << 3.5 << 10 << 3.5;
    QTest::newRow("picture border 12.8 px") << "seg-2" << 30 << 1 << 12.8f << "BorderWidthFraction" << 0.01 << 10
                                            << 0.01;
  }

  void finalValues()
  {
    QFETCH(QString, uid);
    QFETCH(int, tag);
    QFETCH(int, slider);
    QFETCH(float, value);
    QFETCH(QString, key);
    QFETCH(double, stored);
    QFETCH(int, property);
    QFETCH(double, sent);
    Segment *segment = edit(uid);
    const int before = snapshots();
    release(popup(tag), slider, value);
    QCOMPARE(snapshots() - before, 1);
    QVERIFY2(near(segment->properties()->text(key).toDouble(), stored), qPrintable(segment->properties()->text(key)));
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", property);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].id, segment->id());
    QVERIFY2(near(calls[0].a, sent), qPrintable(QString::number(double(calls[0].a))));
    QCOMPARE(session.engine.calls("refresh").size(), 1);
    QVERIFY(window()->projectManager()->isModified());
  }

  // Pixel sizes written as fractions reset their absolute keys.
  void fractionsResetAbsoluteKeys()
  {
    Segment *picture = edit("seg-2");
    picture->setCornerRadius(30);
    picture->setShadowPixelOffset(QSizeF(4, 4));
    window()->sliderColorPopup_onValueChanged(popup(4), 64);
    QCOMPARE(picture->properties()->text("CornerRadius").toDouble(), 0.0);
    QVERIFY(near(picture->cornerRadiusFraction(), 0.05));
    window()->sliderColorShadowPopup_onShadowOffsetChanged(static_cast<PopupSliderColorShadowWidget *>(popup(50)),
                                                           QSizeF(8, 6));
    QCOMPARE(picture->shadowPixelOffset(), QSizeF(0, 0));
    const QSizeF fraction = picture->shadowOffsetFraction();
    QVERIFY(near(fraction.width(), 0.00625) && near(fraction.height(), 0.0046875));
    const QList<EngineCallLog::Call> offsets = session.engine.calls("setSegmentProperty", 14);
    QCOMPARE(offsets.size(), 1);
    QVERIFY(near(offsets[0].a, 0.00625) && near(offsets[0].b, 0.0046875));
  }

  // While a slider moves only the engine hears of it; speed and volume wait for the release.
  void liveValues_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("slider");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("property");
    QTest::addColumn<double>("sent");
    QTest::newRow("transparency") << "seg-2" << 1 << 1 << 0.5f << 1 << 0.5;
    QTest::newRow("corner") << "seg-2" << 4 << 1 << 128.0f << 12 << 0.1;
    QTest::newRow("picture border") << "seg-2" << 30 << 1 << 64.0f << 10 << 0.05;
    QTest::newRow("shadow radius") << "seg-2" << 50 << 2 << 16.0f << 60 << 0.0125;
    QTest::newRow("text size, editor closed") << "seg-3" << 10 << 1 << 64.0f << 16 << 0.05;
    QTest::newRow("text back opacity") << "seg-3" << 20 << 1 << 0.4f << 30 << -1.0;
    QTest::newRow("text back corner") << "seg-3" << 20 << 3 << 25.0f << 32 << 0.25;
    QTest::newRow("key smoothing") << "seg-2" << 40 << 3 << 7.5f << 52 << 7.5;
    QTest::newRow("speed") << "seg-5" << 2 << 1 << 7.0f << 0 << 0.0;
    QTest::newRow("volume") << "seg-5" << 3 << 1 << 1.5f << 0 << 0.0;
    QTest::newRow("transition volume") << "seg-5" << 6 << 1 << 1.5f << 0 << 0.0;
    QTest::newRow("transition transparency without a side") << "seg-6" << 5 << 1 << 0.5f << 0 << 0.0;
  }

  void liveValues()
  {
    QFETCH(QString, uid);
    QFETCH(int, tag);
    QFETCH(int, slider);
    QFETCH(float, value);
    QFETCH(int, property);
    QFETCH(double, sent);
    Segment *segment = edit(uid);
    if (uid == "seg-6") {
      // Choosing the transition seeks to it; the row wants it chosen with no side edited.
      session.block(segment)->setTransitionId(1);
      QTRY_VERIFY(window()->_engine->isIdle());
      QCoreApplication::processEvents();
      window()->_editedTransitionEnd = -1;
      session.engine.clear();
    }
    const QString before = session.state();
    const int history = snapshots();
    drag(popup(tag), slider, value);
    QCOMPARE(snapshots(), history);
    QCOMPARE(session.state(), before);
    if (!property) {
      QVERIFY2(session.engine.calls().isEmpty(), qPrintable(session.engine.names().join(' ')));
      return;
    }
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", property);
    QCOMPARE(calls.size(), 1);
    if (sent >= 0)
      QVERIFY2(near(calls[0].a, sent), qPrintable(QString::number(double(calls[0].a))));
    else
      QVERIFY(near(calls[0].d, value)); // the opacity rides as the colour's alpha
    QCOMPARE(session.engine.calls("refresh").size(), 1);
  }

  void speedPositions_data()
  {
    QTest::addColumn<float>("position");
    QTest::addColumn<float>("speed");
    QTest::newRow("slowest") << 0.0f << 0.25f;
    QTest::newRow("normal") << 3.0f << 1.0f;
    QTest::newRow("fastest") << 15.0f << 4.0f;
  }

  void speedPositions()
  {
    QFETCH(float, position);
    QFETCH(float, speed);
    Segment *music = edit("seg-5");
    music->setSpeed(speed == 1.0f ? 2.0f : 1.0f);
    window()->sliderColorPopup_onValueChanged(popup(2), position);
    QCOMPARE(music->speed(), speed);
  }

  // Twice as fast, the frame 4 s in now plays 2 s in: the play head follows it.
  void speedKeepsTheFrameUnderThePlayhead()
  {
    Segment *text = edit("seg-7");
    QCOMPARE(text->speed(), 1.0f);
    const float start = text->rangeStart();
    window()->_setPlayheadTime(start + 4, false);
    window()->sliderColorPopup_onValueChanged(popup(2), 7);
    QCOMPARE(text->speed(), 2.0f);
    QVERIFY(std::abs(text->duration() - 4) < 1e-3);
    QTRY_VERIFY2(std::abs(window()->_playheadTime() - (start + 2)) < 0.05,
                 qPrintable(QString::number(double(window()->_playheadTime()))));
    // The same speed again keeps its snapshot and moves nothing.
    const int history = snapshots();
    window()->sliderColorPopup_onValueChanged(popup(2), 7);
    QCOMPARE(snapshots() - history, 1);
    QCOMPARE(text->speed(), 2.0f);
  }

  void volumeReachesTheSoundPart_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("soundPart");
    QTest::newRow("movie") << "seg-1" << true;
    QTest::newRow("music") << "seg-5" << false;
  }

  void volumeReachesTheSoundPart()
  {
    QFETCH(QString, uid);
    QFETCH(bool, soundPart);
    Segment *segment = edit(uid);
    window()->sliderColorPopup_onValueChanged(popup(3), 0.6f);
    QVERIFY(near(segment->userVolume(), 0.6));
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", 15);
    QCOMPARE(calls.size(), 1);
    QVERIFY(!soundPart || segment->audioPartId() != 0);
    QCOMPARE(calls[0].id, soundPart ? segment->audioPartId() : segment->id());
  }

  // Width 0 hides the border: no colour goes with it, but a colour chosen later still does.
  void textBorderOfWidthZero()
  {
    Segment *text = edit("seg-3");
    CommonSliderColorPopup *border = popup(11);
    window()->sliderColorPopup_onValueChanged(border, 0);
    QCOMPARE(session.engine.calls("setSegmentProperty", 10).size(), 1);
    QCOMPARE(session.engine.calls("setSegmentProperty", 10)[0].a, 0.0f);
    QCOMPARE(session.engine.calls("setSegmentProperty", 11).size(), 0);
    window()->sliderColorPopup_onColorChanged(border, QColor(255, 0, 0));
    const QList<EngineCallLog::Call> colours = session.engine.calls("setSegmentProperty", 11);
    QCOMPARE(colours.size(), 1);
    QVERIFY(colours[0].a == 1.0f && colours[0].b == 0 && colours[0].c == 0 && colours[0].d == 1.0f);
    QCOMPARE(text->borderColor(), 0xFFFF0000u);
  }

  // Tags 5 and 6 change only an edited side; without one the release keeps its snapshot only.
  void transitionSides_data()
  {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("side");
    QTest::newRow("transparency, no side") << 5 << -1;
    QTest::newRow("transparency, end") << 5 << 0;
    QTest::newRow("transparency, begin") << 5 << 1;
    QTest::newRow("volume, no side") << 6 << -1;
    QTest::newRow("volume, end") << 6 << 0;
  }

  void transitionSides()
  {
    QFETCH(int, tag);
    QFETCH(int, side);
    Segment *picture = edit("seg-6");
    session.block(picture)->setTransitionId(2);
    window()->_editedTransitionEnd = side;
    const QString before = session.state();
    const int history = snapshots();
    window()->sliderColorPopup_onValueChanged(popup(tag), 0.35f);
    QCOMPARE(snapshots() - history, 1);
    const QList<EngineCallLog::Call> calls = session.engine.calls("setTransitionValue");
    if (side < 0) {
      QCOMPARE(session.state(), before);
      QVERIFY(calls.isEmpty());
      return;
    }
    const bool begin = side > 0;
    const float stored = tag == 5 ? picture->transitionUserTransparency(2, begin)
                                  : picture->transitionUserVolume(2, begin);
    QVERIFY(near(stored, 0.35));
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].groupId, 2u);
    QCOMPARE(calls[0].flag, !begin); // the facade's flag means "is end"
    QCOMPARE(calls[0].propertyId, tag == 5 ? 1 : 15);
  }

  // The engine's flag means "is end": a layer invisible at the begin side and whole at the end
  // side shows so in the preview.
  void transitionSidesInThePreview()
  {
    Segment *picture = edit("seg-6");
    window()->_addTransitionGroupToEngine(picture, 1);
    session.block(picture)->setTransitionId(1);
    CommonSliderColorPopup *transparency = popup(5);
    window()->_editedTransitionEnd = 1;
    window()->sliderColorPopup_onValueChanged(transparency, 1);
    window()->_editedTransitionEnd = 0;
    window()->sliderColorPopup_onValueChanged(transparency, 0);
    const float begin = picture->rangeStart() + picture->transitionStart(1) + 1.0f / 600;
    const float end = picture->rangeStart() + picture->transitionStart(1) + picture->transitionDuration(1);
    AVGLWidget *preview = window()->previewWidget();
    const QSize size = preview->size();
    const double fit = qMin(size.width() / 320.0, size.height() / 240.0);
    // Inside the picture's red quadrant.
    const int x = int(size.width() / 2 - 80 * fit);
    const int y = int(size.height() / 2 - 60 * fit);
    // Choosing the transition makes the window seek to it, some of it later: a frame counts only
    // when composed after the seek at the time asked for.
    for (const bool atEnd : {true, false}) {
      const float time = atEnd ? end : begin;
      int composed = -1;
      QImage frame;
      const bool shown = QTest::qWaitFor(
        [&] {
          if (composed < 0 || qAbs(window()->_engine->currentTime() - time) > 1e-3f) {
            composed = window()->_render->composedFrames();
            window()->_engine->seek(time, true);
            return false;
          }
          if (window()->_render->composedFrames() <= composed)
            return false;
          preview->update();
          frame = preview->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
          return !frame.isNull() && PixelProbe::near(frame.pixel(x, y), Qt::red, 24) == atEnd;
        },
        10000);
      QVERIFY2(shown, qPrintable(QString("%1 side: %2").arg(atEnd ? "end" : "begin")
                                   .arg(frame.isNull() ? QString("nothing") : PixelProbe::text(frame.pixel(x, y)))));
    }
  }

  // With the habits off no default moves; with them on the truncated value is remembered.
  void userHabits_data()
  {
    QTest::addColumn<bool>("habits");
    QTest::newRow("habits on") << true;
    QTest::newRow("habits off") << false;
  }

  void userHabits()
  {
    QFETCH(bool, habits);
    UserSettings::instance()->setApplyUserHabits(habits);
    UserStyleDefaults::instance()->setBorderStrokeTolerance(90);
    const QString before = userGroup();
    edit("seg-2");
    window()->sliderColorPopup_onValue2Changed(popup(30), 37.6f);
    window()->sliderColorPopup_onValueChanged(popup(4), 64);
    window()->sliderColorPopup_onColorChanged(popup(50), QColor(1, 2, 3));
    window()->sliderColorPopup_onSwitchValueChanged(popup(30), true);
    edit("seg-3");
    window()->sliderColorPopup_onValueChanged(popup(10), 50);
    window()->sliderColorPopup_onValue3Changed(popup(20), 40);
    window()->_segmentEditingSetTextAlignment(2);
    if (!habits) {
      QCOMPARE(userGroup(), before);
      return;
    }
    QVERIFY(userGroup() != before);
    QCOMPARE(UserStyleDefaults::instance()->borderStrokeTolerance(), 37);
    QCOMPARE(UserStyleDefaults::instance()->textAlignment(), 2);
  }

  // Hue dragged to 40: every move previewed, the release stores it under one undo step.
  void hueDragAndRelease()
  {
    Segment *picture = edit("seg-2");
    picture->setClrHue(-10);
    auto *colours = new PopupColorsScrollWidget(window()->centralWidget());
    QScopedPointer<PopupColorsScrollWidget> owner(colours);
    const int history = snapshots();
    for (int v : {10, 25, 40})
      window()->scrollColorsPopup_onHueChanging(colours, v);
    QCOMPARE(snapshots(), history);
    QCOMPARE(picture->clrHue(), -10);
    window()->scrollColorsPopup_onHueChanged(colours, 40);
    QCOMPARE(snapshots() - history, 1);
    QCOMPARE(picture->properties()->text("ClrHue"), QString("40"));
    QStringList sent;
    for (const EngineCallLog::Call &call : session.engine.calls("setSegmentProperty", 25))
      sent << QString::number(double(call.a));
    QCOMPARE(sent, QStringList({"10", "25", "40", "40"}));
    window()->undoRedoOperation(true);
    QTRY_COMPARE(session.segmentByUId("seg-2")->clrHue(), -10);
  }

  void colourTargets_data()
  {
    QTest::addColumn<int>("transition");
    QTest::addColumn<int>("side");
    QTest::newRow("no transition") << 0 << -1;
    QTest::newRow("transition but no side") << 2 << -1;
    QTest::newRow("end of transition 2") << 2 << 0;
    QTest::newRow("begin of transition 2") << 2 << 1;
  }

  void colourTargets()
  {
    QFETCH(int, transition);
    QFETCH(int, side);
    Segment *picture = edit("seg-6");
    picture->setClrRed(5);
    picture->setTransitionClrRed(2, true, 5);
    picture->setTransitionClrRed(2, false, 5);
    session.block(picture)->setTransitionId(transition);
    window()->_editedTransitionEnd = side;
    auto *colours = new PopupColorsScrollWidget(window()->centralWidget());
    QScopedPointer<PopupColorsScrollWidget> owner(colours);
    window()->scrollColorsPopup_onRedChanged(colours, 0);
    const bool onSide = transition > 0 && side >= 0;
    const bool begin = side > 0;
    QCOMPARE(picture->clrRed(), onSide ? 5 : 0);
    QCOMPARE(picture->transitionClrRed(2, true), onSide && begin ? 0 : 5);
    QCOMPARE(picture->transitionClrRed(2, false), onSide && !begin ? 0 : 5);
    if (!onSide) {
      // Zero is a value like any other: the key stays.
      QCOMPARE(picture->properties()->text("ClrRed"), QString("0"));
      QCOMPARE(session.engine.calls("setSegmentProperty", 26).size(), 1);
      QCOMPARE(session.engine.calls("setTransitionValue").size(), 0);
      return;
    }
    const QList<EngineCallLog::Call> calls = session.engine.calls("setTransitionValue");
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].groupId, 2u);
    QCOMPARE(calls[0].flag, !begin);
    QCOMPARE(calls[0].propertyId, 26);
    QCOMPARE(calls[0].a, 0.0f);
  }

  // A scheme is one undo step for all nine values.
  void schemeIsOneStep()
  {
    Segment *picture = edit("seg-2");
    const QList<int> old = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    picture->setClrSaturation(old[0]);
    picture->setClrBrightness(old[1]);
    picture->setClrContrast(old[2]);
    picture->setClrWhiteBalance(old[3]);
    picture->setClrExposure(old[4]);
    picture->setClrHue(old[5]);
    picture->setClrRed(old[6]);
    picture->setClrGreen(old[7]);
    picture->setClrBlue(old[8]);
    session.engine.clear();
    const int history = snapshots();
    window()->scrollColorsPopup_onSchemeChanged(nullptr, -10, -20, -30, -40, -50, -60, -70, -80, -90);
    QCOMPARE(snapshots() - history, 1);
    QCOMPARE(picture->clrBlue(), -90);
    QList<int> ids;
    for (const EngineCallLog::Call &call : session.engine.calls("setSegmentProperty"))
      ids << call.propertyId;
    QCOMPARE(ids, QList<int>({20, 21, 22, 23, 24, 25, 26, 27, 28}));
    QCOMPARE(session.engine.calls("refresh").size(), 1);
    window()->undoRedoOperation(true);
    QTRY_COMPARE(session.segmentByUId("seg-2")->clrBlue(), 9);
    Segment *restored = session.segmentByUId("seg-2");
    const QList<int> values = {restored->clrSaturation(), restored->clrBrightness(), restored->clrContrast(),
                               restored->clrWhiteBalance(), restored->clrExposure(), restored->clrHue(),
                               restored->clrRed(), restored->clrGreen(), restored->clrBlue()};
    QCOMPARE(values, old);
  }

  void schemeMessages_data()
  {
    QTest::addColumn<QString>("message");
    QTest::newRow("saved") << "Color scheme saved";
    QTest::newRow("failed") << "Cannot save the color scheme";
  }

  void schemeMessages()
  {
    QFETCH(QString, message);
    session.huds.clear();
    window()->scrollColorsPopup_onNeedToDisplayMessage(nullptr, message);
    QCOMPARE(session.huds.texts(), QStringList{message});
    QTRY_VERIFY_WITH_TIMEOUT(session.huds.entries().first().shownMs >= 0, 20000);
    // A 2 s coarse timer may fire 5 % early, and it starts before the HUD shows.
    QVERIFY2(session.huds.entries().first().shownMs >= 1800,
             qPrintable(QString::number(session.huds.entries().first().shownMs)));
  }

  // The inspector announces each embedded popup; its tag is set before anything can reach it.
  void inspectorWiring_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("announcement");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("property"); // sent by a live value of slider 1
    QTest::newRow("transparency") << "seg-2" << "transparency" << 1 << 1;
    QTest::newRow("transition transparency") << "seg-6" << "transition transparency" << 5 << 0;
    QTest::newRow("volume") << "seg-5" << "volume" << 3 << 0;
    QTest::newRow("transition volume") << "seg-5" << "transition volume" << 6 << 0;
    QTest::newRow("speed") << "seg-5" << "speed" << 2 << 0;
    QTest::newRow("round corner") << "seg-2" << "round corner" << 4 << 12;
    QTest::newRow("border") << "seg-3" << "border" << 11 << 10;
    QTest::newRow("text size") << "seg-3" << "text size" << 10 << 16;
    QTest::newRow("text back") << "seg-3" << "text back" << 20 << 30;
    QTest::newRow("stroke border") << "seg-2" << "stroke border" << 30 << 10;
    QTest::newRow("shadow") << "seg-2" << "shadow" << 50 << 13;
    QTest::newRow("chroma key") << "seg-2" << "chroma key" << 40 << 0;
  }

  void inspectorWiring()
  {
    QFETCH(QString, uid);
    QFETCH(QString, announcement);
    QFETCH(int, tag);
    QFETCH(int, property);
    edit(uid);
    QWidget *parent = window()->centralWidget();
    SegmentInspectorWidget *inspector = window()->segmentInspectorWidget();
    QVERIFY(inspector);
    const QMap<QString, std::function<CommonSliderColorPopup *()>> announce = {
      {"transparency", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForTransparencyPopupSliderWidget(p, false); return p; }},
      {"transition transparency", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForTransparencyPopupSliderWidget(p, true); return p; }},
      {"volume", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForVolumePopupSliderWidget(p, false); return p; }},
      {"transition volume", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForVolumePopupSliderWidget(p, true); return p; }},
      {"speed", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForSpeedPopupSliderWidget(p); return p; }},
      {"round corner", [&] { auto *p = new PopupSliderWidget(parent); emit inspector->setConnectionsForRoundCornerPopupSliderWidget(p); return p; }},
      {"border", [&] { auto *p = new PopupSliderColorWidget(parent); emit inspector->setConnectionsForBorderPopupSliderColorWidget(p); return p; }},
      {"text size", [&] { auto *p = new PopupSliderColorWidget(parent); emit inspector->setConnectionsForTextSizePopupSliderColorWidget(p); return p; }},
      {"text back", [&] { auto *p = new PopupSliderColor2SlidersWidget(parent); emit inspector->setConnectionsForTextBackPopupSliderColor2SlidersWidget(p); return p; }},
      {"stroke border", [&] { auto *p = new PopupSliderColor1Switch2SlidersWidget(parent); emit inspector->setConnectionsForStrokeBorderPopupSliderColorSwitchWidget(p); return p; }},
      {"shadow", [&] { auto *p = new PopupSliderColorShadowWidget(parent); emit inspector->setConnectionsForShadowPopupSliderColorShadowWidget(p); return p; }},
      {"chroma key", [&] { auto *p = new PopupChromaKeyWidget(parent); emit inspector->setConnectionsForChromaKeyPopupChromaKeyWidget(p); return p; }},
    };
    CommonSliderColorPopup *p = announce.value(announcement)();
    _popups << p;
    QCOMPARE(p->tag(), tag);
    session.engine.clear();
    emit p->sliderColorPopupValueChanging(p, 0.5f);
    QCOMPARE(session.engine.calls("setSegmentProperty", property).size(), property ? 1 : 0);
    if (!property)
      QVERIFY2(session.engine.calls().isEmpty(), qPrintable(session.engine.names().join(' ')));
  }

  // The chroma key popup reaches the second and third value handlers, never the first.
  void chromaKeyWiring()
  {
    Segment *picture = edit("seg-2");
    auto *key = new PopupChromaKeyWidget(window()->centralWidget());
    _popups << key;
    emit window()->segmentInspectorWidget()->setConnectionsForChromaKeyPopupChromaKeyWidget(key);
    const int history = snapshots();
    emit key->sliderColorPopupValueChanged(key, 0.7f);
    QCOMPARE(snapshots(), history);
    emit key->sliderColorPopupValue2Changed(key, 33);
    emit key->sliderColorPopupValue3Changed(key, 44);
    emit key->sliderColorPopupSwitchValueChanged(key, true);
    QCOMPARE(picture->keySensitivity(), 33);
    QCOMPARE(picture->keySmoothing(), 44);
    QVERIFY(picture->keyEnabled());
  }

  // The colours popup keeps no tag; its adjustments arrive through their own handlers.
  void coloursWiring()
  {
    Segment *picture = edit("seg-2");
    auto *colours = new PopupColorsScrollWidget(window()->centralWidget());
    QScopedPointer<PopupColorsScrollWidget> owner(colours);
    emit window()->segmentInspectorWidget()->setConnectionsForColorsPopupColorsScrollWidget(colours, true);
    QCOMPARE(colours->tag(), 0);
    emit colours->greenChanged(colours, 12);
    QCOMPARE(picture->clrGreen(), 12);
    session.huds.clear();
    emit colours->needtoDisplayMessage(colours, "Color scheme saved");
    QCOMPARE(session.huds.texts(), QStringList{"Color scheme saved"});
  }

  // The inspector's text alignment buttons: one step, the engine's value, the default.
  void alignmentRequest()
  {
    auto *text = static_cast<TextSegment *>(edit("seg-3"));
    text->setAlignment(0);
    UserStyleDefaults::instance()->setTextAlignment(0);
    UserSettings::instance()->setApplyUserHabits(false);
    const int history = snapshots();
    emit window()->segmentInspectorWidget()->segmentInspectorWidgetSetTextAlignment(
      window()->segmentInspectorWidget(), 1);
    QCOMPARE(snapshots() - history, 1);
    QCOMPARE(text->alignment(), 1);
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", 19);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].a, 1.0f);
    QCOMPARE(UserStyleDefaults::instance()->textAlignment(), 0);
    QCOMPARE(session.engine.calls("refresh").size(), 1);
  }

  // The editor's look follows the segment: alignment, apparent size and colours.
  void editorStyle_data()
  {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<int>("qtAlignment");
    QTest::addColumn<QString>("styleStart");
    QTest::newRow("centred white")
        << 1 << 0xFFFFFFFFu << int(Qt::AlignHCenter) << "QTextEdit{ background-color: black; color:#ffffff;";
    QTest::newRow("right, half-transparent black")
        << 2 << 0x80000000u << int(Qt::AlignRight) << "QTextEdit{ background-color: black; color:#000000;";
    QTest::newRow("left, opaque black")
        << 0 << 0xFF000000u << int(Qt::AlignLeft) << "QTextEdit{ background-color: rgb(230,230,230); color:#000000;";
  }

  void editorStyle()
  {
    QFETCH(int, alignment);
    QFETCH(quint32, colour);
    QFETCH(int, qtAlignment);
    QFETCH(QString, styleStart);
    auto *text = static_cast<TextSegment *>(edit("seg-3"));
    text->setAlignment(alignment);
    text->setColor(colour);
    text->setFontSize(80, QSizeF(1280, 720));
    QVERIFY(std::abs(text->scaledFontSize(QSizeF(1280, 720)) - 80) < 1e-3);
    QTextEdit editor;
    editor.setPlainText("one\ntwo");
    window()->previewWidget()->resize(640, 360);
    window()->_applyTextEditorStyle(&editor, text);
    QCOMPARE(editor.font().pixelSize(), 40);
    QVERIFY2(editor.styleSheet().startsWith(styleStart), qPrintable(editor.styleSheet()));
    QVERIFY(editor.styleSheet().contains("QMenu"));
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
      QCOMPARE(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask), qtAlignment);
  }

  // With the editor open, the size writes into the segment and restyles the editor; the engine
  // hears of it only on the final signal, and then nothing renders.
  void textSizeWithTheEditorOpen()
  {
    auto *text = static_cast<TextSegment *>(edit("seg-3"));
    text->setFontSize(40, QSizeF(1280, 720));
    auto *editor = new TextEditWidget(window()->previewWidget());
    window()->_textEditWidget = editor;
    CommonSliderColorPopup *size = popup(10);
    const int history = snapshots();
    window()->sliderColorPopup_onValueChanging(size, 64);
    QVERIFY(std::abs(text->fontSize() - 64) < 1e-3);
    const int live = editor->font().pixelSize();
    QVERIFY(session.engine.calls().isEmpty());
    QCOMPARE(snapshots(), history);
    window()->sliderColorPopup_onValueChanged(size, 96);
    QCOMPARE(snapshots() - history, 1);
    QVERIFY(std::abs(text->fontSize() - 96) < 1e-3);
    QVERIFY(editor->font().pixelSize() > live);
    const QList<EngineCallLog::Call> calls = session.engine.calls("setSegmentProperty", 16);
    QCOMPARE(calls.size(), 1);
    QVERIFY(near(calls[0].a, 96.0 / 1280));
    QCOMPARE(session.engine.calls("refresh").size(), 0);
    window()->_textEditWidget = nullptr;
    delete editor;
  }
};

TAVO_TEST_MAIN(TestPopups)
#include "tst_popups.moc"
