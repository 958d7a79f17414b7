#pragma once

#include <QString>
#include <QStringList>

// The undo history: snapshot paths in the order recorded and the position in them.
// After a record or an undo the position is the entry before the current state; after a
// redo it is the current state itself, which undo must step over.
class ProjectHistory
{
public:
  int count() const { return m_paths.size(); }
  int position() const { return m_position; }
  int nextNumber() const { return m_position + 1; }
  bool lastStepWasUndo() const { return m_lastStepWasUndo; }
  bool lastStepWasRedo() const { return m_lastStepWasRedo; }
  QString pending() const { return m_pending; }
  const QStringList &paths() const { return m_paths; }

  // A snapshot taken before a new edit; not added when the current state is already pending.
  void push(const QString &path);
  // The current state, taken by undo at the newest entry.
  void pushCurrent(const QString &path);
  // An edit whose snapshot could not be written: the state on screen is in no entry. The
  // entry of the state it came from becomes the newest, so the next undo writes the current
  // state before stepping back, and redo returns to it.
  void markUnrecordedEdit();
  // A path, or empty with nothing changed.
  QString stepBack();
  QString stepForward();
  // Removes the newest entry when it is the current position; returns its path or empty.
  QString dropNewest();
  void clear();

private:
  void _truncateAfterPosition();

  QStringList m_paths;
  int m_position = -1;
  bool m_lastStepWasUndo = false;
  bool m_lastStepWasRedo = false;
  QString m_pending;
};
