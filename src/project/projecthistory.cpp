#include "projecthistory.h"

void ProjectHistory::_truncateAfterPosition()
{
  while (m_paths.size() > m_position + 1)
    m_paths.removeLast();
}

void ProjectHistory::push(const QString &path)
{
  m_lastStepWasRedo = false;
  if (!m_pending.isEmpty() && m_position == m_paths.size() - 1) {
    // The pending current state already holds the state before this edit.
    m_pending.clear();
    return;
  }
  _truncateAfterPosition();
  m_paths.append(path);
  ++m_position;
  m_pending.clear();
}

void ProjectHistory::pushCurrent(const QString &path)
{
  if (!m_pending.isEmpty())
    return;
  m_lastStepWasRedo = false;
  _truncateAfterPosition();
  m_paths.append(path);
  ++m_position;
  m_pending = path;
}

void ProjectHistory::markUnrecordedEdit()
{
  // After an undo the state on screen came from the entry after the position; after
  // anything else, the position is the newest entry still worth returning to.
  if (m_lastStepWasUndo && m_position + 1 < m_paths.size())
    ++m_position;
  _truncateAfterPosition();
  m_lastStepWasUndo = false;
  m_lastStepWasRedo = false;
  m_pending.clear();
}

QString ProjectHistory::stepBack()
{
  if (m_paths.isEmpty() || m_position < 0 || m_position >= m_paths.size())
    return QString();
  const QString path = m_paths.at(m_position);
  --m_position;
  m_lastStepWasUndo = true;
  m_lastStepWasRedo = false;
  return path;
}

QString ProjectHistory::stepForward()
{
  if (m_paths.isEmpty() || m_position >= m_paths.size() - 1)
    return QString();
  const int next = m_position + (m_lastStepWasUndo ? 2 : 1);
  if (next > m_paths.size() - 1)
    return QString();
  m_position = next;
  m_lastStepWasUndo = false;
  m_lastStepWasRedo = true;
  return m_paths.at(m_position);
}

QString ProjectHistory::dropNewest()
{
  if (m_paths.isEmpty() || m_position != m_paths.size() - 1)
    return QString();
  const QString path = m_paths.takeLast();
  --m_position;
  m_lastStepWasRedo = false;
  if (m_pending == path)
    m_pending.clear();
  return path;
}

// A pending path left over would make the next push drop its snapshot: start afresh.
void ProjectHistory::clear()
{
  m_paths.clear();
  m_position = -1;
  m_lastStepWasUndo = false;
  m_lastStepWasRedo = false;
  m_pending.clear();
}
