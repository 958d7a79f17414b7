// The easing chooser: which button shows as chosen, what a click reports, its two looks.

#include "animationswitch.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupeasingfunctionswidget.h"
#include "popuptestwindow.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>

namespace {

struct Shown
{
  AnimationsOff off;
  PopupTestWindow w;
  QPointer<PopupEasingFunctionsWidget> popup;
  Shown(int easing, bool inPanel)
  {
    PixelProbe::plainBackground(&w.top, QColor(0, 0, 255));
    popup = new PopupEasingFunctionsWidget(&w.top);
    popup->showPopupWithEasing(&w.top, QPoint(600, 600), easing, inPanel);
  }
  ~Shown() { delete popup; }
};

} // namespace

class TestEasingPopup : public QObject
{
  Q_OBJECT
private slots:
  void chosenButton_data();
  void chosenButton();
  void clickReportsTheNumber();
  void buttonsFormAGrid();
  void looks_data();
  void looks();
};

void TestEasingPopup::chosenButton_data()
{
  QTest::addColumn<int>("easing");
  QTest::addColumn<QString>("selected"); // empty: none
  QTest::newRow("linear") << 1 << "linearButton";
  QTest::newRow("smooth in-out, the default") << 4 << "smoothInOutButton";
  QTest::newRow("bounce in-out, the last") << 16 << "bounceInOutButton";
  QTest::newRow("zero") << 0 << "";
  QTest::newRow("past the last") << 17 << "";
  QTest::newRow("negative") << -1 << "";
}

void TestEasingPopup::chosenButton()
{
  QFETCH(int, easing);
  QFETCH(QString, selected);
  Shown s(easing, true);
  const auto buttons = s.popup->findChildren<TooltipButton *>();
  QCOMPARE(buttons.size(), 18); // with the two place holders of the linear row
  for (TooltipButton *button : buttons) {
    const bool chosen = button->objectName() == selected;
    QVERIFY2(button->isSelected() == chosen, qPrintable(button->objectName()));
    QCOMPARE(button->shownIcon().endsWith("2"), chosen);
  }
}

void TestEasingPopup::clickReportsTheNumber()
{
  Shown s(4, false);
  QSignalSpy spy(s.popup.data(), &PopupEasingFunctionsWidget::easingFunctionSelected);
  QSignalSpy dismissed(s.popup.data(), &CommonPopup::dismissed);
  // The chosen one still reports; the popup stays until its owner closes it.
  const QList<std::pair<int, QString>> clicks = {
    {4, "smoothInOutButton"}, {1, "linearButton"}, {15, "bounceOutButton"}, {8, "backInButton"}};
  for (const auto &[number, name] : clicks) {
    auto *button = s.popup->findChild<TooltipButton *>(name);
    Gestures::click(button, button->rect().center());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).value<PopupEasingFunctionsWidget *>(), s.popup.data());
    QCOMPARE(spy.takeFirst().at(1).toInt(), number);
  }
  QCOMPARE(dismissed.count(), 0);
  QVERIFY(s.popup->isVisible());
}

void TestEasingPopup::buttonsFormAGrid()
{
  Shown s(4, true);
  // Columns In, Out, InOut line up over the rows; the linear button sits under InOut.
  for (int column = 0; column < 3; ++column) {
    const int x = s.popup->easingButton(2 + column)->x();
    for (int row = 1; row < 5; ++row)
      QCOMPARE(s.popup->easingButton(2 + row * 3 + column)->x(), x);
  }
  QCOMPARE(s.popup->easingButton(1)->x(), s.popup->easingButton(4)->x());
  const QLabel *inOut = s.popup->findChild<QLabel *>("inOutLabel");
  QVERIFY(qAbs(inOut->geometry().center().x() - s.popup->easingButton(4)->geometry().center().x()) <= 2);
  int previousY = s.popup->easingButton(1)->y();
  for (int row = 0; row < 5; ++row) {
    const int y = s.popup->easingButton(2 + row * 3)->y();
    QVERIFY(y > previousY);
    QCOMPARE(s.popup->easingButton(4 + row * 3)->y(), y);
    previousY = y;
  }
  QCOMPARE(s.popup->easingButton(16)->iconSize(), QSize(27, 27));
}

void TestEasingPopup::looks_data()
{
  QTest::addColumn<bool>("inPanel");
  QTest::newRow("inside the popup panel") << true;
  QTest::newRow("floating") << false;
}

void TestEasingPopup::looks()
{
  QFETCH(bool, inPanel);
  Shown s(4, inPanel);
  QCOMPARE(s.popup->titleLabel()->text(), QString("Easing Type"));
  const QRect panel = s.popup->mainWidget()->geometry();
  QCOMPARE(panel.height(), 317);
  QCOMPARE(panel.bottom(), 600 - 1);
  const QGraphicsEffect *effect = s.popup->mainWidget()->graphicsEffect();
  QCOMPARE(qobject_cast<const QGraphicsDropShadowEffect *>(effect) != nullptr, !inPanel);

  // The panel's colour at alpha 244 over the blue window.
  const QColor panelColor = inPanel ? QColor(7, 8, 10) : QColor(44, 46, 50);
  const QColor fill(panelColor.red() * 244 / 255, panelColor.green() * 244 / 255,
                    (panelColor.blue() * 244 + 255 * 11) / 255);
  const QImage image = PixelProbe::grab(&s.w.top);
  PROBE(image, panel.left() + 3, panel.center().y(), fill, 6);
  // Square bottom corners in the panel, all four rounded when floating.
  const QRgb corner = image.pixel(panel.left(), panel.bottom());
  QCOMPARE(PixelProbe::near(corner, fill, 6), inPanel);
}

TAVO_TEST_MAIN(TestEasingPopup)
#include "tst_easing.moc"
