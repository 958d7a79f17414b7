// The drawing tuning panel: stored values, the step buttons' timing and snapping, the
// eraser's own values, the text row and the size popups.

#include "drawingtuningwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupsliderwidget.h"
#include "scripteddialogprovider.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>

namespace {

void store(const QString &key, const QVariant &value)
{
  QSettings().setValue("DrawingTuningView/" + key, value);
}

QVariant stored(const QString &key)
{
  return QSettings().value("DrawingTuningView/" + key);
}

// A panel at the bottom of a window, as the editor shows it.
struct TuningWindow
{
  QWidget top;
  DrawingTuningWidget *panel;
  TuningWindow()
  {
    top.resize(800, 500);
    panel = new DrawingTuningWidget(&top);
    panel->setGeometry(150, 380, 500, 100);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }
  template <typename T = QPushButton>
  T *child(const char *name)
  {
    T *widget = panel->findChild<T *>(name);
    if (!widget)
      qWarning("no %s", name);
    return widget;
  }
  QString text(const char *label) { return child<QLabel>(label)->text(); }
};

} // namespace

class TestTuning : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void defaultsAndStoredValues();
  void holdingStepsFasterAfterHalfASecond();
  void holdingStopsAtTheEnd();
  void stepSnapsToWholeSteps_data();
  void stepSnapsToWholeSteps();
  void quickReleasesReportOnce();
  void rubberHasItsOwnValues();
  void alignmentCycles();
  void fontDialogReportsOnlyAChange();
  void sizePopupsOpenAboveThePanel_data();
  void sizePopupsOpenAboveThePanel();
  void panelKindsShowTheirRows_data();
  void panelKindsShowTheirRows();
  void damagedStoreIsBounded_data();
  void damagedStoreIsBounded();
  void sliderClickJumpsAndReports();
  void inspectorArrangement();
  void rowButtonsReport_data();
  void rowButtonsReport();
  void slidersFillUpToTheHandle();
};

void TestTuning::init()
{
  QSettings().clear();
}

void TestTuning::defaultsAndStoredValues()
{
  {
    DrawingTuningWidget panel;
    QCOMPARE(panel.lineWidth(), 10.0f);
    QCOMPARE(panel.rubberLineWidth(), 15.0f);
    QCOMPARE(panel.textAlign(), 4);
    QCOMPARE(panel.fontName(), QFont().family());
    QCOMPARE(panel.findChild<QLabel *>("lineWidthValueLabel")->text(), QString("10.0 px"));
  }
  QCOMPARE(stored("LineWidth").toFloat(), 10.0f);

  const QVariantMap values{{"LineWidth", 24.5}, {"Hardness", 0.35}, {"TextSize", 72.0},
                           {"FontName", "Serif"}, {"FontStyle", "Italic"}, {"TextAlign", 1}};
  for (auto it = values.begin(); it != values.end(); ++it)
    store(it.key(), it.value());
  {
    DrawingTuningWidget panel;
    QCOMPARE(panel.findChild<QSlider *>("lineWidthSlider")->value(), 2450);
    QCOMPARE(panel.findChild<QLabel *>("hardnessValueLabel")->text(), QString("0.35"));
    QCOMPARE(panel.findChild<QPushButton *>("textFontButton")->text(), QString("Serif-Italic"));
    QCOMPARE(panel.findChild<QPushButton *>("textSizeButton")->text(), QString("72 pt"));
    QCOMPARE(panel.textAlign(), 1);
    QSettings().clear();
  }
  // Written back when the panel goes.
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (it.value().type() == QVariant::String)
      QCOMPARE(stored(it.key()).toString(), it.value().toString());
    else
      QCOMPARE(stored(it.key()).toFloat(), it.value().toFloat());
  }
}

