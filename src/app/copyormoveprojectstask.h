#pragma once

#include <QStringList>
#include <QThread>

#include <mutex>

// Copies or moves project folders into a destination folder on its own thread. A name
// already taken there gets "name (n)"; a failure stops the run and keeps what was done.
class CopyOrMoveProjectsTask : public QThread
{
  Q_OBJECT
public:
  CopyOrMoveProjectsTask(QObject *parent, const QStringList &sources, const QString &destination, bool copy);
  ~CopyOrMoveProjectsTask() override;

  // Read after the thread has finished: the success flag, and how many items were done.
  int result(int *doneCount) const;

  // "name (1)", "name (2)", ... the first that is not a folder in destination.
  static QString uniqueDestinationName(const QString &destination, const QString &name);

signals:
  void progressChanged(float progress);

protected:
  void run() override;

private:
  QStringList m_sources;
  QString m_destination;
  bool m_copy;
  // Held by the thread for its whole run; taken by result() and the destructor: the thread's
  // end is invisible to the race checker, this lock is not.
  mutable std::mutex m_runLock;
  int m_success = 0;
  int m_doneCount = 0;
};
