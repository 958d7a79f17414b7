#version 150 core
#include "include/picture_rgba.glsl"
#include "include/green_screen_pass.glsl"
