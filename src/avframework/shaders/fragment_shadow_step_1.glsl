#version 150 core
// The layer's coverage in alpha.
in vec2 textureCoordinate;
uniform sampler2D Sampler;
out vec4 fragColor;

void main()
{
  fragColor = vec4(0.0, 0.0, 0.0, texture(Sampler, textureCoordinate).a);
}
