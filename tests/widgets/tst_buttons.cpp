// Tool buttons, the plain-text edit, the slider style and the wheel blocker.

#include "custommenustyle.h"
#include "gestures.h"
#include "iconlineedit.h"
#include "seekablesliderstyle.h"
#include "pixelprobe.h"
#include "testenv.h"
#include "texteditwidget.h"
#include "tooltipbutton.h"
#include "wheeleventblocker.h"

#include <QMimeData>
#include <QSlider>
#include <QToolTip>

namespace {

// Pastes without the clipboard.
class PasteTarget : public TextEditWidget
{
public:
  using TextEditWidget::insertFromMimeData;
};

} // namespace

class TestButtons : public QObject
{
  Q_OBJECT
private slots:
  void iconsFollowPressAndSelection();
  void disablingClearsSelection();
  void toolTipPlacement();
  void cornerMark();
  void lineEditIcon();
  void pastePlainTextOnly();
  void sliderJumpsToClick();
  void wheelBlocker();
  void menuIconSize();
};

void TestButtons::iconsFollowPressAndSelection()
{
  TooltipButton button(":/images/toolbar/split", "");
  button.resize(40, 40);
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split"));
  // No selected icon: pressing keeps the icon.
  Gestures::press(&button, QPoint(20, 20));
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split"));
  Gestures::release(&button, QPoint(20, 20));
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split"));

  button.setSelectedIcon(":/images/toolbar/split2");
  Gestures::press(&button, QPoint(20, 20));
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split2"));
  Gestures::release(&button, QPoint(20, 20));
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split"));

  button.setSelected(true);
  QVERIFY(button.isSelected());
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split2"));
  button.setNormalIcon(":/images/toolbar/remove"); // stored, not shown while selected
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/split2"));
  button.setSelected(false);
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/remove"));

  button.setCommandId(10021);
  QCOMPARE(button.commandId(), 10021);
}

void TestButtons::disablingClearsSelection()
{
  TooltipButton button(":/images/toolbar/crop", ":/images/toolbar/crop2");
  button.setSelected(true);
  button.setEnabled(false);
  QVERIFY(!button.isSelected());
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/crop"));
  button.setEnabled(true);
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/crop"));

  button.setDisabledIcon(":/images/toolbar/crop_dis");
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/crop"));
  button.setEnabled(false);
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/crop_dis"));
  button.setEnabled(true);
  QCOMPARE(button.shownIcon(), QString(":/images/toolbar/crop"));
}

void TestButtons::toolTipPlacement()
{
  TooltipButton button;
  button.resize(40, 30);
  // The position is measured in the tool tip font.
  QFont font = QToolTip::font();
  font.setPixelSize(10);
  QToolTip::setFont(font);
  QString text;
  for (const char *candidate : {"x", "xx", "xxx", "xxxx", "xxxxx", "xxxxxx", "xxxxxxx"})
    if (QFontMetrics(font).horizontalAdvance(candidate) <= 30)
      text = candidate;
  const int width = QFontMetrics(font).horizontalAdvance(text);
  QVERIFY(!text.isEmpty());
  button.setCustomToolTip(text);
  button.setToolTipY(-25);
  QCOMPARE(button.toolTipPosition(), QPoint(20 - (width + 4) / 2, -25));

  // Shown on selection when asked to, once, and hidden again.
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  button.setShowToolTipOnSelect(true);
  button.setSelected(true);
  QVERIFY(button.isToolTipShowing());
  button.setSelected(false);
  QVERIFY(!button.isToolTipShowing());
  button.setToolTipDelay(100);
  button.setSelected(true);
  QVERIFY(!button.isToolTipShowing());
  QTRY_VERIFY(button.isToolTipShowing());
  button.setSelected(false);
  button.setToolTipsEnabled(false);
  button.setToolTipDelay(0);
  button.setSelected(true);
  QVERIFY(!button.isToolTipShowing());
}

