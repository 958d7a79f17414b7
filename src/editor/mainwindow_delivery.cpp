// Files the window writes: the media copy task, the delivery of an exported movie, saving, and
// the closing step with the cover picture and the engine teardown.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avimagefiles.h"
#include "avimageloader.h"
#include "avrender.h"
#include "popupmovieexportingwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "userstyledefaults.h"
#include "util.h"
#include "wholefile.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>

#include <thread>

namespace {

constexpr qint64 CopyChunk = 1048576;

// Copies total bytes of source into target. A read that brings nothing while bytes remain
// (the source shrank or cannot be read) ends the copy like a short write: without success.
bool copyBytes(QIODevice &source, QFileDevice &target, qint64 total, std::atomic<qint64> &counter)
{
  QByteArray buffer;
  qint64 remaining = total;
  while (remaining > 0) {
    buffer.resize(int(qMin(remaining, CopyChunk)));
    const qint64 read = source.read(buffer.data(), buffer.size());
    if (read <= 0) {
      qWarning().noquote() << QStringLiteral("failed to read from %1 (error:%2)")
                                  .arg(QFileInfo(target.fileName()).fileName(), source.errorString());
      return false;
    }
    const qint64 written = target.write(buffer.constData(), read);
    if (written < read) {
      qWarning().noquote() << QStringLiteral("failed to write to %1 (error:%2)")
                                  .arg(QFileInfo(target.fileName()).fileName(), target.errorString());
      return false;
    }
    counter += written;
    remaining -= written;
  }
  return true;
}

} // namespace

void MainWindow::copyFileTask(const QString &source, const QString &target, FileCopyState *state)
{
  QFile in(source);
  if (in.open(QIODevice::ReadOnly)) {
    // Unbuffered, so a full device fails the write that hits it rather than a later flush.
    QFile out(target);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
      if (copyBytes(in, out, in.size(), state->bytesCopied))
        state->succeeded = true;
      out.close();
    }
    in.close();
  }
  state->running = false;
}

void MainWindow::deliverExportedMovie(PopupMovieExportingWidget *popup)
{
  const ExportSettings &e = _exportSettings;
  const QString suffix = QFileInfo(e.workingFile).suffix();
  const QString stem = e.outputFolder + QDir::separator() + e.baseName;
  QString target = stem + QLatin1Char('.') + suffix;
  for (int n = 1; QFileInfo::exists(target); ++n)
    target = stem + QLatin1Char(' ') + QString::number(n) + QLatin1Char('.') + suffix;

  if (Util::copyFile(e.workingFile, target, true))
    popup->showExportResult(QString(), target, QImage());
  else
    popup->showExportResult(tr("Create video failed"), QString(), QImage());
}

bool MainWindow::runClosingStep()
{
  // After a failed opening, or when the user chose to close without saving, the files on disk
  // are the project: nothing is written or removed.
  if (!_projectName.isEmpty() && !_loadFailed && !_closeWithoutSaving) {
    _saveCoverPicture();
    if (!_saveProject(true)) {
      const int choice = _confirmClosingAfterFailedSave();
      if (choice == 1)
        return false;
      if (choice == 2)
        _closeWithoutSaving = true;
    }
    if (!_closeWithoutSaving) {
      _removeUnusedFiles();
      _removeTemporaryFiles();
    }
  }
  _projectName.clear();
  UserStyleDefaults::instance()->save();
  if (_previewWidget)
    _tearDownEngine();
  // The model goes whether or not an engine was ever made.
  delete _projectManager;
  _projectManager = nullptr;
  return close();
}

