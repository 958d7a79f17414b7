#pragma once

// How the program ends once main's own objects are gone.
//
// Qt Multimedia keeps one PulseAudio connection for the whole process (made by the first sound
// device query or output) and leaves it to its library's static destructor after main returns.
// That destructor disconnects while the connection's own thread still dispatches: a server
// event arriving in that moment (another program starting a sound, a volume change) aborts the
// process in libpulse. So the process does not run the libraries' exit handlers: it flushes the
// standard streams and ends. Call only when every window, player, sound output and thread of
// ours is stopped and deleted, and the application object is gone.
namespace ProcessExit {

[[noreturn]] void end(int code);

} // namespace ProcessExit
