// The controllers that host an embedded popup: values loaded from real segments without a
// single report, canvas-relative sizes, transition sets, play-head enabling, order keys, and
// the colour-button popups following their window.

#include "bordereditingwidgetcontroller.h"
#include "chromakeyeditingwidgetcontroller.h"
#include "colorbutton.h"
#include "colorseditingwidgetcontroller.h"
#include "inspectorhost.h"
#include "popupchromakeywidget.h"
#include "popupcolormatrixwidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "roundcornereditingwidgetcontroller.h"
#include "segmentmaker.h"
#include "shadoweditingwidgetcontroller.h"
#include "speededitingwidgetcontroller.h"
#include "strokebordereditingwidgetcontroller.h"
#include "switchbutton.h"
#include "testenv.h"
#include "transparencyeditingwidgetcontroller.h"
#include "util.h"
#include "volumeeditingwidgetcontroller.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QSlider>

#include <functional>

namespace {

QString labelOf(QWidget *popup, const char *name = "valueLabel")
{
  auto *label = popup->findChild<QLabel *>(name);
  return label ? label->text() : QString("<no %1>").arg(name);
}

// Sliders keep truncated thousandths.
bool near(double a, double b, double tolerance = 0.0015)
{
  return qAbs(a - b) <= tolerance;
}

// A controller of the given kind, added to the host.
CommonEditingWidgetController *makeController(InspectorHost &host, const QString &kind)
{
  QWidget *p = host.content;
  if (kind == "speed")
    return host.add(new SpeedEditingWidgetController(p));
  if (kind == "corner")
    return host.add(new RoundCornerEditingWidgetController(p));
  if (kind == "border")
    return host.add(new BorderEditingWidgetController(p));
  if (kind == "stroke")
    return host.add(new StrokeBorderEditingWidgetController(p));
  if (kind == "shadow")
    return host.add(new ShadowEditingWidgetController(p));
  if (kind == "chroma")
    return host.add(new ChromaKeyEditingWidgetController(p));
  if (kind == "transparency")
    return host.add(new TransparencyEditingWidgetController(false, p));
  if (kind == "colors")
    return host.add(new ColorsEditingWidgetController(false, p));
  return host.add(new VolumeEditingWidgetController(false, p));
}

template <class... Kinds>
bool enableAs(CommonEditingWidgetController *c, TransformWidget *t, bool inside)
{
  return ((dynamic_cast<Kinds *>(c) && (dynamic_cast<Kinds *>(c)->updateEnabledAtTime(t, inside), true)) || ...);
}

void enableAtTime(CommonEditingWidgetController *c, TransformWidget *t, bool inside)
{
  const bool known = enableAs<SpeedEditingWidgetController, RoundCornerEditingWidgetController,
                              BorderEditingWidgetController, StrokeBorderEditingWidgetController,
                              ShadowEditingWidgetController, ChromaKeyEditingWidgetController,
                              TransparencyEditingWidgetController, ColorsEditingWidgetController>(c, t, inside);
  QVERIFY(known);
}

} // namespace

class TestPopupControllers : public QObject
{
  Q_OBJECT
private slots:
  void speedPositions_data();
  void speedPositions();
  void canvasRelativeSizes_data();
  void canvasRelativeSizes();
  void shadowFromEachForm_data();
  void shadowFromEachForm();
  void everyOtherGroupComesFromTheSegment();
  void transitionSetsLoadOncePerPair_data();
  void transitionSetsLoadOncePerPair();
  void playHeadEnabling_data();
  void playHeadEnabling();
  void volumeSnapsToOne();
  void colorsReportsItsHeight();
  void colorsListFitsWhenMadeHidden();
  void colourChooserFollowsTheWindow_data();
  void colourChooserFollowsTheWindow();
};

void TestPopupControllers::speedPositions_data()
{
  QTest::addColumn<float>("speed");
  QTest::addColumn<float>("position");
  QTest::addColumn<QString>("label");
  QTest::newRow("normal") << 1.0f << 3.0f << "1.00X";
  QTest::newRow("slowest") << 0.25f << 0.0f << "0.25X";
  QTest::newRow("fastest") << 4.0f << 15.0f << "4.00X";
  QTest::newRow("half") << 0.5f << 1.0f << "0.50X";
}

