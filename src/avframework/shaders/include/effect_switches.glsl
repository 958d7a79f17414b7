// Effect switches, in effect order: the program build writes "1" after a switch's name (and
// the blur radius into the two characters after its name) to turn an effect on.
#define SATURATION_COLOR 0
#define BRIGHTNESS_COLOR 0
#define CONTRAST_COLOR 0
#define WHITEBALANCE_COLOR 0
#define EXPOSURE_COLOR 0
#define HUE_COLOR 0
#define RGB_COLOR 0
#define HIGHLIGHT_SHADOW_COLOR 0
#define INVERT_COLOR_EFFECT 0
#define GAUSSIAN_BLUR_RADIUS  0
#define PIXELLATE_EFFECT 0
#define REDBLUE_STEREO_EFFECT 0
#define VIGNETTE_EFFECT 0
#define WAVE_EFFECT 0
#define NOISE_EFFECT 0
#define NOISE_2_EFFECT 0
#define SHARPEN_EFFECT 0
#define GREEN_SCREEN_EFFECT 0
