#version 150 core
in vec2 textureCoordinate;
uniform sampler2D SamplerY;
uniform sampler2D SamplerUV;
uniform float opacity;
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
  vec2 uv = texture(SamplerUV, textureCoordinate).rg;
  vec3 rgb = yuvToRgb(texture(SamplerY, textureCoordinate).r, uv.x, uv.y);
  fragColor = vec4(clamp(rgb, 0.0, 1.0), 1.0) * opacity;
}