void TestPopupControllers::speedPositions()
{
  QFETCH(float, speed);
  QFETCH(float, position);
  QFETCH(QString, label);
  InspectorHost host;
  auto *controller = host.add(new SpeedEditingWidgetController(host.content));
  ValueReports reports(controller->popup());
  for (const char *type : {"MOVIE", "MUSIC", "VOICE"}) {
    auto segment = makeSegment(type);
    segment->setSpeed(speed);
    controller->updateFromSegment(segment.get());
    QCOMPARE(controller->popup()->value(), position);
    QCOMPARE(labelOf(controller->popup()), label);
  }
  QCOMPARE(reports.fired(), QStringList());
}

void TestPopupControllers::canvasRelativeSizes_data()
{
  QTest::addColumn<bool>("corner"); // else the stroke border
  QTest::addColumn<float>("fraction");
  QTest::addColumn<float>("absolute");
  QTest::addColumn<int>("canvasWidth");
  QTest::addColumn<float>("shown"); // < 0: the row's maximum
  QTest::newRow("corner fraction") << true << 0.05f << 0.0f << 1920 << 96.0f;
  QTest::newRow("corner absolute") << true << 0.0f << 64.0f << 1920 << 96.0f;
  QTest::newRow("corner absolute on 1280") << true << 0.0f << 30.0f << 1280 << 30.0f;
  QTest::newRow("corner above the screen") << true << -1.0f << 0.0f << 3840 << -1.0f;
  QTest::newRow("border fraction capped") << false << 0.05f << 0.0f << 1920 << 64.0f;
  QTest::newRow("border fraction") << false << 0.01f << 0.0f << 1920 << 19.2f;
  QTest::newRow("border absolute") << false << 0.0f << 20.0f << 1920 << 30.0f;
  QTest::newRow("border absolute above the row") << false << 0.0f << 60.0f << 1920 << -1.0f;
}

// Each load follows a segment with a small value: a value beyond the row must show the
// row's end, never the earlier segment's value.
void TestPopupControllers::canvasRelativeSizes()
{
  QFETCH(bool, corner);
  QFETCH(float, fraction);
  QFETCH(float, absolute);
  QFETCH(int, canvasWidth);
  QFETCH(float, shown);
  InspectorHost host;
  const float shortSide = Util::portraitScreenSize().width();
  // A fraction of -1 stands for one that gives more than the screen's short side.
  if (fraction < 0)
    fraction = (shortSide + 100) / canvasWidth;
  const QSize canvas(canvasWidth, canvasWidth * 9 / 16);
  std::function<void(const Segment *, QSize)> load;
  CommonSliderColorPopup *popup = nullptr;
  float rowMaximum = 0;
  if (corner) {
    auto *c = host.add(new RoundCornerEditingWidgetController(host.content));
    load = [c](const Segment *s, QSize size) { c->updateFromSegment(s, size); };
    popup = c->popup();
    rowMaximum = shortSide;
  } else {
    auto *c = host.add(new StrokeBorderEditingWidgetController(host.content));
    load = [c](const Segment *s, QSize size) { c->updateFromSegment(s, size); };
    popup = c->popup();
    rowMaximum = 64;
  }
  ValueReports reports(popup);
  for (const char *type : {"MOVIE", "IMAGE", "DRAWING"}) {
    auto before = makeSegment(type);
    before->setCornerRadius(5);
    before->setBorderWidth(5);
    load(before.get(), QSize(1280, 720));
    QCOMPARE(popup->value(), 5.0f);

    auto segment = makeSegment(type);
    segment->setCornerRadiusFraction(fraction);
    segment->setCornerRadius(absolute);
    segment->setBorderWidthFraction(fraction);
    segment->setBorderWidth(absolute);
    load(segment.get(), canvas);
    const float expected = shown < 0 ? rowMaximum : shown;
    QVERIFY2(near(popup->value(), expected), qPrintable(QString("%1 shows %2, expected %3")
                                                          .arg(type)
                                                          .arg(popup->value())
                                                          .arg(expected)));
  }
  QCOMPARE(reports.fired(), QStringList());
}

void TestPopupControllers::shadowFromEachForm_data()
{
  QTest::addColumn<int>("form"); // 0 fraction, 1 pixels, 2 the old offset
  QTest::addColumn<int>("canvasWidth");
  QTest::addColumn<QSizeF>("offset");
  QTest::addColumn<float>("radiusFraction");
  QTest::addColumn<float>("radius");
  QTest::newRow("fraction") << 0 << 1920 << QSizeF(19.2, 38.4) << 0.005f << 9.6f;
  QTest::newRow("pixels") << 1 << 1920 << QSizeF(30, 15) << 0.003125f << 6.0f;
  QTest::newRow("old offset") << 2 << 1280 << QSizeF(10, 8) << 0.003125f << 4.0f;
  QTest::newRow("radius above the row") << 1 << 3840 << QSizeF(60, 30) << 0.05f << 32.0f;
}

