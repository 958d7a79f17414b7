#pragma once

#include <QVector>

class QAudioBuffer;

namespace AudioLevels {

// The peak of each channel of one buffer as a fraction of full scale (1 at full scale),
// one entry per channel. Empty for a buffer that is not little-endian PCM; all zeros for
// a sample type it does not know.
QVector<double> levels(const QAudioBuffer &buffer);

} // namespace AudioLevels