void TestTuning::holdingStepsFasterAfterHalfASecond()
{
  TuningWindow w;
  QSignalSpy changing(w.panel, &DrawingTuningWidget::drawingTuningWidgetLineWidthChanging);
  QSignalSpy changed(w.panel, &DrawingTuningWidget::drawingTuningWidgetLineWidthChanged);
  QPushButton *up = w.child("lineWidthValueUpButton");
  QElapsedTimer clock;
  clock.start();
  QTest::mousePress(up, Qt::LeftButton);
  QCOMPARE(w.panel->lineWidth(), 11.0f);
  QCOMPARE(changing.count(), 1);
  QCOMPARE(changing.last().at(1).toFloat(), 11.0f);
  QTRY_COMPARE(w.panel->lineWidth(), 12.0f);
  QVERIFY2(clock.elapsed() >= 470, qPrintable(QString("second step after %1 ms").arg(clock.elapsed())));
  clock.restart();
  QTRY_COMPARE(w.panel->lineWidth(), 13.0f);
  QVERIFY2(clock.elapsed() < 400, qPrintable(QString("third step after %1 ms").arg(clock.elapsed())));
  QTRY_COMPARE(w.panel->lineWidth(), 15.0f);
  QTest::mouseRelease(up, Qt::LeftButton);
  const float last = w.panel->lineWidth();
  QCOMPARE(w.text("lineWidthValueLabel"), QString::asprintf("%.1f px", double(last)));
  QCOMPARE(changed.count(), 0);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed.last().at(1).toFloat(), last);
  QCOMPARE(w.panel->lineWidthSlider()->value(), qRound(last * 100));
}

void TestTuning::holdingStopsAtTheEnd()
{
  store("LineWidth", 318.5);
  TuningWindow w;
  QSignalSpy changing(w.panel, &DrawingTuningWidget::drawingTuningWidgetLineWidthChanging);
  QPushButton *up = w.child("lineWidthValueUpButton");
  QTest::mousePress(up, Qt::LeftButton);
  QCOMPARE(w.panel->lineWidth(), 319.0f);
  QTRY_COMPARE(w.panel->lineWidth(), 320.0f);
  // Well past several repeat intervals: no step beyond the end.
  QTest::qWait(300);
  QTest::mouseRelease(up, Qt::LeftButton);
  QCOMPARE(changing.count(), 2);
  QCOMPARE(w.text("lineWidthValueLabel"), QString("320.0 px"));
}

void TestTuning::stepSnapsToWholeSteps_data()
{
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("button");
  QTest::addColumn<double>("start");
  QTest::addColumn<double>("expected");
  QTest::addColumn<QString>("label");
  QTest::newRow("width up from between") << "LineWidth" << "lineWidthValueUpButton" << 10.5 << 11.0 << "11.0 px";
  QTest::newRow("width down from between") << "LineWidth" << "lineWidthValueDownButton" << 10.5 << 10.0 << "10.0 px";
  QTest::newRow("width up from whole") << "LineWidth" << "lineWidthValueUpButton" << 10.0 << 11.0 << "11.0 px";
  QTest::newRow("width down to the minimum") << "LineWidth" << "lineWidthValueDownButton" << 0.75 << 0.5 << "0.5 px";
  QTest::newRow("hardness down from between") << "Hardness" << "hardnessValueDownButton" << 0.52 << 0.50 << "0.50";
  QTest::newRow("hardness up from between") << "Hardness" << "hardnessValueUpButton" << 0.52 << 0.55 << "0.55";
  QTest::newRow("hardness down from whole") << "Hardness" << "hardnessValueDownButton" << 0.5 << 0.45 << "0.45";
}

void TestTuning::stepSnapsToWholeSteps()
{
  QFETCH(QString, key);
  QFETCH(QString, button);
  QFETCH(double, start);
  QFETCH(double, expected);
  QFETCH(QString, label);
  store(key, start);
  TuningWindow w;
  const bool width = key == "LineWidth";
  QSignalSpy changed(w.panel, width ? &DrawingTuningWidget::drawingTuningWidgetLineWidthChanged
                                    : &DrawingTuningWidget::drawingTuningWidgetHardnessChanged);
  QTest::mouseClick(w.child(qPrintable(button)), Qt::LeftButton);
  QCOMPARE(width ? w.panel->lineWidth() : w.panel->hardness(), float(expected));
  QCOMPARE(w.text(width ? "lineWidthValueLabel" : "hardnessValueLabel"), label);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed.last().at(1).toFloat(), float(expected));
}

void TestTuning::quickReleasesReportOnce()
{
  TuningWindow w;
  QSignalSpy changed(w.panel, &DrawingTuningWidget::drawingTuningWidgetHardnessChanged);
  QPushButton *down = w.child("hardnessValueDownButton");
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  QCOMPARE(changed.count(), 0);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed.last().at(1).toFloat(), 0.90f);
  // Longer than the report delay: nothing more comes.
  QTest::qWait(500);
  QCOMPARE(changed.count(), 1);
}

