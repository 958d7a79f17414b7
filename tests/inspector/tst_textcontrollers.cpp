// The text controllers: alignment reports only a changed choice, the font names itself in
// itself, and the size and background popups load a text's values without a report.

#include "colorbutton.h"
#include "inspectorhost.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorwidget.h"
#include "segmentedcontrol.h"
#include "segmentmaker.h"
#include "testenv.h"
#include "textalignmenteditingwidget.h"
#include "textalignmenteditingwidgetcontroller.h"
#include "textbackeditingwidgetcontroller.h"
#include "textfonteditingwidget.h"
#include "textfonteditingwidgetcontroller.h"
#include "textsizeeditingwidgetcontroller.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

TextSegment *asText(const std::unique_ptr<Segment> &segment)
{
  return static_cast<TextSegment *>(segment.get());
}

// The centre of segment `index` of a three-segment control.
QPoint segmentCentre(SegmentedControl *control, int index)
{
  const int w = control->width() / control->count();
  return QPoint(w * index + w / 2, control->height() / 2);
}

QString textOf(QWidget *popup, const QString &name)
{
  auto *label = popup->findChild<QLabel *>(name);
  return label ? label->text() : QString("<no %1>").arg(name);
}

} // namespace

class TestTextControllers : public QObject
{
  Q_OBJECT
private slots:
  void alignmentReportsOnlyAChange_data();
  void alignmentReportsOnlyAChange();
  void fontNamesItself_data();
  void fontNamesItself();
  void textSizeOnTheCanvas_data();
  void textSizeOnTheCanvas();
  void textBackground_data();
  void textBackground();
  void playHeadEnabling();
};

void TestTextControllers::alignmentReportsOnlyAChange_data()
{
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("shown"); // the control's index after loading
  QTest::addColumn<QList<int>>("clicks");
  QTest::addColumn<QList<int>>("reports");
  // The control starts at 0 (Left).
  QTest::newRow("right, then right, then left") << 2 << 2 << QList<int>{2, 0} << QList<int>{0};
  QTest::newRow("centre, then right and back") << 1 << 1 << QList<int>{2, 1} << QList<int>{2, 1};
  QTest::newRow("unknown code keeps the control") << 5 << 0 << QList<int>{0, 1} << QList<int>{1};
  QTest::newRow("unknown code, another segment") << 5 << 0 << QList<int>{2} << QList<int>{2};
}

void TestTextControllers::alignmentReportsOnlyAChange()
{
  QFETCH(int, stored);
  QFETCH(int, shown);
  QFETCH(QList<int>, clicks);
  QFETCH(QList<int>, reports);
  InspectorHost host;
  auto *controller = host.add(new TextAlignmentEditingWidgetController(host.content));
  auto segment = makeSegment("TEXT");
  asText(segment)->setAlignment(stored);
  QSignalSpy changed(controller, &TextAlignmentEditingWidgetController::textAlignmentChanged);

  controller->updateFromSegment(segment.get());
  SegmentedControl *control = controller->form()->textAlignWidget();
  QCOMPARE(control->currentIndex(), shown);
  QCOMPARE(changed.count(), 0);
  for (int index : clicks)
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, segmentCentre(control, index));
  QList<int> got;
  for (const QList<QVariant> &args : changed)
    got << args.at(0).toInt();
  QCOMPARE(got, reports);
}

void TestTextControllers::fontNamesItself_data()
{
  QTest::addColumn<QString>("style");
  QTest::addColumn<QString>("text");
  QTest::newRow("bold") << "Bold"
                        << "Liberation Sans - Bold";
  QTest::newRow("no style") << ""
                            << "Liberation Sans";
}

void TestTextControllers::fontNamesItself()
{
  QFETCH(QString, style);
  QFETCH(QString, text);
  InspectorHost host;
  auto *controller = host.add(new TextFontEditingWidgetController(host.content));
  auto segment = makeSegment("TEXT");
  asText(segment)->setFontName("Liberation Sans");
  asText(segment)->setFontStyle(style);
  QSignalSpy clicked(controller, &TextFontEditingWidgetController::fontButtonClicked);

  controller->updateFromSegment(segment.get());
  QPushButton *button = controller->form()->fontNameButton();
  QCOMPARE(button->text(), text);
  QCOMPARE(button->font().family(), QString("Liberation Sans"));
  QCOMPARE(button->font().bold(), !style.isEmpty());
  QCOMPARE(clicked.count(), 0);
  QTest::mouseClick(button, Qt::LeftButton);
  QTest::mouseClick(controller->form()->fontNameTriangleButton(), Qt::LeftButton);
  QCOMPARE(clicked.count(), 2);
}

void TestTextControllers::textSizeOnTheCanvas_data()
{
  QTest::addColumn<float>("size");
  QTest::addColumn<QSize>("videoSize");
  QTest::addColumn<QSize>("canvas");
  QTest::addColumn<QRgb>("stored");
  QTest::addColumn<QString>("label");
  QTest::addColumn<QColor>("shown");
  QTest::newRow("same canvas") << 40.0f << QSize(1280, 720) << QSize(1280, 720) << qRgba(255, 0, 0, 255) << "40.0"
                               << QColor(255, 0, 0);
  QTest::newRow("twice as wide") << 40.0f << QSize(960, 540) << QSize(1920, 1080) << qRgba(0, 0, 255, 128) << "80.0"
                                 << QColor(0, 0, 255);
  QTest::newRow("transparent colour shown opaque")
    << 30.0f << QSize(1280, 720) << QSize(1280, 720) << qRgba(10, 200, 30, 0) << "30.0" << QColor(10, 200, 30);
  QTest::newRow("beyond the row") << 600.0f << QSize(640, 360) << QSize(1920, 1080) << qRgba(0, 0, 0, 255) << "960.0"
                                  << QColor(0, 0, 0);
}

