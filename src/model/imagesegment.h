#pragma once

#include "layersegment.h"
#include "segmentloader.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class AVPictureFile;
class QMovie;
class UserStyleDefaults;

// A still picture or an animated GIF. Keeps a timeline preview at the track height, the
// picture's natural size and, once the editor asks for it, the animation with its frame
// delays and a cache of decoded frames for the engine.
class ImageSegment : public LayerSegment
{
public:
  // What a picture read needs, taken on the segment's thread.
  struct PreviewRequest
  {
    QString path;
    int trackHeight = 44;
    float devicePixelRatio = 1;
  };
  struct PreviewResult
  {
    QImage preview;
    QSizeF naturalSize;
    quint32 error = SegmentNoError;
  };

  ImageSegment(const Segment *other, const QString &filePath, float rangeStart, SegmentListener *listener);
  ImageSegment(const QString &filePath, float rangeStart, float duration, SegmentListener *listener,
               const UserStyleDefaults *defaults);
  // No file and no loading; the base of a new drawing.
  explicit ImageSegment(SegmentListener *listener);
  ImageSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);
  ~ImageSegment() override;

  void setProperties(PropertyMap *properties) override;
  bool isLoaded() const override { return isTimelineContentReady(); }
  double timeStamp() const override;
  bool hasTimeStamp() const override { return m_timeStampFilled; }
  bool isTimelineContentReady() const override;
  void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;
  LayerGeometry fitGeometry(const QSizeF &frameSize) const override;
  QString fileName() const override;
  // Opens a GIF of more than one frame as an animation; false for a still picture.
  virtual bool loadAnimation();

  // Reads the picture on the calling thread: state 1, the preview, the error code, state 4.
  void loadPreview();
  // The animation's frame at a time, as premultiplied ARGB32 bytes the caller releases with
  // free(); outSize gets width and height. Null without an animation or on a failed decode.
  // Called from the engine's loading thread.
  uchar *animationFrameBits(float timeMs, int outSize[2]);
  // The picture read at most 600 pixels wide and tall; null when unreadable.
  QPixmap thumbnail() const;
  QSizeF naturalSize() const { return m_naturalSize; }
  QPixmap preview() const { return m_preview; }
  void replaceFile(const QString &path);
  void setFitDurationToAnimation(bool fit) { m_fitDuration = fit; }
  // Stores a path inside the project folder as a bare name, any other path as it is.
  void setFile(const QString &path);
  // The absolute path of "File"; empty without one.
  QString filePath() const;

  // The index of the frame shown at timeMs for these delays (ms), or -1 without delays.
  // Times past the end wrap; delays that add up to 0 show frame 0.
  static int animationFrameIndex(const QVector<float> &delays, float timeMs);
  // The picture read for a preview of the request's track height; runs on any thread. A read
  // cancelled (cancelled may be empty) or one that goes on too long is a load error.
  static PreviewResult readPreview(const PreviewRequest &request, const std::function<bool()> &cancelled = {});

protected:
  // Queues the picture read once construction is over; from the constructors that load.
  // A new drawing reads through a DrawingLoadingTask, everything else an ImageLoadingTask.
  void startLoading(bool newDrawing = false);
  void setNaturalSize(const QSizeF &size) { m_naturalSize = size; }
  void setPreview(const QPixmap &preview);
  void dropAnimation();

private:
  friend class ImageLoadingTask;
  void _beginLoading(bool newDrawing);
  PreviewRequest _previewRequest() const;
  void _applyPreview(quint64 generation, const PreviewResult &result);
  // A new movie on a new bounded file, at its start; false when it cannot be read. Under the
  // animation's lock.
  bool _openAnimation(const QString &absolutePath);

  mutable bool m_timeStampFilled = false;
  QPixmap m_preview;
  // Whether m_preview holds a picture: the project loader's thread asks isLoaded while the
  // segment's thread replaces the pixmap, which it must not look into.
  std::atomic<bool> m_hasPreview{false};
  QSizeF m_naturalSize;
  // The engine's thread and the segment's thread both reach the animation.
  std::mutex m_animationMutex;
  // The movie reads through its own file, which it does not own: declared first, it goes last.
  std::unique_ptr<AVPictureFile> m_animationFile;
  std::unique_ptr<QMovie> m_animation;
  std::unique_ptr<QVector<float>> m_frameDelays;
  float m_totalDelay = 0;
  QHash<int, QImage> m_frameCache;
  bool m_fitDuration = false;
  // Each picture read takes the next number; results of older reads are dropped.
  quint64 m_loadGeneration = 0;
  SegmentLoader m_loader;
};

// Reads a segment's picture on the asset loading pool.
class ImageLoadingTask : public LoadingTask
{
public:
  ImageLoadingTask(ImageSegment *segment, quint64 generation, ImageSegment::PreviewRequest request)
      : m_segment(segment), m_generation(generation), m_request(std::move(request))
  {
  }

protected:
  void work() override;

private:
  ImageSegment *m_segment;
  quint64 m_generation;
  ImageSegment::PreviewRequest m_request;
};

// The read of a new drawing's first picture: the same work.
class DrawingLoadingTask : public ImageLoadingTask
{
public:
  using ImageLoadingTask::ImageLoadingTask;
};
