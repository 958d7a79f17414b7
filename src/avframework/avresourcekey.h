#pragma once
// The 4-byte key that scrambles the engine's resources; shared by the build tool and the reader.
constexpr unsigned char kAVResourceKeyBytes[4] = {0x5a, 0x3c, 0x91, 0xe7};
