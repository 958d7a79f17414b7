#pragma once

#include "segmentloader.h"

class Segment;

// The loading task of a segment whose media the engine opens: it moves the segment to state
// 1, on the segment's thread; the editor then adds the engine parts, whose reports take the
// segment further (loadStatusUpdated).
class EngineLoadingTask : public LoadingTask
{
public:
  explicit EngineLoadingTask(Segment *segment) : m_segment(segment) {}

protected:
  void work() override;

private:
  Segment *m_segment;
};

class MovieLoadingTask : public EngineLoadingTask
{
public:
  using EngineLoadingTask::EngineLoadingTask;
};

class MusicLoadingTask : public EngineLoadingTask
{
public:
  using EngineLoadingTask::EngineLoadingTask;
};

class VoiceLoadingTask : public EngineLoadingTask
{
public:
  using EngineLoadingTask::EngineLoadingTask;
};
