// The media type chooser: choices per track kind, the balloon beside the track's add button,
// and one signal per choice.

#include "animationswitch.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupmainwidget.h"
#include "popupmediatypeselectionwidget.h"
#include "popuptestwindow.h"
#include "testenv.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using Popup = PopupMediaTypeSelectionWidget;

struct Shown
{
  AnimationsOff off;
  PopupTestWindow w;
  QPushButton *addButton = nullptr;
  QPointer<Popup> popup;
  // anchor: the add button's geometry in the window; empty for none.
  Shown(const QSize &window, const QRect &anchor, int restriction = 0) : w(window.width(), window.height())
  {
    PixelProbe::plainBackground(&w.top, QColor(0, 0, 255));
    if (!anchor.isEmpty()) {
      addButton = new QPushButton("+", &w.top);
      addButton->setGeometry(anchor);
      addButton->show();
    }
    popup = new Popup(&w.top);
    popup->setRestriction(restriction);
    popup->showPopupAt(&w.top, "Add Media", addButton);
  }
  ~Shown() { delete popup; }
  QList<QPushButton *> buttons() const
  {
    return {popup->chooseFileButton(), popup->cameraButton(), popup->microphoneButton(), popup->textButton(),
            popup->selfdrawButton()};
  }
};

} // namespace

class TestMediaTypePopup : public QObject
{
  Q_OBJECT
private slots:
  void restrictions_data();
  void restrictions();
  void placement_data();
  void placement();
  void eachChoiceHasItsSignal_data();
  void eachChoiceHasItsSignal();
};

void TestMediaTypePopup::restrictions_data()
{
  QTest::addColumn<int>("restriction");
  QTest::addColumn<int>("enabled"); // how many of the five, from the top
  QTest::newRow("media") << 0 << 5;
  QTest::newRow("video") << 1 << 2;
  QTest::newRow("picture") << 2 << 2;
  QTest::newRow("music") << 3 << 1;
  QTest::newRow("unknown kind") << 7 << 2;
}

void TestMediaTypePopup::restrictions()
{
  QFETCH(int, restriction);
  QFETCH(int, enabled);
  Shown s(QSize(1200, 800), QRect(100, 300, 40, 30), restriction);
  QCOMPARE(s.popup->restriction(), restriction);
  const QStringList texts{"Choose File...", "Camera", "Microphone", "Text", "Self-Draw"};
  const QImage image = PixelProbe::grab(&s.w.top);
  for (int i = 0; i < 5; ++i) {
    QPushButton *button = s.buttons()[i];
    QCOMPARE(button->text(), texts[i]);
    QCOMPARE(button->isEnabled(), i < enabled);
    if (i >= enabled) {
      const QPoint inside = button->mapTo(&s.w.top, QPoint(4, button->height() / 2));
      PROBE(image, inside.x(), inside.y(), QColor(217, 217, 217), 4);
    }
  }
  const QPoint file = s.popup->chooseFileButton()->mapTo(&s.w.top, QPoint(4, 6));
  PROBE(image, file.x(), file.y(), QColor(0, 84, 204), 4);
}

void TestMediaTypePopup::placement_data()
{
  QTest::addColumn<QSize>("window");
  QTest::addColumn<QRect>("anchor");
  QTest::addColumn<QPoint>("panel");
  // The balloon starts at the button's right edge, its middle level with the button's.
  QTest::newRow("beside the button") << QSize(1200, 800) << QRect(100, 300, 40, 30) << QPoint(140, 165);
  QTest::newRow("near the right edge") << QSize(1200, 800) << QRect(1150, 300, 40, 30) << QPoint(951, 165);
  QTest::newRow("near the top") << QSize(1200, 800) << QRect(100, 20, 40, 30) << QPoint(140, 250);
  QTest::newRow("near the bottom") << QSize(1200, 800) << QRect(100, 740, 40, 30) << QPoint(140, 491);
  QTest::newRow("low window") << QSize(1200, 250) << QRect(100, 100, 40, 30) << QPoint(140, -25);
  QTest::newRow("no anchor") << QSize(1200, 800) << QRect() << QPoint(0, 250);
}

void TestMediaTypePopup::placement()
{
  QFETCH(QSize, window);
  QFETCH(QRect, anchor);
  QFETCH(QPoint, panel);
  Shown s(window, anchor);
  PopupMainWidget *balloon = s.popup->balloon();
  QCOMPARE(balloon->geometry(), QRect(panel, QSize(240, 300)));
  QCOMPARE(balloon->arrowSide(), 1);
  if (anchor.isEmpty())
    return;
  // The arrow's tip is on the panel's left edge, level with the button's middle.
  const int tipY = anchor.y() + anchor.height() / 2;
  QCOMPARE(balloon->arrowPoint().y(), tipY - panel.y());
  const QImage image = PixelProbe::grab(&s.w.top);
  const QColor fill(31, 32, 35);
  // Probed where the body is beside the tip (an anchor far above only aims from outside).
  if (tipY - panel.y() > 12 && tipY - panel.y() < 300 - 12) {
    PROBE(image, panel.x() + 5, tipY, fill, 6);
    QVERIFY(!PixelProbe::near(image.pixel(panel.x() + 5, tipY + 11), fill, 6));
  }
  PROBE(image, panel.x() + 20, panel.y() + 150, fill, 6);
}

void TestMediaTypePopup::eachChoiceHasItsSignal_data()
{
  QTest::addColumn<int>("button");
  QTest::newRow("Choose File...") << 0;
  QTest::newRow("Camera") << 1;
  QTest::newRow("Microphone") << 2;
  QTest::newRow("Text") << 3;
  QTest::newRow("Self-Draw") << 4;
}

void TestMediaTypePopup::eachChoiceHasItsSignal()
{
  QFETCH(int, button);
  Shown s(QSize(1200, 800), QRect(100, 300, 40, 30));
  QList<QSignalSpy *> spies{
    new QSignalSpy(s.popup.data(), &Popup::popupMediaTypeSelectionWidgetDidClickSelectFile),
    new QSignalSpy(s.popup.data(), &Popup::popupMediaTypeSelectionWidgetDidClickCamera),
    new QSignalSpy(s.popup.data(), &Popup::popupMediaTypeSelectionWidgetDidClickMicrophone),
    new QSignalSpy(s.popup.data(), &Popup::popupMediaTypeSelectionWidgetDidClickText),
    new QSignalSpy(s.popup.data(), &Popup::popupMediaTypeSelectionWidgetDidClickSelfDraw)};
  QPushButton *clicked = s.buttons()[button];
  Gestures::click(clicked, clicked->rect().center());
  for (int i = 0; i < 5; ++i) {
    QCOMPARE(spies[i]->count(), i == button ? 1 : 0);
    if (i == button)
      QCOMPARE(spies[i]->first().at(0).value<Popup *>(), s.popup.data());
  }
  qDeleteAll(spies);
  QVERIFY(s.popup->isVisible());
}

TAVO_TEST_MAIN(TestMediaTypePopup)
#include "tst_mediatype.moc"
