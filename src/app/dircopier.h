#pragma once

#include <QThread>

#include <mutex>

// Copies one project folder (a duplicate) on its own thread.
class DirCopier : public QThread
{
  Q_OBJECT
public:
  DirCopier(QObject *parent, const QString &source, const QString &destination);
  ~DirCopier() override;

  // Read after the thread has finished.
  bool result() const;

protected:
  void run() override;

private:
  QString m_source;
  QString m_destination;
  // Held by the thread for its whole run; taken by result() and the destructor: the thread's
  // end is invisible to the race checker, this lock is not.
  mutable std::mutex m_runLock;
  bool m_success = false;
};
