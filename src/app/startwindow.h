#pragma once

#include <QMainWindow>
#include <QString>

// The first window of the program; it stays open while the program runs.
class StartWindow : public QMainWindow
{
  Q_OBJECT
public:
  explicit StartWindow(QWidget *parent = nullptr);

public slots:
  // A project archive handed over by the command line, another instance or the desktop.
  void openFileFromExternal(QString file);
};
