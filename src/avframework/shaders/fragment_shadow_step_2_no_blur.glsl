#version 150 core
// The shadow composite without blurring: the footprint's alpha where the depth texture's red
// lets it through, in the shadow colour, premultiplied. The depth texture has the frame's size:
// its texel under the pixel, unfiltered.
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
                texelFetch(depthSampler, ivec2(gl_FragCoord.xy), 0).r;
  fragColor = vec4(drawShadowColor.rgb * alpha, alpha);
}
