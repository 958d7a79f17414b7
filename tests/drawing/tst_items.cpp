// The pending text and picture: their dialogs, their frame until committed, moving them,
// sizing them with the wheel, and how a large picture is reduced.

#include "canvastest.h"
#include "historydatacompressiontaskmanager.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QInputDialog>
#include <QSettings>

using CanvasProbe::alpha;

namespace {

// Answers the text dialog with a text, or cancels it when the text is null.
std::function<int(QDialog *)> answerText(const QString &text)
{
  return [text](QDialog *dialog) {
    if (text.isNull())
      return int(QDialog::Rejected);
    qobject_cast<QInputDialog *>(dialog)->setTextValue(text);
    return int(QDialog::Accepted);
  };
}

QString savedPicture(const QTemporaryDir &dir, const QString &name, QSize size, QColor color = Qt::red)
{
  QImage image(size, QImage::Format_RGB32);
  image.fill(color);
  const QString path = dir.filePath(name);
  image.save(path);
  return path;
}

// Black and white columns one pixel wide: detail that only averaging keeps.
QString stripedPicture(const QTemporaryDir &dir, const QString &name, QSize size)
{
  QImage stripes(size, QImage::Format_RGB32);
  for (int x = 0; x < size.width(); ++x)
    for (int y = 0; y < size.height(); ++y)
      stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  const QString path = dir.filePath(name);
  stripes.save(path);
  return path;
}

// The first pixel of a row part that is pure black or white rather than a mix; empty when none is.
QString firstUnmixed(const QImage &image, int y, int fromX, int toX)
{
  for (int x = fromX; x <= toX; ++x) {
    const int grey = qGreen(image.pixel(x, y));
    if (grey <= 40 || grey >= 215)
      return QString("pixel (%1, %2) is %3").arg(x).arg(y).arg(grey);
  }
  return QString();
}

// Places a pending item with a click of the text or picture tool.
bool placeItem(CanvasWidget &canvas, ScriptedDialogProvider &dialogs, int cmd, const QString &picturePath)
{
  canvas.setCommand(cmd);
  if (cmd == 10329)
    dialogs.onDialog = answerText("Hello");
  else
    dialogs.answers << picturePath;
  QSignalSpy text(&canvas, &CanvasWidget::canvasWidgetTextChanged);
  QSignalSpy picture(&canvas, &CanvasWidget::canvasWidgetPictureChanged);
  Gestures::click(&canvas, QPoint(480, 270));
  return QTest::qWaitFor([&] { return text.count() + picture.count() == 1; }, 5000);
}

// Pixels of the grey frame: light, about equal red, green and blue, not transparent.
int greyPixels(const QImage &image)
{
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      count += qAlpha(p) > 0 && qRed(p) > 100 && qAbs(qRed(p) - qGreen(p)) <= 8 && qAbs(qGreen(p) - qBlue(p)) <= 8;
    }
  return count;
}

} // namespace

class TestItems : public QObject
{
  Q_OBJECT
private slots:
  void textDialogAfterAClick();
  void doubleClickAsksOnce_data();
  void doubleClickAsksOnce();
  void frameUntilCommitted_data();
  void frameUntilCommitted();
  void wheelSizesTheItem_data();
  void wheelSizesTheItem();
  void largePicturesAreReduced_data();
  void largePicturesAreReduced();
  void shrunkPictureKeepsItsDetail();
  void pictureFolderIsRemembered();
};

