// The slider popups as their users show them: panel heights, the format and step of every
// use, the dependent rows of the multi-row forms, and how the rows look (a round knob, grey
// step buttons while disabled, the snap marker on the middle of the track).

#include "animationswitch.h"
#include "colorbutton.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "popuptestwindow.h"
#include "switchbutton.h"
#include "testenv.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>

namespace {

enum Kind
{
  Slider,
  SliderColor,
  Switch2Sliders,
  TwoSliders
};

const QPoint anchor(600, 700);

CommonSliderColorPopup *showKind(Kind kind, QWidget *parent, float value = 0.5f, bool switchValue = true)
{
  switch (kind) {
  case Slider: {
    auto *popup = new PopupSliderWidget(parent);
    popup->showPopupWithValue(parent, "Transparency", anchor, value, 0, 1, false, 0.05f);
    return popup;
  }
  case SliderColor: {
    auto *popup = new PopupSliderColorWidget(parent);
    popup->showPopupWithValue(parent, "Border Size & Color", anchor, value, Qt::red, 0, 32, 0.5f);
    return popup;
  }
  case Switch2Sliders: {
    auto *popup = new PopupSliderColor1Switch2SlidersWidget(parent);
    popup->showPopupWithValues(parent, "Border Size & Color", anchor, value, Qt::red, 0, 64, 0.5f, "Tolerance", 0, 0,
                               100, 1, "Intensity", 0, 0, 100, 1, "Stroke", switchValue);
    return popup;
  }
  case TwoSliders: {
    auto *popup = new PopupSliderColor2SlidersWidget(parent);
    popup->showPopupWithValues(parent, "Text Background", anchor, value, Qt::red, 0, 1, 0.05f, "Spacing", 0, 0, 80,
                               0.5f, "Round Corner", 0, 0, 100, 0.5f);
    return popup;
  }
  }
  return nullptr;
}

template <typename T>
T *part(QWidget *popup, const char *name)
{
  T *widget = popup->findChild<T *>(name);
  if (!widget)
    qWarning() << "no" << name;
  return widget;
}

QList<QWidget *> rowWidgets(QWidget *popup, int row)
{
  const QString n = QString::number(row);
  QList<QWidget *> widgets;
  for (const char *name : {"titleLabel", "slider", "valueLabel", "valueDownButton", "valueUpButton"})
    widgets << part<QWidget>(popup, qPrintable(QString(name) + n));
  return widgets;
}

QString enabledStates(const QList<QWidget *> &widgets)
{
  QString states;
  for (QWidget *w : widgets)
    states += w->isEnabled() ? '1' : '0';
  return states;
}

int brightest(const QImage &image)
{
  int gray = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      gray = qMax(gray, qGray(image.pixel(x, y)));
  return gray;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestSliderPopups : public QObject
{
  Q_OBJECT
private slots:
  void panelHeights_data();
  void panelHeights();
  void uses_data();
  void uses();
  void firstValueOutOfRangeLeavesFormText();
  void twoSlidersWaitForTheMainValue();
  void switchOffDisablesOnlyRowsTwoAndThree();
  void knobIsRoundAtTopAndBottom();
  void disabledStepButtonsAreGrey();
  void snapMarkerOnTheMiddleAfterLayout_data();
  void snapMarkerOnTheMiddleAfterLayout();
};

void TestSliderPopups::panelHeights_data()
{
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<int>("height");
  QTest::newRow("slider") << Slider << 120;
  QTest::newRow("slider and colour") << SliderColor << 120;
  QTest::newRow("switch and two sliders") << Switch2Sliders << 344;
  QTest::newRow("two sliders") << TwoSliders << 284;
}

void TestSliderPopups::panelHeights()
{
  QFETCH(Kind, kind);
  QFETCH(int, height);
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup = showKind(kind, &w.top);
  QCOMPARE(popup->mainWidget()->height(), height);
  // The panel stands on the anchor.
  QCOMPARE(popup->mainWidget()->geometry().bottom() + 1, anchor.y());
  // Every row fits inside the panel.
  for (QSlider *slider : popup->findChildren<QSlider *>()) {
    const QRect r(slider->mapTo(popup->mainWidget(), QPoint()), slider->size());
    QVERIFY2(popup->mainWidget()->rect().contains(r), qPrintable(slider->objectName()));
  }
}

void TestSliderPopups::uses_data()
{
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<QString>("title");
  QTest::addColumn<float>("min");
  QTest::addColumn<float>("max");
  QTest::addColumn<float>("step");
  QTest::addColumn<bool>("speed");
  QTest::addColumn<bool>("percent");
  QTest::addColumn<float>("value");
  QTest::addColumn<QStringList>("texts"); // at the value, one step up, at min, at max

  const QSize screen = QGuiApplication::primaryScreen()->size();
  const int shortSide = qMin(screen.width(), screen.height());
  QTest::newRow("round corner") << Slider << "Round Corner" << 0.0f << float(shortSide) << 1.0f << false << false
                                << 20.0f << QStringList{"20.0", "21.0", "0.0", QString("%1.0").arg(shortSide)};
  QTest::newRow("speed") << Slider << "Speed" << 0.0f << 15.0f << 1.0f << true << false << 3.0f
                         << QStringList{"1.00X", "1.25X", "0.25X", "4.00X"};
  QTest::newRow("transparency") << Slider << "Transparency" << 0.0f << 1.0f << 0.05f << false << false << 0.5f
                                << QStringList{"0.50", "0.55", "0.00", "1.00"};
  QTest::newRow("volume") << Slider << "Volume" << 0.0f << 2.0f << 0.05f << false << false << 1.0f
                          << QStringList{"1.00", "1.05", "0.00", "2.00"};
  QTest::newRow("picture size") << Slider << "Picture Size" << 0.01f << 4.0f << 0.01f << false << true << 1.0f
                                << QStringList{"100%", "101%", "1%", "400%"};
  QTest::newRow("text size") << Slider << "Text Size" << 1.0f << 960.0f << 1.0f << false << false << 12.0f
                             << QStringList{"12.0", "13.0", "1.0", "960.0"};
  QTest::newRow("border size") << SliderColor << "Border Size & Color" << 0.0f << 32.0f << 0.5f << false << false
                               << 2.0f << QStringList{"2.0", "2.5", "0.0", "32.0"};
  QTest::newRow("text size and colour") << SliderColor << "Text Size & Color" << 1.0f << 960.0f << 1.0f << false
                                        << false << 12.0f << QStringList{"12.0", "13.0", "1.0", "960.0"};
}

void TestSliderPopups::uses()
{
  QFETCH(Kind, kind);
  QFETCH(QString, title);
  QFETCH(float, min);
  QFETCH(float, max);
  QFETCH(float, step);
  QFETCH(bool, speed);
  QFETCH(bool, percent);
  QFETCH(float, value);
  QFETCH(QStringList, texts);
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup;
  if (kind == Slider) {
    auto *slider = new PopupSliderWidget(&w.top);
    slider->setPercentFormat(percent);
    slider->showPopupWithValue(&w.top, title, anchor, value, min, max, speed, step);
    popup = slider;
  } else {
    auto *colour = new PopupSliderColorWidget(&w.top);
    colour->showPopupWithValue(&w.top, title, anchor, value, QColor(1, 2, 3), min, max, step);
    QCOMPARE(colour->color(), QColor(1, 2, 3));
    popup = colour;
  }
  QCOMPARE(popup->titleLabel()->text(), title);
  auto *label = part<QLabel>(popup, "valueLabel");
  auto *slider = part<QSlider>(popup, "slider");
  QCOMPARE(slider->minimum(), int(min * 1000));
  QCOMPARE(slider->maximum(), int(max * 1000));
  QCOMPARE(label->text(), texts[0]);

  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  auto *up = part<QPushButton>(popup, "valueUpButton");
  Gestures::click(up, up->rect().center());
  QCOMPARE(label->text(), texts[1]);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed[0][1].toFloat(), slider->value() / 1000.0f);

  popup->setValueSilently(min);
  QCOMPARE(label->text(), texts[2]);
  popup->setValueSilently(max);
  QCOMPARE(label->text(), texts[3]);
}

void TestSliderPopups::firstValueOutOfRangeLeavesFormText()
{
  AnimationsOff off;
  PopupTestWindow w;
  auto *popup = new PopupSliderWidget(&w.top);
  popup->showPopupWithValue(&w.top, "Transparency", anchor, 1.5f, 0, 1, false, 0.05f);
  QCOMPARE(part<QLabel>(popup, "valueLabel")->text(), QString("0.00"));
  QCOMPARE(part<QSlider>(popup, "slider")->value(), 0);
}

void TestSliderPopups::twoSlidersWaitForTheMainValue()
{
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup = showKind(TwoSliders, &w.top, 0);
  QCOMPARE(part<QLabel>(popup, "titleLabel2")->text(), QString("Spacing"));
  QCOMPARE(part<QLabel>(popup, "titleLabel3")->text(), QString("Round Corner"));
  const QList<QWidget *> dependent = rowWidgets(popup, 2) + rowWidgets(popup, 3);
  QCOMPARE(enabledStates(dependent), QString("0000000000"));
  QVERIFY(popup->isPopupEnabled());
  QVERIFY(part<ColorButton>(popup, "colorButton")->isEnabled());

  // The user presses the track at three quarters: the value moves, the rows wait for the release.
  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  auto *slider = part<QSlider>(popup, "slider");
  const QPoint at(slider->width() * 3 / 4, slider->height() / 2);
  Gestures::press(slider, at);
  QVERIFY(slider->value() > 0);
  QCOMPARE(enabledStates(dependent), QString("0000000000"));
  Gestures::release(slider, at);
  QCOMPARE(enabledStates(dependent), QString("1111111111"));
  QCOMPARE(changed.count(), 1);

  // Back to 0 disables them again.
  Gestures::click(slider, QPoint(1, slider->height() / 2));
  QCOMPARE(slider->value(), 0);
  QCOMPARE(enabledStates(dependent), QString("0000000000"));
}

void TestSliderPopups::switchOffDisablesOnlyRowsTwoAndThree()
{
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup = showKind(Switch2Sliders, &w.top, 2, false);
  QCOMPARE(part<QLabel>(popup, "switchLabel")->text(), QString("Stroke"));
  const QList<QWidget *> dependent = rowWidgets(popup, 2) + rowWidgets(popup, 3);
  QCOMPARE(enabledStates(dependent), QString("0000000000"));
  // Everything else is usable.
  for (QWidget *widget : popup->mainWidget()->findChildren<QWidget *>())
    if (!dependent.contains(widget))
      QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));

  QSignalSpy switched(popup, &CommonSliderColorPopup::sliderColorPopupSwitchValueChanged);
  auto *switchButton = part<SwitchButton>(popup, "switchButton");
  Gestures::click(switchButton, switchButton->rect().center());
  QCOMPARE(switched.count(), 1);
  QCOMPARE(switched[0][1].toBool(), true);
  QCOMPARE(enabledStates(dependent), QString("1111111111"));
}

