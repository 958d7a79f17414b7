#pragma once

#include <QSizeF>
#include <QString>
#include <QtGlobal>

class QPixmap;
class ProjectManager;
class Segment;
class VideoThumbnails;

// How a segment reaches the rest of the editor: change reports, project services, engine
// queries by runtime id, the thumbnail cache and the values its timeline block paints with.
// State changes, waveform reports and the engine and cache queries may come from loading
// threads; the implementation re-posts what it must to the GUI thread.
class SegmentListener
{
public:
  virtual ~SegmentListener() = default;

  virtual void segmentStateChanged(Segment *segment, int state) = 0;
  virtual void segmentRangeChanged(Segment *segment) = 0;
  virtual ProjectManager *projectManager() = 0;
  // A slot kept free in the order of the operations; it does nothing.
  virtual void noOperation() = 0;
  virtual QString projectFolder() = 0;
  virtual QString loadErrorText() = 0;
  virtual QString fileNotFoundText() = 0;
  virtual float messageMargin() = 0;
  virtual quint32 messageBackgroundColor() = 0;
  virtual quint32 messageTextColor() = 0;
  virtual float messageFontSize() = 0;
  virtual float titleMargin() = 0;
  virtual quint32 titleTextColor() = 0;
  virtual quint32 titleShadowColor() = 0;
  virtual float titleShadowOffset() = 0;
  virtual float titleFontSize() = 0;
  virtual QString musicPlaceholderTitle() = 0;
  virtual QString textPlaceholder() = 0;
  virtual quint32 accentColor() = 0;
  virtual int videoThumbnailCount(Segment *segment) = 0;
  // A new pixmap the caller owns, or null.
  virtual QPixmap *videoThumbnail(Segment *segment, int index) = 0;
  virtual void releaseVideoThumbnails(Segment *segment) = 0;
  virtual float videoDuration(Segment *segment) = 0;
  virtual float audioDuration(Segment *segment) = 0;
  // Invalid while the engine has not opened the movie.
  virtual QSizeF videoSize(Segment *segment) = 0;
  virtual QString audioTitle(Segment *segment) = 0;
  virtual QString audioArtist(Segment *segment) = 0;
  virtual void setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap) = 0;
  virtual QPixmap *cachedVideoThumbnail(Segment *segment, int index) = 0;
  virtual VideoThumbnails *cachedVideoThumbnails(Segment *segment) = 0;
  virtual int cachedVideoThumbnailCount(Segment *segment) = 0;
  virtual float devicePixelRatio() = 0;
  virtual float pixelsForDuration(float seconds) = 0;
  virtual void segmentAudioPlotDataDidReady(Segment *segment) = 0;
};
