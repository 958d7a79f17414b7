#version 150 core
// Passes the texture coordinate with its eight neighbours one stroke width away.
in vec2 position;
in vec2 texCoord;
uniform mat4 renderTransform;
uniform mat4 projectionTransform;
uniform float texelWidth;
uniform float texelHeight;
out vec2 textureCoordinate;
out vec2 nearby[8];

void main()
{
  gl_Position = projectionTransform * renderTransform * vec4(position, 0.0, 1.0);
  textureCoordinate = texCoord;
  vec2 w = vec2(texelWidth, 0.0);
  vec2 h = vec2(0.0, texelHeight);
  nearby[0] = texCoord - w;
  nearby[1] = texCoord + w;
  nearby[2] = texCoord - h;
  nearby[3] = texCoord + h;
  nearby[4] = texCoord - w - h;
  nearby[5] = texCoord + w - h;
  nearby[6] = texCoord - w + h;
  nearby[7] = texCoord + w + h;
}
