// BT.601 video range to RGB.
vec3 yuvToRgb(float y, float u, float v)
{
  y = 1.164 * (y - 0.0625);
  u -= 0.5;
  v -= 0.5;
  return vec3(y + 1.596 * v, y - 0.391 * u - 0.813 * v, y + 2.018 * u);
}
