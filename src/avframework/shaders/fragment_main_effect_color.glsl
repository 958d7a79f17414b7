#version 150 core
#include "include/effect_switches.glsl"
#include "include/picture_rgba.glsl"
#include "include/effect_color.glsl"
