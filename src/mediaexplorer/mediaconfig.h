#pragma once

#include <QByteArray>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>

// The media explorer's settings of a project, kept in its "media.config" in Qt's INI format.
// Qt's settings store writes a file under a temporary name of its own making, which a killed
// write would leave in the project folder unrecognised; so the store works on a copy in a
// folder of its own, and what it syncs there is written to the project's file whole, under
// the program's own temporary name.
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
  // Syncs the copy and writes it to the project's file when it differs from what is there.
  void _writeBack();

  const QString _path;
  QTemporaryDir _scratch;
  QByteArray _written;
  QSettings _settings;
};
