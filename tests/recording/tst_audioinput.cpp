// The microphone seam over Qt Multimedia: a recording is a WAV file of PCM samples, and the
// probed buffers are ones the level meter can read. Needs a sound server with an input
// (./dev test starts one with a null sink, whose monitor records silence).

#include "audiolevels.h"
#include "mediafixtures.h"
#include "qtaudioinputbackend.h"
#include "testenv.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestAudioInput : public QObject
{
  Q_OBJECT
private slots:
  void recordsWavPcm();
};

void TestAudioInput::recordsWavPcm()
{
  QtAudioInputBackend backend;
  if (backend.audioInputs().isEmpty())
    QSKIP("no audio input");
  QTemporaryDir dir;
  const QString path = dir.filePath("take.wav");
  QSignalSpy buffers(&backend, &AudioInputBackend::audioBufferProbed);
  QSignalSpy errors(&backend, &AudioInputBackend::error);
  backend.setAudioInput(backend.defaultAudioInput());
  backend.setQuality(QMultimedia::HighQuality);
  backend.setOutputLocation(QUrl::fromLocalFile(path));
  backend.record();
  if (!QTest::qWaitFor([&] { return backend.state() == QMediaRecorder::RecordingState || !errors.isEmpty(); }, 5000) ||
      !errors.isEmpty())
    QSKIP(qPrintable("the default input does not record here: " + backend.errorString()));
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

TAVO_TEST_MAIN(TestAudioInput)
#include "tst_audioinput.moc"
