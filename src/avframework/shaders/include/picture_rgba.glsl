// The layer's picture as premultiplied RGBA: one RGBA texture.
uniform sampler2D Sampler;

vec4 pictureAt(vec2 coordinate)
{
  return texture(Sampler, coordinate);
}
