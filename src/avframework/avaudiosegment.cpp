#include "avaudiosegment.h"

#include "avaudiostream.h"
#include "avcommon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

AVAudioSegment::AVAudioSegment(double start, const std::string &fileName, int baseRate, int channels)
  : AVAudioSegment(start, 0, 0, fileName, baseRate, channels)
{
}

AVAudioSegment::AVAudioSegment(double start, double rangeStart, double rangeDuration, const std::string &fileName,
                               int baseRate, int channels)
  : AVSoundSegment(start), _rangeStart(rangeStart), _rangeDuration(std::max(0.0, rangeDuration)),
    _effectiveRate(baseRate), _channels(std::max(1, channels)), _baseRate(std::max(1, baseRate)),
    _stream(new AVAudioStream(fileName, baseRate, channels)), _cacheMutex(avMutexCreate())
{
  setDuration(_rangeDuration);
}

AVAudioSegment::~AVAudioSegment()
{
  // First the stream: its threads call back into this segment until they are joined.
  delete _stream;
  _freeCache();
  _dropHeld();
  avMutexDestroy(_cacheMutex);
}

void AVAudioSegment::setDuration(double seconds)
{
  AVSegment::setDuration(seconds);
  // A zero length leaves the mapping as it was rather than dividing by it.
  if (_rangeDuration > 0 && seconds > 0) {
    _stretch = seconds / _rangeDuration;
    _stream->setStretch(_stretch);
    _effectiveRate = std::max(1, int(_baseRate * _stretch));
  }
}

void AVAudioSegment::setListener(AVSegmentListener function, void *userData)
{
  if (_stream->isOpen())
    return;
  AVSegment::setListener(function, userData);
  _ready = false;
  _stream->startLoading(_opened, this);
}

void AVAudioSegment::_opened(AVContent *, int result, void *argument)
{
  auto *self = static_cast<AVAudioSegment *>(argument);
  // The length first: whoever sees the segment loaded (a mix pass, a poll) sees its length.
  const bool wholeFile = result == kAVOpenOk && self->_rangeDuration <= 0;
  if (wholeFile) {
    self->_rangeDuration = std::max(0.0, self->mediaDuration());
    self->setDuration(self->_rangeDuration);
    self->_ready = true;
  }
  self->setLoadError(result);
  if (result == kAVOpenOk && !wholeFile)
    self->seek(self->startTime(), true);
  self->notifyListener(result);
}

void AVAudioSegment::_seekDone(AVContent *, uint8_t *data, uint32_t, double, void *argument)
{
  if (!data)
    return;
  auto *self = static_cast<AVAudioSegment *>(argument);
  self->notifyAuxListener(0);
  self->_ready = true;
}

void AVAudioSegment::_freeCache()
{
  free(_cache);
  _cache = nullptr;
  _cacheFill = 0;
}

void AVAudioSegment::_dropHeld()
{
  freeFrameRecord(_held);
  _held = AVFrameRecord();
  _heldOffset = 0;
}

void AVAudioSegment::sleep(bool exporting)
{
  AVSegment::sleep(exporting);
  {
    AVMutexLocker locker(_cacheMutex);
    _freeCache();
    _dropHeld();
  }
  _stream->sleep();
}

void AVAudioSegment::wake()
{
  AVSegment::wake();
  _stream->awaken();
}

void AVAudioSegment::seek(double time, bool)
{
  _ready = false;
  {
    AVMutexLocker locker(_cacheMutex);
    _freeCache();
    _dropHeld();
  }
  const double media = std::max(_rangeStart.load(), _rangeStart + (time - startTime()) / _stretch);
  _stream->seek(media, _seekDone, this, true);
}

