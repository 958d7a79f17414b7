#include "dircopier.h"

#include "util.h"

DirCopier::DirCopier(QObject *parent, const QString &source, const QString &destination)
    : QThread(parent), m_source(source), m_destination(destination)
{
}

DirCopier::~DirCopier()
{
  wait();
  std::lock_guard<std::mutex> ran(m_runLock);
}

bool DirCopier::result() const
{
  std::lock_guard<std::mutex> ran(m_runLock);
  return m_success;
}

void DirCopier::run()
{
  std::lock_guard<std::mutex> running(m_runLock);
  m_success = Util::copyDirRecursively(m_source, m_destination, true);
  // Keeps the waiting display up long enough to be seen for a small project.
  msleep(500);
}
