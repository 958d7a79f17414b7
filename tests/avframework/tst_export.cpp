// Movie export: encoder choice, files that decode back with the right frames, size, codecs,
// tags and sound, a frame that matches the offscreen compose, end time, and the codes and
// leftovers of cancelled and failed exports.
#include "testenv.h"

#include "avcomposition.h"
#include "avencoderchoice.h"
#include "avengine.h"
#include "avexporter.h"
#include "avheadlessrenderer.h"
#include "avimageloader.h"
#include "avpixelbuffer.h"
#include "avvideosegment.h"
#include "avvideostream.h"
#include "ffmpegcli.h"
#include "fakesegments.h"
#include "filesizelimit.h"
#include "mediafixtures.h"
#include "testsounds.h"
#include "videofixtures.h"
#include "wavfiles.h"

#include <QDir>
#include <QFileInfo>
#include "avcommon.h"
#include <QTemporaryDir>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace MediaFixtures;

Q_DECLARE_METATYPE(MediaFixtures::VideoCodec)

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 30;
// VP9 at its default quality is far too slow for tests.
const char *const kFastVp9 = "deadline=realtime:cpu-used=8:row-mt=1";

struct StreamInfo
{
  AVMediaType type;
  QString codec;
  uint32_t tag;
  QString alphaMode;
  double seconds; // the stream's own duration
};

QVector<StreamInfo> streamsOf(const QString &path)
{
  QVector<StreamInfo> streams;
  AVFormatContext *context = nullptr;
  if (avformat_open_input(&context, path.toUtf8().constData(), nullptr, nullptr) < 0)
    return streams;
  avformat_find_stream_info(context, nullptr);
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    const AVStream *stream = context->streams[i];
    const AVDictionaryEntry *alpha = av_dict_get(stream->metadata, "alpha_mode", nullptr, 0);
    streams.push_back({stream->codecpar->codec_type, avcodec_get_name(stream->codecpar->codec_id),
                       stream->codecpar->codec_tag, alpha ? alpha->value : QString(),
                       stream->duration > 0 ? double(stream->duration) * av_q2d(stream->time_base) : 0});
  }
  avformat_close_input(&context);
  return streams;
}

// Peak signal-to-noise ratio of two RGB pictures of one size, in dB.
double psnr(const QImage &a, const QImage &b)
{
  const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
  if (x.size() != y.size())
    return 0;
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    const uchar *p = x.constScanLine(row), *q = y.constScanLine(row);
    for (int i = 0; i < x.width() * 3; ++i)
      sum += double(p[i] - q[i]) * (p[i] - q[i]);
  }
  const double mse = sum / (double(x.width()) * x.height() * 3);
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Rising zero crossings of the first channel per second of tone. Only swings from below -0.25
// count, so the decoder's quiet padding after the end adds none.
double frequencyOf(const DecodedAudio &audio, double seconds)
{
  int crossings = 0;
  bool low = false;
  for (int i = 0; i < audio.samples.size(); i += audio.channels) {
    const float sample = audio.samples[i];
    if (sample < -0.25f)
      low = true;
    else if (low && sample >= 0) {
      ++crossings;
      low = false;
    }
  }
  return crossings / seconds;
}

// Colour that changes smoothly both ways, so that a misplaced chroma plane shows everywhere while
// the chroma subsampling itself costs little.
QImage gradientImage(int width, int height)
{
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int r = 255 * x / width, g = 255 * y / height;
      image.setPixel(x, y, qRgb(r, g, 255 - (r + g) / 2));
    }
  return image;
}

// An engine picture (BGRA bytes) at the given size.
QImage scaledPicture(const AVPixelBuffer *buffer, QSize size)
{
  if (!buffer)
    return QImage();
  const QImage picture(buffer->data, int(buffer->width), int(buffer->height), QImage::Format_ARGB32);
  return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Where the first channel first swings beyond the level, and where it last does, in seconds;
// -1 when it never does.
QPair<double, double> soundSpan(const DecodedAudio &audio, float level)
{
  int first = -1, last = -1;
  for (int i = 0; i < audio.samples.size(); i += audio.channels)
    if (std::abs(audio.samples[i]) >= level) {
      if (first < 0)
        first = i / audio.channels;
      last = i / audio.channels;
    }
  const double rate = audio.sampleRate;
  return first < 0 ? qMakePair(-1.0, -1.0) : qMakePair(first / rate, last / rate);
}

// Root mean square of the first channel over [from, to) seconds.
double rmsOf(const DecodedAudio &audio, double from, double to)
{
  double sum = 0;
  int count = 0;
  for (int frame = int(from * audio.sampleRate); frame < int(to * audio.sampleRate); ++frame, ++count) {
    const int i = frame * audio.channels;
    const double sample = i < audio.samples.size() ? audio.samples[i] : 0;
    sum += sample * sample;
  }
  return count ? std::sqrt(sum / count) : 0;
}

// Composes until every layer has its picture for the time.
bool readyAt(AVHeadlessRenderer &renderer, AVComposition *composition, double time)
{
  return QTest::qWaitFor([&] {
    renderer.compose(time, true);
    return composition->isReadyAt(time);
  }, 5000);
}

// A layer that never becomes ready: an export waits for it until cancelled.
class NeverReadyLayer : public FakeLayer
{
public:
  using FakeLayer::FakeLayer;
  bool isReady() override { return false; }
};

// A layer ready only once it has been waited for, drawn as nothing before, as a clip whose seek
// decodes far from its key frame.
class SlowLayer : public FakeLayer
{
public:
  using FakeLayer::FakeLayer;
  bool isReady() override { return ++_asked > 3; }
  void update(double time, bool pass, bool playing) override
  {
    if (_asked > 3)
      FakeLayer::update(time, pass, playing);
  }

private:
  std::atomic<int> _asked{0};
};

struct Messages
{
  AVMutex mutex;
  QVector<double> progress;
  int finished = 0;
  double result = 1;
  bool cancelAtFirstProgress = false;
};

void collect(AVExporter *exporter, int message, double value, void *user)
{
  auto *messages = static_cast<Messages *>(user);
  AVMutexLocker locker(&messages->mutex);
  if (message == kAVExportProgress) {
    messages->progress << value;
    if (messages->cancelAtFirstProgress)
      exporter->cancel();
  } else {
    ++messages->finished;
    messages->result = value;
  }
}
} // namespace

