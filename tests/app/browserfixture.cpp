#include "browserfixture.h"

#include "projectmanager.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <sys/time.h>

BrowserFolder::BrowserFolder()
{
  ProjectManager::setWorkingDirectory(_root.path());
  _valid = _root.isValid() && !ProjectManager::projectsDirectory().isEmpty();
}

BrowserFolder::~BrowserFolder()
{
  ProjectManager::setWorkingDirectory(QString());
}

QString BrowserFolder::projects() const
{
  return ProjectManager::projectsDirectory();
}

void BrowserFolder::touch(const QString &path, const QDateTime &time)
{
  // Folders too, which QFile cannot open.
  struct timeval times[2];
  times[0].tv_sec = times[1].tv_sec = time.toSecsSinceEpoch();
  times[0].tv_usec = times[1].tv_usec = 0;
  utimes(QFile::encodeName(path).constData(), times);
}

QString BrowserFolder::addProject(const QString &name, const QString &folder, const QDateTime &time,
                                  const QColor &shot) const
{
  const QString dir = ProjectManager::projectDirectory(name, folder);
  QDir().mkpath(dir);
  QFile project(dir + "/project.xml");
  if (project.open(QIODevice::WriteOnly))
    project.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Project/>");
  project.close();
  // Properties the editor accepts, so a project opened from the page loads.
  QFile properties(dir + "/properties.xml");
  if (properties.open(QIODevice::WriteOnly))
    properties.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Properties version=\"5.0\"/>\n");
  properties.close();
  if (shot.isValid()) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(shot);
    image.save(dir + "/shot.jpg");
  }
  if (time.isValid())
    touch(dir + "/project.xml", time);
  return dir;
}

QString BrowserFolder::addFolder(const QString &name) const
{
  const QString dir = projects() + "/" + name;
  QDir().mkpath(dir);
  QFile marker(dir + "/.folder");
  if (marker.open(QIODevice::WriteOnly))
    marker.close();
  return dir;
}
