#version 150 core
// The layer's coverage, outline included, in alpha.
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
  fragColor = vec4(0.0, 0.0, 0.0, clamp(alpha + outline(alpha), 0.0, 1.0));
}
