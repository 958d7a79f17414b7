// The camera dialog over a fake camera: still pictures and clips into the temporary
// folder, their reviews, the errors, the camera menu and closing while a clip records.

#include "cameradialog.h"
#include "fakecamerabackend.h"
#include "mediafixtures.h"
#include "scripteddialogprovider.h"
#include "segmentedcontrol.h"
#include "testenv.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

template <typename T = QWidget>
T *part(QWidget *dialog, const char *name)
{
  T *w = dialog->findChild<T *>(name);
  if (!w)
    qFatal("no widget %s", name);
  return w;
}

QString page(QWidget *dialog)
{
  return part<QStackedWidget>(dialog, "stackedWidget")->currentWidget()->objectName();
}

QString controlPage(QWidget *dialog)
{
  return part<QStackedWidget>(dialog, "controlPanel")->currentWidget()->objectName();
}

void click(QWidget *dialog, const char *name)
{
  QTest::mouseClick(part(dialog, name), Qt::LeftButton);
}

// A capture file: "<epoch ms>.<ext>" in the temporary folder, named between the two times.
void verifyCaptureName(const QString &path, const QString &extension, qint64 notBefore, qint64 notAfter)
{
  const QFileInfo info(path);
  QCOMPARE(QDir(info.path()).canonicalPath(),
           QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).canonicalPath());
  QCOMPARE(info.suffix(), extension);
  bool ok = false;
  const qint64 ms = info.completeBaseName().toLongLong(&ok);
  QVERIFY2(ok && ms >= notBefore && ms <= notAfter, qPrintable(path));
}

} // namespace

// A dialog of the capture type over the fake, once it can capture.
#define OPEN(dialog, ...) \
  std::unique_ptr<CameraDialog> dialog(_open(__VA_ARGS__)); \
  QTRY_VERIFY_WITH_TIMEOUT(part(dialog.get(), "controlPanel")->isVisible() && \
                             part(dialog.get(), "captureButton")->isEnabled(), \
                           5000)

class TestCamera : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void stillPictureReviewRetakeUse();
  void clipRecordingReviewUse();
  void errorMessages_data();
  void errorMessages();
  void errorStopReviewsOnlyOwnRecording_data();
  void errorStopReviewsOnlyOwnRecording();
  void closeWhileRecording_data();
  void closeWhileRecording();
  void lockedCaptureType_data();
  void lockedCaptureType();
  void cameraMenuRefused_data();
  void cameraMenuRefused();
  void cameraMenuSwitchesCamera_data();
  void cameraMenuSwitchesCamera();
  void captureTypeControl();

private:
  // Shows a dialog of the capture type over the fake (see OPEN).
  CameraDialog *_open(int captureType, bool locked = false);
  // Starts a clip with the capture button and waits until it records.
  void _startClip(CameraDialog *dialog, FakeCameraBackend *fake);

  QTemporaryDir _media;
  QString _clip;
};

void TestCamera::initTestCase()
{
  _clip = _media.filePath("clip.mp4");
  QVERIFY2(MediaFixtures::writeColorVideo(_clip, 160, 120, 30, 15), qPrintable(MediaFixtures::lastError()));
}

CameraDialog *TestCamera::_open(int captureType, bool locked)
{
  FakeCameraBackend::script().clipPath = _clip;
  if (FakeCameraBackend::script().cameras.isEmpty())
    FakeCameraBackend::script().cameras = {{"cam0", "Front"}, {"cam1", "Back"}};
  auto *dialog = new CameraDialog(captureType);
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setCaptureTypeLocked(locked);
  dialog->show();
  if (!QTest::qWaitForWindowExposed(dialog))
    qWarning("camera dialog not exposed");
  return dialog;
}

void TestCamera::_startClip(CameraDialog *dialog, FakeCameraBackend *fake)
{
  click(dialog, "captureButton");
  QTRY_COMPARE(fake->recorderState(), QMediaRecorder::RecordingState);
}

