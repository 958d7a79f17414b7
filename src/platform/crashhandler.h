#pragma once

#include <QString>

// Crash reports in place of minidumps. On SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT the handler
// writes "yyyyMMddhhmmss.dmp" (signal, code, fault address, thread, backtrace, memory map) into
// the dump folder, lets the helper executable show the report, and ends the process by the signal.
namespace CrashHandler {

// Prepares everything the handler needs, since it may only make async-signal-safe calls, and
// installs it on an alternate stack of the calling thread. dumpFolder ends with "/"; an empty
// helperExecutable shows nothing.
void install(const QString &dumpFolder, const QString &helperExecutable);

// Test-only faults: "abort" aborts, "thread" faults on a new thread, anything else writes
// through a null pointer.
[[noreturn]] void crashForTesting(const QString &kind);

} // namespace CrashHandler
