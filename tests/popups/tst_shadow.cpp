// The shadow popup: nudging and dragging the square on the pad, what the pad shadow shows,
// and the pad disabled while the shadow is fully transparent.

#include "animationswitch.h"
#include "gestures.h"
#include "popupslidercolorshadowwidget.h"
#include "popuptestwindow.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

namespace {

const QPoint anchor(600, 700);

PopupSliderColorShadowWidget *showShadow(QWidget *parent, float opacity, const QSizeF &offset, float radius = 1)
{
  auto *popup = new PopupSliderColorShadowWidget(parent);
  popup->showPopupWithValues(parent, "Shadow", anchor, opacity, Qt::black, offset, 0, 1, 0.05f, "Radius", radius, 0,
                             32, 1);
  return popup;
}

QWidget *square(QWidget *popup)
{
  return popup->findChild<QWidget *>("shadowTopWidget");
}

QPushButton *moveButton(QWidget *popup, const char *name)
{
  return popup->findChild<QPushButton *>(name);
}

// Where the shadow falls, in panel coordinates.
QPoint backInPanel(CommonPopup *popup)
{
  QWidget *back = popup->findChild<QWidget *>("shadowBackWidget");
  return back->parentWidget()->mapTo(popup->mainWidget(), back->pos());
}

} // namespace

class TestShadowPopup : public QObject
{
  Q_OBJECT
private slots:
  void padLayout();
  void nudgeBurstReportsOnce();
  void dragStopsInsideThePanel_data();
  void dragStopsInsideThePanel();
  void pressBesideTheSquareStartsNothing();
  void padShadowShowsOpacityAndRadius();
  void transparentShadowDisablesThePad();
};

void TestShadowPopup::padLayout()
{
  AnimationsOff off;
  PopupTestWindow w;
  QWidget container(&w.top);
  container.setGeometry(700, 50, 380, 360);
  container.show();
  auto *popup = new PopupSliderColorShadowWidget(&container);
  popup->embedWithValues(&container, "Shadow", 0.5f, Qt::black, QSizeF(6, -4), 0, 1, 0.05f, "Radius", 2, 0, 32, 1);
  QCOMPARE(popup->findChild<QLabel *>("titleLabel2")->text(), QString("Radius"));
  QWidget *pad = popup->findChild<QWidget *>("shadowPanelWidget");
  QWidget *back = popup->findChild<QWidget *>("shadowBackWidget");
  // The square stands at the shadow's place minus the offset.
  QTRY_COMPARE(square(popup)->pos(), backInPanel(popup) - QPoint(6, -4));
  const QPoint c(pad->width() / 2, pad->height() / 2 - 20);
  QCOMPARE(back->pos(), c - QPoint(50, 40));
  const QRect b = back->geometry();
  // Left and right side by side under it, up and down stacked on its right.
  QCOMPARE(moveButton(popup, "shadowMoveLeftButton")->geometry(), QRect(c.x() - 30, b.bottom() + 15, 30, 40));
  QCOMPARE(moveButton(popup, "shadowMoveRightButton")->geometry(), QRect(c.x(), b.bottom() + 15, 30, 40));
  QCOMPARE(moveButton(popup, "shadowMoveUpButton")->geometry(), QRect(b.right() + 15, c.y() - 30, 40, 30));
  QCOMPARE(moveButton(popup, "shadowMoveDownButton")->geometry(), QRect(b.right() + 15, c.y(), 40, 30));
  QVERIFY(!back->isVisible());
  // A new offset from the owner moves the square.
  popup->setShadowOffset(QSizeF(-10, 10));
  QTRY_COMPARE(square(popup)->pos(), backInPanel(popup) - QPoint(-10, 10));
}

