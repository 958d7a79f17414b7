// The microphone seam over Qt Multimedia: a recording is a WAV file of PCM samples, and the
// probed buffers are ones the level meter can read. Needs a sound server with an input
// (./dev test starts one with a null sink, whose monitor records silence).

#include "audiolevels.h"
#include "mediafixtures.h"
#include "popupmicrophonewidget.h"
#include "qtaudioinputbackend.h"
#include "qtcamerabackend.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QAudioRecorder>
#include <QAudioRecorder>
#include <QFile>
#include <QtEndian>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// A WAV file whose RIFF size covers the whole file: the muxer has finished it.
bool wavFinished(const QString &path)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  const QByteArray head = file.read(8);
  return head.size() == 8 && qint64(qFromLittleEndian<quint32>(head.constData() + 4)) + 8 == file.size();
}

} // namespace

class TestAudioInput : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void recordsWavPcm();
  void popupWarmsUpAndGoesAway();
  void cameraClipContainerIsMp4();

private:
  QString _noInput;
};

void TestAudioInput::initTestCase()
{
  QtAudioInputBackend backend;
  QTemporaryDir dir;
  QSignalSpy errors(&backend, &AudioInputBackend::error);
  backend.setAudioInput(backend.defaultAudioInput());
  backend.setOutputLocation(QUrl::fromLocalFile(dir.filePath("probe.wav")));
  backend.record();
  const bool started = QTest::qWaitFor(
    [&] { return backend.state() == QMediaRecorder::RecordingState || !errors.isEmpty(); }, 5000);
  if (backend.audioInputs().isEmpty() || !started || !errors.isEmpty())
    _noInput = "the default input does not record here: " + backend.errorString();
  backend.stop();
  QTRY_COMPARE(backend.state(), QMediaRecorder::StoppedState);
}

void TestAudioInput::recordsWavPcm()
{
  if (!_noInput.isEmpty())
    QSKIP(qPrintable(_noInput));
  QtAudioInputBackend backend;
  QTemporaryDir dir;
  const QString path = dir.filePath("take.wav");
  QSignalSpy buffers(&backend, &AudioInputBackend::audioBufferProbed);
  // The state reads Stopped at once, but the file is finished only when Stopped is reported:
  // the popup hands the take over on the report.
  int finishedAtReport = -1;
  connect(&backend, &AudioInputBackend::stateChanged, &backend, [&](QMediaRecorder::State state) {
    if (state == QMediaRecorder::StoppedState)
      finishedAtReport = wavFinished(path);
  });
  backend.setAudioInput(backend.defaultAudioInput());
  backend.setQuality(QMultimedia::HighQuality);
  backend.setOutputLocation(QUrl::fromLocalFile(path));
  backend.record();
  QTRY_VERIFY_WITH_TIMEOUT(buffers.count() >= 5 && backend.duration() >= 500, 10000);
  backend.stop();
  QTRY_VERIFY_WITH_TIMEOUT(finishedAtReport >= 0, 5000);
  QCOMPARE(finishedAtReport, 1);

  QCOMPARE(QFileInfo(backend.actualLocation().toLocalFile()), QFileInfo(path));
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray head = file.read(12);
  QCOMPARE(head.left(4), QByteArray("RIFF"));
  QCOMPARE(head.mid(8, 4), QByteArray("WAVE"));
  const MediaFixtures::DecodedAudio audio = MediaFixtures::decodeAudio(path);
  QVERIFY2(audio.ok, qPrintable(MediaFixtures::lastError()));
  QVERIFY2(audio.codecName.startsWith("pcm_"), qPrintable(audio.codecName));
  QVERIFY(audio.seconds() > 0.3);

  const QAudioBuffer buffer = buffers.first().first().value<QAudioBuffer>();
  QCOMPARE(AudioLevels::levels(buffer).size(), buffer.format().channelCount());
}

void TestAudioInput::popupWarmsUpAndGoesAway()
{
  if (!_noInput.isEmpty())
    QSKIP(qPrintable(_noInput));
  ScriptedDialogProvider dialogs;
  QWidget top;
  top.resize(800, 600);
  top.show();
  QVERIFY(QTest::qWaitForWindowExposed(&top));
  QPointer<PopupMicrophoneWidget> popup = new PopupMicrophoneWidget(&top);
  popup->showWithStartTime(&top, 0, 1);
  auto *name = popup->findChild<QPushButton *>("microphoneButton");
  // The device's name as the user reads it: without a trailing colon.
  QString input = QAudioRecorder().defaultAudioInput();
  while (input.endsWith(QLatin1Char(':')))
    input.chop(1);
  QTRY_COMPARE_WITH_TIMEOUT(name->text(), input, 5000);
  const QString dummy = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/dummy.wav";
  QTRY_VERIFY(QFileInfo(dummy).size() > 0);

  // Going away while the warm-up records stops it without a hang or a crash.
  popup->dismiss();
  QTRY_VERIFY(popup.isNull());
  QCOMPARE(dialogs.kinds(), QStringList());
}

void TestAudioInput::cameraClipContainerIsMp4()
{
  // No camera here, but the microphone goes through the same GStreamer muxers: what the
  // camera's recorder is told to write comes out as MP4, finished when Stopped is reported
  // (the clip review plays it 200 ms later).
  if (!_noInput.isEmpty())
    QSKIP(qPrintable(_noInput));
  QTemporaryDir dir;
  const QString path = dir.filePath("clip.mp4");
  QAudioRecorder recorder;
  QAudioEncoderSettings audio;
  audio.setCodec(QtCameraBackend::audioCodec());
  recorder.setEncodingSettings(audio, QVideoEncoderSettings(), QtCameraBackend::videoContainer());
  recorder.setOutputLocation(QUrl::fromLocalFile(path));
  MediaFixtures::DecodedAudio atReport;
  bool reported = false;
  connect(&recorder, &QMediaRecorder::stateChanged, &recorder, [&](QMediaRecorder::State state) {
    if (state != QMediaRecorder::StoppedState)
      return;
    reported = true;
    atReport = MediaFixtures::decodeAudio(path);
  });
  recorder.record();
  QTRY_VERIFY_WITH_TIMEOUT(recorder.duration() >= 500, 10000);
  recorder.stop();
  QTRY_VERIFY_WITH_TIMEOUT(reported, 5000);

  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.read(8).mid(4), QByteArray("ftyp"));
  QVERIFY2(atReport.ok, qPrintable(MediaFixtures::lastError()));
  QCOMPARE(atReport.codecName, QString("aac"));
}

TAVO_TEST_MAIN(TestAudioInput)
#include "tst_audioinput.moc"
