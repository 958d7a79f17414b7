#version 150 core
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
uniform float opacity;
uniform vec4 strokeColor;
out vec4 fragColor;

void main()
{
  vec4 colour = texture(Sampler, textureCoordinate);
  float stroke = outline(colour.a) * strokeColor.a;
  fragColor = (colour + vec4(strokeColor.rgb * stroke, stroke)) * opacity;
}
