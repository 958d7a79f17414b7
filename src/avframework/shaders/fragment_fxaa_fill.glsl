#version 150 core
// Fast approximate anti-aliasing over a render target of rt_w x rt_h.
in vec2 textureCoordinate;
uniform sampler2D Sampler;
uniform float rt_w;
uniform float rt_h;
out vec4 fragColor;

float luma(vec3 rgb)
{
  return dot(rgb, vec3(0.299, 0.587, 0.114));
}

void main()
{
  vec2 texel = vec2(1.0 / rt_w, 1.0 / rt_h);
  vec2 uv = textureCoordinate;
  vec4 centre = texture(Sampler, uv);
  float lumaNW = luma(texture(Sampler, uv + vec2(-1.0, -1.0) * texel).rgb);
  float lumaNE = luma(texture(Sampler, uv + vec2(1.0, -1.0) * texel).rgb);
  float lumaSW = luma(texture(Sampler, uv + vec2(-1.0, 1.0) * texel).rgb);
  float lumaSE = luma(texture(Sampler, uv + vec2(1.0, 1.0) * texel).rgb);
  float lumaM = luma(centre.rgb);
  float lumaMin = min(lumaM, min(min(lumaNW, lumaNE), min(lumaSW, lumaSE)));
  float lumaMax = max(lumaM, max(max(lumaNW, lumaNE), max(lumaSW, lumaSE)));

  vec2 dir = vec2(-((lumaNW + lumaNE) - (lumaSW + lumaSE)), (lumaNW + lumaSW) - (lumaNE + lumaSE));
  float reduce = max((lumaNW + lumaNE + lumaSW + lumaSE) * 0.03125, 1.0 / 128.0);
  float scale = 1.0 / (min(abs(dir.x), abs(dir.y)) + reduce);
  dir = clamp(dir * scale, vec2(-8.0), vec2(8.0)) * texel;

  vec4 a = 0.5 * (texture(Sampler, uv + dir * (1.0 / 3.0 - 0.5)) + texture(Sampler, uv + dir * (2.0 / 3.0 - 0.5)));
  vec4 b = a * 0.5 + 0.25 * (texture(Sampler, uv - dir * 0.5) + texture(Sampler, uv + dir * 0.5));
  float lumaB = luma(b.rgb);
  fragColor = (lumaB < lumaMin || lumaB > lumaMax) ? a : b;
}
