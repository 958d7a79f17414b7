// Placeholders of shared operations whose bodies come with the editing work; each owner
// removes its placeholder here when the real body lands in its own file.
#include "mainwindow.h"

void MainWindow::_enterRangeSelection() {}
void MainWindow::_beginCropping(Segment *) {}
void MainWindow::editScrollArea_grabSegmentScreen(Segment *) {}
