// How much of an outline a point gets: opaque neighbours around a transparent point, so the
// outline lies outside the opaque shape. The includer defines pictureAlpha(coordinate).
in vec2 nearby[8];
uniform float strokeTolerance;
uniform float strokeStrength;

float outline(float alpha)
{
  float around = 0.0;
  for (int i = 0; i < 8; ++i)
    around = max(around, pictureAlpha(nearby[i]));
  float edge = smoothstep(strokeTolerance * 0.5, max(strokeTolerance, 0.001), around);
  return clamp(edge * (0.5 + strokeStrength) * (1.0 - alpha), 0.0, 1.0);
}
