#include "startwindow.h"

#include <QDebug>
#include <QFileInfo>

StartWindow::StartWindow(QWidget *parent) : QMainWindow(parent)
{
  setObjectName("StartWindow");
  resize(800, 600);
  setWindowTitle("Tavo REN");
}

void StartWindow::openFileFromExternal(QString file)
{
  if (QFileInfo(file).completeSuffix() != QLatin1String("tavorenproject"))
    return;
  qDebug().noquote() << "StartWindow import project archive" << file;
}
