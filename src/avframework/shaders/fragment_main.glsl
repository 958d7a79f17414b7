#version 150 core
// Textures hold premultiplied colour; the draw blends with (1, 1 - source alpha).
in vec2 textureCoordinate;
uniform sampler2D Sampler;
uniform float opacity;
out vec4 fragColor;

void main()
{
  fragColor = texture(Sampler, textureCoordinate) * opacity;
}
