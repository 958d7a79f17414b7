#version 150 core
// The shadow composite without blurring: the footprint's alpha where the depth texture's red
// lets it through, in the shadow colour, premultiplied.
in vec2 textureCoordinate;
uniform sampler2D shadowSampler;
uniform sampler2D depthSampler;
uniform float opacity;
uniform float drawShadowOpacity;
uniform vec4 drawShadowColor;
out vec4 fragColor;

void main()
{
  float alpha = drawShadowOpacity * texture(shadowSampler, textureCoordinate).a * opacity *
                texture(depthSampler, textureCoordinate).r;
  fragColor = vec4(drawShadowColor.rgb * alpha, alpha);
}
