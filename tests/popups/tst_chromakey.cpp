// The chroma key popup: its texts and values, the switch deciding what accepts input, and
// restoring the defaults from the options menu.

#include "animationswitch.h"
#include "colorbutton.h"
#include "gestures.h"
#include "popupchromakeywidget.h"
#include "popuptestwindow.h"
#include "scripteddialogprovider.h"
#include "switchbutton.h"
#include "testenv.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

namespace {

const QColor green = QColor::fromRgba(0xFF00FF00);

PopupChromaKeyWidget *show(PopupTestWindow &w, bool embedded, bool on, int sensitivity, int smoothing,
                           const QColor &color)
{
  if (!embedded) {
    auto *popup = new PopupChromaKeyWidget(&w.top);
    popup->showPopupWithValues(&w.top, QPoint(600, 700), on, sensitivity, smoothing, color);
    return popup;
  }
  auto *container = new QWidget(&w.top);
  container->setGeometry(0, 0, 540, 400);
  container->show();
  auto *popup = new PopupChromaKeyWidget(container);
  popup->embedWithValues(container, on, sensitivity, smoothing, color);
  return popup;
}

void click(QWidget *w)
{
  Gestures::click(w, w->rect().center());
}

// What accepts input, by name.
QStringList enabledControls(PopupChromaKeyWidget *popup)
{
  QStringList names;
  const auto add = [&names](const QString &name, QWidget *w) {
    if (w->isEnabled())
      names << name;
  };
  add("switch label", popup->switchLabel());
  add("switch", popup->switchButton());
  add("options", popup->optionsButton());
  for (int row = 1; row < 3; ++row) {
    const QString n = QString::number(row + 1);
    add("label " + n, popup->row(row).rowLabel);
    add("slider " + n, popup->row(row).slider);
    add("value " + n, popup->row(row).valueLabel);
    add("down " + n, popup->row(row).downButton);
    add("up " + n, popup->row(row).upButton);
  }
  add("key colour label", popup->keyColorLabel());
  add("colour", popup->colorButton());
  return names;
}

} // namespace

class TestChromaKey : public QObject
{
  Q_OBJECT
private slots:
  void init() { setAnimationEnabled(false); }
  void textsAndValues_data();
  void textsAndValues();
  void switchDecidesWhatAcceptsInput();
  void restoreDefaults_data();
  void restoreDefaults();
  void rowsReportThroughTheBase();
};

void TestChromaKey::textsAndValues_data()
{
  QTest::addColumn<bool>("embedded");
  QTest::newRow("overlay") << false;
  QTest::newRow("embedded") << true;
}

void TestChromaKey::textsAndValues()
{
  QFETCH(bool, embedded);
  PopupTestWindow w;
  PopupChromaKeyWidget *popup = show(w, embedded, true, 55, 20, Qt::red);
  QCOMPARE(popup->titleLabel()->text(), QString("Chroma Key"));
  QCOMPARE(popup->row(1).rowLabel->text(), QString("Sensitivity"));
  QCOMPARE(popup->row(2).rowLabel->text(), QString("Smoothing"));
  QCOMPARE(popup->switchLabel()->text(), QString("On/Off"));
  QCOMPARE(popup->keyColorLabel()->text(), QString("Key Color"));
  QCOMPARE(popup->row(1).valueLabel->text(), QString("55.0"));
  QCOMPARE(popup->row(2).valueLabel->text(), QString("20.0"));
  QCOMPARE(popup->colorButton()->color(), QColor(Qt::red));
  QVERIFY(popup->switchButton()->value());
  // Style sheets and callers find the form's widgets by their names.
  QList<QPair<QString, QWidget *>> named = {
    {"mainWidget", popup->mainWidget()},         {"titleLabel", popup->titleLabel()},
    {"switchLabel", popup->switchLabel()},       {"switchButton", popup->switchButton()},
    {"optionsButton", popup->optionsButton()},   {"titleLabel4", popup->keyColorLabel()},
    {"colorButton", popup->colorButton()},       {"panel4Widget", popup->switchButton()->parentWidget()},
    {"panelWidget", popup->colorButton()->parentWidget()}};
  for (int row = 1; row < 3; ++row) {
    const QString n = QString::number(row + 1);
    named += {{"titleLabel" + n, popup->row(row).rowLabel},       {"slider" + n, popup->row(row).slider},
              {"valueLabel" + n, popup->row(row).valueLabel},     {"valueDownButton" + n, popup->row(row).downButton},
              {"valueUpButton" + n, popup->row(row).upButton},
              {QString("panel%1Widget").arg(n), popup->row(row).slider->parentWidget()}};
  }
  for (const auto &entry : qAsConst(named))
    QVERIFY2(popup->findChild<QWidget *>(entry.first) == entry.second, qPrintable(entry.first));
  if (embedded)
    QCOMPARE(popup->mainWidget()->geometry(), popup->rect());
  else
    QCOMPARE(popup->mainWidget()->height(), 330);
}

