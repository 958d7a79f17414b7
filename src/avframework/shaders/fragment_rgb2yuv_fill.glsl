#version 150 core
// An RGBA frame to BT.601 video-range Y, U, V (and alpha) per pixel; width and height are the target's.
in vec2 textureCoordinate;
uniform sampler2D Sampler;
uniform float width;
uniform float height;
out vec4 fragColor;

void main()
{
  vec2 texel = (floor(textureCoordinate * vec2(width, height)) + 0.5) / vec2(width, height);
  vec4 colour = texture(Sampler, texel);
  vec3 rgb = colour.a > 0.0 ? colour.rgb / colour.a : vec3(0.0);
  float y = 0.0625 + dot(rgb, vec3(0.257, 0.504, 0.098));
  float u = 0.5 + dot(rgb, vec3(-0.148, -0.291, 0.439));
  float v = 0.5 + dot(rgb, vec3(0.439, -0.368, -0.071));
  fragColor = vec4(y, u, v, colour.a);
}