void TestTuning::rubberHasItsOwnValues()
{
  store("LineWidth", 4.0);
  store("Hardness", 0.3);
  TuningWindow w;
  QSignalSpy widths(w.panel, &DrawingTuningWidget::drawingTuningWidgetLineWidthChanging);
  QSignalSpy hardness(w.panel, &DrawingTuningWidget::drawingTuningWidgetHardnessChanged);
  w.panel->setRubber(true);
  QCOMPARE(w.text("lineWidthValueLabel"), QString("15.0 px"));
  QCOMPARE(w.text("hardnessValueLabel"), QString("1.00"));
  QCOMPARE(w.panel->lineWidthSlider()->value(), 1500);

  QTest::mouseClick(w.child("lineWidthValueUpButton"), Qt::LeftButton);
  QCOMPARE(widths.last().at(1).toFloat(), 16.0f);
  QCOMPARE(w.panel->lineWidth(), 4.0f);
  QTest::mouseClick(w.child("hardnessValueDownButton"), Qt::LeftButton);
  QTRY_COMPARE(hardness.count(), 1);
  QCOMPARE(hardness.last().at(1).toFloat(), 0.95f);
  QCOMPARE(w.panel->hardness(), 0.3f);

  w.panel->setRubber(false);
  QCOMPARE(w.text("lineWidthValueLabel"), QString("4.0 px"));
  QCOMPARE(w.text("hardnessValueLabel"), QString("0.30"));
  QCOMPARE(w.panel->lineWidthSlider()->value(), 400);
}

void TestTuning::alignmentCycles()
{
  TuningWindow w;
  w.panel->showTuningPanel(1);
  auto *button = w.child<TooltipButton>("textAlignButton");
  QSignalSpy aligns(w.panel, &DrawingTuningWidget::drawingTuningWidgetTextAlignChanged);
  QStringList icons{button->normalIcon()};
  for (int align : {1, 2, 4}) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(aligns.last().at(1).toInt(), align);
    icons << button->normalIcon();
  }
  QCOMPARE(aligns.count(), 3);
  // Each alignment shows its own picture, and the cycle ends where it began.
  QCOMPARE(icons.first(), icons.last());
  QCOMPARE(QSet<QString>(icons.begin(), icons.end()).size(), 3);
}

void TestTuning::fontDialogReportsOnlyAChange()
{
  store("FontName", "Sans Serif");
  store("FontStyle", "Bold");
  TuningWindow w;
  w.panel->showTuningPanel(1);
  ScriptedDialogProvider dialogs;
  QSignalSpy fonts(w.panel, &DrawingTuningWidget::drawingTuningWidgetTextFontChanged);
  QPushButton *button = w.child("textFontButton");

  QFont same("Sans Serif");
  same.setStyleName("Bold");
  QFont other("Serif");
  other.setStyleName("Bold Italic");
  dialogs.answers << QVariant::fromValue(same) << QVariant() << QVariant::fromValue(other);
  QTest::mouseClick(button, Qt::LeftButton);
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(fonts.count(), 0);
  QCOMPARE(dialogs.kinds(), QStringList({"getFont", "getFont"}));
  QCOMPARE(dialogs.calls.first().text, QString("Sans Serif"));
  QCOMPARE(dialogs.calls.first().title, QString());

  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(fonts.count(), 1);
  QCOMPARE(fonts.last().at(1).toString(), QString("Serif"));
  QCOMPARE(fonts.last().at(2).toString(), QString("Bold Italic"));
  QCOMPARE(button->text(), QString("Serif-Bold Italic"));
}

void TestTuning::sizePopupsOpenAboveThePanel_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("button");
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("shown");
  QTest::newRow("text") << 1 << "textSizeButton" << 240.0f << "240 pt";
  QTest::newRow("picture") << 2 << "pictureSizeButton" << 1.5f << "150%";
}

