#include "avexporter.h"

#include "avcomposition.h"
#include "avencoderchoice.h"
#include "avimageloader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mathematics.h>
}

namespace {
constexpr double kReadyPoll = 0.01;

void _emptyListener(AVComposition *, AVSegment *, void *) {}

AVExporterFinishHold g_finishHold;

// Everything an export opens, released whatever the result.
struct _Output
{
  // The video encoder thread writes beside the export thread.
  AVMutex muxLock;
  AVFormatContext *context = nullptr;
  AVExportStream video, audio;
  bool hasVideo = false, hasAudio = false, fileOpen = false;

  ~_Output()
  {
    if (hasVideo)
      closeExportStream(&video);
    if (hasAudio)
      closeExportStream(&audio);
    if (context && fileOpen && !(context->oformat->flags & AVFMT_NOFILE))
      avio_closep(&context->pb);
    avformat_free_context(context);
  }
};
} // namespace

void setExporterFinishHoldForTesting(AVExporterFinishHold hold)
{
  g_finishHold = std::move(hold);
}

std::string partialExportPath(const std::string &path)
{
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  // A dot that starts the name (a hidden file) is no extension.
  if (dot == std::string::npos || dot <= nameStart)
    return path + ".partial";
  return path.substr(0, dot) + ".partial" + path.substr(dot);
}

AVExporter::AVExporter(int width, int height, int videoBitRate, int frameRate, int containerKind, bool alpha,
                       int audioSampleRate, int audioChannels, int audioBitRate, float endTime,
                       const char *outputPath, AVGLRenderer *renderer)
  : _outputPath(outputPath ? outputPath : ""), _endTime(endTime)
{
  _owner.renderer = renderer;
  _settings.width = width;
  _settings.height = height;
  _settings.videoBitRate = videoBitRate;
  _settings.frameRate = frameRate > 0 ? frameRate : 30;
  _settings.kind = containerKind;
  _settings.alpha = alpha;
  _settings.sampleRate = audioSampleRate;
  _settings.channels = audioChannels;
  _settings.audioBitRate = audioBitRate;
}

AVExporter::~AVExporter()
{
  if (_thread) {
    _cancel = true;
    avThreadWait(_thread);
    avThreadDestroy(_thread);
  }
  destroySharedOffscreenContext(&_owner);
  if (_composition)
    _composition->removeListener(_emptyListener);
}

void AVExporter::setComposition(AVComposition *composition)
{
  if (_running)
    return;
  if (_composition)
    _composition->removeListener(_emptyListener);
  _composition = composition;
  if (_composition)
    _composition->addListener(_emptyListener, this);
}

void AVExporter::setCallback(AVExporterCallback function, void *userData)
{
  _callback = function;
  _callbackData = userData;
}

void AVExporter::start()
{
  if (!_composition)
    return;
  if (_thread) {
    // Still running: the loop sets the cancel flag when it ends.
    if (!_cancel)
      return;
    avThreadWait(_thread);
    avThreadDestroy(_thread);
    _thread = nullptr;
    destroySharedOffscreenContext(&_owner);
  }
  _cancel = false;
  // Running from here on, so setComposition is refused before the thread has begun.
  _running = true;
  _thread = avThreadCreate(_loop, this);
  if (_owner.host)
    createSharedOffscreenContext(&_owner, _owner.host, nullptr);
  avThreadStart(_thread);
}

void AVExporter::wait()
{
  if (_thread)
    avThreadWait(_thread);
}

void AVExporter::_send(int message, double value)
{
  if (_callback)
    _callback(this, message, value, _callbackData);
}

void AVExporter::_waitUntilReady(double time)
{
  while (!_cancel && !_composition->isReadyAt(time)) {
    avThreadSleep(kReadyPoll);
    // A layer whose stream finished opening after the last update stays asleep until an
    // update wakes it: without this the export would wait for it for ever.
    if (!_composition->isReadyAt(time))
      _composition->update(time, false, true, 2, false, true);
  }
}

int AVExporter::_loop(AVThread *, void *argument)
{
  auto *exporter = static_cast<AVExporter *>(argument);
  const double started = avWallClock();
  exporter->_running = true;
  AVComposition *composition = exporter->_composition;
  // The export renders with a renderer of its own context, made here on its thread.
  const bool ownRenderer = !exporter->_owner.renderer && exporter->_owner.host;
  if (ownRenderer)
    setUpRendererOnThread(&exporter->_owner);
  else
    composition->setRenderer(exporter->_owner.renderer);
  if (exporter->_imageLoader)
    exporter->_imageLoader->setScaleAfterRead(true);
  // Video layers deliver up to the export's rate and thin their pictures to its frames.
  composition->setVideoFrameRate(exporter->_settings.frameRate);
  composition->setVideoPlanesAsBGRA(true);

  const std::string partial = partialExportPath(exporter->_outputPath);
  int result = exporter->_export(partial);
  // Only a complete file takes the output name; anything else leaves nothing behind.
  if (result >= 0 && std::rename(partial.c_str(), exporter->_outputPath.c_str()) != 0) {
    avPrint("Could not open '%s': %s\n", exporter->_outputPath.c_str(), strerror(errno));
    result = -11;
  }
  if (result < 0)
    std::remove(partial.c_str());

  exporter->_cancel = true;
  exporter->_running = false;
  composition->setVideoFrameRate(30);
  composition->setVideoPlanesAsBGRA(false);
  if (exporter->_imageLoader)
    exporter->_imageLoader->setScaleAfterRead(false);
  if (ownRenderer)
    tearDownRendererOnThread(&exporter->_owner);
#ifdef __GLIBC__
  // The encoders and decoders freed their pictures in many threads' arenas: the free pages go
  // back to the system instead of staying resident until the next export.
  malloc_trim(0);
#endif
  avTrace("Export total time = %fs\n", avWallClock() - started);
  if (g_finishHold)
    g_finishHold(result < 0 ? result : 0);
  exporter->_send(kAVExportFinished, result < 0 ? result : 0);
  return 0;
}

