#version 150 core
in vec2 textureCoordinate;
out vec4 fragColor;
#include "include/picture_yuv.glsl"

void main()
{
  fragColor = pictureAt(textureCoordinate);
}