void TestTextControllers::textSizeOnTheCanvas()
{
  QFETCH(float, size);
  QFETCH(QSize, videoSize);
  QFETCH(QSize, canvas);
  QFETCH(QRgb, stored);
  QFETCH(QString, label);
  QFETCH(QColor, shown);
  InspectorHost host;
  auto *controller = host.add(new TextSizeEditingWidgetController(host.content));
  auto segment = makeSegment("TEXT");
  asText(segment)->setFontSize(size, QSizeF(videoSize));
  asText(segment)->setColor(stored);
  ValueReports reports(controller->popup());

  controller->updateFromSegment(segment.get(), canvas);
  QCOMPARE(textOf(controller->popup(), "valueLabel"), label);
  QCOMPARE(controller->popup()->color(), shown);
  QCOMPARE(controller->popup()->findChild<ColorButton *>("colorButton")->color(), shown);
  QCOMPARE(reports.fired(), QStringList());
}

void TestTextControllers::textBackground_data()
{
  QTest::addColumn<QRgb>("back");
  QTest::addColumn<float>("inset");
  QTest::addColumn<float>("corner");
  QTest::addColumn<int>("canvasWidth");
  QTest::addColumn<QString>("opacity");
  QTest::addColumn<QString>("spacing");
  QTest::addColumn<QString>("roundCorner");
  QTest::addColumn<bool>("rowsEnabled");
  QTest::newRow("capped spacing") << qRgba(20, 30, 40, 255) << 0.1f << 0.25f << 1920 << "1.00"
                                  << "80.0"
                                  << "25.0" << true;
  QTest::newRow("small canvas") << qRgba(20, 30, 40, 128) << 0.02f << 0.5f << 1280 << "0.50"
                                << "25.6"
                                << "50.0" << true;
  QTest::newRow("no background") << qRgba(20, 30, 40, 0) << 0.02f << 0.1f << 1280 << "0.00"
                                 << "25.6"
                                 << "10.0" << false;
}

void TestTextControllers::textBackground()
{
  QFETCH(QRgb, back);
  QFETCH(float, inset);
  QFETCH(float, corner);
  QFETCH(int, canvasWidth);
  QFETCH(QString, opacity);
  QFETCH(QString, spacing);
  QFETCH(QString, roundCorner);
  QFETCH(bool, rowsEnabled);
  InspectorHost host;
  auto *controller = host.add(new TextBackEditingWidgetController(host.content));
  auto segment = makeSegment("TEXT");
  asText(segment)->setBackColorRgb(back);
  asText(segment)->setBackColorAlpha(qAlpha(back) / 255.0f);
  asText(segment)->setBackInset(inset);
  asText(segment)->setBackCorner(corner);
  PopupSliderColor2SlidersWidget *popup = controller->popup();
  ValueReports reports(popup);

  controller->updateFromSegment(segment.get(), QSize(canvasWidth, canvasWidth * 9 / 16));
  // Each row is captioned by what it holds: the inset is the spacing, the corner the rounding.
  QCOMPARE(textOf(popup, "titleLabel2"), QString("Spacing"));
  QCOMPARE(textOf(popup, "titleLabel3"), QString("Round Corner"));
  QCOMPARE(textOf(popup, "valueLabel"), opacity);
  QCOMPARE(textOf(popup, "valueLabel2"), spacing);
  QCOMPARE(textOf(popup, "valueLabel3"), roundCorner);
  QCOMPARE(popup->color(), QColor(qRed(back), qGreen(back), qBlue(back)));
  QCOMPARE(popup->findChild<QSlider *>("slider2")->isEnabled(), rowsEnabled);
  QCOMPARE(popup->findChild<QSlider *>("slider3")->isEnabled(), rowsEnabled);
  QCOMPARE(reports.fired(), QStringList());
}

void TestTextControllers::playHeadEnabling()
{
  InspectorHost host;
  auto *size = host.add(new TextSizeEditingWidgetController(host.content));
  auto *font = host.add(new TextFontEditingWidgetController(host.content));
  auto *alignment = host.add(new TextAlignmentEditingWidgetController(host.content));
  auto *back = host.add(new TextBackEditingWidgetController(host.content));
  for (bool inside : {false, true, false}) {
    size->updateEnabledAtTime(nullptr, inside);
    font->updateEnabledAtTime(someTransformWidget(), inside);
    alignment->updateEnabledAtTime(someTransformWidget(), inside);
    back->updateEnabledAtTime(nullptr, inside);
    QCOMPARE(size->popup()->isPopupEnabled(), inside);
    QCOMPARE(back->popup()->isPopupEnabled(), inside);
    QCOMPARE(font->form()->fontNameButton()->isEnabled(), inside);
    QCOMPARE(font->form()->fontNameTriangleButton()->isEnabled(), inside);
    QCOMPARE(alignment->form()->textAlignWidget()->isEnabled(), inside);
  }
  // A disabled control takes no click.
  QSignalSpy changed(alignment, &TextAlignmentEditingWidgetController::textAlignmentChanged);
  SegmentedControl *control = alignment->form()->textAlignWidget();
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, segmentCentre(control, 2));
  QCOMPARE(changed.count(), 0);
}

TAVO_TEST_MAIN(TestTextControllers)
#include "tst_textcontrollers.moc"
