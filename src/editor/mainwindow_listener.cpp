// The segment callbacks. Segments are made by the project opening, which comes with the next
// step; until then they answer neutrally and only the state report is passed on.

#include "mainwindow.h"

#include <QPixmap>

void MainWindow::segmentStateChanged(Segment *segment, int state)
{
  emit segmentListener_segmentStateChanged(segment, state);
}

void MainWindow::segmentRangeChanged(Segment *) {}
QString MainWindow::loadErrorText() { return QString(); }
QString MainWindow::fileNotFoundText() { return QString(); }
float MainWindow::messageMargin() { return 0; }
quint32 MainWindow::messageBackgroundColor() { return 0; }
quint32 MainWindow::messageTextColor() { return 0; }
float MainWindow::messageFontSize() { return 0; }
float MainWindow::titleMargin() { return 0; }
quint32 MainWindow::titleTextColor() { return 0; }
quint32 MainWindow::titleShadowColor() { return 0; }
float MainWindow::titleShadowOffset() { return 0; }
float MainWindow::titleFontSize() { return 0; }
QString MainWindow::musicPlaceholderTitle() { return QString(); }
QString MainWindow::textPlaceholder() { return QString(); }
int MainWindow::videoThumbnailCount(Segment *) { return 0; }
QPixmap *MainWindow::videoThumbnail(Segment *, int) { return nullptr; }
void MainWindow::releaseVideoThumbnails(Segment *) {}
float MainWindow::videoDuration(Segment *) { return 0; }
float MainWindow::audioDuration(Segment *) { return 0; }
QSizeF MainWindow::videoSize(Segment *) { return QSizeF(); }
QString MainWindow::audioTitle(Segment *) { return QString(); }
QString MainWindow::audioArtist(Segment *) { return QString(); }
void MainWindow::setCachedVideoThumbnail(Segment *, int, const QPixmap &) {}
QPixmap *MainWindow::cachedVideoThumbnail(Segment *, int) { return nullptr; }
VideoThumbnails *MainWindow::cachedVideoThumbnails(Segment *) { return nullptr; }
int MainWindow::cachedVideoThumbnailCount(Segment *) { return 0; }
float MainWindow::devicePixelRatio() { return float(devicePixelRatioF()); }
float MainWindow::pixelsForDuration(float seconds) { return 24 * 4.0f * seconds; }
void MainWindow::segmentAudioPlotDataDidReady(Segment *segment)
{
  emit segmentListener_segmentAudioPlotDataDidReady(segment);
}
