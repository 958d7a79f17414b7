#version 150 core
#include "include/effect_switches.glsl"
#include "include/picture_yuv.glsl"
#include "include/effect_color.glsl"
