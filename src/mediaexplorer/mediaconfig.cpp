#include "mediaconfig.h"

#include "wholefile.h"

#include <QEvent>
#include <QFile>

namespace {

QByteArray _readAll(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool _writeAll(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The copy's place; without a scratch folder the settings live only while they are open.
QString _copyPath(const QTemporaryDir &scratch, const QByteArray &bytes)
{
  if (!scratch.isValid())
    return QString();
  const QString path = scratch.filePath(QStringLiteral("media.config"));
  if (!bytes.isEmpty())
    _writeAll(path, bytes);
  return path;
}

} // namespace

MediaConfig::MediaConfig(const QString &path, QObject *parent)
  : QObject(parent), _path(path), _written(_readAll(path)),
    _settings(_copyPath(_scratch, _written), QSettings::IniFormat)
{
  // Qt syncs the store on this event, posted after the first change since the last sync.
  _settings.installEventFilter(this);
}

MediaConfig::~MediaConfig()
{
  _writeBack();
}

bool MediaConfig::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == &_settings && event->type() == QEvent::UpdateRequest) {
    _writeBack();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void MediaConfig::_writeBack()
{
  _settings.sync();
  if (_settings.fileName().isEmpty())
    return;
  const QByteArray bytes = _readAll(_settings.fileName());
  if (bytes == _written)
    return;
  const bool written = WholeFile::write(_path, [&bytes](QFileDevice &file) {
    return file.write(bytes) == bytes.size();
  }) == WholeFile::Written;
  if (written)
    _written = bytes;
}
