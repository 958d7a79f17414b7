// The layer's picture as premultiplied RGBA: packed 4:2:2, two pixels per texel (U, Y0, V, Y1);
// pictureWidth is the full picture width.
uniform sampler2D Sampler;
uniform float pictureWidth;
#include "yuv.glsl"

vec4 pictureAt(vec2 coordinate)
{
  ivec2 size = textureSize(Sampler, 0);
  int x = int(clamp(coordinate.x, 0.0, 1.0) * pictureWidth);
  int y = int(clamp(coordinate.y, 0.0, 1.0) * float(size.y));
  vec4 texel = texelFetch(Sampler, ivec2(clamp(x / 2, 0, size.x - 1), clamp(y, 0, size.y - 1)), 0);
  float luma = (x % 2 == 0) ? texel.g : texel.a;
  return vec4(clamp(yuvToRgb(luma, texel.r, texel.b), 0.0, 1.0), 1.0);
}
