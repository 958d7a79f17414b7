// The microphone seam over Qt Multimedia: a recording is a WAV file of PCM samples, and the
// probed buffers are ones the level meter can read. Needs a sound server with an input
// (./dev test starts one with a null sink, whose monitor records silence).

#include "audiolevels.h"
#include "mediafixtures.h"
#include "popupmicrophonewidget.h"
#include "qtaudioinputbackend.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QAudioRecorder>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

class TestAudioInput : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void recordsWavPcm();
  void popupWarmsUpAndGoesAway();

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
  backend.setAudioInput(backend.defaultAudioInput());
  backend.setQuality(QMultimedia::HighQuality);
  backend.setOutputLocation(QUrl::fromLocalFile(path));
  backend.record();
  QTRY_VERIFY_WITH_TIMEOUT(buffers.count() >= 5 && backend.duration() >= 500, 10000);
  backend.stop();
  QTRY_COMPARE_WITH_TIMEOUT(backend.state(), QMediaRecorder::StoppedState, 5000);

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
  QTRY_COMPARE_WITH_TIMEOUT(name->text(), QAudioRecorder().defaultAudioInput(), 5000);
  const QString dummy = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/dummy.wav";
  QTRY_VERIFY(QFileInfo(dummy).size() > 0);

  // Going away while the warm-up records stops it without a hang or a crash.
  popup->dismiss();
  QTRY_VERIFY(popup.isNull());
  QCOMPARE(dialogs.kinds(), QStringList());
}

TAVO_TEST_MAIN(TestAudioInput)
#include "tst_audioinput.moc"
