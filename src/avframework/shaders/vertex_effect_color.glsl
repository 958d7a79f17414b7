#version 150 core
// The effect programs' vertex stage; the build sets the blur radius and the sharpen switch.
#define GAUSSIAN_BLUR_RADIUS  0
#define SHARPEN_EFFECT 0
in vec2 position;
in vec2 texCoord;
uniform mat4 renderTransform;
uniform mat4 projectionTransform;
out vec2 textureCoordinate;
#include "include/nearby.glsl"
#if SHARPEN_EFFECT
uniform float imageWidthFactor;
uniform float imageHeightFactor;
out vec2 sharpenNeighbours[4];
#endif

void main()
{
  gl_Position = projectionTransform * renderTransform * vec4(position, 0.0, 1.0);
  textureCoordinate = texCoord;
  setNearby(texCoord);
#if SHARPEN_EFFECT
  const vec2 sides[4] = vec2[4](vec2(-1.0, 0.0), vec2(1.0, 0.0), vec2(0.0, -1.0), vec2(0.0, 1.0));
  for (int i = 0; i < 4; ++i)
    sharpenNeighbours[i] = texCoord + sides[i] * vec2(imageWidthFactor, imageHeightFactor);
#endif
}
