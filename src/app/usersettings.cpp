#include "usersettings.h"

#include "settingsvalue.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char kGroup[] = "UserSettings";
const char kProductFolder[] = "Tavo REN";
} // namespace

UserSettings *UserSettings::instance()
{
  static UserSettings settings;
  return &settings;
}

UserSettings::UserSettings()
{
  load();
  m_dirty = false;
}

void UserSettings::load()
{
  QSettings settings;
  settings.beginGroup(kGroup);
  m_photoDuration = settings.value("PhotoDuration", 2.0).toFloat();
  m_textDuration = settings.value("TextDuration", 2.0).toFloat();
  m_drawingDuration = settings.value("DrawingDuration", 2.0).toFloat();
  m_dontApplyUserHabits = settings.value("DontApplyUserHabits", false).toBool();
  m_dontAutoDragDropAlign = settings.value("DontAutoDragDropAlign", false).toBool();
  m_editorUI = settings.value("EditorUI", 1).toInt();
  m_hardwareCodec = settings.value("HardwareCodec", true).toBool();
  m_workingDir = settings.value("WorkingDir", QString()).toString();
  if (m_workingDir.isEmpty() || !QFileInfo(m_workingDir).isDir()) {
    // Resolved in memory only; it reaches the store with the next save.
    const QString fallback = _defaultWorkingDir();
    if (!fallback.isEmpty())
      m_workingDir = fallback;
  }
  m_autoCopyAssets = settings.value("AutoCopyAssets", false).toBool();
  settings.endGroup();
}

void UserSettings::save()
{
  if (!m_dirty)
    return;
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue("PhotoDuration", floatSettingValue(m_photoDuration));
  settings.setValue("TextDuration", floatSettingValue(m_textDuration));
  settings.setValue("DrawingDuration", floatSettingValue(m_drawingDuration));
  settings.setValue("DontApplyUserHabits", m_dontApplyUserHabits);
  settings.setValue("DontAutoDragDropAlign", m_dontAutoDragDropAlign);
  settings.setValue("EditorUI", m_editorUI);
  settings.setValue("HardwareCodec", m_hardwareCodec);
  settings.setValue("WorkingDir", m_workingDir);
  settings.setValue("AutoCopyAssets", m_autoCopyAssets);
  settings.endGroup();
  m_dirty = false;
}

QString UserSettings::_defaultWorkingDir()
{
  QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  const QFileInfo moviesInfo(movies);
  if (moviesInfo.isSymLink())
    movies = moviesInfo.symLinkTarget();
  QDir folder(movies);
  if (!folder.exists(kProductFolder) && !folder.mkpath(kProductFolder)) {
    qDebug().noquote() << "Cannot create product directory: " << kProductFolder << " in " << movies;
    return QString();
  }
  return QFileInfo(folder.filePath(kProductFolder)).absoluteFilePath();
}
