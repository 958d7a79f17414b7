// The layer's picture as premultiplied RGBA: three planes of planar YUV 4:2:0.
uniform sampler2D SamplerY;
uniform sampler2D SamplerU;
uniform sampler2D SamplerV;
#include "yuv.glsl"

vec4 pictureAt(vec2 coordinate)
{
  vec3 rgb = yuvToRgb(texture(SamplerY, coordinate).r, texture(SamplerU, coordinate).r, texture(SamplerV, coordinate).r);
  return vec4(clamp(rgb, 0.0, 1.0), 1.0);
}