void AVAudioSegment::update(double, bool wait, bool)
{
  AVMutexLocker locker(_cacheMutex);
  if (_cacheFill > 0)
    return;
  const int frameBytes = _channels * 2;
  const double stretch = _stretch;
  const int rate = _effectiveRate;
  const int pulls = std::max(1, int(1 / stretch + 0.5));
  bool first = true;
  for (int i = 0; i < pulls; ++i) {
    if (!_held.data) {
      // The stream's frames are the held record from now on, even when only part fits.
      _held = _stream->takeFrame(wait);
      _heldOffset = 0;
      if (!_held.data)
        break;
      if (_held.time < 0) {
        const auto cut = uint32_t(std::llround(-_held.time)) * uint32_t(frameBytes);
        _heldOffset = std::min(cut, _held.size);
        _held.time = 0;
      }
    }
    if (!_cache) {
      _cache = static_cast<uint8_t *>(calloc(kCacheBytes, 1));
      _cacheFill = 0;
      if (!_cache)
        return;
    }
    if (first) {
      const double position = _held.time + double(_heldOffset / uint32_t(frameBytes));
      _cachePosition = position - int(rate * _rangeStart) + int(startTime() * rate / stretch);
      first = false;
    }
    // A frame larger than what is left is split: the rest waits for the next refill.
    const int room = (kCacheBytes - _cacheFill) / frameBytes * frameBytes;
    const int bytes = std::min(room, int(_held.size - _heldOffset));
    memcpy(_cache + _cacheFill, _held.data + _heldOffset, size_t(bytes));
    _cacheFill += bytes;
    _heldOffset += uint32_t(bytes);
    if (_heldOffset < _held.size)
      break;
    _dropHeld();
  }
  if (_cacheFill == 0)
    _freeCache();
}

void AVAudioSegment::_span(double *first, double *end) const
{
  const double scale = _effectiveRate / _stretch;
  *first = int(startTime() * scale);
  *end = int((startTime() + duration()) * scale);
}

int AVAudioSegment::readAudio(uint8_t *destination, int capacity, double *position, double from, double to,
                              bool *exhausted)
{
  AVMutexLocker locker(_cacheMutex);
  *exhausted = true;
  if (_cacheFill > capacity)
    return 0;
  double s0, s1;
  _span(&s0, &s1);
  if (from > s1)
    return 0;
  const double end = std::min(s1, to);
  const int frameBytes = _channels * 2;
  if (!_cache) {
    // Data is still to come unless the decoder has nothing more for this segment.
    const bool drained = _stream->isDecodeEnded() && !_held.data && _stream->frameCount() == 0;
    *exhausted = (end == s1 && drained) || s0 > end || from > s1;
    return 0;
  }
  const double p = _cachePosition;
  const int k = _cacheFill / frameBytes;
  if (p < from) {
    _freeCache();
    *exhausted = false;
    return 0;
  }
  if (p >= end)
    return 0;
  int bytes;
  if (p + k <= end)
    bytes = _cacheFill;
  else if (p + k > s1 && end == s1)
    bytes = int(s1 - p) * frameBytes; // the segment's tail
  else
    return 0; // the window ends inside the chunk: kept for the next one
  memcpy(destination, _cache, size_t(bytes));
  *position = p;
  _freeCache();
  *exhausted = false;
  locker.unlock();
  evaluateVolume(p / _effectiveRate * _stretch);
  return bytes;
}

void AVAudioSegment::setRangeStart(double seconds)
{
  if (mediaDuration() > 0)
    _rangeStart = std::min(std::max(0.0, seconds), _rangeStart + _rangeDuration);
  else
    _rangeStart = seconds;
  seek(startTime(), true);
}

void AVAudioSegment::setRangeDuration(double seconds)
{
  _rangeDuration = std::max(0.0, seconds);
  setDuration(_rangeDuration);
}

double AVAudioSegment::mediaDuration() const
{
  return _stream->duration();
}

const char *AVAudioSegment::artist() const
{
  return _stream->artist();
}

const char *AVAudioSegment::title() const
{
  return _stream->title();
}
