#pragma once

#include <csignal>
#include <functional>
#include <sys/resource.h>

// Runs fn with files limited to limit bytes: writes beyond fail as on a full device.
inline int withFileSizeLimit(rlim_t limit, const std::function<int()> &fn)
{
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit tight = old;
  tight.rlim_cur = limit;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &tight);
  const int result = fn();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  return result;
}
