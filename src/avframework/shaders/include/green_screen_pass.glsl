// The chroma-key pre-pass: the picture as premultiplied RGBA with the key colour taken out.
in vec2 textureCoordinate;
out vec4 fragColor;
#include "chroma_key.glsl"

void main()
{
  fragColor = keyed(pictureAt(textureCoordinate));
}
