#pragma once
// One encoded stream of a movie export (video or audio): its encoder, frames, converters and
// buffers, and the steps that add, open, feed, drain and close it.

#include <cstdint>
#include <string>

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
struct SwsContext;
struct AVGLRenderer;
struct AVMutex;
struct AVVideoEncodeQueue;
class AVComposition;

// What the export job asks of its encoders.
struct AVExportSettings
{
  int width = 0;
  int height = 0;
  int videoBitRate = 0;
  int frameRate = 30;
  int kind = 0;
  bool alpha = false;
  int sampleRate = 44100;
  int channels = 2;
  int audioBitRate = 0;
  // Extra video encoder options, "key=value:key=value"; empty for the encoder's defaults.
  std::string videoOptions;
};

struct AVExportStream
{
  AVStream *stream = nullptr;
  AVCodecContext *encoder = nullptr;
  AVPacket *packet = nullptr;
  int64_t nextPts = 0;
  int64_t samplesCount = 0;
  AVFrame *frame = nullptr;
  AVFrame *tempFrame = nullptr; // audio: the mixer's samples
  SwsContext *converter = nullptr;
  SwrContext *resampler = nullptr;
  // Audio: up to a second of mixed bytes waiting for a frame.
  uint8_t *mixBuffer = nullptr;
  int mixFill = 0;
  int mixCapacity = 0;
  // Audio: resampled samples in the encoder's format, counted per channel.
  uint8_t **conversion = nullptr;
  int conversionFill = 0;
  int conversionCapacity = 0;
  int frameSamples = 0; // audio: samples of a full mixer frame
  bool inputEnded = false;
  bool failed = false; // video: a frame could not be made
  AVGLRenderer *renderer = nullptr; // video: composes and reads back on the export context
  // Video: read-back pictures waiting for the encoder thread, made with the first picture.
  AVVideoEncodeQueue *encodeQueue = nullptr;
  // Video: the pts of the frame composed but not yet read back (-1: none), and its composition.
  int64_t composedPts = -1;
  AVComposition *composition = nullptr;
  // Held around every write to the file shared by the streams; none when only one thread writes.
  AVMutex *muxLock = nullptr;
};

// 0, or -3 (no encoder: codec is null) or -4.
int addExportStream(AVExportStream *stream, AVFormatContext *output, const AVCodec *codec, bool video,
                    const AVExportSettings &settings);
// 0, or -5 / -6.
int openVideoStream(AVExportStream *stream, const AVExportSettings &settings);
// 0, or -7 to -10.
int openAudioStream(AVExportStream *stream, AVComposition *composition);
// 0 while the stream goes on, 1 when it is finished, negative on error. A video frame is composed
// on the calling thread and read back there at the next call, while the renderer draws the
// next frame; it is converted and encoded on the stream's encoder thread while the caller goes
// on. An error of reading or encoding shows at a later call.
int writeVideoFrame(AVFormatContext *output, AVExportStream *stream, AVComposition *composition);
int writeAudioFrame(AVFormatContext *output, AVExportStream *stream, AVComposition *composition);
// The time of the video frame composed next.
double nextVideoTime(const AVExportStream *stream);
// Takes every packet the encoder still holds (after the last composed frame and the encoder
// thread's pictures): 0, or the stream's read or write error.
int drainExportStream(AVFormatContext *output, AVExportStream *stream, bool video);
// Stops the encoder thread (pictures it has not taken are dropped) and frees everything.
void closeExportStream(AVExportStream *stream);