void TestPopupControllers::shadowFromEachForm()
{
  QFETCH(int, form);
  QFETCH(int, canvasWidth);
  QFETCH(QSizeF, offset);
  QFETCH(float, radiusFraction);
  QFETCH(float, radius);
  InspectorHost host;
  auto *controller = host.add(new ShadowEditingWidgetController(host.content));
  ValueReports reports(controller->popup());
  auto segment = makeSegment("IMAGE");
  if (form == 0)
    segment->setShadowOffsetFraction(QSizeF(0.01, 0.02));
  else if (form == 1)
    segment->setShadowPixelOffset(QSizeF(20, 10));
  else
    setSizeValue(*segment->properties(), "ShadowOffset", QSizeF(0.1, 0.1));
  segment->setShadowOpacity(0.45f);
  segment->setShadowRadiusFraction(radiusFraction);
  segment->setShadowColor(0xFF123456);
  controller->updateFromSegment(segment.get(), QSize(canvasWidth, canvasWidth * 9 / 16));
  const QSizeF shown = controller->popup()->shadowOffset();
  QVERIFY2(near(shown.width(), offset.width()) && near(shown.height(), offset.height()),
           qPrintable(QString("offset %1 x %2").arg(shown.width()).arg(shown.height())));
  QCOMPARE(controller->popup()->value(), 0.45f);
  QVERIFY2(near(controller->popup()->value2(), radius), qPrintable(QString::number(controller->popup()->value2())));
  QCOMPARE(controller->popup()->color(), QColor::fromRgba(0xFF123456));
  // The opacity is above 0, so the radius row accepts input.
  QVERIFY(controller->popup()->findChild<QSlider *>("slider2")->isEnabled());
  QCOMPARE(reports.fired(), QStringList());
}

void TestPopupControllers::everyOtherGroupComesFromTheSegment()
{
  InspectorHost host;
  auto *transparency = host.add(new TransparencyEditingWidgetController(false, host.content));
  auto *volume = host.add(new VolumeEditingWidgetController(false, host.content));
  auto *border = host.add(new BorderEditingWidgetController(host.content));
  auto *stroke = host.add(new StrokeBorderEditingWidgetController(host.content));
  auto *colors = host.add(new ColorsEditingWidgetController(false, host.content));
  auto *chroma = host.add(new ChromaKeyEditingWidgetController(host.content));
  std::vector<std::unique_ptr<ValueReports>> reports;
  for (QWidget *popup : {transparency->editingWidget(), volume->editingWidget(), border->editingWidget(),
                         stroke->editingWidget(), colors->editingWidget(), chroma->editingWidget()})
    reports.emplace_back(new ValueReports(popup));

  for (const char *type : {"MOVIE", "IMAGE", "TEXT", "DRAWING", "MUSIC", "VOICE"}) {
    auto segment = makeSegment(type);
    segment->setUserTransparency(0.35f);
    segment->setUserVolume(1.5f);
    segment->setBorderWidth(12.5f);
    segment->setBorderColor(0xFFFF8000);
    segment->setBorderStroke(true);
    segment->setBorderStrokeTolerance(70);
    segment->setBorderStrokeStrength(30);
    segment->setKeyEnabled(true);
    segment->setKeySensitivity(55);
    segment->setKeySmoothing(25);
    segment->setKeyColor(0xFF0000FF);
    const int corrections[] = {10, -20, 30, -40, 50, -60, 70, -80, 90};
    segment->setClrSaturation(corrections[0]);
    segment->setClrBrightness(corrections[1]);
    segment->setClrContrast(corrections[2]);
    segment->setClrWhiteBalance(corrections[3]);
    segment->setClrExposure(corrections[4]);
    segment->setClrHue(corrections[5]);
    segment->setClrRed(corrections[6]);
    segment->setClrGreen(corrections[7]);
    segment->setClrBlue(corrections[8]);

    transparency->updateFromSegment(segment.get());
    QCOMPARE(transparency->popup()->value(), 0.35f);
    volume->updateFromSegment(segment.get());
    QCOMPARE(volume->popup()->value(), 1.5f);
    border->updateFromSegment(segment.get());
    QCOMPARE(border->popup()->value(), 12.5f);
    QCOMPARE(border->popup()->color(), QColor::fromRgba(0xFFFF8000));
    stroke->updateFromSegment(segment.get(), QSize(1280, 720));
    QCOMPARE(stroke->popup()->value(), 12.5f);
    QCOMPARE(stroke->popup()->value2(), 70.0f);
    QCOMPARE(stroke->popup()->value3(), 30.0f);
    QVERIFY(stroke->popup()->findChild<SwitchButton *>("switchButton")->value());
    QVERIFY(stroke->popup()->findChild<QSlider *>("slider3")->isEnabled());
    colors->updateFromSegment(segment.get());
    for (int i = 0; i < 9; ++i)
      QCOMPARE(colors->popup()->values()[size_t(i)], corrections[i]);
    chroma->updateFromSegment(segment.get());
    QVERIFY(chroma->popup()->switchButton()->value());
    QCOMPARE(chroma->popup()->value2(), 55.0f);
    QCOMPARE(chroma->popup()->value3(), 25.0f);
    QCOMPARE(chroma->popup()->color(), QColor::fromRgba(0xFF0000FF));
    QVERIFY(chroma->popup()->row(1).slider->isEnabled());

    // A segment with the key off leaves its rows without input.
    segment->setKeyEnabled(false);
    chroma->updateFromSegment(segment.get());
    QVERIFY(!chroma->popup()->switchButton()->value());
    QVERIFY(!chroma->popup()->row(1).slider->isEnabled());
  }
  for (const auto &r : reports) {
    QVERIFY(r->watched() > 0);
    QCOMPARE(r->fired(), QStringList());
  }
}