void TestCamera::stillPictureReviewRetakeUse()
{
  FakeCameraBackend::Install fake;
  FakeCameraBackend::script().holdCaptures = true;
  OPEN(dialog, 1);
  FakeCameraBackend *camera = fake.backend();
  QSignalSpy shutter(dialog.get(), &CameraDialog::cameraDialogShouldCapturePhoto);

  const qint64 before = QDateTime::currentMSecsSinceEpoch();
  click(dialog.get(), "captureButton");
  const qint64 after = QDateTime::currentMSecsSinceEpoch();
  click(dialog.get(), "captureButton");
  QCOMPARE(camera->captureRequests.size(), 1);
  QCOMPARE(shutter.count(), 1);
  const QString first = camera->captureRequests.first();
  verifyCaptureName(first, "jpg", before, after);

  camera->finishCapture();
  QTRY_COMPARE(page(dialog.get()), QString("imagePreviewPage"));
  QCOMPARE(controlPage(dialog.get()), QString("previewPage"));
  QVERIFY(part(dialog.get(), "playPauseButton")->isHidden());
  QVERIFY(!part<QLabel>(dialog.get(), "imagePreviewLabel")->pixmap(Qt::ReturnByValue).isNull());
  QVERIFY(!camera->isCameraOpen());
  QCOMPARE(dialog->capturedFilePath(), first);

  click(dialog.get(), "retakeButton");
  QCOMPARE(page(dialog.get()), QString("viewFinderPage"));
  QCOMPARE(controlPage(dialog.get()), QString("defaultPage"));
  QCOMPARE(camera->openedCameras, QStringList({"cam0", "cam0"}));
  QVERIFY(QFile::exists(first));

  QTRY_VERIFY(part(dialog.get(), "captureButton")->isEnabled());
  click(dialog.get(), "captureButton");
  camera->finishCapture();
  QTRY_COMPARE(page(dialog.get()), QString("imagePreviewPage"));
  click(dialog.get(), "useButton");
  QCOMPARE(dialog->result(), int(QDialog::Accepted));
  QVERIFY(!dialog->isVisible());
  QCOMPARE(dialog->captureType(), 1);
  QCOMPARE(dialog->capturedFilePath(), camera->captureRequests.last());
  QVERIFY(dialog->capturedFilePath() != first);
  QVERIFY(QFile::exists(first));
}

void TestCamera::clipRecordingReviewUse()
{
  FakeCameraBackend::Install fake;
  OPEN(dialog, 0);
  FakeCameraBackend *camera = fake.backend();
  QString pageAtStop;
  connect(camera, &CameraBackend::recorderStateChanged, dialog.get(), [&](QMediaRecorder::State state) {
    if (state == QMediaRecorder::StoppedState)
      pageAtStop = page(dialog.get());
  });

  const qint64 before = QDateTime::currentMSecsSinceEpoch();
  _startClip(dialog.get(), camera);
  const qint64 after = QDateTime::currentMSecsSinceEpoch();
  auto *timeLabel = part<QLabel>(dialog.get(), "timeLabel");
  QVERIFY(timeLabel->isVisible());
  QCOMPARE(timeLabel->text(), QString("00:00"));
  QVERIFY(part(dialog.get(), "cancelButton")->isHidden());
  QVERIFY(!part(dialog.get(), "captureTypesSegmentedWidget")->isEnabled());
  const struct
  {
    qint64 ms;
    const char *text;
  } times[] = {{999, "00:00"}, {1000, "00:01"}, {61500, "01:01"}};
  for (const auto &time : times) {
    camera->setDuration(time.ms);
    QCOMPARE(timeLabel->text(), QString(time.text));
  }

  click(dialog.get(), "captureButton");
  QTRY_COMPARE(page(dialog.get()), QString("videoPreviewPage"));
  // The review follows the stop a moment later, not within it.
  QCOMPARE(pageAtStop, QString("viewFinderPage"));
  QCOMPARE(controlPage(dialog.get()), QString("previewPage"));
  QVERIFY(part(dialog.get(), "playPauseButton")->isVisible());
  QVERIFY(!part(dialog.get(), "cancelButton")->isHidden());
  QVERIFY(timeLabel->isHidden());
  QVERIFY(part(dialog.get(), "captureTypesSegmentedWidget")->isEnabled());
  verifyCaptureName(dialog->capturedFilePath(), "mp4", before, after);
  QVERIFY(QFileInfo(dialog->capturedFilePath()).size() > 0);

  click(dialog.get(), "useButton");
  QCOMPARE(dialog->result(), int(QDialog::Accepted));
  QCOMPARE(dialog->captureType(), 0);
}

