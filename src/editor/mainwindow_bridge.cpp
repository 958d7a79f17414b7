// The engine's callbacks. They arrive on engine threads; each only logs and emits a signal of
// the window, which the constructor connects queued to the window's own slots.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avrender.h"
#include "avsegment.h"

#include <QDebug>

void mainWindowCompositionListener(AVComposition *composition, AVSegment *segment, void *userData)
{
  Q_UNUSED(composition)
  auto *window = static_cast<MainWindow *>(userData);
  const int status = segment->loadError();
  if (status != 0)
    qDebug().noquote() << QStringLiteral("Segment (id=%1) load error = %2").arg(segment->id()).arg(status);
  emit window->avsegmentLoadStatusUpdated(int(segment->id()), status, 0, segment->hardOrSoftVideo() ? 1 : 0);
}

void mainWindowThumbnailsLoadedCallback(uint32_t segmentId, void *userData)
{
  emit static_cast<MainWindow *>(userData)->avsegmentLoadStatusUpdated(int(segmentId), 0, 1, 0);
}

void mainWindowRenderCallback(AVRender *render, int status, double time, void *userData)
{
  auto *window = static_cast<MainWindow *>(userData);
  switch (status) {
  case kAVRenderPaused:
  case kAVRenderPlaying:
    emit window->avrenderStatusChanged(status);
    break;
  case kAVRenderTime: {
    // Without a composition the duration is unknown, which counts as negative.
    AVComposition *composition = render ? render->composition() : nullptr;
    const double duration = composition ? composition->duration() : -1.0;
    if (duration >= 0) {
      emit window->avrenderProgressChanged(time, duration);
      emit window->offscreenReady();
    }
    break;
  }
  case kAVRenderEnd:
    qDebug() << "reach end";
    emit window->avrenderStatusChanged(status);
    break;
  default:
    break;
  }
}

void mainWindowExporterCallback(AVExporter *exporter, int message, double value, void *userData)
{
  Q_UNUSED(exporter)
  auto *window = static_cast<MainWindow *>(userData);
  if (message == 0) {
    emit window->avexporterProgressChanged(float(value));
  } else if (message == 1) {
    qDebug() << "AVExporter_Msg_Finished: " << value;
    emit window->avexporterFinished(int(value));
  }
}
