#pragma once
// Turns a composition into a movie file on its own engine thread: every frame composed
// offscreen and read back, the mixed sound pulled, both encoded and muxed. The file is written
// under a temporary name beside the output path and takes that name only when complete.

#include "avcommon.h"
#include "avexportstream.h"
#include "avglglue.h"

#include <atomic>
#include <functional>
#include <string>

class AVComposition;
class AVExporter;
class AVImageLoader;

enum AVExporterMessage : int { kAVExportProgress = 0, kAVExportFinished = 1 };

// Result of a composition without length: no frame to write, so there is nothing to export.
// A code of its own, after the encoder's and muxer's failures (-1 to -18).
constexpr int kAVExportNothingToExport = -19;

// Called on the export thread: progress with a fraction 0..1, finished with the result code.
using AVExporterCallback = void (*)(AVExporter *exporter, int message, double value, void *userData);

class AVExporter
{
public:
  // Container kinds: 0 H.264 and 1 HEVC in the container of the path's extension, 3 VP9 in
  // WebM; any other kind has no video encoder. An end time of 0 exports the whole composition.
  AVExporter(int width, int height, int videoBitRate, int frameRate, int containerKind, bool alpha,
             int audioSampleRate, int audioChannels, int audioBitRate, float endTime, const char *outputPath,
             AVGLRenderer *renderer);
  // Cancels and waits for a running export.
  ~AVExporter();
  AVExporter(const AVExporter &) = delete;
  AVExporter &operator=(const AVExporter &) = delete;

  // Ignored while running.
  void setComposition(AVComposition *composition);
  void setImageLoader(AVImageLoader *loader) { _imageLoader = loader; }
  void setCallback(AVExporterCallback function, void *userData);
  // The host must answer contextOwner() as its export owner while the export runs.
  void setGLHost(AVGLHost *host) { _owner.host = host; }
  // Extra video encoder options, "key=value:key=value", before start.
  void setVideoOptions(const std::string &options) { _settings.videoOptions = options; }

  AVGLContextOwner *contextOwner() { return &_owner; }
  AVGLRenderer *renderer() const { return _owner.renderer; }
  AVGLHost *glHost() const { return _owner.host; }
  AVThread *thread() const { return _thread; }
  AVComposition *composition() const { return _composition; }
  const std::string &outputPath() const { return _outputPath; }
  bool isRunning() const { return _running; }

  void start();
  // The loop notices it before its next frame or during a readiness wait.
  void cancel() { _cancel = true; }
  // Blocks until the export thread has ended.
  void wait();

private:
  static int _loop(AVThread *thread, void *exporter);
  int _export(const std::string &path);
  void _send(int message, double value);
  void _waitUntilReady(double time);

  AVGLContextOwner _owner;
  AVComposition *_composition = nullptr;
  AVImageLoader *_imageLoader = nullptr;
  AVExportSettings _settings;
  std::string _outputPath;
  AVExporterCallback _callback = nullptr;
  void *_callbackData = nullptr;
  AVThread *_thread = nullptr;
  std::atomic<bool> _cancel{false};
  std::atomic<bool> _running{false};
  float _endTime;
};

// Tests only: called on the export thread with the result code once the file is complete (or
// given up) and before the finish is reported, so a test can hold an export that has finished
// while it acts on the window. Empty by default; set it while no export runs.
using AVExporterFinishHold = std::function<void(int result)>;
void setExporterFinishHoldForTesting(AVExporterFinishHold hold);

// Where an export writes before it is complete: the output path with ".partial" before its
// extension, so the container still follows the extension ("movie.mp4" -> "movie.partial.mp4").
std::string partialExportPath(const std::string &path);