void TestSliderPopups::knobIsRoundAtTopAndBottom()
{
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup = showKind(Slider, &w.top, 0);
  auto *slider = part<QSlider>(popup, "slider");
  QVERIFY2(slider->height() >= 18, qPrintable(QString::number(slider->height())));
  // At 0 the knob's centre is 9 px from the track's left end: its top and bottom rows,
  // 8 px above and below the middle, are white, not the panel.
  const QImage img = PixelProbe::grab(popup->mainWidget());
  const QPoint centre = slider->mapTo(popup->mainWidget(), QPoint(9, slider->height() / 2));
  PROBE(img, centre.x(), centre.y(), Qt::white, 30);
  PROBE(img, centre.x(), centre.y() - 8, Qt::white, 60);
  PROBE(img, centre.x(), centre.y() + 8, Qt::white, 60);
}

void TestSliderPopups::disabledStepButtonsAreGrey()
{
  AnimationsOff off;
  PopupTestWindow w;
  CommonSliderColorPopup *popup = showKind(TwoSliders, &w.top, 0);
  auto *disabled = part<QPushButton>(popup, "valueUpButton2");
  auto *enabled = part<QPushButton>(popup, "valueUpButton");
  QVERIFY(!disabled->isEnabled());
  // On the panel: a button grabbed alone shows the light window background.
  const QImage img = PixelProbe::grab(popup->mainWidget());
  const auto onPanel = [&](QWidget *button) {
    return img.copy(QRect(button->mapTo(popup->mainWidget(), QPoint()), button->size()));
  };
  const int bright = brightest(onPanel(enabled));
  const int grey = brightest(onPanel(disabled));
  QVERIFY2(bright > 190, qPrintable(QString::number(bright)));
  QVERIFY2(grey > 90 && grey < 150, qPrintable(QString::number(grey)));
}

