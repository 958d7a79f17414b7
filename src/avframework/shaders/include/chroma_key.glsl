// Chroma key: how much of a colour stays, by its chroma distance from the key colour; below
// thresholdSensitivity nothing, above it fading in over smoothing.
uniform float thresholdSensitivity;
uniform float smoothing;
uniform vec3 colorToReplace;

vec2 chroma(vec3 rgb)
{
  float y = dot(rgb, vec3(0.2989, 0.5866, 0.1145));
  return vec2(0.7132 * (rgb.r - y), 0.5647 * (rgb.b - y));
}

float keyCoverage(vec3 rgb)
{
  float distanceToKey = distance(chroma(rgb), chroma(colorToReplace));
  return smoothstep(thresholdSensitivity, thresholdSensitivity + max(smoothing, 0.001), distanceToKey);
}

// Premultiplied colour with the key taken out.
vec4 keyed(vec4 colour)
{
  vec3 rgb = colour.a > 0.0 ? colour.rgb / colour.a : vec3(0.0);
  return colour * keyCoverage(rgb);
}
