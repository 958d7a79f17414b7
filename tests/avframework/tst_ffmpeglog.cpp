// FFmpeg's messages as the program's log shows them: warnings and errors marked as FFmpeg's,
// below the level nothing, a message sent in parts one line, and a flood of one line, of one
// format or of lines taking turns written as a few lines and a count, however many threads
// send it, every message accounted for.
#include "testenv.h"

#include "avffmpeglog.h"

#include <QRegularExpression>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {
AVClass classNamed(const char *name)
{
  AVClass avClass{};
  avClass.class_name = name;
  avClass.item_name = av_default_item_name;
  avClass.version = LIBAVUTIL_VERSION_INT;
  return avClass;
}
const AVClass kCafClass = classNamed("caf");
const AVClass kDecoderClass = classNamed("h264");
// What av_log takes for a context: a record whose first member is its class.
struct FakeContext
{
  const AVClass *avClass = &kDecoderClass;
};
FakeContext g_caf{&kCafClass};
FakeContext g_otherCaf{&kCafClass};
// A decoder on twelve threads logs from a context on each.
constexpr int kDecoderThreads = 12;
FakeContext g_decoders[kDecoderThreads];
constexpr int kFirstDecoder = 3; // the first decoder's index in contextAt

void *contextAt(int index)
{
  if (index >= kFirstDecoder)
    return &g_decoders[index - kFirstDecoder];
  FakeContext *const contexts[] = {nullptr, &g_caf, &g_otherCaf};
  return contexts[index];
}

QString nameAt(int index)
{
  if (index > kFirstDecoder)
    return QString("{decoder %1}").arg(index - kFirstDecoder + 1);
  const char *const names[] = {"", "{caf}", "{other caf}", "{decoder}"};
  return names[index];
}

std::mutex g_capturedMutex;
QStringList g_captured;

void capture(QtMsgType type, const QMessageLogContext &, const QString &message)
{
  static const char kTypes[] = "DWCFI"; // in QtMsgType's order
  std::lock_guard<std::mutex> lock(g_capturedMutex);
  g_captured << QString(QLatin1Char(kTypes[type])) + ' ' + message;
}

// What the log received while it ran, after a flush; the contexts' addresses named.
template <typename Run> QStringList captureOf(Run run)
{
  g_captured.clear();
  const QtMessageHandler previous = qInstallMessageHandler(capture);
  run();
  avFlushFFmpegLog();
  qInstallMessageHandler(previous);
  QStringList lines = g_captured;
  for (int i = 1; i < kFirstDecoder + kDecoderThreads; ++i)
    lines.replaceInStrings(QString::asprintf("%p", contextAt(i)), nameAt(i));
  return lines;
}

// The messages the lines stand for: one a line, or the count the line gives.
qint64 accountedFor(const QStringList &lines)
{
  static const QRegularExpression count("FFmpeg: (?:last message repeated (\\d+) times|(\\d+) more like )");
  qint64 total = 0;
  for (const QString &line : lines) {
    const QRegularExpressionMatch match = count.match(line);
    total += match.hasMatch() ? (match.captured(1) + match.captured(2)).toLongLong() : 1;
  }
  return total;
}

int bytesOf(const QStringList &lines)
{
  int bytes = 0;
  for (const QString &line : lines)
    bytes += line.size() + 1;
  return bytes;
}
} // namespace

// One av_log call, times times; the argument is the call's index. No format: a flush.
struct Step
{
  int context; // see contextAt
  int level;
  const char *format;
  int times;
  int thread = 0; // 0: the test's own, else a Helper's
};
using Script = QVector<Step>;
Q_DECLARE_METATYPE(Script)

// A thread of the script's: it runs one step at a time while the test's thread waits, so the
// steps take turns between threads in the script's order.
class Helper
{
public:
  Helper() : _thread([this] { _serve(); }) {}
  ~Helper()
  {
    run(nullptr);
    _thread.join();
  }
  void run(std::function<void()> job) // no job: the thread ends
  {
    std::unique_lock<std::mutex> lock(_mutex);
    _job = std::move(job);
    _pending = true;
    _changed.notify_all();
    _changed.wait(lock, [this] { return !_pending; });
  }

private:
  void _serve()
  {
    std::unique_lock<std::mutex> lock(_mutex);
    for (bool more = true; more;) {
      _changed.wait(lock, [this] { return _pending; });
      more = bool(_job);
      if (more)
        _job();
      _pending = false;
      _changed.notify_all();
    }
  }

