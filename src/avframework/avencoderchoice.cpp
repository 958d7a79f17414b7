#include "avencoderchoice.h"

#include "avcommon.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
}

namespace {
struct Chain
{
  std::vector<const char *> hardware;
  // Found by name, the first present is used without a probe. Debian's FFmpeg has neither
  // libopenh264 nor libkvazaar; libx264 and libx265 take their place.
  std::vector<const char *> software;
};

const Chain *_chainOf(int kind)
{
  static const Chain h264{{"h264_nvenc", "h264_qsv", "h264_amf"}, {"libopenh264", "libx264"}};
  static const Chain hevc{{"hevc_nvenc", "hevc_qsv", "hevc_amf"}, {"libkvazaar", "libx265"}};
  static const Chain vp9{{}, {"libvpx-vp9"}};
  switch (kind) {
  case 0:
    return &h264;
  case 1:
    return &hevc;
  case 3:
    return &vp9;
  default:
    return nullptr;
  }
}

bool _offeredHere(const char *name)
{
  const auto &names = platformHardwareEncoders();
  return std::find(names.begin(), names.end(), name) != names.end();
}
} // namespace

const std::vector<std::string> &platformHardwareEncoders()
{
#ifdef _WIN32
  static const std::vector<std::string> names{"h264_nvenc", "h264_qsv", "h264_amf",
                                              "hevc_nvenc", "hevc_qsv", "hevc_amf"};
#else
  static const std::vector<std::string> names;
#endif
  return names;
}

const char *exportContainerName(int kind)
{
  return kind == 3 ? "webm" : nullptr;
}

const AVCodec *chooseVideoEncoder(int kind)
{
  const Chain *chain = _chainOf(kind);
  if (!chain)
    return nullptr;
  for (const char *name : chain->hardware) {
    if (!_offeredHere(name))
      continue;
    const AVCodec *codec = avcodec_find_encoder_by_name(name);
    if (codec && probeVideoEncoder(codec))
      return codec;
  }
  for (const char *name : chain->software)
    if (const AVCodec *codec = avcodec_find_encoder_by_name(name))
      return codec;
  return nullptr;
}

bool probeVideoEncoder(const AVCodec *codec)
{
  AVCodecContext *context = avcodec_alloc_context3(codec);
  AVPacket *packet = av_packet_alloc();
  if (!context || !packet) {
    avcodec_free_context(&context);
    av_packet_free(&packet);
    return false;
  }
  context->bit_rate = 8000000;
  context->width = 1920;
  context->height = 1080;
  context->time_base = AVRational{1, 25};
  context->framerate = AVRational{25, 1};
  context->gop_size = 10;
  context->max_b_frames = 0;
  context->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
  const int result = avcodec_open2(context, codec, nullptr);
  if (result < 0) {
    char text[64];
    av_strerror(result, text, sizeof(text));
    avPrint("Could not open video codec: %s\n", text);
  }
  avcodec_free_context(&context);
  av_packet_free(&packet);
  return result >= 0;
}
