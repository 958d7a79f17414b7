#pragma once
// The audio flavour of the media stream: its decode loop converts every frame into interleaved
// 16-bit PCM of the engine's rate and channels, resampled to that rate times the segment's
// stretch, so that a faster segment gives fewer samples (the pitch follows the speed).

#include "avmediastream.h"

#include <atomic>

struct SwrContext;
struct AVFrame;
struct AVPacket;

class AVAudioStream : public AVStreamBase
{
public:
  AVAudioStream(const std::string &fileName, int outputRate, int outputChannels);
  ~AVAudioStream() override;

  int open(int mediaKind) override;
  // Opens the file only: no threads.
  int openForMetadata();
  void startLoading(AVStreamLoadedCallback callback, void *userData);
  void setStretch(double stretch);
  double stretch() const { return _stretch; }
  // The rate the resampler writes at: the output rate times the stretch.
  int stretchedRate() const;
  int outputChannels() const { return _outputChannels; }
  // Container metadata whose key begins with "artist" / "title"; null when missing or empty.
  const char *artist() const;
  const char *title() const;
  // The first packet when it is an attached JPEG picture; valid while the stream is open.
  const uint8_t *coverImage(int *size);

protected:
  void decodeLoop() override;

private:
  const char *_metadata(const char *prefix) const;
  // Media time of the stream's first sound in the file's own times.
  double _startSeconds() const;
  // Converts and queues one decoded frame; false when it was dropped.
  bool _convert(AVFrame *frame, SwrContext **resampler, int32_t serial, double *nextPosition, bool justSought);

  const int _outputRate;
  const int _outputChannels;
  std::atomic<double> _stretch{1.0};
  // Set by setStretch: the decode loop rebuilds its resampler for the new rate.
  std::atomic<bool> _resamplerStale{true};
  AVPacket *_coverPacket = nullptr;
};