void TestChromaKey::switchDecidesWhatAcceptsInput()
{
  PopupTestWindow w;
  PopupChromaKeyWidget *popup = show(w, true, false, 40, 10, green);
  QCOMPARE(enabledControls(popup), (QStringList{"switch label", "switch"}));
  QSignalSpy switched(popup, &CommonSliderColorPopup::sliderColorPopupSwitchValueChanged);
  click(popup->switchButton());
  QCOMPARE(switched.count(), 1);
  QCOMPARE(switched[0][1].toBool(), true);
  QCOMPARE(enabledControls(popup).size(), 15);
  popup->setPopupEnabled(false);
  QCOMPARE(enabledControls(popup), QStringList());
  QVERIFY(!popup->isPopupEnabled());
}

void TestChromaKey::restoreDefaults_data()
{
  QTest::addColumn<bool>("embedded");
  QTest::addColumn<int>("sensitivity");
  QTest::addColumn<int>("smoothing");
  QTest::addColumn<QColor>("color");
  QTest::newRow("changed, embedded") << true << 70 << 30 << QColor(Qt::red);
  QTest::newRow("changed, overlay") << false << 0 << 100 << QColor(Qt::blue);
  QTest::newRow("already the defaults") << true << 40 << 10 << green;
}

void TestChromaKey::restoreDefaults()
{
  QFETCH(bool, embedded);
  QFETCH(int, sensitivity);
  QFETCH(int, smoothing);
  QFETCH(QColor, color);
  PopupTestWindow w;
  PopupChromaKeyWidget *popup = show(w, embedded, true, sensitivity, smoothing, color);
  QSignalSpy values(popup, &PopupChromaKeyWidget::valuesChanged);
  QSignalSpy switched(popup, &CommonSliderColorPopup::sliderColorPopupSwitchValueChanged);
  ScriptedDialogProvider dialogs;
  dialogs.answers << QString("Restore default values");
  click(popup->optionsButton());
  QCOMPARE(dialogs.kinds(), QStringList{"menu"});
  QCOMPARE(dialogs.calls[0].buttons, QStringList{"Restore default values"});
  QCOMPARE(values.count(), 1);
  QCOMPARE(values[0][1].toInt(), 40);
  QCOMPARE(values[0][2].toInt(), 10);
  QCOMPARE(values[0][3].value<QColor>().rgba(), 0xFF00FF00u);
  QCOMPARE(popup->row(1).valueLabel->text(), QString("40.0"));
  QCOMPARE(popup->row(2).valueLabel->text(), QString("10.0"));
  QCOMPARE(popup->colorButton()->color().rgba(), 0xFF00FF00u);
  QVERIFY(popup->switchButton()->value());
  QCOMPARE(switched.count(), 0);

  // Closing the menu without a choice restores nothing.
  click(popup->optionsButton());
  QCOMPARE(values.count(), 1);
}

void TestChromaKey::rowsReportThroughTheBase()
{
  PopupTestWindow w;
  PopupChromaKeyWidget *popup = show(w, true, true, 40, 10, green);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValue2Changing);
  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValue2Changed);
  QSignalSpy smoothing(popup, &CommonSliderColorPopup::sliderColorPopupValue3Changed);
  QSignalSpy values(popup, &PopupChromaKeyWidget::valuesChanged);
  click(popup->row(1).upButton);
  QCOMPARE(changing.count(), 1);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed[0][1].toFloat(), 41.0f);
  click(popup->row(2).downButton);
  QTRY_COMPARE(smoothing.count(), 1);
  QCOMPARE(smoothing[0][1].toFloat(), 9.0f);
  QCOMPARE(values.count(), 0);
}

TAVO_TEST_MAIN(TestChromaKey)
#include "tst_chromakey.moc"