void TestItems::textDialogAfterAClick()
{
  ScriptedDialogProvider dialogs;
  CanvasWindow w;
  w.canvas.setCommand(10329);
  QSignalSpy changed(&w.canvas, &CanvasWidget::canvasWidgetTextChanged);

  QElapsedTimer clock;
  qint64 openedAfter = -1;
  dialogs.onDialog = [&](QDialog *dialog) {
    openedAfter = clock.elapsed();
    return answerText(QString())(dialog);
  };
  clock.start();
  Gestures::click(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(dialogs.calls.size(), 1);
  QVERIFY2(openedAfter >= 99, qPrintable(QString("opened after %1 ms").arg(openedAfter)));
  QCOMPARE(dialogs.calls[0].kind, QString("dialog"));
  QCOMPARE(dialogs.calls[0].title, QString("Add Text"));
  QCOMPARE(changed.count(), 0);
  QVERIFY(!w.canvas.history()->hasSnapshots());

  dialogs.onDialog = answerText("Hello");
  Gestures::click(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(changed[0][1].toString(), QString("Hello"));
  QCOMPARE(w.canvas.history()->files().size(), 1);

  // With a text pending, a click moves it; a double click edits it.
  Gestures::click(&w.canvas, QPoint(480, 270));
  Gestures::doubleClick(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(dialogs.calls.size(), 3);
  QCOMPARE(dialogs.calls[2].title, QString("Edit Text"));
  QTRY_COMPARE(changed.count(), 2);
  QCOMPARE(w.canvas.history()->files().size(), 1);
}

void TestItems::doubleClickAsksOnce_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<QString>("kind");
  QTest::newRow("text") << 10329 << "dialog";
  QTest::newRow("picture") << 10330 << "getOpenFileName";
}

void TestItems::doubleClickAsksOnce()
{
  QFETCH(int, cmd);
  QFETCH(QString, kind);
  ScriptedDialogProvider dialogs;
  dialogs.onDialog = answerText(QString());
  CanvasWindow w;
  w.canvas.setCommand(cmd);
  // Both presses of a quick double click land before the first request's dialog opens.
  Gestures::doubleClick(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(dialogs.calls.size(), 1);
  QTest::qWait(400);
  QCOMPARE(dialogs.calls.size(), 1);
  QCOMPARE(dialogs.calls[0].kind, kind);
  // Cancelled: the next click asks again.
  Gestures::click(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(dialogs.calls.size(), 2);
}

void TestItems::frameUntilCommitted_data()
{
  QTest::addColumn<int>("cmd");
  QTest::newRow("text") << 10329;
  QTest::newRow("picture") << 10330;
}

void TestItems::frameUntilCommitted()
{
  QFETCH(int, cmd);
  ScriptedDialogProvider dialogs;
  QTemporaryDir dir;
  CanvasWindow w;
  QVERIFY(placeItem(w.canvas, dialogs, cmd, savedPicture(dir, "red.png", QSize(200, 100))));
  const QImage pending = w.image();
  QVERIFY2(greyPixels(pending) > 200, qPrintable(QString("%1 grey pixels").arg(greyPixels(pending))));
  if (cmd == 10330) {
    // The picture fills 0.8 of the fitted 960 x 480 at (96, 78); its frame runs one unit
    // outside, at canvas x 190.
    QVERIFY(alpha(pending, QPoint(190, 540)) > 0);
    QCOMPARE(qRed(pending.pixel(200, 540)), 255);
  }
  // A drag moves it, in one history step.
  Gestures::drag(&w.canvas, QPoint(240, 270), QPoint(720, 405), 6);
  const DrawingToolSettings &settings = w.canvas.settings();
  QCOMPARE(cmd == 10329 ? settings.textLocation : settings.pictureLocation, QPointF(0.5, 0.25));
  QCOMPARE(w.canvas.history()->files().size(), 1);
  w.canvas.commitText();
  w.canvas.commitPicture();
  const QImage committed = w.image();
  QCOMPARE(greyPixels(committed), 0);
  if (cmd == 10330) {
    // The picture went with the drag: it now spans widget x 576 to 1344, y 213 to 597.
    QCOMPARE(committed.pixel(1400, 810), qRgb(255, 0, 0));
    QCOMPARE(alpha(committed, QPoint(190, 540)), 0);
    QVERIFY(w.canvas.settings().picture.isNull());
  } else {
    QVERIFY(w.canvas.settings().text.isEmpty());
  }
}

void TestItems::wheelSizesTheItem_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<float>("start");
  QTest::addColumn<int>("delta");
  QTest::addColumn<float>("expected");
  const float step = 1 + 15 / 640.0f;
  QTest::newRow("text up") << 10329 << 100.0f << 120 << 100.0f * step;
  QTest::newRow("text down") << 10329 << 100.0f << -120 << 100.0f * (1 - 15 / 640.0f);
  QTest::newRow("text at most 960") << 10329 << 950.0f << 120 << 960.0f;
  QTest::newRow("text at least 1") << 10329 << 1.0f << -120 << 1.0f;
  QTest::newRow("picture up") << 10330 << 0.8f << 120 << 0.8f * step;
  QTest::newRow("picture at most 4") << 10330 << 3.99f << 120 << 4.0f;
  QTest::newRow("picture at least 0.01") << 10330 << 0.01f << -120 << 0.01f;
}

void TestItems::wheelSizesTheItem()
{
  QFETCH(int, cmd);
  QFETCH(float, start);
  QFETCH(int, delta);
  QFETCH(float, expected);
  ScriptedDialogProvider dialogs;
  QTemporaryDir dir;
  CanvasWindow w;
  QVERIFY(placeItem(w.canvas, dialogs, cmd, savedPicture(dir, "red.png", QSize(200, 100))));
  if (cmd == 10329)
    w.canvas.setTextSize(start);
  else
    w.canvas.setPictureSize(start);
  QSignalSpy text(&w.canvas, &CanvasWidget::canvasWidgetTextSizeChangedByGesture);
  QSignalSpy picture(&w.canvas, &CanvasWidget::canvasWidgetPictureSizeChangedByGesture);
  Gestures::wheel(&w.canvas, QPoint(480, 270), delta);
  QSignalSpy &spy = cmd == 10329 ? text : picture;
  QCOMPARE(spy.count(), 1);
  QCOMPARE(spy[0][1].toFloat(), expected);
  QCOMPARE(cmd == 10329 ? w.canvas.settings().textSize : w.canvas.settings().pictureSize, expected);

  // Other tools leave the wheel to the widgets below.
  for (int other : {10301, 10311, 10309}) {
    w.canvas.setCommand(other);
    QVERIFY(!Gestures::wheel(&w.canvas, QPoint(480, 270), 120));
  }
  QCOMPARE(text.count() + picture.count(), 1);
}

void TestItems::largePicturesAreReduced_data()
{
  QTest::addColumn<QSize>("picture");
  QTest::addColumn<QSize>("pending");
  QTest::addColumn<bool>("striped");
  QTest::newRow("wider than the canvas") << QSize(4000, 1000) << QSize(3840, 960) << false;
  QTest::newRow("taller than the canvas is wide") << QSize(1000, 4000) << QSize(960, 3840) << false;
  QTest::newRow("small") << QSize(100, 100) << QSize(100, 100) << false;
  QTest::newRow("one-pixel stripes, three times too wide") << QSize(11520, 90) << QSize(3840, 30) << true;
}

void TestItems::largePicturesAreReduced()
{
  QFETCH(QSize, picture);
  QFETCH(QSize, pending);
  QFETCH(bool, striped);
  ScriptedDialogProvider dialogs;
  QTemporaryDir dir;
  CanvasWindow w(3840, 2160);
  const QString path =
      striped ? stripedPicture(dir, "big.png", picture) : savedPicture(dir, "big.png", picture);
  QVERIFY(placeItem(w.canvas, dialogs, 10330, path));
  const QImage reduced = w.canvas.settings().picture.toImage();
  QCOMPARE(reduced.size(), pending);
  // Reduced by averaging, not by picking every third stripe.
  const QString unmixed = striped ? firstUnmixed(reduced, reduced.height() / 2, 0, reduced.width() - 1) : QString();
  QVERIFY2(unmixed.isEmpty(), qPrintable(unmixed));
}

void TestItems::shrunkPictureKeepsItsDetail()
{
  ScriptedDialogProvider dialogs;
  QTemporaryDir dir;
  CanvasWindow w;
  QVERIFY(placeItem(w.canvas, dialogs, 10330, stripedPicture(dir, "stripes.png", QSize(1800, 90))));
  // A tenth of its fitted 1920 canvas pixels: each canvas pixel covers about nine stripes.
  w.canvas.setPictureSize(0.1f);
  w.canvas.commitPicture();
  const QString unmixed = firstUnmixed(w.image(), 540, 900, 1020);
  QVERIFY2(unmixed.isEmpty(), qPrintable(unmixed));
}

void TestItems::pictureFolderIsRemembered()
{
  ScriptedDialogProvider dialogs;
  QTemporaryDir dir;
  QSettings().remove("OpenPictureDir");
  CanvasWindow w;
  QVERIFY(placeItem(w.canvas, dialogs, 10330, savedPicture(dir, "red.png", QSize(20, 10))));
  // The first dialog starts in the Pictures folder, which now exists.
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QCOMPARE(dialogs.calls[0].title, QString("Insert a Picture"));
  QCOMPARE(dialogs.calls[0].text, pictures);
  QVERIFY(QDir(pictures).exists());
  QCOMPARE(QSettings().value("OpenPictureDir").toString(), dir.path());
  // A cancelled second dialog starts in the chosen folder and changes nothing.
  w.canvas.commitPicture();
  Gestures::click(&w.canvas, QPoint(480, 270));
  QTRY_COMPARE(dialogs.calls.size(), 2);
  QCOMPARE(dialogs.calls[1].text, dir.path());
  QCOMPARE(QSettings().value("OpenPictureDir").toString(), dir.path());
}

TAVO_TEST_MAIN(TestItems)
#include "tst_items.moc"
