#pragma once
// FFmpeg's messages through Qt's message log, marked "FFmpeg: ": warnings and errors only, a
// message sent in parts written as one line, a line repeated written once with its count, and
// a burst of one message (a demuxer walking a crafted file, a decoder on a broken stream, on
// however many threads) cut to a few lines and a count. Opening one file writes a few
// kilobytes at most, however many messages FFmpeg sends.

// Sets FFmpeg's level and log callback. Once per process; later calls, from any thread, do
// nothing, so a level set afterwards (a test quieting encoders) stays.
void avInstallFFmpegLog();

// Writes the counts still pending (repeats, lines held back, a line this thread left open)
// and starts afresh: the next message is written even if it equals the last one. For the end
// of an opening.
void avFlushFFmpegLog();
