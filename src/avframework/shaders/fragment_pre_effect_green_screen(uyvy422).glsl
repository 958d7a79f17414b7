#version 150 core
#include "include/picture_uyvy422.glsl"
#include "include/green_screen_pass.glsl"
