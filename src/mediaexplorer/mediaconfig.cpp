#include "mediaconfig.h"

#include "wholefile.h"

#include <QAtomicInt>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QVariantMap _valuesOf(const QSettings &settings)
{
  QVariantMap values;
  for (const QString &key : settings.allKeys())
    values.insert(key, settings.value(key));
  return values;
}

// The pages' settings live in memory only: Qt's store is given a file name that can never be
// made (a folder under a device), so it never writes anything itself. Each object has a name of
// its own, as Qt shares the settings of one name between its stores.
QString _nowhere()
{
  static QAtomicInt count;
  return QStringLiteral("/dev/null/media-config-%1/media.config").arg(count.fetchAndAddRelaxed(1));
}

} // namespace

MediaConfig::MediaConfig(const QString &path, QObject *parent)
  : QObject(parent), _path(path), _settings(_nowhere(), QSettings::IniFormat)
{
  QFile file(_path);
  if (file.exists()) {
    _written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    // Only reading is done here: Qt's store writes nothing for a file it was not asked to change.
    const QSettings stored(_path, QSettings::IniFormat);
    _writable = file.error() == QFileDevice::NoError && stored.status() == QSettings::NoError;
    if (!_writable)
      qWarning("Cannot read %s whole: the explorer's settings are not saved", qPrintable(_path));
    _stored = _valuesOf(stored);
  }
  for (auto it = _stored.cbegin(); it != _stored.cend(); ++it)
    _settings.setValue(it.key(), it.value());
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
  // Lets Qt post its event again at the next change.
  _settings.sync();
  const QVariantMap values = _valuesOf(_settings);
  if (!_writable || values == _stored)
    return;
  const QByteArray bytes = _bytesOf(values);
  if (bytes.isNull()) {
    qWarning("Cannot save the explorer's settings to %s", qPrintable(_path));
    return;
  }
  QString error;
  if (WholeFile::write(
          _path, [&bytes](QFileDevice &file) { return file.write(bytes) == bytes.size(); }, true, &error) !=
      WholeFile::Written) {
    qWarning("Cannot save the explorer's settings to %s: %s", qPrintable(_path), qPrintable(error));
    return;
  }
  _stored = values;
  _written = bytes;
}

QByteArray MediaConfig::_bytesOf(const QVariantMap &values) const
{
  // Beside the project's file, under a name whose leftover the next opening removes.
  QTemporaryDir scratch(_path + WholeFile::temporarySuffix() + QStringLiteral("-XXXXXX"));
  if (!scratch.isValid())
    return QByteArray();
  const QString made = scratch.filePath(QStringLiteral("media.config"));
  {
    // Starting from what the file holds keeps its order.
    QFile file(made);
    if (!file.open(QIODevice::WriteOnly) || file.write(_written) != _written.size() || !file.flush())
      return QByteArray();
  }
  {
    QSettings settings(made, QSettings::IniFormat);
    for (const QString &key : settings.allKeys())
      if (!values.contains(key))
        settings.remove(key);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
      settings.setValue(it.key(), it.value());
    settings.sync();
    if (settings.status() != QSettings::NoError)
      return QByteArray();
  }
  // Qt's store can report a file cut short by a full disk as written: what it made must read
  // back as meant, under a name Qt has not read before.
  const QString check = scratch.filePath(QStringLiteral("check.config"));
  if (!QFile::rename(made, check))
    return QByteArray();
  QFile file(check);
  QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  const QSettings readBack(check, QSettings::IniFormat);
  if (file.error() != QFileDevice::NoError || readBack.status() != QSettings::NoError ||
      _valuesOf(readBack) != values)
    return QByteArray();
  if (bytes.isNull())
    bytes = QByteArray("");
  return bytes;
}