void MainWindow::_saveCoverPicture()
{
  const QString path = ProjectManager::projectDirectory(_projectName, _projectFolder) + QStringLiteral("/shot.jpg");
  if (_projectManager->fixCoverImage() && QFileInfo::exists(path))
    return;
  if (!_previewWidget)
    return;
  const QImage frame = _previewWidget->grabFramebuffer();
  if (frame.isNull())
    return;
  // Written whole: a full disk keeps the old cover rather than leaving a cut one.
  const QImage cover = frame.scaled(640, 640, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QString error;
  if (WholeFile::write(
          path, [&cover](QFileDevice &file) { return cover.save(&file, "JPG"); }, true, &error) !=
      WholeFile::Written)
    qWarning("Cannot save the cover picture %s: %s", qPrintable(path), qPrintable(error));
}

void MainWindow::_tearDownEngine()
{
  if (_engine)
    _engine->pause();
  _stopLoader();
  setAnimationFrameProvider(nullptr, nullptr);
  // The segments' loading tasks reach the engine: they are waited for with the model first.
  delete _projectManager;
  _projectManager = nullptr;
  if (_render) {
    _render->stop();
    _render->setComposition(nullptr);
  }
  if (_imageLoader)
    _imageLoader->stop(true);
  // A render thread that outlived stop()'s wait on a busy machine still uses the composition:
  // the render goes first, as its destructor waits for its threads.
  delete _render;
  _render = nullptr;
  // The composition's picture layers sign off from the image loader as they go.
  delete _composition;
  _composition = nullptr;
  delete _imageLoader;
  _imageLoader = nullptr;
  // Another window's engine may be the shared one by now.
  if (AVEngine::shared() == _engine)
    AVEngine::setShared(nullptr);
  delete _engine;
  _engine = nullptr;
  _previewWidget->setRender(nullptr);
  _previewWidget->close();
  delete _previewWidget;
  _previewWidget = nullptr;
}

QSet<QString> MainWindow::_segmentFileNames()
{
  QSet<QString> names;
  for (int i = 0; i < _projectManager->segmentCount(); ++i)
    names.insert(_projectManager->segmentAt(i)->fileName());
  return names;
}

void MainWindow::_noteLoadedProject(const QList<int> &unreadPositions)
{
  _projectManager->keepUnreadSegments(unreadPositions);
  _projectReadWhole = unreadPositions.isEmpty();
  const QSet<QString> named = _segmentFileNames();
  const QDir directory(ProjectManager::projectDirectory(_projectName, _projectFolder));
  for (const QString &name : directory.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted))
    if (!named.contains(name))
      _unnamedFilesAtOpen.insert(name);
}

void MainWindow::_reportUnreadSegments()
{
  const int count = _projectManager ? _projectManager->unreadSegmentCount() : 0;
  if (count == 0 || _unreadReported)
    return;
  _unreadReported = true;
  _showMessageBox(tr("Open Project"),
                  tr("%1 items of this movie could not be read and are kept unchanged.").arg(count),
                  QMessageBox::Warning);
}

void MainWindow::_runWhileTurning(const std::function<void()> &work)
{
  QEventLoop loop;
  std::thread worker([&] {
    work();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
}

int MainWindow::_saveSegmentsWhileTurning()
{
  // A large project takes a good part of a second to write and to reach the disk: the window's
  // spinner turns meanwhile.
  ProjectManager *manager = _projectManager;
  const ProjectManager::SegmentsCopy copy = manager->copySegments();
  const QString name = _projectName;
  const QString folder = _projectFolder;
  int result = -1;
  _runWhileTurning([&] { result = manager->saveSegments(name, folder, copy); });
  // What changed the segments meanwhile (a file that came to load) is written too.
  if (result == 0 && !manager->holdsSegments(copy))
    return manager->saveSegments(name, folder);
  return result;
}

void MainWindow::_removeUnusedFiles()
{
  // A file goes only when the program can tell it is no longer the project's: the whole file
  // was read, the file came to be named by a segment after the opening (or was left in the
  // folder since), and no segment nor any value of the saved project file names it. Links and
  // folders are never followed or removed. What the file names is known without reading it
  // again.
  static const QStringList kept = {QStringLiteral("shot.jpg"), QStringLiteral("example.dat"),
                                   QStringLiteral("media.config"), QStringLiteral("media.config.lock")};
  if (_projectReadWhole) {
    const QSet<QString> segmentNames = _segmentFileNames();
    const QDir directory(ProjectManager::projectDirectory(_projectName, _projectFolder));
    const QFileInfoList entries = directory.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::Unsorted);
    QSet<QString> candidates;
    for (const QFileInfo &entry : entries) {
      const QString name = entry.fileName();
      const QString suffix = entry.suffix();
      if (suffix != QLatin1String("xml") && suffix != QLatin1String("plist") && !kept.contains(name)
          && !segmentNames.contains(name) && !_unnamedFilesAtOpen.contains(name))
        candidates.insert(name);
    }
    // Looking through a large text for names takes a while: away from the window's thread.
    ProjectManager *manager = _projectManager;
    QSet<QString> named;
    bool known = false;
    if (!candidates.isEmpty())
      _runWhileTurning([&] { known = manager->namedFiles(candidates, &named); });
    if (known)
      for (const QString &name : qAsConst(candidates))
        if (!named.contains(name))
          QFile::remove(directory.filePath(name));
  }
  _projectManager->removeHistory(_projectName, _projectFolder);
  _projectManager->setModified(false);
}
