#pragma once

#include <QThread>

#include <atomic>

// Copies one project folder (a duplicate) on its own thread.
class DirCopier : public QThread
{
  Q_OBJECT
public:
  DirCopier(QObject *parent, const QString &source, const QString &destination);

  // Read after the thread has finished.
  bool result() const { return m_success; }

protected:
  void run() override;

private:
  QString m_source;
  QString m_destination;
  std::atomic<bool> m_success{false};
};
