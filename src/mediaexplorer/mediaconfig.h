#pragma once

#include <QByteArray>
#include <QObject>
#include <QSettings>
#include <QVariantMap>

// The media explorer's settings of a project, kept in its "media.config" in Qt's INI format.
// Qt's settings store writes a file under a temporary name of its own making, which a killed
// write would leave in the project folder unrecognised, and on a full disk it can report a cut
// file as written. So the pages work on settings held in memory, read whole from the project's
// file; a change is put into INI form in a scratch folder of the program's own naming, checked
// to read back as meant, and written to the project's file whole.
class MediaConfig : public QObject
{
  Q_OBJECT
public:
  MediaConfig(const QString &path, QObject *parent);
  ~MediaConfig() override;

  QSettings *settings() { return &_settings; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  // Writes the settings to the project's file when they differ from what it holds.
  void _writeBack();
  // The file's bytes holding values, made from what it holds now; empty when they cannot be made.
  QByteArray _bytesOf(const QVariantMap &values) const;

  const QString _path;
  QSettings _settings;
  // What the project's file holds: its values and its bytes.
  QVariantMap _stored;
  QByteArray _written;
  // A file that could not be read whole is never written.
  bool _writable = true;
};