class TestExport : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void encoderChoiceEndsInSoftware();
  void partialNameKeepsExtension();
  void h264WithSoundMatchesCompose();
  void volumeFadeIsHeard();
  void hevcCarriesItsTag();
  void webmVp9Opus_data();
  void webmVp9Opus();
  void monoSound_data();
  void monoSound();
  void withoutLoadedSoundNoAudioStream();
  void endTimeGivesCompleteShorterFile();
  void cancelLeavesNoFile();
  void cancelDuringReadinessWait();
  void failuresLeaveNoFile_data();
  void failuresLeaveNoFile();
  void withoutRendererFailsInsteadOfEmptyMovie();
  void outputNameTakenByFolder();
  void oddSized420Video_data();
  void oddSized420Video();
  void convertedVideoAtItsSize_data();
  void convertedVideoAtItsSize();
  void soundFileStartsAtItsSegmentStart_data();
  void soundFileStartsAtItsSegmentStart();
  void shortSoundExportsWhole_data();
  void shortSoundExportsWhole();
  void damagedClipExportsAlikeEveryTime();
  void slowLayerWaitedFor();

private:
  // The scene: background, a picture fading in over its first half second, a caption from 0.5 s.
  void buildScene(double seconds);
  // Runs one export to the end and returns its messages.
  void exportTo(const QString &path, int kind, bool alpha = false, float endTime = 0, int channels = 2,
                QSize size = {kWidth, kHeight}, int fps = kFps, bool callback = true);
  QStringList filesLeft() const;
  // A fresh engine on a composition of the given size.
  void useFrameSize(QSize size);

  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVImageLoader> _loader;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVEngine> _engine;
  std::unique_ptr<QTemporaryDir> _dir;
  Messages _messages;
};

void TestExport::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY2(_host->isValid(), "no GL context: run under Xvfb");
  _loader = std::make_unique<AVImageLoader>();
}

void TestExport::init()
{
  _dir = std::make_unique<QTemporaryDir>();
  _composition = std::make_unique<AVComposition>(kWidth, kHeight, 44100, 2, nullptr);
  _composition->setRenderSize(kWidth, kHeight, true);
  _host->setComposition(_composition.get());
  _engine = std::make_unique<AVEngine>(_composition.get(), _loader.get(), nullptr);
  AVMutexLocker locker(&_messages.mutex);
  _messages.progress.clear();
  _messages.finished = 0;
  _messages.result = 1;
  _messages.cancelAtFirstProgress = false;
}

void TestExport::cleanup()
{
  _engine.reset();
  _composition.reset();
  _host->setComposition(nullptr);
  _dir.reset();
}

void TestExport::buildScene(double seconds)
{
  const QString picture = _dir->filePath("quadrants.png");
  QVERIFY(writePicture(picture, kWidth, kHeight));
  _engine->setBackgroundColor(makeVec4Opaque(0.1f, 0.1f, 0.4f));
  _engine->addImageSegment(1, picture.toUtf8().constData(), false, 0, float(seconds));
  _engine->addTransition(1, 1, 0, float(0.5 / seconds), 1);
  _engine->setTransitionValue(1, 1, false, kAVPropertyTransparency, 1, 0);
  _engine->setTransitionValue(1, 1, true, kAVPropertyTransparency, 0, 0);
  _engine->addTextSegment(2, "Tavo", 0.5f, float(seconds - 0.5));
}

void TestExport::exportTo(const QString &path, int kind, bool alpha, float endTime, int channels, QSize size,
                          int fps, bool callback)
{
  AVExporter exporter(size.width(), size.height(), 1000000, fps, kind, alpha, 44100, channels, 128000, endTime,
                      path.toUtf8().constData(), nullptr);
  exporter.setComposition(_composition.get());
  exporter.setImageLoader(_loader.get());
  if (callback)
    exporter.setCallback(collect, &_messages);
  exporter.setGLHost(_host.get());
  if (kind == 3)
    exporter.setVideoOptions(kFastVp9);
  _host->setExportOwner(exporter.contextOwner());
  exporter.start();
  exporter.wait();
  _host->setExportOwner(nullptr);
  QVERIFY(!exporter.isRunning());
}

