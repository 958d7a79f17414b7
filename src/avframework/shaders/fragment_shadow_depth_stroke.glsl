#version 150 core
// Red 0 where the layer and its outline cover the shadow texture.
in vec2 textureCoordinate;
uniform sampler2D Sampler;
out vec4 fragColor;

float pictureAlpha(vec2 coordinate)
{
  return texture(Sampler, coordinate).a;
}
#include "include/outline.glsl"

void main()
{
  float alpha = texture(Sampler, textureCoordinate).a;
  float uncovered = 1.0 - clamp(alpha + outline(alpha), 0.0, 1.0);
  fragColor = vec4(uncovered, uncovered, uncovered, 1.0);
}
