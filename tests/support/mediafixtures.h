#pragma once
// Small, deterministic media files for tests, written through FFmpeg's own encoders
// (and QImage for stills), plus decoders to check what a test or the program wrote.
//
// Colour-coded video: frame i is filled with frameColor(i), one colour per index, so a test
// can tell which frame it sees from a single pixel (frameIndexFromColor). Each of red, green
// and blue takes one of six levels 0, 51, 102, 153, 204, 255:
//     red = 51 * (i / 36 % 6), green = 51 * (i / 6 % 6), blue = 51 * (i % 6)
// so 216 frames are unambiguous (7.2 s at 30 fps); frame 216 looks like frame 0 again.
// Levels lie 51 apart; a decoded pixel may be off by up to 20 per channel after lossy
// coding and still decode right. Colours further off (a blend of two frames) decode as -1.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

namespace MediaFixtures {

enum class VideoCodec {
  H264,       // libx264, yuv420p
  HEVC,       // libx265, yuv420p
  Mpeg4,      // MPEG-4 part 2, yuv420p
  VP9,        // libvpx-vp9, yuv420p (for .webm / .mkv)
  ProRes422,  // prores_ks standard profile, yuv422p10 (for .mov)
  ProRes4444, // prores_ks 4444 profile, yuv444p10 (for .mov)
  RawUYVY422, // uncompressed packed 4:2:2 (for .nut / .mkv)
  RawNV12,    // uncompressed NV12 (for .nut)
  RawYUV444P, // uncompressed planar 4:4:4 (for .nut / .mkv)
};

struct VideoParams
{
  int width = 320;
  int height = 240;
  int fps = 30;
  int frames = 30;
  VideoCodec codec = VideoCodec::H264;
  // Adds a stereo 440 Hz tone as long as the video (AAC; Opus in WebM).
  bool withTone = false;
  // The tone's length in seconds when it differs from the video's (0: as long as the video).
  double toneSeconds = 0;
  int sampleRate = 48000;
  // Frames between key frames; 0 gives one a second.
  int gop = 0;
  // Display rotation in degrees clockwise, written as the stream's display matrix.
  int rotation = 0;
};

// Colour of frame index i (see above) and back; -1 when the colour is not near any code.
QColor frameColor(int index);
int frameIndexFromColor(const QColor &color);
// The index read from the pixel at the image's centre.
int frameIndexOf(const QImage &image);

// Writes a video whose frame i is paintFrame(i) (scaled to the size asked for when it differs).
// The container follows the file extension (.mp4, .mov, .mkv, .webm, .avi). Key frames
// every second. False on failure, with lastError() saying why.
bool writeVideo(const QString &path, const VideoParams &params, const std::function<QImage(int index)> &paintFrame);

// The colour-coded video of the header comment.
bool writeColorVideo(const QString &path, int width, int height, int fps, int frames,
                     VideoCodec codec = VideoCodec::H264);
bool writeColorVideo(const QString &path, const VideoParams &params);

// A sine tone of amplitude 0.5 on every channel: PCM 16-bit for ".wav", AAC for ".m4a",
// ".mp4" and ".aac"-like containers, Opus for ".webm"/".opus".
bool writeTone(const QString &path, double seconds, double frequency = 440.0, int sampleRate = 48000,
               int channels = 2);

// A still picture in four quadrants: top-left red, top-right green, bottom-left blue,
// bottom-right white. Format from the extension (.png, .jpg, .bmp...).
bool writePicture(const QString &path, int width, int height);
QImage quadrantImage(int width, int height);

// An animated GIF whose frame i is filled with frameColor(i) and shown delaysMs[i]
// milliseconds (GIF counts in 10 ms steps: give multiples of 10). Loops forever.
bool writeAnimatedGif(const QString &path, int width, int height, const QVector<int> &delaysMs);

// A terabyte file, sparse (no disk is used): the header, then zeros to the end. Headers of a
// valid JPEG and GIF that readers then scan on for the next marker or block.
bool writeEndlessFile(const QString &path, const QByteArray &header = QByteArray());
QByteArray endlessJpegHeader();
QByteArray endlessGifHeader();

// Why the last write or decode failed.
QString lastError();

struct DecodedVideo
{
  bool ok = false;
  int width = 0;
  int height = 0;
  double durationSeconds = 0; // the container's, 0 when unknown
  double frameRate = 0;       // the stream's average, 0 when unknown
  QVector<QImage> frames;     // RGB888, in presentation order
  QVector<double> times;      // presentation time of each frame in seconds
  QString codecName;          // FFmpeg's short name ("h264", "gif"...)
};

// Decodes the best video stream; at most maxFrames frames (all when negative).
DecodedVideo decodeVideo(const QString &path, int maxFrames = -1);

struct DecodedAudio
{
  bool ok = false;
  int sampleRate = 0;
  int channels = 0;
  QVector<float> samples; // interleaved, -1..1
  QString codecName;
  double seconds() const { return sampleRate && channels ? double(samples.size()) / channels / sampleRate : 0; }
};

// Decodes the best audio stream to interleaved floats at its own rate and channel count.
DecodedAudio decodeAudio(const QString &path);

} // namespace MediaFixtures
