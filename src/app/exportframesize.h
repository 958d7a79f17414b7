#pragma once

#include <QSize>

// Pixel size of the rendered frame for a frame shape (any unit) and a resolution step 0-4.
QSize exportFrameSize(float width, float height, int resolutionIndex);
