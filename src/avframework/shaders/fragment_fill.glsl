#version 150 core
in vec2 textureCoordinate;
uniform sampler2D Sampler;
out vec4 fragColor;

void main()
{
  fragColor = texture(Sampler, textureCoordinate);
}