void TestTuning::sizePopupsOpenAboveThePanel()
{
  QFETCH(int, kind);
  QFETCH(QString, button);
  QFETCH(float, value);
  QFETCH(QString, shown);
  TuningWindow w;
  w.panel->showTuningPanel(kind);
  QSignalSpy textSizes(w.panel, &DrawingTuningWidget::drawingTuningWidgetTextSizeChanged);
  QSignalSpy pictureSizes(w.panel, &DrawingTuningWidget::drawingTuningWidgetPictureSizeChanged);
  QPushButton *sizeButton = w.child(qPrintable(button));
  QTest::mouseClick(sizeButton, Qt::LeftButton);
  QVERIFY(!w.panel->openPopup());
  QTRY_VERIFY(w.panel->openPopup());
  PopupSliderWidget *popup = w.panel->openPopup();
  QCOMPARE(popup->parentWidget(), &w.top);
  QVERIFY(sizeButton->property("highlighted").toBool());
  // Centred on the panel's top centre, 10 px above it.
  auto check = [&]() {
    const QRect panel = popup->mainWidget()->geometry();
    QCOMPARE(panel.center().x(), w.panel->geometry().center().x());
    QCOMPARE(panel.bottom() + 1, w.panel->y() - 10);
  };
  check();
  // Its range, shown by where a value beyond both ends lands.
  popup->setValueSilently(-10);
  const float low = popup->value();
  popup->setValueSilently(10000);
  const float high = popup->value();
  QCOMPARE(kind == 1 ? low : low * 100, 1.0f);
  QCOMPARE(high, kind == 1 ? 960.0f : 4.0f);
  w.panel->move(w.panel->x() - 40, w.panel->y() - 60);
  check();

  popup->setValue(value);
  QCOMPARE(sizeButton->text(), shown);
  if (kind == 1) {
    QVERIFY(textSizes.count() >= 1);
    QCOMPARE(textSizes.last().at(1).toInt(), int(value));
    QCOMPARE(w.panel->textSize(), value);
  } else {
    QVERIFY(pictureSizes.count() >= 1);
    QCOMPARE(pictureSizes.last().at(1).toFloat(), value);
    QCOMPARE(w.panel->pictureSize(), value);
  }
  w.panel->dismissPopup();
  QVERIFY(!w.panel->openPopup());
  QVERIFY(!sizeButton->property("highlighted").toBool());
}

void TestTuning::panelKindsShowTheirRows_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QStringList>("visible");
  QTest::newRow("line") << 0 << QStringList({"lineWidthPanel", "hardnessPanel"});
  QTest::newRow("text") << 1 << QStringList({"textTuningPanel", "hardnessPanel"});
  QTest::newRow("picture") << 2 << QStringList({"pictureTuningPanel", "hardnessPanel"});
  QTest::newRow("other") << 7 << QStringList({"lineWidthPanel", "hardnessPanel"});
}

void TestTuning::panelKindsShowTheirRows()
{
  QFETCH(int, kind);
  QFETCH(QStringList, visible);
  TuningWindow w;
  w.panel->showTuningPanel(kind);
  for (const char *row : {"lineWidthPanel", "hardnessPanel", "textTuningPanel", "pictureTuningPanel"})
    QCOMPARE(w.child<QWidget>(row)->isVisible(), visible.contains(row));
}

void TestTuning::damagedStoreIsBounded_data()
{
  QTest::addColumn<QString>("key");
  QTest::addColumn<QVariant>("value");
  QTest::addColumn<float>("expected");
  QTest::newRow("width too large") << "LineWidth" << QVariant(5000.0) << 320.0f;
  QTest::newRow("width not a number") << "LineWidth" << QVariant("wide") << 0.5f;
  QTest::newRow("eraser width negative") << "RubberLineWidth" << QVariant(-3.0) << 0.5f;
  QTest::newRow("hardness above one") << "Hardness" << QVariant(7.5) << 1.0f;
  QTest::newRow("eraser hardness below zero") << "RubberHardness" << QVariant(-0.2) << 0.0f;
  QTest::newRow("text size zero") << "TextSize" << QVariant(0.0) << 1.0f;
  QTest::newRow("alignment unknown") << "TextAlign" << QVariant(33) << 4.0f;
  QTest::newRow("alignment right") << "TextAlign" << QVariant(2) << 2.0f;
}

void TestTuning::damagedStoreIsBounded()
{
  QFETCH(QString, key);
  QFETCH(QVariant, value);
  QFETCH(float, expected);
  store(key, value);
  DrawingTuningWidget panel;
  const QMap<QString, float> values{{"LineWidth", panel.lineWidth()},
                                    {"RubberLineWidth", panel.rubberLineWidth()},
                                    {"Hardness", panel.hardness()},
                                    {"RubberHardness", panel.rubberHardness()},
                                    {"TextSize", panel.textSize()},
                                    {"TextAlign", float(panel.textAlign())}};
  QCOMPARE(values.value(key), expected);
}

