// The effect programs' fragment stage. Before it: the switches and pictureAt(coordinate),
// the layer's picture as premultiplied RGBA whatever its texture kind. Geometry effects pick
// where to sample, the key takes the key colour out, colour effects work on straight colour,
// and the outline (when a stroke width is set) goes around the opaque shape.
in vec2 textureCoordinate;
uniform float opacity;
uniform vec4 strokeColor;
out vec4 fragColor;

float pictureAlpha(vec2 coordinate)
{
  return pictureAt(coordinate).a;
}
#include "outline.glsl"
uniform float texelWidth;
uniform float texelHeight;

const vec3 kLuma = vec3(0.2125, 0.7154, 0.0721);

uniform float saturation;
uniform float brightness;
uniform float contrast;
uniform float temperature;
uniform float exposure;
uniform float hueAdjust;
uniform float redAdjustment;
uniform float greenAdjustment;
uniform float blueAdjustment;
uniform float shadows;
uniform float highlights;
uniform float texelWidthOffset;
uniform float texelHeightOffset;
uniform float fractionalWidthOfPixel;
uniform float aspectRatio;
uniform float redBlueStereoOffsetX;
uniform float redBlueStereoOffsetY;
uniform vec2 vignetteCenter;
uniform vec3 vignetteColor;
uniform float vignetteStart;
uniform float vignetteEnd;
uniform float wavePhase;
uniform vec2 waveAmplitude;
uniform float waveIntensity;
uniform float noiseTime;
uniform float noise2Time;
uniform float sharpness;
#if SHARPEN_EFFECT
in vec2 sharpenNeighbours[4];
#endif
#if GREEN_SCREEN_EFFECT
#include "chroma_key.glsl"
#endif

float random(vec2 seed)
{
  return fract(sin(dot(seed, vec2(12.9898, 78.233))) * 43758.5453);
}

// Rotates the hue in YIQ space.
vec3 hueRotated(vec3 rgb, float angle)
{
  float y = dot(rgb, vec3(0.299, 0.587, 0.114));
  float i = dot(rgb, vec3(0.596, -0.274, -0.322));
  float q = dot(rgb, vec3(0.211, -0.523, 0.312));
  float c = cos(angle);
  float s = sin(angle);
  float i2 = i * c - q * s;
  float q2 = i * s + q * c;
  return vec3(y + 0.956 * i2 + 0.621 * q2, y - 0.272 * i2 - 0.647 * q2, y - 1.106 * i2 + 1.703 * q2);
}

// Where this point samples the picture.
vec2 sourceCoordinate()
{
  vec2 coordinate = textureCoordinate;
#if WAVE_EFFECT
  coordinate += vec2(sin(coordinate.y * waveIntensity + wavePhase) * waveAmplitude.x,
                     cos(coordinate.x * waveIntensity + wavePhase) * waveAmplitude.y);
#endif
#if PIXELLATE_EFFECT
  vec2 cell = vec2(fractionalWidthOfPixel, fractionalWidthOfPixel * aspectRatio);
  if (cell.x > 0.0 && cell.y > 0.0)
    coordinate = cell * (floor(coordinate / cell) + 0.5);
#endif
  return coordinate;
}

// The picture at a point, blurred along the blur offsets when the blur is on (sigma half the radius).
vec4 sampled(vec2 coordinate)
{
#if GAUSSIAN_BLUR_RADIUS
  vec2 offset = vec2(texelWidthOffset, texelHeightOffset);
  float sigma = max(float(GAUSSIAN_BLUR_RADIUS) / 2.0, 0.5);
  vec4 sum = vec4(0.0);
  float total = 0.0;
  for (int i = -GAUSSIAN_BLUR_RADIUS; i <= GAUSSIAN_BLUR_RADIUS; ++i) {
    float weight = exp(-float(i * i) / (2.0 * sigma * sigma));
    sum += pictureAt(coordinate + offset * float(i)) * weight;
    total += weight;
  }
  return sum / total;
#else
  return pictureAt(coordinate);
#endif
}

void main()
{
  vec2 coordinate = sourceCoordinate();
  vec4 colour = sampled(coordinate);
#if REDBLUE_STEREO_EFFECT
  vec2 shift = vec2(redBlueStereoOffsetX, redBlueStereoOffsetY);
  vec4 left = sampled(coordinate - shift);
  vec4 right = sampled(coordinate + shift);
  colour = vec4(left.r, right.g, right.b, max(left.a, right.a));
#endif
#if SHARPEN_EFFECT
  vec4 around = pictureAt(sharpenNeighbours[0]) + pictureAt(sharpenNeighbours[1]) + pictureAt(sharpenNeighbours[2]) +
                pictureAt(sharpenNeighbours[3]);
  colour.rgb = clamp(colour.rgb * (1.0 + 4.0 * sharpness) - around.rgb * sharpness, vec3(0.0), vec3(colour.a));
#endif
#if GREEN_SCREEN_EFFECT
  colour = keyed(colour);
#endif
  vec3 rgb = colour.a > 0.0 ? clamp(colour.rgb / colour.a, 0.0, 1.0) : vec3(0.0);
#if SATURATION_COLOR
  rgb = mix(vec3(dot(rgb, kLuma)), rgb, saturation);
#endif
#if BRIGHTNESS_COLOR
  rgb += vec3(brightness);
#endif
#if CONTRAST_COLOR
  rgb = (rgb - 0.5) * contrast + 0.5;
#endif
#if WHITEBALANCE_COLOR
  // Below 0 cooler (bluer), above 0 warmer.
  rgb *= vec3(1.0 + 0.5 * temperature, 1.0, 1.0 - 0.5 * temperature);
#endif
#if EXPOSURE_COLOR
  rgb *= exp2(exposure);
#endif
#if HUE_COLOR
  rgb = hueRotated(rgb, hueAdjust);
#endif
#if RGB_COLOR
  rgb *= vec3(redAdjustment, greenAdjustment, blueAdjustment);
#endif
#if HIGHLIGHT_SHADOW_COLOR
  // Shadows 0 and highlights 1 leave the picture as it is.
  float luminance = dot(clamp(rgb, 0.0, 1.0), kLuma);
  rgb += vec3(0.5 * shadows * (1.0 - smoothstep(0.0, 0.5, luminance)) -
              0.5 * (1.0 - highlights) * smoothstep(0.5, 1.0, luminance));
#endif
  rgb = clamp(rgb, 0.0, 1.0);
#if INVERT_COLOR_EFFECT
  rgb = 1.0 - rgb;
#endif
#if VIGNETTE_EFFECT
  rgb = mix(rgb, vignetteColor, smoothstep(vignetteStart, vignetteEnd, distance(textureCoordinate, vignetteCenter)));
#endif
#if NOISE_EFFECT
  rgb = clamp(rgb + (random(textureCoordinate + noiseTime) - 0.5) * 0.25, 0.0, 1.0);
#endif
#if NOISE_2_EFFECT
  rgb *= 1.0 - 0.3 * random(textureCoordinate * 1.7 + noise2Time);
#endif
  vec4 result = vec4(rgb * colour.a, colour.a);
  if (texelWidth > 0.0 || texelHeight > 0.0) {
    float stroke = outline(colour.a) * strokeColor.a;
    result += vec4(strokeColor.rgb * stroke, stroke);
  }
  fragColor = result * opacity;
}