QStringList TestExport::filesLeft() const
{
  return QDir(_dir->path()).entryList({"*.mp4", "*.webm", "*.mov", "*.partial*"}, QDir::Files);
}

void TestExport::useFrameSize(QSize size)
{
  _engine.reset();
  _composition = std::make_unique<AVComposition>(size.width(), size.height(), 44100, 2, nullptr);
  _composition->setRenderSize(size.width(), size.height(), true);
  _host->setComposition(_composition.get());
  _engine = std::make_unique<AVEngine>(_composition.get(), _loader.get(), nullptr);
}

void TestExport::encoderChoiceEndsInSoftware()
{
  QVERIFY(platformHardwareEncoders().empty());
  const AVCodec *h264 = chooseVideoEncoder(0);
  const AVCodec *hevc = chooseVideoEncoder(1);
  const AVCodec *vp9 = chooseVideoEncoder(3);
  QVERIFY(h264 && hevc && vp9);
  QCOMPARE(QString(h264->name), QString("libx264"));
  QCOMPARE(QString(hevc->name), QString("libx265"));
  QCOMPARE(QString(vp9->name), QString("libvpx-vp9"));
  QVERIFY(!chooseVideoEncoder(2));
  QVERIFY(!chooseVideoEncoder(-1));
  QCOMPARE(QString(exportContainerName(3)), QString("webm"));
  QVERIFY(!exportContainerName(0));
  QVERIFY(probeVideoEncoder(h264));
}

void TestExport::partialNameKeepsExtension()
{
  QCOMPARE(partialExportPath("/a/b/movie.mp4"), std::string("/a/b/movie.partial.mp4"));
  QCOMPARE(partialExportPath("/a/b.c/movie"), std::string("/a/b.c/movie.partial"));
  QCOMPARE(partialExportPath("/a/.hidden"), std::string("/a/.hidden.partial"));
  QCOMPARE(partialExportPath("clip.final.webm"), std::string("clip.final.partial.webm"));
}

void TestExport::h264WithSoundMatchesCompose()
{
  buildScene(2.0);
  _composition->addSegment(new SineSound(0, 2.0, 440), 10);
  const QString path = _dir->filePath("movie.mp4");
  exportTo(path, 0);
  QCOMPARE(_messages.finished, 1);
  QCOMPARE(_messages.result, 0.0);
  QCOMPARE(filesLeft(), QStringList{"movie.mp4"});

  // Progress climbs to the end.
  QVERIFY(!_messages.progress.isEmpty());
  for (int i = 1; i < _messages.progress.size(); ++i)
    QVERIFY(_messages.progress[i] >= _messages.progress[i - 1]);
  QVERIFY(_messages.progress.last() > 0.98 && _messages.progress.last() <= 1.0);

  const QVector<StreamInfo> streams = streamsOf(path);
  QCOMPARE(streams.size(), 2);
  QCOMPARE(streams[0].codec, QString("h264"));
  QCOMPARE(streams[1].codec, QString("aac"));

  const DecodedVideo video = decodeVideo(path);
  QVERIFY(video.ok);
  QCOMPARE(video.frames.size(), 60);
  QCOMPARE(video.width, kWidth);
  QCOMPARE(video.height, kHeight);

  const DecodedAudio audio = decodeAudio(path);
  QVERIFY(audio.ok);
  QCOMPARE(audio.sampleRate, 44100);
  QCOMPARE(audio.channels, 2);
  // The last, shorter frame carries only the samples there were: the stream ends at 2 s (the
  // decoder still pads the last frame).
  QVERIFY2(std::abs(streams[1].seconds - 2.0) < 0.001, qPrintable(QString::number(streams[1].seconds)));
  QVERIFY2(std::abs(audio.seconds() - 2.0) < 0.025, qPrintable(QString::number(audio.seconds())));
  QVERIFY2(std::abs(frequencyOf(audio, 2.0) - 440) < 2, qPrintable(QString::number(frequencyOf(audio, 2.0))));

  // Frames of the file look like the offscreen compose of their time, fading and captioned.
  AVHeadlessRenderer renderer(_host.get(), _composition.get());
  QVERIFY(renderer.isValid());
  // The export's end put the layers to sleep: they load again first.
  QVERIFY(readyAt(renderer, _composition.get(), 1.0));
  for (int index : {6, 45}) {
    const QImage composed = renderer.compose(double(index) / kFps, true);
    const double db = psnr(composed, video.frames[index]);
    QVERIFY2(db > 30, qPrintable(QString("frame %1: %2 dB").arg(index).arg(db)));
  }
}

