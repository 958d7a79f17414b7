// The texture coordinate's eight neighbours one stroke width away, for the outline.
uniform float texelWidth;
uniform float texelHeight;
out vec2 nearby[8];

void setNearby(vec2 coordinate)
{
  vec2 w = vec2(texelWidth, 0.0);
  vec2 h = vec2(0.0, texelHeight);
  nearby[0] = coordinate - w;
  nearby[1] = coordinate + w;
  nearby[2] = coordinate - h;
  nearby[3] = coordinate + h;
  nearby[4] = coordinate - w - h;
  nearby[5] = coordinate + w - h;
  nearby[6] = coordinate - w + h;
  nearby[7] = coordinate + w + h;
}
