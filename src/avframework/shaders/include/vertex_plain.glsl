// The plain layer vertex stage: the quad through the layer's and the view's transforms.
in vec2 position;
in vec2 texCoord;
uniform mat4 renderTransform;
uniform mat4 projectionTransform;
out vec2 textureCoordinate;

void main()
{
  gl_Position = projectionTransform * renderTransform * vec4(position, 0.0, 1.0);
  textureCoordinate = texCoord;
}
