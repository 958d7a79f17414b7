// ProjectManager: the undo history as snapshot files of the whole segment list.
#include "projectmanager.h"

#include <QDebug>
#include <QDir>
#include <QFile>

namespace {

void _setFailed(bool *failed, bool value)
{
  if (failed)
    *failed = value;
}

} // namespace

int ProjectManager::_writeSnapshot(const QString &name, const QString &folder, int number, QString *path)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  const QString dir = historyDirectory(name, folder);
  if (dir.isEmpty() || !QDir().mkpath(dir))
    return -1;
  *path = historyFilePath(name, folder, number);
  return _writeSegmentsFile(*path, false, "Undo project segments save error");
}

int ProjectManager::recordOperation(const QString &name, const QString &folder)
{
  return _record(name, folder, false);
}

int ProjectManager::recordCurrentState(const QString &name, const QString &folder)
{
  return _record(name, folder, true);
}

int ProjectManager::_record(const QString &name, const QString &folder, bool current)
{
  QString path;
  const int result = _writeSnapshot(name, folder, m_history.nextNumber(), &path);
  if (result == 0)
    current ? m_history.pushCurrent(path) : m_history.push(path);
  else if (!current)
    m_history.markUnrecordedEdit();
  return result;
}

std::unique_ptr<PropertyMapList> ProjectManager::_readSnapshot(const QString &path) const
{
  auto list = std::make_unique<PropertyMapList>();
  if (_readSegmentsFile(path, *list, "Undo project segments load error: ") != 0)
    return nullptr;
  return list;
}

// The steps run on a copy of the history, which replaces the real one only when the
// snapshot was read and, at the newest entry, the current state was written: a failure
// changes neither the position nor any file.
std::unique_ptr<PropertyMapList> ProjectManager::undo(bool *failed)
{
  _setFailed(failed, false);
  ProjectHistory trial = m_history;
  const bool atNewest = trial.count() > 0 && trial.position() == trial.count() - 1;
  const int currentNumber = trial.nextNumber();
  const QString currentPath = historyFilePath(m_name, m_folder, currentNumber);
  if (atNewest) {
    // The unsaved current state becomes the entry that redo returns to.
    trial.pushCurrent(currentPath);
    trial.stepBack();
  } else if (trial.lastStepWasRedo()) {
    // After a redo the position is the current state itself.
    trial.stepBack();
  }
  const QString path = trial.stepBack();
  if (path.isEmpty())
    return nullptr;
  auto list = _readSnapshot(path);
  if (!list) {
    _setFailed(failed, true);
    return nullptr;
  }
  // Nothing to write when the current state is already pending (pushCurrent kept the old one).
  if (atNewest && m_history.pending().isEmpty()) {
    QString written;
    if (_writeSnapshot(m_name, m_folder, currentNumber, &written) != 0) {
      _setFailed(failed, true);
      return nullptr;
    }
  }
  m_history = trial;
  return list;
}

std::unique_ptr<PropertyMapList> ProjectManager::redo(bool *failed)
{
  _setFailed(failed, false);
  ProjectHistory trial = m_history;
  const QString path = trial.stepForward();
  if (path.isEmpty())
    return nullptr;
  auto list = _readSnapshot(path);
  if (!list) {
    _setFailed(failed, true);
    return nullptr;
  }
  m_history = trial;
  return list;
}

void ProjectManager::discardLastOperation()
{
  const QString path = m_history.dropNewest();
  if (!path.isEmpty())
    QFile::remove(path);
}

void ProjectManager::removeHistory(const QString &name, const QString &folder)
{
  // An empty path would name the current directory.
  const QString dir = historyDirectory(name, folder);
  if (dir.isEmpty() || !QDir(dir).removeRecursively())
    qWarning("Remove history directory failed");
  m_history.clear();
}

void ProjectManager::deletePropertyList(PropertyMapList *list)
{
  delete list;
}
