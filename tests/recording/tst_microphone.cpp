// The voice-over popup over a fake microphone: the warm-up meter, a take from the press
// to the hand-over, failed and stale reports, no microphone, placement and the blinking
// record icon.

#include "audiobuffers.h"
#include "audiolevelmeterwidget.h"
#include "fakeaudioinputbackend.h"
#include "popupmicrophonewidget.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QDateTime>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace AudioBuffers;

namespace {

struct Window
{
  QWidget top;
  Window()
  {
    top.resize(1000, 800);
    top.show();
    if (!QTest::qWaitForWindowExposed(&top))
      qWarning("window not exposed");
  }
};

QPushButton *button(PopupMicrophoneWidget *popup, const char *name)
{
  return popup->findChild<QPushButton *>(name);
}

// A popup shown over the fake microphone, with the given inputs.
struct Session
{
  FakeAudioInputBackend::Install fake;
  Window window;
  PopupMicrophoneWidget *popup = nullptr;
  FakeAudioInputBackend *mic = nullptr;
  QPushButton *record = nullptr;

  explicit Session(const QStringList &inputs, const QString &defaultInput = QString(), bool failStart = false,
                   int placement = 1)
  {
    FakeAudioInputBackend::script().inputs = inputs;
    FakeAudioInputBackend::script().defaultInput = defaultInput;
    FakeAudioInputBackend::script().failStart = failStart;
    popup = new PopupMicrophoneWidget(&window.top);
    popup->showWithStartTime(&window.top, 2.0f, placement);
    mic = fake.backend();
    record = button(popup, "recordButton");
  }
};

float meterLevel(PopupMicrophoneWidget *popup)
{
  return popup->findChild<AudioLevelMeterWidget *>("meterWidget")->level();
}

bool showsIcon(QPushButton *button, const QString &path)
{
  return button->icon().pixmap(25, 25).toImage() == QIcon(path).pixmap(25, 25).toImage();
}

QString dummyFile()
{
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/dummy.wav";
}

QAudioBuffer bigEndian()
{
  return make<qint16>({0x7f00}, format(QAudioFormat::SignedInt, 16, 1, QAudioFormat::BigEndian));
}

} // namespace

// The warm-up records into "dummy.wav" in the cache folder.
#define WAIT_FOR_WARM_UP(fake) \
  QTRY_VERIFY(fake->state() == QMediaRecorder::RecordingState && !fake->recordedLocations.isEmpty() && \
              fake->recordedLocations.last() == dummyFile())

// Presses record and waits until the take (the recorder's n-th start) records.
#define START_TAKE(session, starts) \
  QTest::mouseClick(session.record, Qt::LeftButton); \
  QTRY_VERIFY(session.mic->state() == QMediaRecorder::RecordingState && \
              session.mic->recordedLocations.size() == starts)

class TestMicrophone : public QObject
{
  Q_OBJECT
private slots:
  void warmUpMovesMeter();
  void takeRecordsAndHandsOver();
  void failedTakeThenRetry();
  void lateWarmUpStopIsNotTheTake();
  void noMicrophone_data();
  void noMicrophone();
  void inputMenu();
  void inputLabel_data();
  void inputLabel();
  void placement_data();
  void placement();
  void recordIconBlinks();
};

void TestMicrophone::warmUpMovesMeter()
{
  Session s(QStringList{"Mic A", "Mic B"}, "Mic B");
  QSignalSpy scroll(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetRequestScrollToTime);
  WAIT_FOR_WARM_UP(s.mic);
  QCOMPARE(s.mic->recordedLocations, QStringList{dummyFile()});
  QCOMPARE(s.mic->selectedInputs, QStringList{"Mic B"});
  QCOMPARE(s.mic->qualities, QList<QMultimedia::EncodingQuality>{QMultimedia::LowQuality});
  QCOMPARE(button(s.popup, "microphoneButton")->text(), QString("Mic B"));

  s.mic->probe(s16({16384, -100}));
  QCOMPARE(meterLevel(s.popup), float(16384 / 32767.0));
  s.mic->probe(bigEndian());
  QCOMPARE(meterLevel(s.popup), float(16384 / 32767.0));
  s.mic->probe(s16({8192, 32767}, 2));
  QCOMPARE(meterLevel(s.popup), float(8192 / 32767.0));
  QCOMPARE(scroll.count(), 0);
}

