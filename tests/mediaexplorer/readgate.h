#pragma once
// Holds the reads of one file at an offset until the test lets them on. A thread that stands
// at the gate is provably still reading that file, however fast the machine reads the rest.
// Every read() of the test process passes through here: the program's own read() comes
// before the C library's (and a sanitizer's), which it then calls.

#include <QString>

namespace ReadGate {

// Reads of the file at path that start at offset or further wait at the gate.
bool hold(const QString &path, qint64 offset);
// Whether a reader waits at the gate now.
bool waiting();
// Lets one read on (once, however often called before it goes); the reader waits again at
// its next read.
void step();
// Lets every read on, now and later; the file's reads are still measured.
void open();
// The furthest offset the file's reads reached since hold().
qint64 furthest();

} // namespace ReadGate
