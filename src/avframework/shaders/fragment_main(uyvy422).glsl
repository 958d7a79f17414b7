#version 150 core
// Two pixels per texel (U, Y0, V, Y1); pictureWidth is the full picture width.
in vec2 textureCoordinate;
uniform sampler2D Sampler;
uniform float opacity;
uniform float pictureWidth;
out vec4 fragColor;

// BT.601 video range to RGB.
vec3 yuvToRgb(float y, float u, float v)
{
  y = 1.164 * (y - 0.0625);
  u -= 0.5;
  v -= 0.5;
  return vec3(y + 1.596 * v, y - 0.391 * u - 0.813 * v, y + 2.018 * u);
}

void main()
{
  ivec2 size = textureSize(Sampler, 0);
  int x = int(clamp(textureCoordinate.x, 0.0, 1.0) * pictureWidth);
  int y = int(clamp(textureCoordinate.y, 0.0, 1.0) * float(size.y));
  vec4 texel = texelFetch(Sampler, ivec2(clamp(x / 2, 0, size.x - 1), clamp(y, 0, size.y - 1)), 0);
  float luma = (x % 2 == 0) ? texel.g : texel.a;
  fragColor = vec4(clamp(yuvToRgb(luma, texel.r, texel.b), 0.0, 1.0), 1.0) * opacity;
}