void TestMicrophone::takeRecordsAndHandsOver()
{
  ScriptedDialogProvider dialogs;
  Session s(QStringList{"Mic"}, "Mic");
  QPushButton *cancel = button(s.popup, "cancelButton");
  int asks = 0;
  bool buttonsOffWhenAsked = false;
  connect(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetGetStartTime, s.popup,
          [&](PopupMicrophoneWidget *, float *startTime) {
            ++asks;
            buttonsOffWhenAsked = !s.record->isEnabled() && !cancel->isEnabled();
            *startTime = 12.5f;
          },
          Qt::DirectConnection);
  QSignalSpy scroll(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetRequestScrollToTime);
  QSignalSpy captured(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetSoundCaptured);
  WAIT_FOR_WARM_UP(s.mic);

  const qint64 before = QDateTime::currentMSecsSinceEpoch();
  QTest::mouseClick(s.record, Qt::LeftButton);
  QVERIFY(!s.record->isEnabled());
  QVERIFY(!cancel->isEnabled());
  QTest::mouseClick(s.record, Qt::LeftButton);
  QCOMPARE(asks, 0);
  // No switching inputs while the take starts.
  QTest::mouseClick(button(s.popup, "triangleButton"), Qt::LeftButton);
  QTRY_VERIFY(s.mic->state() == QMediaRecorder::RecordingState && s.mic->recordedLocations.size() == 2);
  const qint64 after = QDateTime::currentMSecsSinceEpoch();
  QCOMPARE(asks, 1);
  QVERIFY(buttonsOffWhenAsked);
  QVERIFY(s.record->isEnabled());
  QVERIFY(!cancel->isEnabled());
  QCOMPARE(s.mic->qualities.last(), QMultimedia::HighQuality);
  const QFileInfo take(s.mic->recordedLocations.last());
  QCOMPARE(QDir(take.path()).canonicalPath(),
           QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).canonicalPath());
  QCOMPARE(take.suffix(), QString("wav"));
  const qint64 named = take.completeBaseName().toLongLong();
  QVERIFY2(named >= before + 100 && named <= after, qPrintable(take.fileName()));

  const struct
  {
    qint64 ms;
    QAudioBuffer buffer;
  } buffers[] = {{0, s16({16384})}, {500, s16({8192, 32767}, 2)}, {700, bigEndian()}, {1000, s16({-32767})}};
  for (const auto &b : buffers) {
    s.mic->setDuration(b.ms);
    s.mic->probe(b.buffer);
  }
  QTest::mouseClick(button(s.popup, "triangleButton"), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), QStringList());
  QList<float> times;
  for (const QList<QVariant> &args : scroll)
    times << args.at(1).toFloat();
  QCOMPARE(times, (QList<float>{12.5f, 13.0f, 13.5f}));

  QTest::mouseClick(s.record, Qt::LeftButton);
  QTRY_COMPARE(captured.count(), 1);
  QCOMPARE(captured.first().at(1).toString(), take.filePath());
  QCOMPARE(captured.first().at(2).value<QList<float>>(),
           (QList<float>{float(16384 / 32767.0), float(8192 / 32767.0), 1.0f}));
  QVERIFY(cancel->isEnabled());
  QCoreApplication::processEvents();
  QCOMPARE(captured.count(), 1);
}

void TestMicrophone::failedTakeThenRetry()
{
  ScriptedDialogProvider dialogs;
  Session s(QStringList{"Mic"});
  QSignalSpy captured(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetSoundCaptured);
  WAIT_FOR_WARM_UP(s.mic);

  START_TAKE(s, 2);
  s.mic->probe(s16({16384}));
  s.mic->failRecording("Disk full");
  QCOMPARE(dialogs.kinds(), QStringList{"messageBox"});
  QCOMPARE(dialogs.calls.first().title, QString("Error Occurs"));
  QCOMPARE(dialogs.calls.first().text, QString("Disk full"));
  WAIT_FOR_WARM_UP(s.mic);
  QCOMPARE(s.mic->recordedLocations.size(), 3);
  QVERIFY(s.record->isEnabled());
  QVERIFY(button(s.popup, "cancelButton")->isEnabled());
  QCOMPARE(captured.count(), 0);

  START_TAKE(s, 4);
  s.mic->probe(s16({32767}));
  QTest::mouseClick(s.record, Qt::LeftButton);
  QTRY_COMPARE(captured.count(), 1);
  QCOMPARE(captured.first().at(1).toString(), s.mic->recordedLocations.last());
  QCOMPARE(captured.first().at(2).value<QList<float>>(), QList<float>{1.0f});
  QCoreApplication::processEvents();
  QCOMPARE(captured.count(), 1);
  QCOMPARE(dialogs.calls.size(), 1);
}

void TestMicrophone::lateWarmUpStopIsNotTheTake()
{
  Session s(QStringList{"Mic"});
  QSignalSpy captured(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetSoundCaptured);
  WAIT_FOR_WARM_UP(s.mic);

  s.mic->holdNextStopReport();
  START_TAKE(s, 2);
  QTRY_VERIFY(s.record->isEnabled());
  s.mic->releaseStopReport();
  QCoreApplication::processEvents();
  QCOMPARE(captured.count(), 0);
  QCOMPARE(s.mic->state(), QMediaRecorder::RecordingState);
  QCOMPARE(s.mic->recordedLocations.size(), 2);

  QTest::mouseClick(s.record, Qt::LeftButton);
  QTRY_COMPARE(captured.count(), 1);
  QCOMPARE(captured.first().at(1).toString(), s.mic->recordedLocations.last());
}

void TestMicrophone::noMicrophone_data()
{
  QTest::addColumn<QStringList>("inputs");
  QTest::addColumn<bool>("failStart");
  QTest::newRow("no inputs") << QStringList() << false;
  QTest::newRow("pseudo-input that cannot record") << QStringList{"default:"} << true;
}