void TestPopupControllers::transitionSetsLoadOncePerPair_data()
{
  QTest::addColumn<int>("kind"); // 0 transparency, 1 volume, 2 colours
  QTest::newRow("transparency") << 0;
  QTest::newRow("volume") << 1;
  QTest::newRow("colours") << 2;
}

void TestPopupControllers::transitionSetsLoadOncePerPair()
{
  QFETCH(int, kind);
  InspectorHost host;
  auto segment = makeSegment("MOVIE");
  segment->setRangeDuration(10);
  const int tId = segment->insertTransition(2, 3);
  QCOMPARE(tId, 1);
  // Writes value v into the begin or end set, and reads what the popup shows.
  std::function<void(bool, float)> write;
  std::function<float()> shown;
  std::function<void(int, int)> load;
  CommonEditingWidgetController *controller = nullptr;
  CommonPopup *popup = nullptr;
  if (kind == 0) {
    auto *c = host.add(new TransparencyEditingWidgetController(true, host.content));
    write = [&segment](bool begin, float v) { segment->setTransitionUserTransparency(1, begin, v / 100); };
    shown = [c] { return c->popup()->value() * 100; };
    load = [c, &segment](int id, int beginOrEnd) { c->updateFromTransition(segment.get(), id, beginOrEnd); };
    controller = c;
    popup = c->popup();
  } else if (kind == 1) {
    auto *c = host.add(new VolumeEditingWidgetController(true, host.content));
    write = [&segment](bool begin, float v) { segment->setTransitionUserVolume(1, begin, v / 100); };
    shown = [c] { return c->popup()->value() * 100; };
    load = [c, &segment](int id, int beginOrEnd) { c->updateFromTransition(segment.get(), id, beginOrEnd); };
    controller = c;
    popup = c->popup();
  } else {
    auto *c = host.add(new ColorsEditingWidgetController(true, host.content));
    write = [&segment](bool begin, float v) {
      segment->setTransitionClrSaturation(1, begin, int(v));
      segment->setTransitionClrBlue(1, begin, -int(v));
    };
    shown = [c] {
      return c->popup()->values()[8] == -c->popup()->values()[0] ? float(c->popup()->values()[0]) : -999.0f;
    };
    load = [c, &segment](int id, int beginOrEnd) { c->updateFromTransition(segment.get(), id, beginOrEnd); };
    controller = c;
    popup = c->popup();
  }
  ValueReports reports(popup);
  write(true, 20);
  write(false, 60);

  load(1, 1);
  QCOMPARE(shown(), 20.0f);
  QVERIFY(popup->isPopupEnabled());
  write(true, 30);
  load(1, 1); // the same pair: nothing is read
  QCOMPARE(shown(), 20.0f);
  load(1, 0);
  QCOMPARE(shown(), 60.0f);
  load(1, 5); // any set but 0 is the begin set
  QCOMPARE(shown(), 30.0f);

  // No transition, or no set: only disabled, the values stay.
  for (QPair<int, int> none : {qMakePair(0, 1), qMakePair(-1, 0), qMakePair(1, -1)}) {
    load(none.first, none.second);
    QVERIFY(!popup->isPopupEnabled());
    QCOMPARE(shown(), 30.0f);
  }
  load(1, 1);
  QVERIFY(popup->isPopupEnabled());
  QCOMPARE(shown(), 30.0f);

  // Hidden and shown again, the same pair is read again.
  write(true, 40);
  load(1, 1);
  QCOMPARE(shown(), 30.0f);
  controller->setVisible(false);
  controller->setVisible(true);
  load(1, 1);
  QCOMPARE(shown(), 40.0f);
  QCOMPARE(reports.fired(), QStringList());
}