  std::mutex _mutex;
  std::condition_variable _changed;
  std::function<void()> _job;
  bool _pending = false;
  std::thread _thread;
};

class TestFFmpegLog : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void installKeepsLaterLevel();
  void writes_data();
  void writes();
  void threadsShareTheCounts();
};

void TestFFmpegLog::initTestCase()
{
  avInstallFFmpegLog();
  QCOMPARE(av_log_get_level(), AV_LOG_WARNING);
}

void TestFFmpegLog::installKeepsLaterLevel()
{
  av_log_set_level(AV_LOG_ERROR);
  avInstallFFmpegLog();
  const int level = av_log_get_level();
  av_log_set_level(AV_LOG_WARNING);
  QCOMPARE(level, AV_LOG_ERROR);
}

void TestFFmpegLog::writes_data()
{
  QTest::addColumn<Script>("script");
  QTest::addColumn<int>("rounds");
  QTest::addColumn<QStringList>("expected");
  const int W = AV_LOG_WARNING;
  const char *const chunk = "skipping CAF chunk\n";
  const char *const at = "skipping chunk at %d\n";
  const char *const other = "invalid frame size\n";
  const char *const third = "unknown tag\n";
  const QString caf = "W FFmpeg: [caf @ {caf}] ";

  QTest::newRow("errors are critical")
    << Script{{3, AV_LOG_ERROR, "error while decoding MB %d\n", 1}, {3, AV_LOG_FATAL, "out of memory\n", 1},
              {0, AV_LOG_PANIC, "assertion failed\n", 1}} // without a context, without a prefix
    << 1
    << QStringList{"C FFmpeg: [h264 @ {decoder}] error while decoding MB 0", "C FFmpeg: [h264 @ {decoder}] out of memory",
                   "C FFmpeg: assertion failed"};
  QTest::newRow("below the level")
    << Script{{1, AV_LOG_INFO, chunk, 1000}, {1, AV_LOG_VERBOSE, at, 1000}, {3, AV_LOG_DEBUG, at, 1000},
              {3, AV_LOG_TRACE, other, 1000}}
    << 1 << QStringList();
  QTest::newRow("repeated a million times")
    << Script{{1, W, chunk, 1000000}} << 1
    << QStringList{caf + "skipping CAF chunk", "W FFmpeg: last message repeated 999999 times"};
  QTest::newRow("one format, the argument changing")
    << Script{{1, W, at, 100000}} << 1
    << QStringList{caf + "skipping chunk at 0", caf + "skipping chunk at 1", caf + "skipping chunk at 2",
                   "W FFmpeg: 99997 more like \"[caf @ {caf}] skipping chunk at 2\" not written"};
  QTest::newRow("three lines taking turns, one from another context")
    << Script{{1, W, chunk, 1}, {1, W, other, 1}, {2, W, third, 1}} << 100000
    << QStringList{caf + "skipping CAF chunk",
                   caf + "invalid frame size",
                   "W FFmpeg: [caf @ {other caf}] unknown tag",
                   caf + "skipping CAF chunk",
                   caf + "invalid frame size",
                   "W FFmpeg: [caf @ {other caf}] unknown tag",
                   caf + "skipping CAF chunk",
                   caf + "invalid frame size",
                   "W FFmpeg: [caf @ {other caf}] unknown tag",
                   "W FFmpeg: 99997 more like \"[caf @ {caf}] skipping CAF chunk\" not written",
                   "W FFmpeg: 99997 more like \"[caf @ {caf}] invalid frame size\" not written",
                   "W FFmpeg: 99997 more like \"[caf @ {other caf}] unknown tag\" not written"};
  QTest::newRow("a flush writes the count and starts afresh")
    << Script{{1, W, chunk, 5}, {0, 0, nullptr, 1}, {1, W, chunk, 2}, {1, W, at, 4}, {0, 0, nullptr, 1}, {1, W, at, 1}}
    << 1
    << QStringList{caf + "skipping CAF chunk", "W FFmpeg: last message repeated 4 times", caf + "skipping CAF chunk",
                   "W FFmpeg: last message repeated 1 times", caf + "skipping chunk at 0", caf + "skipping chunk at 1",
                   caf + "skipping chunk at 2", "W FFmpeg: 1 more like \"[caf @ {caf}] skipping chunk at 2\" not written",
                   caf + "skipping chunk at 0"};
  QTest::newRow("control characters from a file")
    << Script{{1, W, "title \x1b[31mred\x07\r\n", 1}} << 1 << QStringList{caf + "title ?[31mred?"};

  const char *const decoding = "error while decoding MB %d\n";
  Script decoders;
  for (int i = 0; i < kDecoderThreads; ++i)
    decoders << Step{kFirstDecoder + i, AV_LOG_ERROR, decoding, 1};
  QTest::newRow("one message from a decoder's twelve contexts")
    << decoders << 1000
    << QStringList{"C FFmpeg: [h264 @ {decoder}] error while decoding MB 0",
                   "C FFmpeg: [h264 @ {decoder 2}] error while decoding MB 0",
                   "C FFmpeg: [h264 @ {decoder 3}] error while decoding MB 0",
                   "C FFmpeg: 11997 more like \"[h264 @ {decoder 3}] error while decoding MB 0\" not written"};
  // As the MP4 and CAF demuxers send it.
  const char *const corrupt = "Packet corrupt (stream = %d, dts = 22528)";
  QTest::newRow("a message in two parts")
    << Script{{1, W, corrupt, 1}, {1, W, ".\n", 1}} << 3
    << QStringList{caf + "Packet corrupt (stream = 0, dts = 22528).", "W FFmpeg: last message repeated 2 times"};
  QTest::newRow("parts from two threads taking turns")
    << Script{{1, W, corrupt, 1, 1}, {3, W, "error while decoding MB %d", 1, 2}, {1, W, ".\n", 1, 1},
              {3, W, ", bytestream 1746\n", 1, 2}}
    << 1
    << QStringList{caf + "Packet corrupt (stream = 0, dts = 22528).",
                   "W FFmpeg: [h264 @ {decoder}] error while decoding MB 0, bytestream 1746"};
}