void TestMicrophone::noMicrophone()
{
  QFETCH(QStringList, inputs);
  QFETCH(bool, failStart);
  ScriptedDialogProvider dialogs;
  Session s(inputs, QString(), failStart);
  int asks = 0;
  connect(s.popup, &PopupMicrophoneWidget::popupMicrophoneWidgetGetStartTime, s.popup, [&asks] { ++asks; },
          Qt::DirectConnection);
  if (failStart)
    QTRY_VERIFY(!s.mic->errorString().isEmpty());
  QCoreApplication::processEvents();
  const int attempts = s.mic->recordedLocations.size();
  QCOMPARE(attempts, failStart ? 1 : 0);

  QTest::mouseClick(s.record, Qt::LeftButton);
  QVERIFY(s.record->isEnabled());
  QCOMPARE(button(s.popup, "microphoneButton")->text(), QString("No microphone"));
  if (!failStart) {
    QTest::mouseClick(button(s.popup, "microphoneButton"), Qt::LeftButton);
    QTest::mouseClick(button(s.popup, "triangleButton"), Qt::LeftButton);
  }
  QCOMPARE(dialogs.kinds(), QStringList());
  QCOMPARE(s.mic->recordedLocations.size(), attempts);
  QCOMPARE(asks, 0);
}

void TestMicrophone::inputMenu()
{
  ScriptedDialogProvider dialogs;
  // A default the inputs do not list: the first input is taken.
  Session s(QStringList{"Mic A", "Mic B"}, "gone");
  WAIT_FOR_WARM_UP(s.mic);
  QCOMPARE(button(s.popup, "microphoneButton")->text(), QString("Mic A"));

  dialogs.answers << QString("Mic B");
  QTest::mouseClick(button(s.popup, "triangleButton"), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), QStringList{"menu"});
  QCOMPARE(dialogs.calls.first().buttons, QStringList({"Mic A", "Mic B"}));
  QTRY_VERIFY(s.mic->state() == QMediaRecorder::RecordingState && s.mic->selectedInputs.size() == 2);
  QCOMPARE(s.mic->selectedInputs, QStringList({"Mic A", "Mic B"}));
  QCOMPARE(s.mic->recordedLocations, QStringList({dummyFile(), dummyFile()}));
  QCOMPARE(button(s.popup, "microphoneButton")->text(), QString("Mic B"));
}

// What the sound system calls an input is shown without a trailing colon; the input itself
// keeps its name.
void TestMicrophone::inputLabel_data()
{
  QTest::addColumn<QString>("input");
  QTest::addColumn<QString>("label");
  QTest::newRow("trailing colon") << "default:" << "default";
  QTest::newRow("colon inside") << "hw:0,0" << "hw:0,0";
  QTest::newRow("plain") << "Mic A" << "Mic A";
}

void TestMicrophone::inputLabel()
{
  QFETCH(QString, input);
  QFETCH(QString, label);
  ScriptedDialogProvider dialogs;
  Session s(QStringList{input}, input);
  WAIT_FOR_WARM_UP(s.mic);
  QCOMPARE(button(s.popup, "microphoneButton")->text(), label);
  QCOMPARE(s.mic->selectedInputs, QStringList{input});
  dialogs.answers << QVariant();
  QTest::mouseClick(button(s.popup, "triangleButton"), Qt::LeftButton);
  QCOMPARE(dialogs.calls.first().buttons, QStringList{label});
}

void TestMicrophone::placement_data()
{
  QTest::addColumn<int>("placement");
  QTest::addColumn<QRect>("panel");
  QTest::newRow("centred") << 0 << QRect(285, 260, 430, 280);
  QTest::newRow("near the bottom") << 1 << QRect(285, 480, 430, 280);
}

void TestMicrophone::placement()
{
  QFETCH(int, placement);
  QFETCH(QRect, panel);
  Session s(QStringList(), QString(), false, placement);
  QCOMPARE(s.popup->mainWidget()->geometry(), panel);
  QTRY_COMPARE(s.popup->geometry(), s.window.top.rect());
}

void TestMicrophone::recordIconBlinks()
{
  Session s(QStringList{"Mic"});
  WAIT_FOR_WARM_UP(s.mic);
  START_TAKE(s, 2);
  QVERIFY(showsIcon(s.record, ":/images/voice_recording_1"));
  QTRY_VERIFY(showsIcon(s.record, ":/images/voice_recording_2"));
  QTRY_VERIFY(showsIcon(s.record, ":/images/voice_recording_1"));
  QTRY_VERIFY(showsIcon(s.record, ":/images/voice_recording_2"));
  QTest::mouseClick(s.record, Qt::LeftButton);
  QTRY_COMPARE(s.mic->state(), QMediaRecorder::StoppedState);
  QTRY_VERIFY(showsIcon(s.record, ":/images/voice_recording_1"));
}

TAVO_TEST_MAIN(TestMicrophone)
#include "tst_microphone.moc"
