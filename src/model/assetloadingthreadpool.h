#pragma once

#include <QThreadPool>

// The one pool that reads segments' media in the background (pictures, thumbnail copies,
// waveforms). Created on first use from any thread and never destroyed, so a task still
// queued at exit finds it.
class AssetLoadingThreadPool : public QThreadPool
{
public:
  static AssetLoadingThreadPool *instance();

private:
  AssetLoadingThreadPool() = default;
};