// A linear fade-in over the first second of a tone: the exported sound rises with it and then
// holds at the full level. The mix takes the layer's current volume once per pass, so the
// rise is a staircase that may lag the curve by up to a pass (a quarter second here).
void TestExport::volumeFadeIsHeard()
{
  buildScene(2.0);
  auto *tone = new SineSound(0, 2.0, 440);
  tone->setId(10);
  _composition->addSegment(tone, 10);
  _engine->addTransition(10, 1, 0, 0.5f, 1);
  _engine->setTransitionValue(10, 1, false, kAVPropertyVolume, 0, 0);
  _engine->setTransitionValue(10, 1, true, kAVPropertyVolume, 1, 0);
  const QString path = _dir->filePath("fade.mp4");
  exportTo(path, 0);
  QCOMPARE(_messages.result, 0.0);

  const DecodedAudio audio = decodeAudio(path);
  QVERIFY(audio.ok);
  const auto rmsAround = [&](double seconds) {
    const int from = int((seconds - 0.05) * audio.sampleRate) * audio.channels;
    const int to = int((seconds + 0.05) * audio.sampleRate) * audio.channels;
    double sum = 0;
    for (int i = from; i < to; ++i)
      sum += double(audio.samples[i]) * audio.samples[i];
    return std::sqrt(sum / (to - from));
  };
  const double full = 0.5 / std::sqrt(2.0);
  double previous = 0;
  for (double t : {0.05, 0.25, 0.5, 0.75, 1.05}) {
    const double level = rmsAround(t) / full;
    QVERIFY2(level >= previous - 0.01 && level <= t + 0.05 && level >= t - 0.3,
             qPrintable(QString("at %1 s the level is %2").arg(t).arg(level)));
    previous = level;
  }
  const double held = rmsAround(1.5) / full;
  QVERIFY2(std::abs(held - 1.0) < 0.05, qPrintable(QString("after the fade the level is %1").arg(held)));
}

void TestExport::hevcCarriesItsTag()
{
  buildScene(1.0);
  const QString path = _dir->filePath("movie.mp4");
  exportTo(path, 1);
  QCOMPARE(_messages.result, 0.0);
  const QVector<StreamInfo> streams = streamsOf(path);
  QCOMPARE(streams.size(), 1);
  QCOMPARE(streams[0].codec, QString("hevc"));
  QCOMPARE(streams[0].tag, uint32_t(MKTAG('h', 'v', 'c', '1')));
  const DecodedVideo video = decodeVideo(path);
  QCOMPARE(video.frames.size(), 30);
}

void TestExport::webmVp9Opus_data()
{
  QTest::addColumn<bool>("alpha");
  QTest::newRow("opaque") << false;
  QTest::newRow("with alpha") << true;
}

void TestExport::webmVp9Opus()
{
  QFETCH(bool, alpha);
  buildScene(1.0);
  // A second that does not fall on a frame boundary: ceil(1.01 x 30) frames.
  _composition->addSegment(new SineSound(0, 1.01, 1000), 10);
  const QString path = _dir->filePath("movie.webm");
  exportTo(path, 3, alpha);
  QCOMPARE(_messages.result, 0.0);
  const QVector<StreamInfo> streams = streamsOf(path);
  QCOMPARE(streams.size(), 2);
  QCOMPARE(streams[0].codec, QString("vp9"));
  QCOMPARE(streams[0].alphaMode, alpha ? QString("1") : QString());
  QCOMPARE(streams[1].codec, QString("opus"));
  const DecodedVideo video = decodeVideo(path);
  QCOMPARE(video.frames.size(), 31);
  QCOMPARE(video.width, kWidth);
  const DecodedAudio audio = decodeAudio(path);
  QCOMPARE(audio.sampleRate, 48000);
  QVERIFY2(std::abs(audio.seconds() - 1.01) < 0.012, qPrintable(QString::number(audio.seconds())));
  QVERIFY2(std::abs(frequencyOf(audio, 1.01) - 1000) < 2, qPrintable(QString::number(frequencyOf(audio, 1.01))));
}

void TestExport::monoSound_data()
{
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("name");
  QTest::newRow("aac, planar float") << 0 << "mono.mp4";
  QTest::newRow("opus, interleaved 16-bit") << 3 << "mono.webm";
}

// One channel: the resampled samples are counted by their real size, not two bytes a channel.
void TestExport::monoSound()
{
  QFETCH(int, kind);
  QFETCH(QString, name);
  buildScene(1.0);
  _composition->addSegment(new SineSound(0, 1.0, 500), 10);
  const QString path = _dir->filePath(name);
  exportTo(path, kind, false, 0, 1);
  QCOMPARE(_messages.result, 0.0);
  const DecodedAudio audio = decodeAudio(path);
  QVERIFY(audio.ok);
  QCOMPARE(audio.channels, 1);
  QVERIFY2(std::abs(audio.seconds() - 1.0) < 0.025, qPrintable(QString::number(audio.seconds())));
  QVERIFY2(std::abs(frequencyOf(audio, 1.0) - 500) < 2, qPrintable(QString::number(frequencyOf(audio, 1.0))));
}

void TestExport::withoutLoadedSoundNoAudioStream()
{
  buildScene(1.0);
  auto *pending = new SineSound(0, 1, 440);
  pending->setLoadError(kAVLoadPending);
  _composition->addSegment(pending, 10);
  const QString path = _dir->filePath("silent.mp4");
  exportTo(path, 0);
  QCOMPARE(_messages.result, 0.0);
  const QVector<StreamInfo> streams = streamsOf(path);
  QCOMPARE(streams.size(), 1);
  QCOMPARE(streams[0].type, AVMEDIA_TYPE_VIDEO);
  QCOMPARE(decodeVideo(path).frames.size(), 30);
  // Progress follows the video alone.
  QVERIFY(_messages.progress.last() > 0.98);
}

