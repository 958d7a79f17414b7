#pragma once

#include "engineloadingtask.h"
#include "layersegment.h"
#include "segmentloader.h"

#include <atomic>

class UserStyleDefaults;
class VideoThumbnails;

// A video file, opened by the engine twice: as a picture layer under the segment's runtime
// id and as a sound under a second one, the audio-part id. Keeps the trim of the media in
// media seconds, learns the media length and natural frame size from the engine, and paints
// its block from the thumbnails cache.
class MovieSegment : public LayerSegment
{
public:
  MovieSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  MovieSegment(const QString &filePath, float rangeStart, SegmentListener *listener,
               const UserStyleDefaults *defaults);
  MovieSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);
  ~MovieSegment() override;

  quint32 audioPartId() const override { return m_audioPartId; }
  // Polled from the project loader's thread.
  bool isLoaded() const override { return m_audioReported.load() && m_videoOpened.load(); }
  void loadStatusUpdated(quint32 segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo) override;
  // Media length / Speed; the duration while the length is not known.
  float mediaDuration() const override;
  double timeStamp() const override;
  bool hasTimeStamp() const override { return m_timeStampFilled; }
  bool isTimelineContentReady() const override { return m_audioReported.load() && m_videoReported.load(); }
  void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;
  void paintOverlay(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;
  bool moveLeftEdge(float *time) override;
  bool moveRightEdge(float *time) override;
  QTransform fitTransform(const QSizeF &frameSize, QRectF *placed = nullptr) const override;
  QTransform userTransform(const QSizeF &frameSize, QRectF *placed = nullptr) const override;
  QTransform transitionTransform(int id, bool begin, const QSizeF &frameSize, QRectF *placed = nullptr) const override;
  LayerGeometry fitGeometry(const QSizeF &frameSize) const override;
  bool hasAudio() const override { return m_hasAudio.load(); }
  QString fileName() const override;

  bool hasVideo() const { return m_hasVideo.load(); }
  bool isFreshImport() const { return m_freshImport; }
  // The video's natural frame size; invalid until the engine has opened it.
  QSizeF videoSize() const { return m_videoSize; }
  float mediaLength() const { return m_mediaLength; }
  // The absolute path of "File"; empty without one.
  QString filePath() const;
  void setFile(const QString &path);

  // Media seconds, as stored.
  float trimStart() const;
  float trimDuration() const;
  // Timeline seconds: the stored values / Speed.
  float speedScaledTrimStart() const;
  float speedScaledTrimDuration() const;
  void setSpeedScaledTrimDuration(float seconds);

  // Takes the larger of the engine's video and audio durations as the media length and, when
  // it changed, fills the duration and trim the segment does not have yet.
  void updateMediaLength();

private:
  friend class MovieFetchingThumbnailsTask;
  void _startLoading();
  void _clearLoadState();
  void _fetchThumbnails();
  void _refuseWithoutLength();
  QTransform _placement(const QSizeF &frameSize, QSizeF scale, QPointF translation, double rotation, bool flip,
                        bool flipH, bool flipV, QRectF *placed) const;
  void _paintStrip(QPainter *painter, const QRect &rect, float pixelsPerSecond, bool fromMediaStart);

  mutable bool m_timeStampFilled = false;
  quint32 m_audioPartId = 0;
  std::atomic<bool> m_hasAudio{false};
  std::atomic<bool> m_hasVideo{false};
  std::atomic<bool> m_videoReported{false};
  std::atomic<bool> m_audioReported{false};
  float m_mediaLength = 0;
  std::atomic<bool> m_videoOpened{false};
  QSizeF m_videoSize;
  bool m_freshImport = false;
  bool m_thumbnailsQueued = false;
  SegmentLoader m_loader;
};

// Copies the engine's thumbnails of a movie into the thumbnails cache, then takes the media
// length and frame size and ends the loading. The listener reads the segment's properties to
// answer, so all of it runs on the segment's thread, after the report that queued it.
class MovieFetchingThumbnailsTask : public LoadingTask
{
public:
  explicit MovieFetchingThumbnailsTask(MovieSegment *segment) : m_segment(segment) {}

protected:
  void work() override;

private:
  MovieSegment *m_segment;
};
