#version 150 core
#include "include/vertex_plain.glsl"
