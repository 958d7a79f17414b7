#version 150 core
// Drawn with (source alpha, 1 - source alpha) blending: straight colour.
uniform vec4 drawBorderColor;
uniform float opacity;
out vec4 fragColor;

void main()
{
  fragColor = vec4(drawBorderColor.rgb, drawBorderColor.a * opacity);
}