void TestButtons::cornerMark()
{
  TooltipButton button;
  button.setFlat(true);
  button.resize(40, 30);
  button.setStyleSheet("QPushButton { background-color: rgb(0,0,0); border: none; }");
  button.setCornerMark(1);
  QCOMPARE(button.cornerMark(), 1);
  // Inside the triangle near its right angle (w-5, 5).
  const QPoint probe(33, 6);
  QImage img = PixelProbe::grab(&button);
  QCOMPARE(QColor(img.pixel(probe)), QColor(Qt::white));
  button.setSelected(true);
  img = PixelProbe::grab(&button);
  QCOMPARE(QColor(img.pixel(probe)), QColor(54, 200, 255));
  // Other corners stay empty.
  QCOMPARE(QColor(img.pixel(6, 24)), QColor(Qt::black));
  button.setCornerMark(3);
  img = PixelProbe::grab(&button);
  QCOMPARE(QColor(img.pixel(6, 24)), QColor(54, 200, 255));
}

void TestButtons::lineEditIcon()
{
  IconLineEdit edit;
  edit.resize(120, 30);
  QPixmap red(64, 32); // scaled into 16 x 16 keeping its aspect: 16 x 8
  red.fill(Qt::red);
  edit.setIconSize(QSize(16, 16));
  edit.setIconX(4);
  QImage img = PixelProbe::grab(&edit);
  QVERIFY(!PixelProbe::near(img.pixel(12, 10), Qt::red, 40));
  edit.setIconPixmap(red);
  img = PixelProbe::grab(&edit);
  PROBE(img, 12, 9, Qt::red, 40);
  PROBE(img, 18, 11, Qt::red, 40);
  QVERIFY(!PixelProbe::near(img.pixel(24, 15), Qt::red, 40));
}

void TestButtons::pastePlainTextOnly()
{
  PasteTarget edit;
  QMimeData rich;
  rich.setHtml("<b>bold</b><img src=\"data:image/png;base64,AAAA\">");
  rich.setText("bold");
  rich.setImageData(QImage(4, 4, QImage::Format_RGB32));
  edit.insertFromMimeData(&rich);
  QVERIFY(edit.wasPasted());
  QCOMPARE(edit.toPlainText(), QString("bold"));
  QVERIFY(!edit.toHtml().contains("<img"));
  QVERIFY(!edit.toHtml().contains("font-weight:600") && !edit.toHtml().contains("font-weight:700"));

  // Data without text goes to the base class unchanged, and sets no flag.
  PasteTarget other;
  QMimeData htmlOnly;
  htmlOnly.setHtml("<b>bold</b>");
  other.insertFromMimeData(&htmlOnly);
  QVERIFY(!other.wasPasted());
  QVERIFY(other.toHtml().contains("font-weight"));
}

void TestButtons::sliderJumpsToClick()
{
  QSlider slider(Qt::Horizontal);
  SeekableSliderStyle style;
  slider.setStyle(&style);
  slider.setRange(0, 1000);
  slider.resize(400, 30);
  slider.show();
  QVERIFY(QTest::qWaitForWindowExposed(&slider));
  Gestures::click(&slider, QPoint(300, 15));
  QVERIFY2(qAbs(slider.value() - 750) < 40, qPrintable(QString("value %1").arg(slider.value())));
  QCOMPARE(style.styleHint(QStyle::SH_Slider_AbsoluteSetButtons), int(Qt::LeftButton));
}

void TestButtons::wheelBlocker()
{
  QSlider slider(Qt::Horizontal);
  slider.setRange(0, 100);
  slider.setValue(50);
  slider.resize(200, 30);
  WheelEventBlocker blocker;
  slider.installEventFilter(&blocker);
  Gestures::wheel(&slider, QPoint(100, 15), 120);
  QCOMPARE(slider.value(), 50);
  // Keys still work.
  slider.setFocus();
  QTest::keyClick(&slider, Qt::Key_Right);
  QCOMPARE(slider.value(), 51);
  slider.removeEventFilter(&blocker);
  Gestures::wheel(&slider, QPoint(100, 15), 120);
  QVERIFY(slider.value() != 51);
}

void TestButtons::menuIconSize()
{
  CustomMenuStyle style;
  QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize), 24);
  QVERIFY(style.pixelMetric(QStyle::PM_ButtonMargin) == QProxyStyle().pixelMetric(QStyle::PM_ButtonMargin));
}

TAVO_TEST_MAIN(TestButtons)
#include "tst_buttons.moc"
