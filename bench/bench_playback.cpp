// Ten seconds of 1080p playback (H.264 with a sine sound) composed at preview size on the null
// sound sink: distinct media frames shown per second, the discard factor at the end, and the
// sink's underruns; and the time from play to the first moving picture and the first sound.
#include "avaudiosink.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avglglue.h"
#include "avrender.h"
#include "avvideosegment.h"
#include "avvideostream.h"
#include "benchgl.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <set>

namespace {
constexpr int kSeconds = 10;
std::atomic<AVNullAudioSink *> g_sink{nullptr};

AVAudioSink *nullSink(int rate, int channels)
{
  auto *sink = new AVNullAudioSink(rate, channels);
  g_sink = sink;
  return sink;
}

bool makeClip(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30", "-f", "lavfi",
                          "-i", "sine=frequency=440:sample_rate=44100", "-t", QString::number(kSeconds + 1), "-c:v",
                          "libx264", "-preset", "ultrafast", "-g", "30", "-pix_fmt", "yuv420p", "-c:a", "aac", path});
  return ffmpeg.waitForFinished(180000) && ffmpeg.exitCode() == 0;
}

struct Shown
{
  AVVideoSegment *video = nullptr;
  std::set<uint32_t> times;
  const QElapsedTimer *sincePlay = nullptr;
  std::atomic<qint64> firstMove{-1}; // ms from play to a media frame other than the first
};

// On the video thread after every composed frame.
void onStatus(AVRender *, int code, double, void *user)
{
  auto *shown = static_cast<Shown *>(user);
  if (code == kAVRenderTime && shown->video) {
    shown->times.insert(shown->video->shownFrameTime());
    if (shown->times.size() > 1 && shown->firstMove < 0 && shown->sincePlay)
      shown->firstMove = shown->sincePlay->elapsed();
  }
}
} // namespace

int main(int argc, char **argv)
{
  benchSetUpGL();
  QGuiApplication app(argc, argv);
  setAudioSinkFactory(nullSink);
  QTemporaryDir dir;
  const QString clip = dir.filePath("clip-1080p.mp4");
  if (!makeClip(clip)) {
    std::printf("bench_playback: ffmpeg could not write the clip\n");
    return 1;
  }
  AVHeadlessGLHost host;
  if (!host.isValid()) {
    std::printf("bench_playback: no GL context\n");
    return 1;
  }
  AVComposition composition(1920, 1080, 44100, 2, nullptr);
  composition.setRenderSize(640, 360, false);
  AVRender render(nullptr, 640, 360);
  render.setGLHost(&host);
  host.setComposition(&composition);
  host.setPlaybackOwner(render.contextOwner());
  render.setComposition(&composition);
  AVEngine engine(&composition, nullptr, &render);
  const QByteArray path = clip.toUtf8();
  engine.addVideoSegment(1, path.constData(), 0, 0, 0, 36, true);
  engine.addAudioSegment(2, path.constData(), 0, 0, 0);
  auto *video = static_cast<AVVideoSegment *>(composition.findSegment(1));
  QElapsedTimer timer;
  timer.start();
  while ((video->loadError() == kAVLoadPending || !video->isReady()) && timer.elapsed() < 20000)
    QThread::msleep(10);
  composition.updateDuration();
  Shown shown;
  shown.video = video;
  render.setCallback(onStatus, &shown);
  render.start();
  engine.seek(0, true);
  while (!engine.isIdle() && timer.elapsed() < 30000)
    QThread::msleep(10);

  const int composedBefore = render.composedFrames();
  shown.times.clear();
  timer.restart();
  shown.sincePlay = &timer;
  render.play();
  qint64 firstSound = -1;
  while (firstSound < 0 && timer.elapsed() < 2000) {
    const AVNullAudioSink *writing = g_sink;
    if (writing && writing->bytesWritten() > 0)
      firstSound = timer.elapsed();
    else
      QThread::usleep(500);
  }
  QThread::msleep(kSeconds * 1000 - timer.elapsed());
  render.pause();
  const double wall = timer.elapsed() / 1000.0;
  const double played = render.currentTime();
  AVNullAudioSink *sink = g_sink;
  std::printf("playback 1080p H.264 at 640x360, %.1f s: %.1f distinct media frames/s (%.1f composed/s), "
              "discard factor %d, underruns %d, sound played %.1f s\n",
              played, shown.times.size() / wall, (render.composedFrames() - composedBefore) / wall,
              video->stream()->discardFactor(), sink ? sink->underruns() : -1,
              sink ? sink->bytesPlayed() / (44100.0 * 4) : 0.0);
  // The editor starts playback 400 ms after the press (its own wait); this is the rest.
  std::printf("play to the first moving picture %lld ms, to the first sound %lld ms (goal: at most 100 ms)\n",
              static_cast<long long>(shown.firstMove.load()), static_cast<long long>(firstSound));
  render.stop();
  render.setComposition(nullptr);
  host.setPlaybackOwner(nullptr);
  return 0;
}