void TestCamera::errorMessages_data()
{
  QTest::addColumn<QString>("source");
  QTest::addColumn<QString>("title");
  QTest::newRow("camera") << "camera" << "Camera Error";
  QTest::newRow("still capture") << "capture" << "Image Capture Error";
  QTest::newRow("recorder") << "recorder" << "Capture Error";
}

void TestCamera::errorMessages()
{
  QFETCH(QString, source);
  QFETCH(QString, title);
  FakeCameraBackend::Install fake;
  FakeCameraBackend::script().holdCaptures = true;
  ScriptedDialogProvider dialogs;
  OPEN(dialog, source == "capture" ? 1 : 0);
  FakeCameraBackend *camera = fake.backend();
  const QString message = "Device said no";
  if (source == "camera") {
    camera->failCamera(message);
  } else if (source == "capture") {
    click(dialog.get(), "captureButton");
    camera->failCapture(message);
  } else {
    _startClip(dialog.get(), camera);
    camera->failRecording(message);
  }
  QCOMPARE(dialogs.kinds(), QStringList{"messageBox"});
  QCOMPARE(dialogs.calls.first().title, title);
  QCOMPARE(dialogs.calls.first().text, message);
  QCOMPARE(dialogs.calls.first().buttons, QStringList{"OK"});
  if (source == "capture") {
    // The failed capture is no longer pending: the next press captures.
    click(dialog.get(), "captureButton");
    QCOMPARE(camera->captureRequests.size(), 2);
  }
}

void TestCamera::errorStopReviewsOnlyOwnRecording_data()
{
  QTest::addColumn<bool>("startedByButton");
  QTest::newRow("started by the capture button") << true;
  QTest::newRow("started elsewhere") << false;
}

void TestCamera::errorStopReviewsOnlyOwnRecording()
{
  QFETCH(bool, startedByButton);
  FakeCameraBackend::Install fake;
  ScriptedDialogProvider dialogs;
  OPEN(dialog, 0);
  FakeCameraBackend *camera = fake.backend();
  if (startedByButton) {
    _startClip(dialog.get(), camera);
  } else {
    camera->record();
    QTRY_COMPARE(camera->recorderState(), QMediaRecorder::RecordingState);
  }
  camera->failRecording("Encoder gone");
  QCOMPARE(dialogs.calls.size(), 1);
  QCOMPARE(dialogs.calls.first().title, QString("Capture Error"));
  if (startedByButton) {
    QTRY_COMPARE(page(dialog.get()), QString("videoPreviewPage"));
  } else {
    QVERIFY(dialog->capturedFilePath().isEmpty());
    QCOMPARE(page(dialog.get()), QString("viewFinderPage"));
  }
}

void TestCamera::closeWhileRecording_data()
{
  QTest::addColumn<bool>("neverStops");
  QTest::newRow("recorder stops") << false;
  QTest::newRow("recorder never reports its stop") << true;
}

void TestCamera::closeWhileRecording()
{
  QFETCH(bool, neverStops);
  FakeCameraBackend::Install fake;
  FakeCameraBackend::script().neverStop = neverStops;
  OPEN(dialog, 0);
  FakeCameraBackend *camera = fake.backend();
  _startClip(dialog.get(), camera);

  QElapsedTimer elapsed;
  elapsed.start();
  QVERIFY(!dialog->close());
  QVERIFY(dialog->isVisible());
  QVERIFY(!dialog->isEnabled());
  QCOMPARE(camera->stopCalls, 1);
  // A second request while waiting does not cut the wait short.
  dialog->reject();
  QVERIFY(dialog->isVisible() || !neverStops);

  QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 10000);
  if (neverStops)
    QVERIFY2(elapsed.elapsed() >= 4500, qPrintable(QString("closed after %1 ms").arg(elapsed.elapsed())));
  QCOMPARE(dialog->result(), int(QDialog::Rejected));
  QVERIFY(dialog->capturedFilePath().isEmpty());
  QVERIFY(page(dialog.get()) != QString("videoPreviewPage"));
}

void TestCamera::lockedCaptureType_data()
{
  QTest::addColumn<bool>("locked");
  QTest::newRow("locked") << true;
  QTest::newRow("free") << false;
}

