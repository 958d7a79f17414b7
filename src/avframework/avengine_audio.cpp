// The facade's sound file entries: adding sound segments and what the editor asks about
// their files.
#include "avaudiosegment.h"
#include "avengine.h"

#include <string>

AVAudioSegment *AVEngine::_findAudio(uint32_t id) const
{
  return dynamic_cast<AVAudioSegment *>(_find(id));
}

uint32_t AVEngine::addAudioSegment(uint32_t id, const char *path, float start, float rangeStart, float rangeDuration)
{
  _report({"addAudioSegment", id, 0, 0, start, rangeStart, rangeDuration, 0, path});
  const std::string file = path ? path : "";
  auto *segment = rangeDuration == 0
                    ? new AVAudioSegment(start, file, audioSampleRate(), audioChannels())
                    : new AVAudioSegment(start, rangeStart, rangeDuration, file, audioSampleRate(), audioChannels());
  return _add(segment, id);
}

float AVEngine::audioDuration(uint32_t id)
{
  AVAudioSegment *audio = _findAudio(id);
  return audio ? float(audio->mediaDuration()) : 0;
}

const char *AVEngine::audioArtist(uint32_t id)
{
  AVAudioSegment *audio = _findAudio(id);
  return audio ? audio->artist() : nullptr;
}

const char *AVEngine::audioTitle(uint32_t id)
{
  AVAudioSegment *audio = _findAudio(id);
  return audio ? audio->title() : nullptr;
}
