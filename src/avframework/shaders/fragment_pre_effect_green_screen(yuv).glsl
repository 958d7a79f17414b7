#version 150 core
#include "include/picture_yuv.glsl"
#include "include/green_screen_pass.glsl"
