#include "engineloadingtask.h"

#include "segment.h"

void EngineLoadingTask::work()
{
  Segment *segment = m_segment;
  post([segment] { segment->setState(SegmentLoading); });
}
