#version 150 core
#include "include/effect_switches.glsl"
#include "include/picture_uyvy422.glsl"
#include "include/effect_color.glsl"