void TestTuning::sliderClickJumpsAndReports()
{
  TuningWindow w;
  QSignalSpy changing(w.panel, &DrawingTuningWidget::drawingTuningWidgetHardnessChanging);
  QSignalSpy changed(w.panel, &DrawingTuningWidget::drawingTuningWidgetHardnessChanged);
  QSlider *slider = w.panel->hardnessSlider();
  // A left click lands the handle where it was pressed, not a page away.
  Gestures::click(slider, QPoint(slider->width() / 2, slider->height() / 2));
  QVERIFY(changing.count() >= 1);
  QCOMPARE(changed.count(), 1);
  const float value = changed.last().at(1).toFloat();
  QVERIFY2(value > 0.4f && value < 0.6f, qPrintable(QString::number(value)));
  QCOMPARE(w.text("hardnessValueLabel"), QString::asprintf("%.2f", double(value)));
}

void TestTuning::inspectorArrangement()
{
  TuningWindow w;
  w.panel->useInspectorLayout();
  w.panel->showTuningPanel(1);
  QPushButton *size = w.child("textSizeButton");
  QPushButton *font = w.child("textFontButton");
  QTRY_VERIFY(font->y() > size->y());
  QCOMPARE(font->x(), size->x());
  // Popups opened from here carry the inspector's lighter background.
  QTest::mouseClick(size, Qt::LeftButton);
  QTRY_VERIFY(w.panel->openPopup());
  QCOMPARE(w.panel->openPopup()->backgroundColor(), QColor(44, 46, 50, 244));
}

void TestTuning::rowButtonsReport_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QByteArray>("signal");
  QTest::newRow("edit text") << 1 << "editTextButton" << QByteArray(SIGNAL(drawingTuningWidgetEditTextPressed(DrawingTuningWidget *)));
  QTest::newRow("text done") << 1 << "textDoneButton" << QByteArray(SIGNAL(drawingTuningWidgetTextDonePressed(DrawingTuningWidget *)));
  QTest::newRow("picture done") << 2 << "pictureDoneButton"
                                << QByteArray(SIGNAL(drawingTuningWidgetPictureDonePressed(DrawingTuningWidget *)));
  QTest::newRow("open picture") << 2 << "openPictureButton"
                                << QByteArray(SIGNAL(drawingTuningWidgetOpenPicturePressed(DrawingTuningWidget *, QRect)));
}

void TestTuning::rowButtonsReport()
{
  QFETCH(int, kind);
  QFETCH(QString, button);
  QFETCH(QByteArray, signal);
  TuningWindow w;
  w.panel->showTuningPanel(kind);
  QSignalSpy spy(w.panel, signal.constData());
  QPushButton *pushButton = w.child(qPrintable(button));
  QTest::mouseClick(pushButton, Qt::LeftButton);
  QCOMPARE(spy.count(), 1);
  if (button == "openPictureButton")
    QCOMPARE(spy.last().at(1).toRect(), QRect(pushButton->mapTo(&w.top, QPoint(0, 0)), pushButton->size()));
  // A disabled Done button reports nothing.
  w.panel->setTextDoneEnabled(false);
  w.panel->setPictureDoneEnabled(false);
  QTest::mouseClick(pushButton, Qt::LeftButton);
  QCOMPARE(spy.count(), button.endsWith("DoneButton") ? 1 : 2);
}

void TestTuning::slidersFillUpToTheHandle()
{
  store("LineWidth", 160.25);
  store("Hardness", 0.5);
  TuningWindow w;
  for (QSlider *slider : {w.panel->lineWidthSlider(), w.panel->hardnessSlider()}) {
    const QImage image = slider->grab().toImage();
    const int y = slider->height() / 2 + 2;
    const int middle = slider->width() / 2;
    // Accent left of the knob, the knob white, the rest of the bar not accent.
    QVERIFY2(PixelProbe::near(image.pixel(middle - 40, y), QColor(54, 200, 255), 16),
             qPrintable(PixelProbe::text(image.pixel(middle - 40, y))));
    QVERIFY2(PixelProbe::near(image.pixel(middle, y), Qt::white, 10), qPrintable(PixelProbe::text(image.pixel(middle, y))));
    QVERIFY(!PixelProbe::near(image.pixel(middle + 40, y), QColor(54, 200, 255), 40));
  }
}

TAVO_TEST_MAIN(TestTuning)
#include "tst_tuning.moc"