void TestShadowPopup::nudgeBurstReportsOnce()
{
  AnimationsOff off;
  PopupTestWindow w;
  PopupSliderColorShadowWidget *popup = showShadow(&w.top, 0.5f, QSizeF(3, 4));
  const QPoint start = square(popup)->pos();
  QCOMPARE(start, backInPanel(popup) - QPoint(3, 4));
  QSignalSpy changing(popup, &PopupSliderColorShadowWidget::shadowOffsetChanging);
  QSignalSpy changed(popup, &PopupSliderColorShadowWidget::shadowOffsetChanged);
  QPushButton *left = moveButton(popup, "shadowMoveLeftButton");
  for (int i = 0; i < 5; ++i)
    Gestures::click(left, left->rect().center());
  QElapsedTimer sinceLast;
  sinceLast.start();
  QCOMPARE(square(popup)->pos(), start - QPoint(5, 0));
  QCOMPARE(popup->shadowOffset(), QSizeF(8, 4));
  QCOMPARE(changing.count(), 5);
  QCOMPARE(changing.last()[1].toSizeF(), QSizeF(8, 4));
  QCOMPARE(changed.count(), 0);
  QTRY_COMPARE(changed.count(), 1);
  QVERIFY2(sinceLast.elapsed() >= 320, qPrintable(QString::number(sinceLast.elapsed())));
  QCOMPARE(changed[0][1].toSizeF(), QSizeF(8, 4));
  QTest::qWait(400);
  QCOMPARE(changed.count(), 1);

  // The other three buttons move the square their way.
  for (const char *name :
       {"shadowMoveRightButton", "shadowMoveUpButton", "shadowMoveDownButton", "shadowMoveDownButton"})
    Gestures::click(moveButton(popup, name), moveButton(popup, name)->rect().center());
  QCOMPARE(square(popup)->pos(), start - QPoint(4, -1));
  QCOMPARE(popup->shadowOffset(), QSizeF(7, 3));
  QTRY_COMPARE(changed.count(), 2);

  // Closed by hand within the delay: the last offset is reported before the popup goes.
  Gestures::click(left, left->rect().center());
  connect(popup, &CommonPopup::dismissed, popup, [&changed] { QCOMPARE(changed.count(), 3); });
  Gestures::click(&w.top, QPoint(5, 5));
  QCOMPARE(changed.count(), 3);
  QCOMPARE(changed[2][1].toSizeF(), QSizeF(8, 3));
}

void TestShadowPopup::dragStopsInsideThePanel_data()
{
  QTest::addColumn<QPoint>("direction");
  QTest::newRow("right") << QPoint(1, 0);
  QTest::newRow("left") << QPoint(-1, 0);
  QTest::newRow("up") << QPoint(0, -1);
  QTest::newRow("down") << QPoint(0, 1);
}

void TestShadowPopup::dragStopsInsideThePanel()
{
  QFETCH(QPoint, direction);
  AnimationsOff off;
  PopupTestWindow w;
  PopupSliderColorShadowWidget *popup = showShadow(&w.top, 0.5f, QSizeF(0, 0));
  QWidget *panel = popup->mainWidget();
  QSignalSpy changing(popup, &PopupSliderColorShadowWidget::shadowOffsetChanging);
  QSignalSpy changed(popup, &PopupSliderColorShadowWidget::shadowOffsetChanged);
  const QPoint from = square(popup)->pos() + QPoint(50, 40);
  const QPoint to = from + direction * 1000;
  // The drag runs in the popup's coordinates; it may leave the panel and the window.
  const QPoint offsetInPopup = panel->pos();
  Gestures::press(popup, from + offsetInPopup);
  Gestures::moveInSteps(popup, from + offsetInPopup, to + offsetInPopup, 8);
  QCOMPARE(changed.count(), 0);
  QVERIFY(changing.count() > 0);
  Gestures::release(popup, to + offsetInPopup);
  QCOMPARE(changed.count(), 1);

  // w / 2 and h / 2 of the 100 x 80 square from the edge, whatever the panel's size.
  const QPoint expected(direction.x() > 0 ? panel->width() - 10 : direction.x() < 0 ? 10 : from.x(),
                        direction.y() > 0 ? panel->height() - 10 : direction.y() < 0 ? 10 : from.y());
  QCOMPARE(square(popup)->pos() + QPoint(50, 40), expected);
  const QPoint offset = backInPanel(popup) - square(popup)->pos();
  QCOMPARE(changed[0][1].toSizeF(), QSizeF(offset.x(), offset.y()));
  QCOMPARE(popup->shadowOffset(), QSizeF(offset.x(), offset.y()));
  QVERIFY(popup->isVisible());
}

