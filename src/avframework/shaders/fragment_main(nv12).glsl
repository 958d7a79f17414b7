#version 150 core
in vec2 textureCoordinate;
uniform float opacity;
out vec4 fragColor;
#include "include/picture_nv12.glsl"

void main()
{
  fragColor = pictureAt(textureCoordinate) * opacity;
}