void TestFFmpegLog::writes()
{
  QFETCH(Script, script);
  QFETCH(int, rounds);
  QFETCH(QStringList, expected);
  qint64 kept = 0; // messages: calls ending a line
  Helper helpers[2];
  const QStringList lines = captureOf([&] {
    for (int round = 0; round < rounds; ++round)
      for (const Step &step : script) {
        const auto calls = [&] {
          for (int i = 0; i < step.times; ++i) {
            if (!step.format) {
              avFlushFFmpegLog();
              continue;
            }
            av_log(contextAt(step.context), step.level, step.format, i);
            kept += step.level <= AV_LOG_WARNING && QByteArray(step.format).endsWith('\n');
          }
        };
        if (step.thread == 0)
          calls();
        else
          helpers[step.thread - 1].run(calls);
      }
  });
  QCOMPARE(lines, expected);
  QCOMPARE(accountedFor(lines), kept);
  QVERIFY2(bytesOf(lines) < 2048, qPrintable(QString("%1 bytes written").arg(bytesOf(lines))));
}

// A decoder's threads and a read thread log at once, each from its own context, one line each
// and another that all of them send: every message is counted once, and the lines stay few.
void TestFFmpegLog::threadsShareTheCounts()
{
  constexpr int kThreads = 1 + kDecoderThreads;
  constexpr int kEach = 20000;
  const QStringList lines = captureOf([] {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([t] {
        for (int i = 0; i < kEach; ++i) {
          av_log(contextAt(t == 0 ? 1 : kFirstDecoder + t - 1), AV_LOG_WARNING, "frame %d damaged\n", i);
          av_log(nullptr, AV_LOG_ERROR, "read failed\n");
        }
      });
    for (std::thread &thread : threads)
      thread.join();
  });
  QCOMPARE(accountedFor(lines), qint64(2 * kThreads * kEach));
  // A thread held back for more than a second starts its bursts again: room for a few.
  QVERIFY2(bytesOf(lines) < 8192, qPrintable(lines.join('\n')));
}

TAVO_TEST_CORE_MAIN(TestFFmpegLog)
#include "tst_ffmpeglog.moc"
