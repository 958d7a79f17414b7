#pragma once

#include <QApplication>
#include <QRect>
#include <QString>

class QLocalServer;
class QWidget;

// The application object: one process per user. A second start hands its last argument to the
// first process over a local socket and ends; the first raises its window and opens the file.
// It ignores SIGXFSZ for the whole process, and the children it starts inherit that: a write
// past the file-size limit fails instead of ending the process.
class Application : public QApplication
{
  Q_OBJECT
public:
  Application(int &argc, char **argv);

  // True when another instance took the arguments; the caller ends.
  bool isRunning() const { return m_running; }

  QWidget *mainWindow() const { return m_mainWindow; }
  void setMainWindow(QWidget *window) { m_mainWindow = window; }

  // The executable's file name, and the channel that name stands for.
  QString serverName() const { return m_serverName; }
  QString channelName() const;

  // The start window: 4:3, centred in the available area inset by a tenth of its height.
  static QRect startWindowGeometry(const QRect &available);

signals:
  void openExternalFile(QString file);

public slots:
  void newLocalConnectioin();

protected:
  bool event(QEvent *e) override;

private:
  void checkSingleInstance();
  bool _forwardToRunningInstance();

  QWidget *m_mainWindow = nullptr;
  bool m_running = false;
  QLocalServer *m_localServer = nullptr;
  QString m_serverName;
};