void TestShadowPopup::pressBesideTheSquareStartsNothing()
{
  AnimationsOff off;
  PopupTestWindow w;
  QPointer<PopupSliderColorShadowWidget> popup = showShadow(&w.top, 0.5f, QSizeF(0, 0));
  QSignalSpy changing(popup.data(), &PopupSliderColorShadowWidget::shadowOffsetChanging);
  QSignalSpy changed(popup.data(), &PopupSliderColorShadowWidget::shadowOffsetChanged);
  const QPoint start = square(popup)->pos();
  QWidget *pad = popup->findChild<QWidget *>("shadowPanelWidget");
  // The pad's bottom-left corner: no square, no button.
  const QPoint beside(5, pad->height() - 5);
  QVERIFY(!square(popup)->geometry().contains(pad->mapTo(popup->mainWidget(), beside)));
  Gestures::press(pad, beside);
  Gestures::moveInSteps(pad, beside, beside + QPoint(60, -60), 4);
  Gestures::release(pad, beside + QPoint(60, -60));
  QCOMPARE(square(popup)->pos(), start);
  QCOMPARE(changing.count() + changed.count(), 0);
  QVERIFY(popup->isVisible());

  // Outside the panel the overlay goes away.
  Gestures::click(&w.top, QPoint(5, 5));
  QVERIFY(!popup || !popup->isVisible());
}

void TestShadowPopup::padShadowShowsOpacityAndRadius()
{
  AnimationsOff off;
  PopupTestWindow w;
  PopupSliderColorShadowWidget *popup = showShadow(&w.top, 1, QSizeF(10, 10), 0);
  QGraphicsDropShadowEffect *shadow = popup->padShadow();
  QCOMPARE(shadow->color().alpha(), 255);
  QCOMPARE(shadow->blurRadius(), 0.0);
  popup->setValueSilently(0.5f);
  QCOMPARE(shadow->color().alpha(), 128);
  popup->setValue2Silently(4);
  QCOMPARE(shadow->blurRadius(), 32.0);
  // The accent colour stays whatever shadow colour is chosen.
  popup->setColor(Qt::red);
  QCOMPARE(shadow->color().rgb(), QColor(54, 200, 255).rgb());

  // The user's drags show at once.
  auto *slider = popup->findChild<QSlider *>("slider");
  Gestures::press(slider, QPoint(slider->width() / 4, slider->height() / 2));
  QVERIFY2(qAbs(shadow->color().alphaF() - slider->value() / 1000.0) < 0.01,
           qPrintable(QString::number(shadow->color().alphaF())));
  Gestures::release(slider, QPoint(slider->width() / 4, slider->height() / 2));
  auto *slider2 = popup->findChild<QSlider *>("slider2");
  Gestures::click(slider2, QPoint(slider2->width() / 2, slider2->height() / 2));
  QVERIFY(slider2->value() > 0);
  QVERIFY(qAbs(shadow->blurRadius() - 8 * slider2->value() / 1000.0) < 0.01);
}

void TestShadowPopup::transparentShadowDisablesThePad()
{
  AnimationsOff off;
  PopupTestWindow w;
  PopupSliderColorShadowWidget *popup = showShadow(&w.top, 0, QSizeF(0, 0));
  QList<QWidget *> pad{square(popup)};
  for (const char *name :
       {"shadowMoveUpButton", "shadowMoveDownButton", "shadowMoveLeftButton", "shadowMoveRightButton"})
    pad << moveButton(popup, name);
  const auto usable = [&pad](bool enabled) {
    for (QWidget *widget : pad)
      if (widget->isEnabled() != enabled)
        return false;
    return true;
  };
  QVERIFY(usable(false));
  // The arrows turn grey with it.
  const QImage arrow = moveButton(popup, "shadowMoveLeftButton")->icon().pixmap(24, 24, QIcon::Disabled).toImage();
  for (int y = 0; y < arrow.height(); ++y)
    for (int x = 0; x < arrow.width(); ++x)
      QVERIFY2(qGray(arrow.pixel(x, y)) < 140 || qAlpha(arrow.pixel(x, y)) < 20,
               qPrintable(QString("%1,%2").arg(x).arg(y)));
  // A disabled square cannot be dragged.
  QSignalSpy changing(popup, &PopupSliderColorShadowWidget::shadowOffsetChanging);
  const QPoint centre = square(popup)->geometry().center() + popup->mainWidget()->pos();
  Gestures::drag(popup, centre, centre + QPoint(30, 0));
  QCOMPARE(changing.count(), 0);

  auto *slider = popup->findChild<QSlider *>("slider");
  const QPoint at(slider->width() / 2, slider->height() / 2);
  Gestures::press(slider, at);
  QVERIFY(slider->value() > 0);
  QVERIFY(usable(false));
  Gestures::release(slider, at);
  QVERIFY(usable(true));
}

TAVO_TEST_MAIN(TestShadowPopup)
#include "tst_shadow.moc"
