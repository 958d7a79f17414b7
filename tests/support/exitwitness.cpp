// Preloaded into a program under test: says on stderr when the process runs the libraries'
// exit handlers, which a process that ends as the program does never runs.
#include <unistd.h>

namespace {
struct ExitWitness
{
  ~ExitWitness()
  {
    const char text[] = "exit handlers ran\n";
    if (::write(STDERR_FILENO, text, sizeof text - 1) < 0)
      return;
  }
} witness;
} // namespace
