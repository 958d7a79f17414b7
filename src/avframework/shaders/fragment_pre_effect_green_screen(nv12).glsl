#version 150 core
#include "include/picture_nv12.glsl"
#include "include/green_screen_pass.glsl"