void TestCamera::lockedCaptureType()
{
  QFETCH(bool, locked);
  FakeCameraBackend::Install fake;
  OPEN(dialog, 0, locked);
  QWidget *types = part(dialog.get(), "captureTypesSegmentedWidget");
  QCOMPARE(types->isEnabled(), !locked);
  _startClip(dialog.get(), fake.backend());
  click(dialog.get(), "captureButton");
  QTRY_COMPARE(page(dialog.get()), QString("videoPreviewPage"));
  QCOMPARE(types->isEnabled(), !locked);
}

void TestCamera::cameraMenuRefused_data()
{
  QTest::addColumn<QString>("situation");
  QTest::newRow("recording") << "recording";
  QTest::newRow("still capture pending") << "pending";
  QTest::newRow("picture review") << "picture review";
  QTest::newRow("clip review") << "clip review";
}

void TestCamera::cameraMenuRefused()
{
  QFETCH(QString, situation);
  FakeCameraBackend::Install fake;
  FakeCameraBackend::script().holdCaptures = situation == "pending";
  ScriptedDialogProvider dialogs;
  OPEN(dialog, situation.contains("clip") || situation == "recording" ? 0 : 1);
  FakeCameraBackend *camera = fake.backend();
  if (situation == "recording" || situation == "clip review")
    _startClip(dialog.get(), camera);
  else
    click(dialog.get(), "captureButton");
  if (situation == "clip review") {
    click(dialog.get(), "captureButton");
    QTRY_COMPARE(page(dialog.get()), QString("videoPreviewPage"));
  } else if (situation == "picture review") {
    QTRY_COMPARE(page(dialog.get()), QString("imagePreviewPage"));
  }
  click(dialog.get(), "cameraButton");
  click(dialog.get(), "triangleButton");
  QCOMPARE(dialogs.kinds(), QStringList());
}

void TestCamera::cameraMenuSwitchesCamera_data()
{
  QTest::addColumn<int>("defaultIndex");
  QTest::addColumn<QString>("firstOpened");
  QTest::newRow("default camera") << 1 << "Back";
  QTest::newRow("no default: the first") << -1 << "Front";
}

void TestCamera::cameraMenuSwitchesCamera()
{
  QFETCH(int, defaultIndex);
  QFETCH(QString, firstOpened);
  FakeCameraBackend::Install fake;
  FakeCameraBackend::script().defaultIndex = defaultIndex;
  ScriptedDialogProvider dialogs;
  OPEN(dialog, 1);
  FakeCameraBackend *camera = fake.backend();
  auto *cameraButton = part<QPushButton>(dialog.get(), "cameraButton");
  QCOMPARE(cameraButton->text(), firstOpened);
  const QString other = firstOpened == "Back" ? "Front" : "Back";
  dialogs.answers << other;
  click(dialog.get(), "triangleButton");
  QCOMPARE(dialogs.kinds(), QStringList{"menu"});
  QCOMPARE(dialogs.calls.first().buttons, QStringList({"Front", "Back"}));
  QCOMPARE(camera->openedCameras.size(), 2);
  QCOMPARE(cameraButton->text(), other);
  QTRY_VERIFY(part(dialog.get(), "captureButton")->isEnabled());
}

void TestCamera::captureTypeControl()
{
  FakeCameraBackend::Install fake;
  OPEN(dialog, 0);
  auto *types = part<SegmentedControl>(dialog.get(), "captureTypesSegmentedWidget");
  QCOMPARE(types->toolTip(), QString("Toggle Capture Type\nCurrent: Capture video"));
  QCOMPARE(fake.backend()->captureMode(), QCamera::CaptureVideo);

  QTest::mouseClick(types, Qt::LeftButton, {}, QPoint(types->width() * 3 / 4, types->height() / 2));
  QCOMPARE(dialog->captureType(), 1);
  QCOMPARE(types->toolTip(), QString("Toggle Capture Type\nCurrent: Capture still image"));
  QCOMPARE(fake.backend()->captureMode(), QCamera::CaptureStillImage);
  QVERIFY(fake.backend()->hasImageCapture());
}

TAVO_TEST_MAIN(TestCamera)
#include "tst_camera.moc"
