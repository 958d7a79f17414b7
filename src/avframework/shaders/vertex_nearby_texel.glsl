#version 150 core
// Passes the texture coordinate with its eight neighbours one stroke width away.
in vec2 position;
in vec2 texCoord;
uniform mat4 renderTransform;
uniform mat4 projectionTransform;
out vec2 textureCoordinate;
#include "include/nearby.glsl"

void main()
{
  gl_Position = projectionTransform * renderTransform * vec4(position, 0.0, 1.0);
  textureCoordinate = texCoord;
  setNearby(texCoord);
}
