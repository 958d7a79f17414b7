#include "projectcontext.h"

#include <atomic>

namespace {
std::atomic<ProjectContext *> s_current{nullptr};
}

ProjectContext *ProjectContext::current()
{
  return s_current.load();
}

void ProjectContext::setCurrent(ProjectContext *context)
{
  s_current.store(context);
}