void TestExport::endTimeGivesCompleteShorterFile()
{
  buildScene(3.0);
  _composition->addSegment(new SineSound(0, 3.0, 440), 10);
  const QString path = _dir->filePath("short.mp4");
  exportTo(path, 0, false, 1.0f);
  QCOMPARE(_messages.result, 0.0);
  QCOMPARE(filesLeft(), QStringList{"short.mp4"});
  QCOMPARE(decodeVideo(path).frames.size(), 30);
  const DecodedAudio audio = decodeAudio(path);
  QVERIFY2(std::abs(audio.seconds() - 1.0) < 0.05, qPrintable(QString::number(audio.seconds())));
  QVERIFY(_messages.progress.last() >= 0.99);
}

void TestExport::cancelLeavesNoFile()
{
  buildScene(30.0);
  _composition->addSegment(new SineSound(0, 30.0, 440), 10);
  _messages.cancelAtFirstProgress = true;
  exportTo(_dir->filePath("cancelled.mp4"), 0);
  QCOMPARE(_messages.finished, 1);
  QCOMPARE(_messages.result, -1.0);
  QVERIFY(_messages.progress.size() < 5);
  QCOMPARE(filesLeft(), QStringList());
}

void TestExport::cancelDuringReadinessWait()
{
  _composition->addSegment(new NeverReadyLayer(0, 2), 1);
  const QString path = _dir->filePath("waiting.mp4");
  AVExporter exporter(kWidth, kHeight, 1000000, kFps, 0, false, 44100, 2, 128000, 0, path.toUtf8().constData(),
                      nullptr);
  exporter.setComposition(_composition.get());
  exporter.setCallback(collect, &_messages);
  exporter.setGLHost(_host.get());
  _host->setExportOwner(exporter.contextOwner());
  exporter.start();
  QTest::qWait(300);
  QVERIFY(exporter.isRunning());
  exporter.cancel();
  exporter.wait();
  _host->setExportOwner(nullptr);
  QCOMPARE(_messages.result, -1.0);
  QVERIFY(_messages.progress.isEmpty());
  QCOMPARE(filesLeft(), QStringList());
}

void TestExport::failuresLeaveNoFile_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("code");
  QTest::addColumn<double>("seconds");
  // Bytes short of the whole movie that a file may hold; 0: no limit.
  QTest::addColumn<int>("shortBy");
  QTest::newRow("unwritable folder") << "missing/movie.mp4" << 0 << -11 << 1.0 << 0;
  QTest::newRow("kind without encoder") << "movie.mov" << 2 << -3 << 1.0 << 0;
  QTest::newRow("no container for the name") << "movie.unknown-extension" << 0 << -2 << 1.0 << 0;
  // Nothing placed, or nothing opened yet: no frame to write, not an empty "movie".
  QTest::newRow("composition without length") << "movie.mp4" << 0 << -19 << 0.0 << 0;
  // The last bytes go out with the end of the file.
  QTest::newRow("file size limit at the end") << "movie.mp4" << 0 << -18 << 1.0 << 1;
}

void TestExport::failuresLeaveNoFile()
{
  QFETCH(QString, name);
  QFETCH(int, kind);
  QFETCH(int, code);
  QFETCH(double, seconds);
  QFETCH(int, shortBy);
  if (seconds > 0)
    buildScene(seconds);
  if (shortBy > 0) {
    const QString whole = _dir->filePath("whole.mp4");
    exportTo(whole, kind);
    const qint64 size = QFileInfo(whole).size();
    QVERIFY(size > shortBy && QFile::remove(whole));
    _messages.finished = 0;
    withFileSizeLimit(rlim_t(size - shortBy), [&] {
      exportTo(_dir->filePath(name), kind);
      return 0;
    });
  } else {
    exportTo(_dir->filePath(name), kind);
  }
  QCOMPARE(_messages.finished, 1);
  QCOMPARE(_messages.result, double(code));
  QCOMPARE(filesLeft(), QStringList());
  QVERIFY(!QFileInfo::exists(_dir->filePath(name)));
}

void TestExport::withoutRendererFailsInsteadOfEmptyMovie()
{
  buildScene(1.0);
  const QString path = _dir->filePath("movie.mp4");
  AVExporter exporter(kWidth, kHeight, 1000000, kFps, 0, false, 44100, 2, 128000, 0, path.toUtf8().constData(),
                      nullptr);
  exporter.setComposition(_composition.get());
  exporter.setCallback(collect, &_messages);
  exporter.start();
  exporter.wait();
  QCOMPARE(_messages.result, -17.0);
  QCOMPARE(filesLeft(), QStringList());
}

// The movie is complete but cannot take its name: a failure, and the partial file goes.
void TestExport::outputNameTakenByFolder()
{
  buildScene(0.5);
  QVERIFY(QDir(_dir->path()).mkdir("movie.mp4"));
  exportTo(_dir->filePath("movie.mp4"), 0);
  QCOMPARE(_messages.result, -11.0);
  QCOMPARE(filesLeft(), QStringList());
  QVERIFY(QFileInfo(_dir->filePath("movie.mp4")).isDir());
}

