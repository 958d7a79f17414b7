#pragma once

#include <QString>

// The user's application preferences (settings group "UserSettings"). Read once on first
// use, changed by the settings page, written back only when something changed.
class UserSettings
{
public:
  static UserSettings *instance();

  // Reads every value from the store (the first instance() call does this).
  void load();
  // Writes all values when a setter ran since the last load or save.
  void save();
  bool isDirty() const { return m_dirty; }

  float photoDuration() const { return m_photoDuration; }
  float textDuration() const { return m_textDuration; }
  float drawingDuration() const { return m_drawingDuration; }
  bool applyUserHabits() const { return !m_dontApplyUserHabits; }
  bool autoDragDropAlign() const { return !m_dontAutoDragDropAlign; }
  int editorUI() const { return m_editorUI; } // 1 desktop layout, 0 classic
  bool hardwareCodec() const { return m_hardwareCodec; }
  QString workingDir() const { return m_workingDir; }
  bool autoCopyAssets() const { return m_autoCopyAssets; }

  // Each setter stores the value as given and marks the store changed.
  void setPhotoDuration(float seconds) { _set(m_photoDuration, seconds); }
  void setTextDuration(float seconds) { _set(m_textDuration, seconds); }
  void setDrawingDuration(float seconds) { _set(m_drawingDuration, seconds); }
  void setApplyUserHabits(bool apply) { _set(m_dontApplyUserHabits, !apply); }
  void setAutoDragDropAlign(bool align) { _set(m_dontAutoDragDropAlign, !align); }
  void setEditorUI(int layout) { _set(m_editorUI, layout); }
  void setHardwareCodec(bool enabled) { _set(m_hardwareCodec, enabled); }
  void setWorkingDir(const QString &path) { _set(m_workingDir, path); }
  void setAutoCopyAssets(bool copy) { _set(m_autoCopyAssets, copy); }

private:
  UserSettings();
  // "Tavo REN" inside the Movies folder, created when missing; empty when it cannot be made.
  static QString _defaultWorkingDir();
  template <typename T>
  void _set(T &field, const T &value)
  {
    field = value;
    m_dirty = true;
  }

  float m_photoDuration = 2.0f;
  float m_textDuration = 2.0f;
  float m_drawingDuration = 2.0f;
  bool m_dontApplyUserHabits = false;
  bool m_dontAutoDragDropAlign = false;
  int m_editorUI = 1;
  bool m_hardwareCodec = true;
  QString m_workingDir;
  bool m_autoCopyAssets = false;
  bool m_dirty = false;
};
