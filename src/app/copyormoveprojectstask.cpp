#include "copyormoveprojectstask.h"

#include "util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

CopyOrMoveProjectsTask::CopyOrMoveProjectsTask(QObject *parent, const QStringList &sources,
                                               const QString &destination, bool copy)
    : QThread(parent), m_sources(sources), m_destination(destination), m_copy(copy)
{
}

CopyOrMoveProjectsTask::~CopyOrMoveProjectsTask()
{
  wait();
  std::lock_guard<std::mutex> ran(m_runLock);
}

int CopyOrMoveProjectsTask::result(int *doneCount) const
{
  std::lock_guard<std::mutex> ran(m_runLock);
  if (doneCount)
    *doneCount = m_doneCount;
  return m_success;
}

QString CopyOrMoveProjectsTask::uniqueDestinationName(const QString &destination, const QString &name)
{
  const QDir dir(destination);
  for (int n = 1;; ++n) {
    const QString candidate = QStringLiteral("%1 (%2)").arg(name).arg(n);
    if (!dir.exists(candidate))
      return candidate;
  }
}

void CopyOrMoveProjectsTask::run()
{
  std::lock_guard<std::mutex> running(m_runLock);
  m_success = 1;
  const int total = m_sources.size();
  int done = 0;
  for (const QString &source : m_sources) {
    const QString name = QFileInfo(source).fileName();
    QString target = m_destination + QDir::separator() + name;
    const bool sameFolder = QFileInfo(target).absoluteFilePath() == QFileInfo(source).absoluteFilePath();
    if (!(sameFolder && !m_copy)) {
      if (QFileInfo(target).isDir())
        target = m_destination + QDir::separator() + uniqueDestinationName(m_destination, name);
      bool ok;
      if (m_copy) {
        ok = Util::copyDirRecursively(source, target, true);
        // A copied sample becomes an ordinary project of the user.
        if (ok && QFile::exists(target + QDir::separator() + QStringLiteral("example.dat")))
          QFile::remove(target + QDir::separator() + QStringLiteral("example.dat"));
      } else {
        ok = QDir().rename(source, target);
      }
      if (!ok) {
        m_success = 0;
        break;
      }
      ++done;
    }
    emit progressChanged(total > 0 ? float(done) / float(total) : 0.0f);
    msleep(100);
  }
  // Keeps the progress display up long enough to be read for a short job.
  msleep(500);
  m_doneCount = done;
}
