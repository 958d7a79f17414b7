#version 150 core
in vec2 textureCoordinate;
uniform sampler2D Sampler;
uniform float opacity;
uniform vec4 strokeColor;
out vec4 fragColor;

float pictureAlpha(vec2 coordinate)
{
  return texture(Sampler, coordinate).a;
}
#include "include/outline.glsl"

void main()
{
  vec4 colour = texture(Sampler, textureCoordinate);
  float stroke = outline(colour.a) * strokeColor.a;
  fragColor = (colour + vec4(strokeColor.rgb * stroke, stroke)) * opacity;
}