// Steps 3 to 7 of an export into path: the result code.
int AVExporter::_export(const std::string &path)
{
  AVComposition *composition = _composition;
  composition->seek(0, true);
  composition->update(0, true, true, 3, false, true);
  avThreadSleep(0.1);
  _waitUntilReady(0);
  if (_cancel)
    return -1;
  // A composition without length has no frame to write: a file without a picture is no movie.
  if (composition->duration() <= 0)
    return kAVExportNothingToExport;

  _Output out;
  avformat_alloc_output_context2(&out.context, nullptr, exportContainerName(_settings.kind), path.c_str());
  if (!out.context)
    return -2;
  const AVOutputFormat *format = out.context->oformat;
  if (format->video_codec != AV_CODEC_ID_NONE) {
    out.hasVideo = true;
    int result = addExportStream(&out.video, out.context, chooseVideoEncoder(_settings.kind), true, _settings);
    if (result < 0)
      return result;
  }
  if (format->audio_codec != AV_CODEC_ID_NONE && composition->hasLoadedSound()) {
    out.hasAudio = true;
    int result = addExportStream(&out.audio, out.context, avcodec_find_encoder(format->audio_codec), false,
                                 _settings);
    if (result < 0)
      return result;
  }
  out.video.renderer = _owner.renderer;
  out.video.muxLock = out.audio.muxLock = &out.muxLock;
  if (out.hasVideo)
    if (int result = openVideoStream(&out.video, _settings))
      return result;
  if (out.hasAudio)
    if (int result = openAudioStream(&out.audio, composition))
      return result;
  av_dump_format(out.context, 0, path.c_str(), 1);
  if (!(format->flags & AVFMT_NOFILE)) {
    const int opened = avio_open(&out.context->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
      char text[64];
      av_strerror(opened, text, sizeof(text));
      avPrint("Could not open '%s': %s\n", path.c_str(), text);
      return -11;
    }
    out.fileOpen = true;
  }
  if (int opened = avformat_write_header(out.context, nullptr); opened < 0) {
    char text[64];
    av_strerror(opened, text, sizeof(text));
    avPrint("Error occurred when opening output file: %s\n", text);
    return -12;
  }

  const double total = _endTime > 0 ? std::min<double>(composition->duration(), _endTime) : composition->duration();
  bool videoGoes = out.hasVideo, audioGoes = out.hasAudio;
  int result = 0;
  while (videoGoes || audioGoes) {
    if (_cancel) {
      result = -1;
      break;
    }
    const bool videoFirst =
      videoGoes && (!audioGoes || av_compare_ts(out.video.nextPts, out.video.encoder->time_base, out.audio.nextPts,
                                                out.audio.encoder->time_base) <= 0);
    const int written = videoFirst ? writeVideoFrame(out.context, &out.video, composition)
                                   : writeAudioFrame(out.context, &out.audio, composition);
    if (written < 0) {
      result = written;
      break;
    }
    if (written == 1)
      (videoFirst ? videoGoes : audioGoes) = false;
    double v = out.hasVideo ? double(out.video.nextPts) * av_q2d(out.video.encoder->time_base) : 0;
    const double a = out.hasAudio ? double(out.audio.nextPts) * av_q2d(out.audio.encoder->time_base) : v;
    if (v == 0)
      v = a;
    const double now = (a + v) * 0.5;
    if (_callback)
      _send(kAVExportProgress, total > 0 ? std::min(now / total, 1.0) : 1.0);
    if (_endTime > 0 && now >= _endTime)
      break;
    // The layers of the frame composed next are waited for, with a progress callback or without:
    // a clip still seeking would otherwise be drawn as nothing.
    _waitUntilReady(videoGoes ? nextVideoTime(&out.video) : now);
  }
  if (result < 0)
    return result;
  // An end time leaves frames inside the encoders: they belong to the file too.
  if (out.hasVideo && videoGoes)
    if (int drained = drainExportStream(out.context, &out.video, true); drained < 0)
      return drained;
  if (out.hasAudio)
    if (int drained = drainExportStream(out.context, &out.audio, false); drained < 0)
      return drained;
  // The end of the file and the last buffered bytes are written only now: a movie cut short
  // there (a full disk, a file size limit) is a failure, not a finished export.
  int ended = av_write_trailer(out.context);
  if (ended >= 0 && out.fileOpen) {
    out.fileOpen = false;
    ended = avio_closep(&out.context->pb);
  }
  if (ended < 0) {
    char text[64];
    av_strerror(ended, text, sizeof(text));
    avPrint("Error while writing video frame: %s\n", text);
    return -18;
  }
  return 0;
}