void TestExport::oddSized420Video_data()
{
  QTest::addColumn<VideoCodec>("codec");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QSize>("size");
  const QVector<QPair<VideoCodec, QString>> codecs = {
    {VideoCodec::VP9, "vp9.webm"}, {VideoCodec::Mpeg4, "mpeg4.mp4"}, {VideoCodec::RawNV12, "nv12.nut"}};
  for (const auto &codec : codecs)
    for (const QSize size : {QSize(160, 120), QSize(161, 120), QSize(160, 121), QSize(161, 121)})
      QTest::addRow("%s %dx%d", qPrintable(codec.second), size.width(), size.height())
        << codec.first << codec.second << size;
}

// 4:2:0 chroma planes of an odd width or height have a last, half-covered column or row: the
// colours of the preview, the export, the stills and the thumbnails match FFmpeg's own decode.
void TestExport::oddSized420Video()
{
  QFETCH(VideoCodec, codec);
  QFETCH(QString, name);
  QFETCH(QSize, size);
  VideoParams params;
  params.width = size.width();
  params.height = size.height();
  params.fps = 10;
  params.frames = 10;
  params.codec = codec;
  const QString source = _dir->filePath(name);
  QVERIFY2(writeVideo(source, params, [&](int) { return gradientImage(size.width(), size.height()); }),
           qPrintable(lastError()));
  const DecodedVideo reference = decodeVideo(source);
  QVERIFY(reference.ok && reference.frames.size() == 10);
  const QImage expected = reference.frames[5];

  useFrameSize(size);
  QCOMPARE(_engine->addVideoSegment(1, source.toUtf8().constData(), 0, 0, 0, 36, true), 1u);
  QTRY_VERIFY_WITH_TIMEOUT(_engine->videoThumbnailCount(1) == 16, 10000);
  // The thumbnails can come before the opened clip has given the segment its length.
  QTRY_VERIFY_WITH_TIMEOUT(_composition->duration() > 0, 30000);

  // swscale's unscaled converters leave the last column of an odd width unset, both where the
  // fixture writes the source and in the reference decode: that column is not compared.
  const auto check = [&](const char *what, const QImage &image, const QImage &wanted) {
    const QRect compared(0, 0, wanted.width() - 2, wanted.height());
    const double db = psnr(image.copy(compared), wanted.copy(compared));
    QVERIFY2(db >= 30, qPrintable(QString("%1: %2 dB").arg(what).arg(db)));
  };
  {
    AVHeadlessRenderer renderer(_host.get(), _composition.get());
    QVERIFY(renderer.isValid());
    QVERIFY(readyAt(renderer, _composition.get(), 0.5));
    check("composed", renderer.compose(0.5, true), expected);
  }
  AVPixelBuffer *still = _engine->videoFrameAtTime(1, 0.5f);
  check("still", scaledPicture(still, size), expected);
  freePixelBuffer(still);
  const AVPixelBuffer *thumbnail = _engine->videoThumbnail(1, 8);
  QVERIFY(thumbnail);
  const QSize small(int(thumbnail->width), int(thumbnail->height));
  check("thumbnail", scaledPicture(thumbnail, small),
        expected.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

  // VP9 takes any size; the H.264 encoder would want even ones.
  const QString exported = _dir->filePath("exported.webm");
  exportTo(exported, 3, false, 0, 2, size);
  QCOMPARE(_messages.result, 0.0);
  const DecodedVideo movie = decodeVideo(exported);
  QVERIFY(movie.ok && movie.frames.size() > 15);
  check("exported", movie.frames[15], expected);
}

void TestExport::convertedVideoAtItsSize_data()
{
  QTest::addColumn<QString>("format");
  QTest::addColumn<QStringList>("codec");
  QTest::addColumn<QSize>("stored");
  QTest::addColumn<int>("turn"); // as the ffmpeg tool takes it; it counts the other way round
  QTest::addColumn<int>("rotation");
  // Coded in blocks of 16: the decoder's pictures are wider than the clip.
  const QStringList hevc = {"-c:v", "libx265", "-x265-params", "log-level=none:min-cu-size=16"};
  const QStringList h264 = {"-c:v", "libx264"};
  QTest::newRow("10-bit HEVC 360x640") << "yuv420p10le" << hevc << QSize(360, 640) << 0 << 0;
  QTest::newRow("10-bit HEVC 360x640 turned a quarter") << "yuv420p10le" << hevc << QSize(360, 640) << 270 << 90;
  QTest::newRow("4:2:2 H.264 362x201") << "yuv422p" << h264 << QSize(362, 201) << 0 << 0;
  QTest::newRow("4:4:4 H.264 361x201") << "yuv444p" << h264 << QSize(361, 201) << 0 << 0;
  // Shown as planes; its stills are converted, at a width where swscale's fast converters write
  // past the picture.
  QTest::newRow("8-bit H.264 360x640") << "yuv420p" << h264 << QSize(360, 640) << 0 << 0;
}

// Pictures the decoder gives in formats that are converted to BGRA fill their own size: a white
// clip shown at its size leaves no background visible in the preview, the export, the stills and
// the thumbnails.
void TestExport::convertedVideoAtItsSize()
{
  QFETCH(QString, format);
  QFETCH(QStringList, codec);
  QFETCH(QSize, stored);
  QFETCH(int, turn);
  QFETCH(int, rotation);
  const QSize size = rotation == 90 ? stored.transposed() : stored;
  const QString source = _dir->filePath("white.mp4");
  const QString white =
    QString("color=white:s=%1x%2:r=10:d=1,format=%3").arg(stored.width()).arg(stored.height()).arg(format);
  QVERIFY(FfmpegCli::run(QStringList{"-f", "lavfi", "-i", white} + codec + QStringList{source}));
  if (turn) {
    const QString turned = _dir->filePath("turned.mp4");
    QVERIFY(FfmpegCli::run({"-i", source, "-c", "copy", "-metadata:s:v:0", QString("rotate=%1").arg(turn), turned}));
    QVERIFY(QFile::remove(source) && QFile::rename(turned, source));
  }

  useFrameSize(size);
  _engine->setBackgroundColor(makeVec4Opaque(0, 0, 0));
  QCOMPARE(_engine->addVideoSegment(1, source.toUtf8().constData(), 0, 0, 0, 36, true), 1u);
  QTRY_VERIFY_WITH_TIMEOUT(_engine->videoThumbnailCount(1) == 16, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(_composition->duration() > 0, 30000);
  QCOMPARE(static_cast<AVVideoSegment *>(_composition->findSegment(1))->pictureRotation(), rotation);

  const auto check = [&](const char *what, const QImage &image, QSize wanted) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    int dark = 0;
    for (int y = 0; y < rgb.height(); ++y)
      for (const uchar *p = rgb.constScanLine(y), *end = p + rgb.width() * 3; p < end; ++p)
        dark += *p < 128;
    const QString seen = QString("%1: %2x%3, %4 dark values").arg(what).arg(rgb.width()).arg(rgb.height()).arg(dark);
    QVERIFY2(rgb.size() == wanted && dark == 0, qPrintable(seen));
  };
  {
    AVHeadlessRenderer renderer(_host.get(), _composition.get());
    QVERIFY(renderer.isValid());
    QVERIFY(readyAt(renderer, _composition.get(), 0.5));
    // The editor sets the render size again whenever its preview changes size.
    _composition->setRenderSize(size.width(), size.height(), true);
    check("composed", renderer.compose(0.5, true), size);
  }
  AVPixelBuffer *still = _engine->videoFrameAtTime(1, 0.5f);
  QVERIFY(still);
  check("still", QImage(still->data, int(still->width), int(still->height), QImage::Format_ARGB32), size);
  freePixelBuffer(still);
  // Thumbnails fit the stored picture into 64x36, then turn.
  const AVPixelBuffer *thumbnail = _engine->videoThumbnail(1, 8);
  QVERIFY(thumbnail);
  const bool wide = stored.width() * 36 > stored.height() * 64;
  QSize small = wide ? QSize(64, qRound(64.0 * stored.height() / stored.width()))
                     : QSize(qRound(36.0 * stored.width() / stored.height()), 36);
  if (rotation == 90)
    small.transpose();
  check("thumbnail", QImage(thumbnail->data, int(thumbnail->width), int(thumbnail->height), QImage::Format_ARGB32),
        small);
  {
    AVVideoStream stream(source.toStdString(), size.width(), size.height());
    QCOMPARE(stream.openForMetadata(), 0);
    uint32_t bytes = 0;
    uint8_t *picture = stream.frameAt(0.5, &bytes);
    QVERIFY(picture);
    QCOMPARE(bytes, uint32_t(size.width() * size.height() * 4));
    check("frameAt", QImage(picture, size.width(), size.height(), QImage::Format_ARGB32), size);
    free(picture);
  }

  const QString exported = _dir->filePath("exported.webm");
  exportTo(exported, 3, false, 0, 2, size);
  QCOMPARE(_messages.result, 0.0);
  const DecodedVideo movie = decodeVideo(exported);
  QVERIFY(movie.ok && movie.frames.size() >= 30);
  for (int i : {0, 15, 29})
    check(qPrintable(QString("exported frame %1").arg(i)), movie.frames[i], size);
}

void TestExport::soundFileStartsAtItsSegmentStart_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("codec");
  // LAME's encoder delay gives the stream a start time of 25 ms.
  QTest::newRow("mp3") << "tone.mp3" << QStringList{"-c:a", "libmp3lame"};
  QTest::newRow("ogg vorbis") << "tone.ogg" << QStringList{"-c:a", "libvorbis"};
  QTest::newRow("wav") << "tone.wav" << QStringList{};
}

