#pragma once
// Base of every engine segment: its place in time, enabled and asleep flags, load status,
// transitions and transition groups, and the two listener hooks to the composition.

#include <atomic>
#include <cstdint>
#include <vector>

class AVSegment;
class AVTransition;
struct AVMutex;
class TransitionGroup;

using AVSegmentListener = void (*)(AVSegment *segment, int code, void *userData);

// Load status values.
enum : int32_t { kAVLoadPending = -101, kAVLoadOk = 0, kAVLoadUnreadable = -103, kAVLoadReadError = -104 };

class AVSegment
{
public:
  explicit AVSegment(double start);
  AVSegment(double start, double duration);
  AVSegment(const AVSegment &) = delete;
  AVSegment &operator=(const AVSegment &) = delete;

  virtual ~AVSegment();
  virtual void setStartTime(double seconds);
  virtual void setDuration(double seconds);
  virtual void setListener(AVSegmentListener function, void *userData);
  virtual bool isReady();
  virtual void sleep(bool exporting);
  virtual void wake();
  virtual void update(double time, bool pass, bool playing) = 0;
  virtual bool isLayer() const = 0;
  virtual void seek(double time, bool exact) = 0;
  virtual void addTransition(AVTransition *transition);
  virtual void addGroup(TransitionGroup *group);
  virtual void removeGroup(uint32_t groupId);
  virtual void clearGroups();
  virtual void renumberGroup(uint32_t oldId, uint32_t newId);
  // With a group lock, leaves the segment locked when the group exists; applyGroup unlocks it.
  virtual TransitionGroup *findGroup(uint32_t groupId);
  virtual void applyGroup(uint32_t groupId);
  virtual bool isText() const;
  virtual bool isVideo() const;
  virtual bool hardOrSoftVideo() const;

  void setId(uint32_t id) { _id = id; }
  uint32_t id() const { return _id; }
  double startTime() const { return _start; }
  double duration() const { return _duration; }
  bool isEnabled() const { return _enabled; }
  void setEnabled(bool enabled) { _enabled = enabled; }
  bool isAsleep() const { return _asleep; }
  int32_t loadError() const { return _loadStatus; }
  void setLoadError(int32_t status) { _loadStatus = status; }
  void setAuxListener(AVSegmentListener function, void *userData);
  void notifyListener(int code);
  void notifyAuxListener(int code);

  const std::vector<TransitionGroup *> &groups() const { return _groups; }

protected:
  // Layers and sounds guard their transitions with their own lock: the transition and group
  // operations take it, and an edit holds it from findGroup to applyGroup.
  void setGroupLock(AVMutex *mutex) { _groupLock = mutex; }

  // Runs every transition and group at segment-relative time t; the caller has reset the
  // effective values and holds the segment's lock.
  void evaluateTransitions(double t);

private:
  TransitionGroup *_lookUpGroup(uint32_t groupId) const;

  std::atomic<uint32_t> _id{0};
  std::atomic<double> _start;
  std::atomic<double> _duration;
  std::vector<AVTransition *> _transitions;
  std::vector<TransitionGroup *> _groups;
  AVMutex *_groupLock = nullptr;
  AVSegmentListener _listener = nullptr;
  void *_listenerData = nullptr;
  AVSegmentListener _auxListener = nullptr;
  void *_auxListenerData = nullptr;
  std::atomic<int32_t> _loadStatus{kAVLoadPending};
  std::atomic<bool> _asleep{true};
  std::atomic<bool> _enabled{true};
};
