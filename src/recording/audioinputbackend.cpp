#include "audioinputbackend.h"

#include "qtaudioinputbackend.h"

namespace {
AudioInputBackend::Factory &installedFactory()
{
  static AudioInputBackend::Factory factory;
  return factory;
}
} // namespace

AudioInputBackend::AudioInputBackend(QObject *parent) : QObject(parent) {}

AudioInputBackend::~AudioInputBackend() = default;

AudioInputBackend *AudioInputBackend::create(QObject *parent)
{
  if (installedFactory())
    return installedFactory()(parent);
  return new QtAudioInputBackend(parent);
}

void AudioInputBackend::setFactory(Factory factory)
{
  installedFactory() = std::move(factory);
}
