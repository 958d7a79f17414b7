// Engine records and helpers: pixel buffers, fit rectangles, the resource unscrambler, threads.
#include "testenv.h"

#include "avcommon.h"
#include "avpixelbuffer.h"

#include <QElapsedTimer>
#include <atomic>
#include <cstring>

class TestCommon : public QObject
{
  Q_OBJECT

private slots:
  void pixelBufferFormats_data();
  void pixelBufferFormats();
  void wrapPixelBuffer();
  void fitAndFill();
  void base64Measure_data();
  void base64Measure();
  void base64Decode();
  void threadRunsFunction();
  void sleepTruncatesToMilliseconds();
  void wallClockIsMonotonic();
};

void TestCommon::pixelBufferFormats_data()
{
  QTest::addColumn<int>("format");
  QTest::addColumn<int>("bits");
  QTest::newRow("rgba") << 1 << 32;
  QTest::newRow("three bytes") << 2 << 24;
  QTest::newRow("two bytes") << 3 << 16;
  QTest::newRow("format 0") << 0 << 0;
  QTest::newRow("format 4") << 4 << 0;
}

void TestCommon::pixelBufferFormats()
{
  QFETCH(int, format);
  QFETCH(int, bits);
  AVPixelBuffer *buffer = createPixelBuffer(3, 2, uint32_t(format));
  QVERIFY(buffer);
  QCOMPARE(pixelBufferWidth(buffer), 3u);
  QCOMPARE(pixelBufferHeight(buffer), 2u);
  QCOMPARE(int(pixelBufferBitsPerPixel(buffer)), bits);
  const size_t bytes = size_t(3 * 2 * bits / 8);
  for (size_t i = 0; i < bytes; ++i)
    QCOMPARE(buffer->data[i], uint8_t(0));
  // A copy moves exactly the buffer's bytes: none for the empty formats.
  std::vector<uint8_t> source(64, 0xab);
  pixelBufferSetData(buffer, source.data());
  for (size_t i = 0; i < bytes; ++i)
    QCOMPARE(buffer->data[i], uint8_t(0xab));
  freePixelBuffer(buffer);
  freePixelBuffer(nullptr);
}

void TestCommon::wrapPixelBuffer()
{
  QCOMPARE(::wrapPixelBuffer(nullptr, 2, 2, 1), static_cast<AVPixelBuffer *>(nullptr));
  auto *data = static_cast<uint8_t *>(malloc(16));
  AVPixelBuffer *buffer = ::wrapPixelBuffer(data, 2, 2, 1);
  QVERIFY(buffer);
  QCOMPARE(buffer->data, data);
  freePixelBuffer(buffer); // frees the data too
}

void TestCommon::fitAndFill()
{
  const vec4 fit = aspectFitRect(1920, 1080, vec4{0, 0, 1000, 1000});
  QCOMPARE(fit.x, 0.0f);
  QCOMPARE(fit.y, 218.75f);
  QCOMPARE(fit.z, 1000.0f);
  QCOMPARE(fit.w, 562.5f);
  const vec4 fill = aspectFillRect(1920, 1080, vec4{0, 0, 1000, 1000});
  QVERIFY(qAbs(fill.z - 1777.78f) < 0.01f);
  QCOMPARE(fill.w, 1000.0f);
  QVERIFY(qAbs(fill.x + 388.89f) < 0.01f);
  QCOMPARE(fill.y, 0.0f);
  // A portrait source fits by height, centred horizontally.
  const vec4 portrait = aspectFitRect(500, 1000, vec4{10, 20, 400, 200});
  QCOMPARE(portrait.z, 100.0f);
  QCOMPARE(portrait.w, 200.0f);
  QCOMPARE(portrait.x, 160.0f);
  QCOMPARE(portrait.y, 20.0f);
}

void TestCommon::base64Measure_data()
{
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<int>("size");
  QTest::newRow("four characters") << QByteArray("QUJD") << 3;
  QTest::newRow("one pad") << QByteArray("QUI=") << 2;
  QTest::newRow("two pads") << QByteArray("QQ==") << 1;
  QTest::newRow("too short") << QByteArray("QU") << 0;
  QTest::newRow("terminator not counted") << QByteArray("QUJD", 5) << 3;
}

void TestCommon::base64Measure()
{
  QFETCH(QByteArray, input);
  QFETCH(int, size);
  QCOMPARE(decodeBase64Xor(input.constData(), input.size(), nullptr, nullptr), size);
}

void TestCommon::base64Decode()
{
  const unsigned char zero[4] = {0, 0, 0, 0};
  unsigned char out[16] = {};
  QCOMPARE(decodeBase64Xor("QUJD", 4, out, zero), 3);
  QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 3), QByteArray("ABC"));
  QCOMPARE(decodeBase64Xor("QUI=", 4, out, zero), 2);
  QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 2), QByteArray("AB"));
  QCOMPARE(decodeBase64Xor("QQ==", 4, out, zero), 1);
  QCOMPARE(out[0], uint8_t('A'));
  QCOMPARE(decodeBase64Xor("=QUJD", 5, out, zero), 0);

  // The key rolls over the whole output, four bytes at a time.
  const unsigned char key[4] = {1, 2, 3, 4};
  const QByteArray plain = "Hello shader";
  QByteArray scrambled = plain;
  for (int i = 0; i < scrambled.size(); ++i)
    scrambled[i] = char(scrambled[i] ^ key[i % 4]);
  const QByteArray text = scrambled.toBase64();
  QCOMPARE(decodeBase64Xor(text.constData(), text.size(), out, key), plain.size());
  QCOMPARE(QByteArray(reinterpret_cast<char *>(out), plain.size()), plain);
}

void TestCommon::threadRunsFunction()
{
  struct Shared
  {
    std::atomic<int> calls{0};
    AVThread *seen = nullptr;
  } shared;
  AVThread *thread = avThreadCreate(
    [](AVThread *self, void *argument) {
      auto *s = static_cast<Shared *>(argument);
      s->seen = self;
      ++s->calls;
      return 7;
    },
    &shared);
  QCOMPARE(shared.calls.load(), 0); // created, not started
  avThreadStart(thread);
  avThreadWait(thread);
  QCOMPARE(shared.calls.load(), 1);
  QCOMPARE(shared.seen, thread);
  avThreadDestroy(thread);
  avThreadDestroy(nullptr);
}

void TestCommon::sleepTruncatesToMilliseconds()
{
  QElapsedTimer timer;
  timer.start();
  avThreadSleep(0.0005); // 0 ms; generous bound for a loaded machine
  QVERIFY2(timer.elapsed() < 50, qPrintable(QString::number(timer.elapsed())));
  timer.restart();
  avThreadSleep(0.01);
  QVERIFY(timer.elapsed() >= 10);
}

void TestCommon::wallClockIsMonotonic()
{
  const double a = avWallClock();
  avThreadSleep(0.02);
  const double b = avWallClock();
  QVERIFY2(b - a >= 0.019 && b - a < 1.0, qPrintable(QString::number(b - a)));
}

TAVO_TEST_CORE_MAIN(TestCommon)
#include "tst_common.moc"
