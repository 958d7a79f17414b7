#include "qtaudioinputbackend.h"

#include "mediaservicelock.h"

#include <QAudioProbe>
#include <QAudioRecorder>
#include <QMutex>

QtAudioInputBackend::QtAudioInputBackend(QObject *parent)
  : AudioInputBackend(parent)
{
  {
    QMutexLocker serviceLock(&mediaServiceMutex());
    _recorder = new QAudioRecorder(this);
  }
  _probe = new QAudioProbe(this);
  connect(_probe, &QAudioProbe::audioBufferProbed, this, &AudioInputBackend::audioBufferProbed);
  _probe->setSource(_recorder);
  connect(_recorder, &QMediaRecorder::stateChanged, this, &AudioInputBackend::stateChanged);
  connect(_recorder, &QMediaRecorder::durationChanged, this, &AudioInputBackend::durationChanged);
  connect(_recorder, QOverload<QMediaRecorder::Error>::of(&QMediaRecorder::error), this, [this] { emit error(); });
}

QtAudioInputBackend::~QtAudioInputBackend()
{
  _recorder->stop();
  // Not left to QObject: the recorder releases its service, which the preview's thread may be
  // requesting at the same time.
  QMutexLocker serviceLock(&mediaServiceMutex());
  delete _recorder;
}

QString QtAudioInputBackend::container()
{
  return QStringLiteral("audio/x-wav");
}

QString QtAudioInputBackend::codec()
{
  return QStringLiteral("audio/x-raw");
}

QStringList QtAudioInputBackend::audioInputs() const
{
  return _recorder->audioInputs();
}

QString QtAudioInputBackend::defaultAudioInput() const
{
  return _recorder->defaultAudioInput();
}

void QtAudioInputBackend::setAudioInput(const QString &name)
{
  _recorder->setAudioInput(name);
}

void QtAudioInputBackend::setQuality(QMultimedia::EncodingQuality quality)
{
  QAudioEncoderSettings settings;
  settings.setCodec(codec());
  settings.setQuality(quality);
  _recorder->setEncodingSettings(settings, QVideoEncoderSettings(), container());
}

void QtAudioInputBackend::setOutputLocation(const QUrl &location)
{
  _recorder->setOutputLocation(location);
}

QUrl QtAudioInputBackend::outputLocation() const
{
  return _recorder->outputLocation();
}

QUrl QtAudioInputBackend::actualLocation() const
{
  return _recorder->actualLocation();
}

void QtAudioInputBackend::record()
{
  _recorder->record();
}

void QtAudioInputBackend::stop()
{
  _recorder->stop();
}

QMediaRecorder::State QtAudioInputBackend::state() const
{
  return _recorder->state();
}

qint64 QtAudioInputBackend::duration() const
{
  return _recorder->duration();
}

QString QtAudioInputBackend::errorString() const
{
  return _recorder->errorString();
}