void TestPopupControllers::playHeadEnabling_data()
{
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("type");
  QTest::addColumn<bool>("overlay");
  QTest::addColumn<bool>("inside");
  QTest::addColumn<float>("time");
  QTest::addColumn<bool>("enabled");
  for (const char *kind : {"speed", "corner", "border", "stroke", "shadow", "chroma"}) {
    QTest::addRow("%s inside", kind) << kind << "MOVIE" << false << true << 0.0f << true;
    QTest::addRow("%s outside", kind) << kind << "MOVIE" << true << false << 0.0f << false;
  }
  for (const char *kind : {"transparency", "colors"}) {
    QTest::addRow("%s with overlay", kind) << kind << "IMAGE" << true << false << 0.0f << true;
    QTest::addRow("%s without overlay", kind) << kind << "IMAGE" << false << true << 0.0f << false;
  }
  QTest::newRow("movie volume with overlay") << "volume" << "MOVIE" << true << false << 9.0f << true;
  QTest::newRow("movie volume without overlay") << "volume" << "MOVIE" << false << true << 1.0f << false;
  QTest::newRow("music volume before the transition") << "volume" << "MUSIC" << false << false << 1.0f << true;
  QTest::newRow("music volume in the transition") << "volume" << "MUSIC" << true << true << 4.0f << false;
  QTest::newRow("music volume after the segment") << "volume" << "MUSIC" << true << true << 12.0f << false;
  QTest::newRow("voice volume before the transition") << "volume" << "VOICE" << false << false << 2.9f << true;
  QTest::newRow("silent movie volume") << "volume" << "MOVIE silent" << true << true << 1.0f << true;
  QTest::newRow("silent movie volume late") << "volume" << "MOVIE silent" << true << true << 5.0f << false;
}

void TestPopupControllers::playHeadEnabling()
{
  QFETCH(QString, kind);
  QFETCH(QString, type);
  QFETCH(bool, overlay);
  QFETCH(bool, inside);
  QFETCH(float, time);
  QFETCH(bool, enabled);
  InspectorHost host;
  auto segment = makeSegment(type.section(' ', 0, 0), !type.endsWith("silent"));
  segment->setRangeDuration(10);
  QCOMPARE(segment->insertTransition(2, 3), 1);
  TransformWidget *transform = overlay ? someTransformWidget() : nullptr;
  CommonEditingWidgetController *controller = makeController(host, kind);
  auto *popup = static_cast<CommonPopup *>(controller->editingWidget());
  // Start from the opposite state, so the call has to change it.
  popup->setPopupEnabled(!enabled);
  if (auto *volume = qobject_cast<VolumeEditingWidgetController *>(controller))
    volume->updateEnabledAtTime(segment.get(), transform, time);
  else
    enableAtTime(controller, transform, inside);
  QCOMPARE(popup->isPopupEnabled(), enabled);
}

void TestPopupControllers::volumeSnapsToOne()
{
  InspectorHost host;
  auto *controller = host.add(new VolumeEditingWidgetController(false, host.content));
  QSignalSpy changing(controller->popup(), &CommonSliderColorPopup::sliderColorPopupValueChanging);
  QTRY_VERIFY(controller->popup()->snapMarker());
  auto *slider = controller->popup()->findChild<QSlider *>("slider");
  for (int near : {960, 1040, 1050}) {
    slider->setValue(near);
    QCOMPARE(slider->value(), 1000);
    slider->setValue(500);
  }
  slider->setValue(1060);
  QCOMPARE(slider->value(), 1060);
  QVERIFY(changing.count() > 0);
}

