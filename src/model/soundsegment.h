#pragma once

#include "segment.h"
#include "segmentloader.h"

// Base of the timeline items that only make sound. The trim is in timeline seconds, without
// Speed scaling; this base has none of its own.
class SoundSegment : public Segment
{
public:
  SoundSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  explicit SoundSegment(SegmentListener *listener);
  SoundSegment(PropertyMap *properties, SegmentListener *listener);

  virtual float trimStart() const { return 0; }
  virtual void setTrimStart(float) {}
  virtual float trimDuration() const { return duration(); }
  virtual void setTrimDuration(float) {}
};

// Music and voice: a sound file the engine plays under the segment's runtime id. Its one
// load report gives the media length and ends the loading in state 4.
class FileSoundSegment : public SoundSegment
{
public:
  ~FileSoundSegment() override;

  float trimStart() const override;
  void setTrimStart(float seconds) override;
  float trimDuration() const override;
  void setTrimDuration(float seconds) override;
  // "TrimStart" / Speed.
  float speedScaledTrimStart() const;

  bool hasAudio() const override { return true; }
  void loadStatusUpdated(quint32 segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo) override;
  // Media length / Speed; the duration while the length is not known.
  float mediaDuration() const override;
  float mediaLength() const { return m_mediaLength; }
  bool moveLeftEdge(float *time) override;
  bool moveRightEdge(float *time) override;
  QString fileName() const override;

  // Stores a path inside the project folder as a bare name, any other path as it is.
  void setFile(const QString &path);
  // The absolute path of the file; empty without one.
  QString filePath() const;

protected:
  FileSoundSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  explicit FileSoundSegment(SegmentListener *listener);
  FileSoundSegment(PropertyMap *properties, SegmentListener *listener);

  // Queues the loading task once construction is over; every constructor does.
  void startLoading();
  virtual LoadingTask *createLoadingTask() = 0;
  // After the engine's report, before state 4.
  virtual void loadReported(bool loaded) { Q_UNUSED(loaded) }
  // The stored form of the file; empty without one.
  virtual QString storedFile() const;
  SegmentLoader &loader() { return m_loader; }
  // The block's message for an error; true when one was painted or painting is off.
  bool paintErrorOrNothing(QPainter *painter, const QRect &rect) const;

private:
  float m_mediaLength = 0;
  SegmentLoader m_loader;
};
