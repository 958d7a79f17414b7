#include "testenv.h"

#include <QDir>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <cstdlib>

namespace {
QTemporaryDir *g_home = nullptr;

void setEnv(const char *name, const QString &value)
{
  qputenv(name, QFile::encodeName(value));
}
} // namespace

namespace TestEnv {

void isolateUserState(bool gui)
{
  if (!g_home) {
    g_home = new QTemporaryDir(QDir::tempPath() + "/tavo-test-home-XXXXXX");
    std::atexit([] { delete g_home; g_home = nullptr; });
  }
  const QString home = g_home->path();
  for (const char *sub : {"config", "cache", "data", "Videos", "Pictures", "Downloads"})
    QDir(home).mkpath(sub);
  setEnv("HOME", home);
  setEnv("XDG_CONFIG_HOME", home + "/config");
  setEnv("XDG_CACHE_HOME", home + "/cache");
  setEnv("XDG_DATA_HOME", home + "/data");
  // Without user-dirs.dirs Qt falls back to $HOME/Videos etc.
  qunsetenv("XDG_VIDEOS_DIR");

  QCoreApplication::setOrganizationName("Tarnholm");
  QCoreApplication::setOrganizationDomain("tarnholm.com");
  QCoreApplication::setApplicationName("Tavo REN");

  if (gui) {
    QSurfaceFormat format;
    format.setVersion(3, 2);
    format.setProfile(QSurfaceFormat::CoreProfile);
    QSurfaceFormat::setDefaultFormat(format);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  }
}

QString homePath()
{
  return g_home ? g_home->path() : QString();
}

QString dataPath(const QString &name)
{
  QString root = qEnvironmentVariable("TAVO_TEST_DATA");
  if (root.isEmpty())
    root = QStringLiteral(TAVO_SOURCE_DIR "/tests/data");
  return name.isEmpty() ? root : root + "/" + name;
}

QString shotPath(const QString &name)
{
  const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/shots");
  QDir().mkpath(folder);
  return folder + "/" + name;
}

} // namespace TestEnv
