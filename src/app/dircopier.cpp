#include "dircopier.h"

#include "util.h"

DirCopier::DirCopier(QObject *parent, const QString &source, const QString &destination)
    : QThread(parent), m_source(source), m_destination(destination)
{
}

void DirCopier::run()
{
  m_success = Util::copyDirRecursively(m_source, m_destination, true);
  // Keeps the waiting display up long enough to be seen for a small project.
  msleep(500);
}