void TestPopupControllers::colorsReportsItsHeight()
{
  InspectorHost host;
  auto *controller = host.add(new ColorsEditingWidgetController(false, host.content));
  QSignalSpy sizeChanged(controller, &CommonEditingWidgetController::editingWidgetControllerSizeChanged);
  auto segment = makeSegment("TEXT");
  // Made in a panel on screen, as the inspector makes it: a list with no row open is whole too.
  controller->updateFromSegment(segment.get());
  QTRY_COMPARE(controller->popup()->height(), controller->popup()->widgetFitHeight());
  segment->setClrHue(40);
  segment->setClrRed(-10);
  const int before = controller->height();
  controller->updateFromSegment(segment.get());
  QTRY_VERIFY(sizeChanged.count() > 0);
  QCOMPARE(sizeChanged.last().at(0).value<CommonEditingWidgetController *>(), controller);
  // Two rows opened: the list and the controller grew by the same amount.
  QCOMPARE(controller->popup()->height(), controller->popup()->widgetFitHeight());
  QVERIFY2(controller->height() > before, qPrintable(QString("%1 -> %2").arg(before).arg(controller->height())));

  // A transition set loaded into the transition instance takes its whole height as well.
  auto *transition = host.add(new ColorsEditingWidgetController(true, host.content));
  segment->setRangeDuration(10);
  segment->insertTransition(2, 3);
  segment->setTransitionClrGreen(1, true, 50);
  transition->updateFromTransition(segment.get(), 1, 1);
  QTRY_COMPARE(transition->popup()->height(), transition->popup()->widgetFitHeight());
}

// The inspector makes its controllers while its panel may be off screen: the colour list must
// still come out whole, without a scroll bar over the values.
void TestPopupControllers::colorsListFitsWhenMadeHidden()
{
  QWidget panel;
  panel.resize(295, 900);
  auto *column = new QVBoxLayout(&panel);
  ColorsEditingWidgetController controller(false, &panel);
  column->addWidget(controller.editingWidget());
  column->addStretch(1);
  // Loaded before the panel is on screen, as the editor may do.
  auto segment = makeSegment("IMAGE");
  controller.updateFromSegment(segment.get());
  panel.show();
  QVERIFY(QTest::qWaitForWindowExposed(&panel));
  PopupColorsScrollWidget *popup = controller.popup();
  auto *panelWidget = popup->findChild<QWidget *>("mainWidget");
  auto *area = popup->findChild<QScrollArea *>();
  QVERIFY(panelWidget && area);
  QTRY_COMPARE(panelWidget->size(), popup->size());
  QCOMPARE(popup->height(), popup->widgetFitHeight());
  QVERIFY2(!area->verticalScrollBar()->isVisible(),
           qPrintable(QString("list %1 in a view of %2").arg(area->widget()->height()).arg(area->viewport()->height())));
}

void TestPopupControllers::colourChooserFollowsTheWindow_data()
{
  QTest::addColumn<QString>("kind");
  for (const char *kind : {"border", "stroke", "shadow", "chroma"})
    QTest::newRow(kind) << kind;
}

void TestPopupControllers::colourChooserFollowsTheWindow()
{
  QFETCH(QString, kind);
  InspectorHost host(320, 700);
  CommonEditingWidgetController *controller = makeController(host, kind);
  auto *popup = static_cast<CommonSliderColorPopup *>(controller->editingWidget());
  // The chroma key opens its colours only while the key is on.
  popup->setSwitchValue(true);
  popup->setValueSilently(1);
  popup->updateDependentControls();
  popup->setPopupEnabled(true);
  auto *colorButton = popup->findChild<ColorButton *>();
  QVERIFY(colorButton && colorButton->isEnabled());
  QTest::mouseClick(colorButton, Qt::LeftButton);
  QTRY_VERIFY(popup->colorSubPopup());
  PopupColorMatrixWidget *chooser = popup->colorSubPopup();
  QTRY_VERIFY(chooser->mainWidget()->isVisible());
  const QPoint anchor = colorButton->mapTo(&host.top, QPoint(colorButton->width() / 2, 0));
  const int gap = anchor.y() - chooser->mainWidget()->geometry().bottom();

  // Taller by 150: the controllers move down without a size change of their own.
  host.top.resize(320, 850);
  QTRY_COMPARE(colorButton->mapTo(&host.top, QPoint()).y(), anchor.y() + 150);
  QTRY_COMPARE(anchor.y() + 150 - chooser->mainWidget()->geometry().bottom(), gap);

  controller->dismissChildPopup();
  QVERIFY(!popup->colorSubPopup());
}

TAVO_TEST_MAIN(TestPopupControllers)
#include "tst_popupcontrollers.moc"
