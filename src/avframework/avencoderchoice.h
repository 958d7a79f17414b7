#pragma once
// Which encoder an export uses: per container kind a chain of hardware encoders, probed in
// order when the platform offers them, ending in software encoders found by name.

#include <string>
#include <vector>

struct AVCodec;

// The hardware encoder names this platform may probe; none on Linux, so an export never loads
// a vendor library and always ends in software.
const std::vector<std::string> &platformHardwareEncoders();

// The container name an export of this kind asks for; null to take it from the file name.
const char *exportContainerName(int kind);

// The video encoder of a kind, or null (no chain for the kind, or no encoder of it present).
const AVCodec *chooseVideoEncoder(int kind);

// Opens the encoder once with a plain 1080p set-up; true when it opens.
bool probeVideoEncoder(const AVCodec *codec);
