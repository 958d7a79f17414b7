// The layer's picture as premultiplied RGBA: NV12 luma and interleaved chroma planes.
uniform sampler2D SamplerY;
uniform sampler2D SamplerUV;
#include "yuv.glsl"

vec4 pictureAt(vec2 coordinate)
{
  vec2 uv = texture(SamplerUV, coordinate).rg;
  return vec4(clamp(yuvToRgb(texture(SamplerY, coordinate).r, uv.x, uv.y), 0.0, 1.0), 1.0);
}
