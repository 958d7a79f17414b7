#pragma once

#include "mp3encoder.h"

#include <QString>

// The built-in music and sound effects, synthesised from their names: the same name always
// gives the same samples. Long sounds are built on a repeating period (see Mp3Encoder::Clip).
namespace SoundSynth {

// A short loop of a chord progression with bass and arpeggio, `seconds` long in all.
Mp3Encoder::Clip music(const QString &title, int seconds);

// A sound effect of a catalogue folder ("ambience", "people", ...), `seconds` long in all.
Mp3Encoder::Clip effect(const QString &folder, const QString &title, int seconds);

} // namespace SoundSynth