void TestExport::soundFileStartsAtItsSegmentStart()
{
  QFETCH(QString, name);
  QFETCH(QStringList, codec);
  const QString source = _dir->filePath(name);
  QVERIFY(FfmpegCli::tone(source, 1.0, codec + QStringList{"-ac", "2"}, 1000));
  buildScene(1.5);
  _engine->addAudioSegment(10, source.toUtf8().constData(), 0.5f, 0, 0);
  // The export starts once the sound has opened: before, the movie has no sound stream.
  QTRY_VERIFY_WITH_TIMEOUT(_composition->hasLoadedSound(), 30000);
  const QString path = _dir->filePath("movie.mp4");
  exportTo(path, 0);
  QCOMPARE(_messages.result, 0.0);
  const DecodedAudio audio = decodeAudio(path);
  QVERIFY(audio.ok);
  // The tone (amplitude 1/8) from the segment's start to its end.
  const QPair<double, double> span = soundSpan(audio, 0.06f);
  QVERIFY2(std::abs(span.first - 0.5) < 0.005, qPrintable(QString("the sound starts at %1 s").arg(span.first)));
  QVERIFY2(std::abs(span.second - 1.5) < 0.005, qPrintable(QString("the sound ends at %1 s").arg(span.second)));
}

void TestExport::shortSoundExportsWhole_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("rate");
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("kind");
  QTest::newRow("wav") << "beep.wav" << 44100 << 2 << 0;
  QTest::newRow("wav, mono") << "beep.wav" << 44100 << 1 << 0;
  QTest::newRow("ogg vorbis, 48 kHz mono, into webm") << "beep.ogg" << 48000 << 1 << 3;
}

