// The facade's playback commands, forwarded to the playback controller.
#include "avengine.h"
#include "avrender.h"

void AVEngine::togglePlayPause()
{
  if (!_render)
    return;
  if (_render->isPlaying())
    _render->pause();
  else
    _render->play();
}

void AVEngine::pause()
{
  _report({"pause"});
  if (_render && _render->isPlaying())
    _render->pause();
}

void AVEngine::seek(float seconds, bool exact)
{
  _report({"seek", 0, 0, 0, seconds, 0, 0, 0, nullptr, nullptr, exact});
  if (!_render)
    return;
  _render->pause();
  _render->seek(seconds, exact);
}

void AVEngine::refresh()
{
  _report({"refresh"});
  if (_render)
    _render->step(1);
}

float AVEngine::currentTime()
{
  return _render ? float(_render->currentTime()) : 0;
}

bool AVEngine::isIdle()
{
  return !_render || (_render->isVideoParked() && _render->isAudioParked());
}
