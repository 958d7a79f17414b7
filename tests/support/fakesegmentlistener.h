#pragma once

#include "segmentlistener.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QPixmap>

// A SegmentListener for tests: records every report and answers the engine and cache
// queries from values the test scripts. Paint values are the editor window's.
class FakeSegmentListener : public SegmentListener
{
public:
  // Scripted answers, keyed by segment runtime id where a segment is asked about.
  QString folder;
  ProjectManager *manager = nullptr;
  QHash<quint32, float> videoDurations;
  QHash<quint32, float> audioDurations;
  QHash<quint32, QSizeF> videoSizes;
  QHash<quint32, QString> titles;
  QHash<quint32, QString> artists;
  QHash<quint32, QList<QPixmap>> engineThumbnails;
  QHash<QString, QHash<int, QPixmap>> thumbnailCache; // by segment UId
  float pixelRatio = 1;
  int zoom = 24;

  // Recorded calls (the state reports may come from loading threads).
  QList<QPair<Segment *, int>> stateChanges() const;
  // The states reported for one segment, in order.
  QList<int> statesOf(const Segment *segment) const;
  QList<Segment *> rangeChanges;
  QList<Segment *> plotReady;
  QList<Segment *> releasedThumbnails;

  void segmentStateChanged(Segment *segment, int state) override;
  void segmentRangeChanged(Segment *segment) override { rangeChanges.append(segment); }
  ProjectManager *projectManager() override { return manager; }
  QString projectFolder() override { return folder; }
  void noOperation() override {}
  QString loadErrorText() override { return QStringLiteral("Load Error"); }
  QString fileNotFoundText() override { return QStringLiteral("File Not Found"); }
  float messageMargin() override { return 5.0f; }
  quint32 messageBackgroundColor() override { return 0xFFFFFF00u; }
  quint32 messageTextColor() override { return 0xFF000000u; }
  float messageFontSize() override { return 12.0f; }
  float titleMargin() override { return 5.0f; }
  quint32 titleTextColor() override { return 0xFFE6E6E6u; }
  quint32 titleShadowColor() override { return 0xFF000000u; }
  float titleShadowOffset() override { return 0.5f; }
  float titleFontSize() override { return 12.0f; }
  QString musicPlaceholderTitle() override { return QStringLiteral("<Music>"); }
  QString textPlaceholder() override { return QStringLiteral("<No text>"); }
  quint32 accentColor() override { return 0xFF0000FFu; }
  int videoThumbnailCount(Segment *segment) override;
  QPixmap *videoThumbnail(Segment *segment, int index) override;
  void releaseVideoThumbnails(Segment *segment) override { releasedThumbnails.append(segment); }
  float videoDuration(Segment *segment) override;
  float audioDuration(Segment *segment) override;
  QSizeF videoSize(Segment *segment) override;
  QString audioTitle(Segment *segment) override;
  QString audioArtist(Segment *segment) override;
  void setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap) override;
  QPixmap *cachedVideoThumbnail(Segment *segment, int index) override;
  VideoThumbnails *cachedVideoThumbnails(Segment *) override { return nullptr; }
  int cachedVideoThumbnailCount(Segment *segment) override;
  float devicePixelRatio() override { return pixelRatio; }
  float pixelsForDuration(float seconds) override { return seconds * 4.0f * float(zoom); }
  void segmentAudioPlotDataDidReady(Segment *segment) override;

private:
  mutable QMutex m_mutex;
  QList<QPair<Segment *, int>> m_stateChanges;
};
