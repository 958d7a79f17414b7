#version 150 core
// The layer's coverage, outline included, in alpha.
in vec2 textureCoordinate;
in vec2 nearby[8];
uniform sampler2D Sampler;
uniform float strokeTolerance;
uniform float strokeStrength;

// How much of an outline this point gets: opaque neighbours around a transparent point.
float outline(float alpha)
{
  float around = 0.0;
  for (int i = 0; i < 8; ++i)
    around = max(around, texture(Sampler, nearby[i]).a);
  float edge = smoothstep(strokeTolerance * 0.5, max(strokeTolerance, 0.001), around);
  return clamp(edge * (0.5 + strokeStrength) * (1.0 - alpha), 0.0, 1.0);
}
out vec4 fragColor;

void main()
{
  float alpha = texture(Sampler, textureCoordinate).a;
  fragColor = vec4(0.0, 0.0, 0.0, clamp(alpha + outline(alpha), 0.0, 1.0));
}
