#version 150 core
// Red 0 where the layer covers the shadow texture (cleared to red 1).
in vec2 textureCoordinate;
uniform sampler2D Sampler;
out vec4 fragColor;

void main()
{
  float cover = texture(Sampler, textureCoordinate).a;
  fragColor = vec4(1.0 - cover, 1.0 - cover, 1.0 - cover, 1.0);
}