// A notification sound alone: the composition is shorter than one mix window.
void TestExport::shortSoundExportsWhole()
{
  QFETCH(QString, name);
  QFETCH(int, rate);
  QFETCH(int, channels);
  QFETCH(int, kind);
  const QString wav = _dir->filePath("beep.wav");
  QVERIFY(WavFiles::writeToneWav(wav, 0.06, 1000, rate, channels));
  const QString source = _dir->filePath(name);
  if (source != wav)
    QVERIFY(FfmpegCli::run({"-i", wav, "-c:a", "libvorbis", source}));
  _engine->addAudioSegment(10, source.toUtf8().constData(), 0, 0, 0);
  QTRY_VERIFY_WITH_TIMEOUT(_composition->hasLoadedSound() && _composition->duration() > 0, 30000);
  const QString path = _dir->filePath(kind == 3 ? "beep.webm" : "beep.mp4");
  exportTo(path, kind);
  QCOMPARE(_messages.result, 0.0);
  const DecodedAudio audio = decodeAudio(path);
  QVERIFY(audio.ok);
  const QPair<double, double> span = soundSpan(audio, 0.25f);
  // Amplitude 16000 of 32768.
  const double full = 16000.0 / 32768 / std::sqrt(2.0);
  const double db = 20 * std::log10(rmsOf(audio, 0.005, 0.055) / full);
  const QString heard = QString("the sound lasts from %1 to %2 s at %3 dB").arg(span.first).arg(span.second).arg(db);
  // FFmpeg stamps a Vorbis stream's first samples 128 samples late.
  QVERIFY2(std::abs(span.first) < 0.004 && std::abs(span.second - 0.06) < 0.003, qPrintable(heard));
  QVERIFY2(std::abs(db) < 0.5, qPrintable(heard));
}

// A clip cut off inside its last packets exports the same pictures every time: each exported
// frame waits for the picture of its time or the end of the clip, whatever the threads' pace, and
// the last pictures FFmpeg decodes from the damaged tail are there.
void TestExport::damagedClipExportsAlikeEveryTime()
{
  const QString clip = _dir->filePath("damaged.mp4");
  QVERIFY(VideoFixtures::damagedTailClip(clip, 50, 40000));
  const QList<int> decodable = VideoFixtures::frameIndicesAsFfmpegDecodes(clip);
  QVERIFY2(decodable.size() > 10 && decodable.size() < 50, qPrintable(QString::number(decodable.size())));
  QCOMPARE(_engine->addVideoSegment(1, clip.toUtf8().constData(), 0, 0, 0, 36, true), 1u);
  QTRY_VERIFY_WITH_TIMEOUT(_engine->videoThumbnailCount(1) > 0, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(_composition->duration() > 0, 30000);

  // Frame k of the export at the clip's own rate is picture k, and the last decodable one after.
  QList<int> expected;
  for (int k = 0; k < 50; ++k)
    expected << decodable.value(k, decodable.last());
  for (int run = 0; run < 3; ++run) {
    const QString path = _dir->filePath(QString("run%1.mp4").arg(run));
    exportTo(path, 0, false, 0, 2, QSize(kWidth, kHeight), 25);
    QCOMPARE(_messages.result, 0.0);
    const DecodedVideo movie = decodeVideo(path);
    QVERIFY2(movie.ok, qPrintable(QString("%1 (%2 bytes)").arg(lastError()).arg(QFileInfo(path).size())));
    QList<int> shown;
    for (const QImage &frame : movie.frames)
      shown << frameIndexOf(frame);
    QCOMPARE(shown, expected);
  }
}

// A layer that is not ready when its time comes is waited for, not drawn as nothing, also by an
// export without a progress callback.
void TestExport::slowLayerWaitedFor()
{
  _engine->setBackgroundColor(makeVec4Opaque(0, 0, 1));
  QImage red(16, 12, QImage::Format_ARGB32);
  red.fill(Qt::red);
  _composition->addSegment(new SlowLayer(1, 1, red), 1);
  _composition->updateDuration();
  const QString path = _dir->filePath("slow.mp4");
  exportTo(path, 0, false, 0, 2, {kWidth, kHeight}, kFps, false);
  const DecodedVideo video = decodeVideo(path);
  QCOMPARE(video.frames.size(), 2 * kFps);
  QStringList unready;
  for (int k = kFps; k < video.frames.size(); ++k)
    if (video.frames[k].pixelColor(kWidth / 2, kHeight / 2).red() < 200)
      unready << QString::number(k);
  QVERIFY2(unready.isEmpty(), qPrintable("outputs without the layer: " + unready.join(' ')));
}

TAVO_TEST_GUI_MAIN(TestExport)
#include "tst_export.moc"