void TestSliderPopups::snapMarkerOnTheMiddleAfterLayout_data()
{
  QTest::addColumn<bool>("embedded");
  QTest::newRow("overlay") << false;
  QTest::newRow("embedded") << true;
}

void TestSliderPopups::snapMarkerOnTheMiddleAfterLayout()
{
  QFETCH(bool, embedded);
  AnimationsOff off;
  PopupTestWindow w;
  QWidget container(&w.top);
  container.setGeometry(700, 100, 380, 120);
  container.show();
  // The volume popup: the snap is set before the popup is shown.
  auto *popup = new PopupSliderWidget(embedded ? &container : &w.top);
  popup->setSnapValue(1.0f, 0.05f);
  if (embedded)
    popup->embedWithValue(&container, "Volume", 0.5f, 0, 2, false, 0.05f);
  else
    popup->showPopupWithValue(&w.top, "Volume", anchor, 0.5f, 0, 2, false, 0.05f);
  auto *slider = part<QSlider>(popup, "slider");
  QWidget *marker = popup->snapMarker();
  QVERIFY(marker);
  const auto onTheMiddle = [&] {
    const QPoint c = slider->geometry().center();
    return marker->geometry() == QRect(c.x() - 1, c.y() - 25, 3, 50);
  };
  QTRY_VERIFY2(onTheMiddle(), qPrintable(QString("marker at %1, slider centre %2")
                                            .arg(marker->geometry().center().x())
                                            .arg(slider->geometry().center().x())));
  // It stays there when the layout changes again.
  if (embedded)
    popup->resize(300, 120);
  else
    popup->layoutAt(QPoint(400, 500));
  QTRY_VERIFY(onTheMiddle());

  // Dragging near 1.0 lands on it.
  Gestures::press(slider, QPoint(slider->width() / 2 + 2, slider->height() / 2));
  QCOMPARE(slider->value(), 1000);
  Gestures::release(slider, QPoint(slider->width() / 2 + 2, slider->height() / 2));
  QCOMPARE(part<QLabel>(popup, "valueLabel")->text(), QString("1.00"));
}

TAVO_TEST_MAIN(TestSliderPopups)
#include "tst_sliderpopups.moc"
