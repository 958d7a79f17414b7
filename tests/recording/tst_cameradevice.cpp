// The camera dialog over Qt Multimedia on a machine without a camera, and the clip format
// the recorder is told to write.

#include "cameradialog.h"
#include "qtcamerabackend.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QCameraInfo>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

class TestCameraDevice : public QObject
{
  Q_OBJECT
private slots:
  void noCameraSaysSo();
  void recorderFormatIsOffered();
};

void TestCameraDevice::noCameraSaysSo()
{
  if (!QCameraInfo::availableCameras().isEmpty())
    QSKIP("this machine has a camera");
  ScriptedDialogProvider dialogs;
  CameraDialog dialog(0);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto *topPanel = dialog.findChild<QWidget *>("topPanel");
  auto *controlPanel = dialog.findChild<QWidget *>("controlPanel");
  auto *openingLabel = dialog.findChild<QLabel *>("openingLabel");
  auto *cameraButton = dialog.findChild<QPushButton *>("cameraButton");
  QVERIFY(!topPanel->isVisible());
  QCOMPARE(openingLabel->text(), QString("Opening camera..."));

  QTRY_VERIFY(topPanel->isVisible());
  QVERIFY(!controlPanel->isVisible());
  QCOMPARE(dialog.findChild<QStackedWidget *>("stackedWidget")->currentWidget()->objectName(), QString("initPage"));
  QVERIFY(openingLabel->text().isEmpty());
  QCOMPARE(openingLabel->pixmap(Qt::ReturnByValue).toImage(), QPixmap(":/images/camera_no_video").toImage());
  QCOMPARE(cameraButton->text(), QString("No camera"));
  QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);

  QTest::mouseClick(cameraButton, Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), QStringList());

  QElapsedTimer elapsed;
  elapsed.start();
  QVERIFY(dialog.close());
  QVERIFY(!dialog.isVisible());
  QVERIFY(elapsed.elapsed() < 2000);
}

void TestCameraDevice::recorderFormatIsOffered()
{
  // What the installed GStreamer can write; without its encoders a clip would be
  // written in another format, or not at all.
  QCamera camera;
  QMediaRecorder recorder(&camera);
  QVERIFY2(recorder.supportedContainers().contains(QtCameraBackend::videoContainer()),
           "no MP4 muxer (gstreamer1.0-plugins-good)");
  QVERIFY2(recorder.supportedVideoCodecs().contains(QtCameraBackend::videoCodec()),
           "no H.264 encoder (gstreamer1.0-plugins-ugly)");
  QVERIFY2(recorder.supportedAudioCodecs().contains(QtCameraBackend::audioCodec()), "no AAC encoder");
}

TAVO_TEST_MAIN(TestCameraDevice)
#include "tst_cameradevice.moc"
