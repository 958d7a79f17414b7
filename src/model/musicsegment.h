#pragma once

#include "audioplotdata.h"
#include "engineloadingtask.h"
#include "soundsegment.h"

#include <atomic>
#include <memory>

// A music or sound-effect file with its title, artist and a waveform decoded in the
// background. Counts as loaded once it has a "Title" or the engine has reported on its file.
class MusicSegment : public FileSoundSegment
{
public:
  MusicSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  MusicSegment(const QString &filePath, float rangeStart, const QString &title, const QString &artist,
               SegmentListener *listener);
  MusicSegment(PropertyMap *properties, SegmentListener *listener, bool isNew);
  ~MusicSegment() override;

  void setProperties(PropertyMap *properties) override;
  // Read from the project loader's thread while the segment's thread may write "Title".
  // Also once the engine has reported without a title: a project must never wait for one
  // that no file will bring.
  bool isLoaded() const override { return m_hasTitle.load() || m_loadReported.load(); }
  bool isTimelineContentReady() const override { return isLoaded(); }
  void paintBlock(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;
  void paintOverlay(QPainter *painter, const QRect &rect, const QRect &visibleRect, float pixelsPerSecond) override;

  QString title() const;
  QString artist() const;
  // The importer used the file's base name: the file's own title and artist replace it on load.
  void setTitleIsFileName(bool fromFileName) { m_titleIsFileName = fromFileName; }
  // Null until the waveform task has finished.
  const AudioPlotData *plotData() const { return m_plotData.get(); }

protected:
  LoadingTask *createLoadingTask() override { return new MusicLoadingTask(this); }
  void loadReported(bool loaded) override;
  // "File", else "URL".
  QString storedFile() const override;

private:
  friend class PlotDataGeneratingTask;
  void _applyPlotData(std::shared_ptr<const AudioPlotData> data);
  void _updateTitleFlag();

  std::shared_ptr<const AudioPlotData> m_plotData;
  bool m_plotQueued = false;
  bool m_titleIsFileName = false;
  std::atomic<bool> m_hasTitle{false};
  std::atomic<bool> m_loadReported{false};
};

// Decodes a music file's waveform on the asset loading pool; the segment gets it on its
// own thread and then tells the listener.
class PlotDataGeneratingTask : public LoadingTask
{
public:
  PlotDataGeneratingTask(MusicSegment *segment, QString path, int desiredCount)
      : m_segment(segment), m_path(std::move(path)), m_desiredCount(desiredCount)
  {
  }

protected:
  void work() override;

private:
  MusicSegment *m_segment;
  QString m_path;
  int m_desiredCount;
};
