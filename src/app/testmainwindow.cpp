#include "testmainwindow.h"

#include "archiveimporter.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avexporter.h"
#include "avglglue.h"
#include "avglwidget.h"
#include "avimageloader.h"
#include "avrender.h"
#include "avsegment.h"
#include "dialogprovider.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "projectloader.h"
#include "projectmanager.h"
#include "segmentengine.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "userstyledefaults.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/hwcontext.h>
}

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QThread>
#include <QVBoxLayout>

#include <vector>

namespace {


void logVersion(const char *name, unsigned version)
{
  qDebug("%s version is: %d=%d.%d.%d", name, version, AV_VERSION_MAJOR(version), AV_VERSION_MINOR(version),
         AV_VERSION_MICRO(version));
}

void logCodecs()
{
  QStringList lists[6];
  void *state = nullptr;
  while (const AVCodec *codec = av_codec_iterate(&state)) {
    const int kind = codec->type == AVMEDIA_TYPE_VIDEO ? 0 : codec->type == AVMEDIA_TYPE_AUDIO ? 1 : 2;
    lists[(av_codec_is_encoder(codec) ? 0 : 3) + kind] << QString::fromUtf8(codec->name);
  }
  const char *titles[6] = {"Video encoders:", "Audio encoders:", "Other encoders:",
                           "Video decoders:", "Audio decoders:", "Other decoders:"};
  for (int i = 0; i < 6; ++i)
    qDebug().noquote() << titles[i] << lists[i].join(QLatin1Char(' '));
  QStringList devices;
  for (AVHWDeviceType type = av_hwdevice_iterate_types(AV_HWDEVICE_TYPE_NONE); type != AV_HWDEVICE_TYPE_NONE;
       type = av_hwdevice_iterate_types(type))
    devices << QString::fromUtf8(av_hwdevice_get_type_name(type));
  qDebug().noquote() << "Hardware devices:" << devices.join(QLatin1Char(' '));
}

// The engine callbacks run on engine threads: each only re-emits a signal of the window.
void compositionListener(AVComposition *, AVSegment *segment, void *userData)
{
  auto *window = static_cast<TestMainWindow *>(userData);
  const int status = segment->loadError();
  if (status == 0)
    emit window->avsegmentLoadStatusUpdated(int(segment->id()), 0, 0, segment->hardOrSoftVideo() ? 1 : 0);
  else
    qDebug().noquote() << QStringLiteral("Segment (id=%1) load error = %2").arg(segment->id()).arg(status);
}

void thumbnailsLoaded(uint32_t segmentId, void *userData)
{
  emit static_cast<TestMainWindow *>(userData)->avsegmentLoadStatusUpdated(int(segmentId), 0, 1, 0);
}

void exporterCallback(AVExporter *, int message, double value, void *userData)
{
  auto *window = static_cast<TestMainWindow *>(userData);
  if (message == kAVExportProgress) {
    emit window->exportProgressChanged(float(value));
  } else if (message == kAVExportFinished) {
    qDebug() << "AVExporter_Msg_Finished: " << value;
    emit window->exportFinished(int(value));
  }
}

void renderCallback(AVRender *render, int code, double time, void *userData)
{
  auto *window = static_cast<TestMainWindow *>(userData);
  if (code == kAVRenderTime) {
    AVComposition *composition = render ? render->composition() : nullptr;
    if (composition && composition->duration() >= 0) {
      emit window->progressChanged(time);
      emit window->offscreenReady();
    }
  } else if (code == kAVRenderEnd) {
    qDebug() << "reach end";
  }
}

QPushButton *button(const char *name, const QString &text, QLayout *layout)
{
  auto *b = new QPushButton(text);
  b->setObjectName(QLatin1String(name));
  layout->addWidget(b);
  return b;
}

} // namespace

TestMainWindow::TestMainWindow(QWidget *parent)
    : QWidget(parent)
{
  mediaFolder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  downloadFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  exportPath = QDir::temp().filePath(QStringLiteral("export.mp4"));
  importFolder = ProjectManager::projectsDirectory();
  _buildForm();
  connect(this, &TestMainWindow::progressChanged, this, &TestMainWindow::updateControlsByProgress,
          Qt::QueuedConnection);
  connect(this, &TestMainWindow::avsegmentLoadStatusUpdated, this, &TestMainWindow::onAVSegmentLoadStatusUpdated,
          Qt::QueuedConnection);
  connect(this, &TestMainWindow::exportProgressChanged, this, &TestMainWindow::updateExportProgressValue,
          Qt::QueuedConnection);
  connect(this, &TestMainWindow::exportFinished, this, &TestMainWindow::onExportFinished, Qt::QueuedConnection);
  connect(this, &TestMainWindow::segmentListener_segmentStateChanged, this, &TestMainWindow::onSegmentStateChanged,
          Qt::QueuedConnection);
  connect(this, &TestMainWindow::segmentListener_segmentRangeChanged, this, &TestMainWindow::onSegmentRangeChanged,
          Qt::QueuedConnection);
}

TestMainWindow::~TestMainWindow()
{
  if (_exporter) {
    _exporter->cancel();
    delete _exporter;
    _exporter = nullptr;
    _exportHost.reset();
  }
  if (_loaded)
    _unload();
}

void TestMainWindow::_buildForm()
{
  auto *layout = new QVBoxLayout(this);
  _form.previewLayout = new QVBoxLayout;
  layout->addLayout(_form.previewLayout, 1);
  auto *timeRow = new QHBoxLayout;
  _form.horizontalSlider = new QSlider(Qt::Horizontal);
  _form.horizontalSlider->setObjectName(QStringLiteral("horizontalSlider"));
  _form.timeLabel = new QLabel(QStringLiteral("0.000/0.000"));
  timeRow->addWidget(_form.horizontalSlider, 1);
  timeRow->addWidget(_form.timeLabel);
  layout->addLayout(timeRow);
  auto *inputs = new QHBoxLayout;
  _form.startEdit = new QLineEdit(QStringLiteral("0"));
  _form.durationEdit = new QLineEdit(QStringLiteral("5"));
  _form.textEdit = new QPlainTextEdit(QStringLiteral("Text"));
  _form.textEdit->setMaximumHeight(60);
  inputs->addWidget(_form.startEdit);
  inputs->addWidget(_form.durationEdit);
  inputs->addWidget(_form.textEdit, 1);
  layout->addLayout(inputs);
  auto *buttons = new QHBoxLayout;
  _form.loadUnloadButton = button("loadUnloadButton", QStringLiteral("Load"), buttons);
  _form.addVideoButton = button("addVideoButton", QStringLiteral("Add Video"), buttons);
  _form.addMusicButton = button("addMusicButton", QStringLiteral("Add Music"), buttons);
  _form.addImageButton = button("addImageButton", QStringLiteral("Add Image"), buttons);
  _form.addTextButton = button("addTextButton", QStringLiteral("Add Text"), buttons);
  _form.playButton = button("playButton", QStringLiteral("Play"), buttons);
  _form.pauseButton = button("pauseButton", QStringLiteral("Pause"), buttons);
  _form.saveButton = button("saveButton", QStringLiteral("Export"), buttons);
  _form.openButton = button("openButton", QStringLiteral("Open"), buttons);
  _form.importButton = button("importButton", QStringLiteral("Import"), buttons);
  layout->addLayout(buttons);
  _form.progressBar = new QProgressBar;
  _form.progressBar->setRange(0, 100);
  layout->addWidget(_form.progressBar);
  // The slots follow the form's object names.
  QMetaObject::connectSlotsByName(this);
}

void TestMainWindow::on_loadUnloadButton_clicked()
{
  if (_loaded) {
    _unload();
    _form.loadUnloadButton->setText(QStringLiteral("Load"));
  } else {
    _load();
    if (_loaded)
      _form.loadUnloadButton->setText(QStringLiteral("Unload"));
  }
}

void TestMainWindow::_load()
{
  logVersion("avcodec", avcodec_version());
  logVersion("avutil", avutil_version());
  logVersion("avformat", avformat_version());
  logCodecs();

  _previewWidget = new AVGLWidget(this);
  _form.previewLayout->addWidget(_previewWidget);
  _previewWidget->show();
  // A display without a usable context must not hold the window for ever; a slow one is waited for.
  if (!AVGLWidget::displayOffersOpenGL()) {
    delete _previewWidget;
    return;
  }
  while (_previewWidget && !_previewWidget->isValid()) {
    qDebug() << "Still wait until opengl initialized...";
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
  if (!_previewWidget)
    return;
  const float ratio = float(devicePixelRatioF());
  qDebug().nospace() << "GL widget width=" << _previewWidget->width() << " height=" << _previewWidget->height()
                     << " pixel ratio=" << ratio;

  _projectManager = new ProjectManager;
  _composition = new AVComposition(1920, 1080, 44100, 2, nullptr);
  _composition->addListener(compositionListener, this);
  _composition->setFlushAfterCompose(true);
  _render = new AVRender(nullptr, uint32_t(_previewWidget->width() * ratio),
                         uint32_t(_previewWidget->height() * ratio));
  _render->setGLHost(_previewWidget);
  _previewWidget->setRender(_render);
  _render->setComposition(_composition);
  _imageLoader = new AVImageLoader;
  _engine = new AVEngine(_composition, _imageLoader, _render);
  _engine->setThumbnailsLoadedCallback(thumbnailsLoaded, this);
  _render->setCallback(renderCallback, this);
  connect(this, &TestMainWindow::offscreenReady, _previewWidget, QOverload<>::of(&QWidget::update),
          Qt::QueuedConnection);
  connect(_previewWidget, &QOpenGLWidget::frameSwapped, this, &TestMainWindow::onOpenGLFrameSwapped,
          Qt::QueuedConnection);
  _render->start();
  _render->step(1);
  _loaded = true;
}

void TestMainWindow::_unload()
{
  _loaded = false;
  _render->pause();
  _render->stop();
  _render->setComposition(nullptr);
  if (_previewWidget)
    _previewWidget->setRender(nullptr);
  // Segments still loading report to this window: they go with the model first.
  delete _projectManager;
  _projectManager = nullptr;
  delete _engine;
  _engine = nullptr;
  delete _render;
  _render = nullptr;
  delete _composition;
  _composition = nullptr;
  delete _imageLoader;
  _imageLoader = nullptr;
  delete _previewWidget;
}

float TestMainWindow::_startTime() const
{
  return _form.startEdit->text().toFloat();
}

float TestMainWindow::_durationInput() const
{
  return _form.durationEdit->text().toFloat();
}

double TestMainWindow::_duration() const
{
  return _composition ? _composition->duration() : 0;
}

void TestMainWindow::_message(int icon, const QString &title, const QString &text)
{
  QMessageBox box(QMessageBox::Icon(icon), title, text, QMessageBox::Ok, this);
  DialogProvider::instance()->execMessageBox(&box);
}

void TestMainWindow::_addSegment(Segment *segment)
{
  _projectManager->insertSegment(segment, nullptr);
}

void TestMainWindow::on_addVideoButton_clicked()
{
  if (!_loaded)
    return;
  const QString file = DialogProvider::instance()->getOpenFileName(
      this, tr("Open Video"), mediaFolder, QStringLiteral("Video (*.mp4 *.mov *.m4v *.avi *.mkv)"));
  if (!file.isEmpty())
    _addSegment(new MovieSegment(file, _startTime(), this, UserStyleDefaults::instance()));
}

void TestMainWindow::on_addMusicButton_clicked()
{
  if (!_loaded)
    return;
  const QString file = DialogProvider::instance()->getOpenFileName(this, tr("Open Music"), mediaFolder,
                                                                   QStringLiteral("Music (*.mp3 *.wav)"));
  if (!file.isEmpty())
    _addSegment(new MusicSegment(file, _startTime(), QStringLiteral("Unknown Title"), QStringLiteral("Unknown Artist"),
                                 this));
}

void TestMainWindow::on_addImageButton_clicked()
{
  if (!_loaded)
    return;
  const QString file = DialogProvider::instance()->getOpenFileName(this, tr("Open Image"), mediaFolder,
                                                                   QStringLiteral("Images (*.png *.gif *.jpg)"));
  if (!file.isEmpty())
    _addSegment(new ImageSegment(file, _startTime(), _durationInput(), this, UserStyleDefaults::instance()));
}

void TestMainWindow::on_addTextButton_clicked()
{
  if (!_loaded)
    return;
  auto *text = new TextSegment(_form.textEdit->toPlainText(), _startTime(), _durationInput(), this,
                               UserStyleDefaults::instance());
  // The font size is kept relative to the frame it is made for.
  text->setFontSize(text->fontSize(), QSizeF(_composition->width(), _composition->height()));
  _addSegment(text);
}

void TestMainWindow::on_playButton_clicked()
{
  if (_render)
    _render->play();
}

void TestMainWindow::on_pauseButton_clicked()
{
  if (_render)
    _render->pause();
}

void TestMainWindow::updateControlsByProgress(double time)
{
  if (_sliderHeld)
    return;
  const double duration = _duration();
  QSlider *slider = _form.horizontalSlider;
  slider->setValue(duration > 0 ? int(slider->maximum() * time / duration) : 0);
  _form.timeLabel->setText(QString::asprintf("%.3f/%.3f", time, duration));
}

void TestMainWindow::onAVSegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus,
                                                  int hardOrSoftVideo)
{
  if (!_projectManager)
    return;
  const int index = _projectManager->indexOfSegmentId(quint32(segId));
  if (index >= 0) {
    Segment *segment = _projectManager->segmentAt(index);
    if (segment->state() == SegmentLoading || segment->state() == SegmentOpened)
      segment->loadStatusUpdated(quint32(segId), status, loadingThumbnailStatus, hardOrSoftVideo);
  }
  _engine->updateDuration();
  const int maximum = int(_duration() * 1000);
  qDebug() << "Set slider max: " << maximum;
  _form.horizontalSlider->setMaximum(maximum);
}

void TestMainWindow::on_horizontalSlider_sliderPressed()
{
  _sliderHeld = true;
  on_pauseButton_clicked();
}

void TestMainWindow::on_horizontalSlider_sliderMoved(int position)
{
  if (!_render)
    return;
  const QSlider *slider = _form.horizontalSlider;
  const double time = slider->maximum() > 0 ? _duration() * position / slider->maximum() : 0;
  _render->seek(time, false);
  _form.timeLabel->setText(QString::asprintf("%.3f/%.3f", time, _duration()));
}

void TestMainWindow::on_horizontalSlider_sliderReleased()
{
  if (_render) {
    const QSlider *slider = _form.horizontalSlider;
    _render->seek(slider->maximum() > 0 ? _duration() * slider->value() / slider->maximum() : 0, true);
  }
  _sliderHeld = false;
}

void TestMainWindow::onOpenGLFrameSwapped()
{
  qDebug() << "OpenGL frame swapped";
}

void TestMainWindow::on_saveButton_clicked()
{
  if (!_loaded || _exporter)
    return;
  _render->pause();
  // The exporter composes on its own thread; the preview lets go of the composition meanwhile.
  _render->setComposition(nullptr);
  _exporter = new AVExporter(_composition->width(), _composition->height(), 4000000, 30, 0, false, 44100, 2, 128000,
                             0, exportPath.toUtf8().constData(), nullptr);
  _exporter->setComposition(_composition);
  _exporter->setImageLoader(_imageLoader);
  _exporter->setCallback(exporterCallback, this);
  // The preview's context cannot be made current off the GUI thread: the export shares a
  // window-less root context instead.
  _exportHost = std::make_unique<AVHeadlessGLHost>();
  _exportHost->setComposition(_composition);
  _exportHost->setExportOwner(_exporter->contextOwner());
  _exporter->setGLHost(_exportHost.get());
  _exporter->start();
}

void TestMainWindow::updateExportProgressValue(float percent)
{
  _form.progressBar->setValue(int(_form.progressBar->maximum() * percent));
}

void TestMainWindow::onExportFinished(int err)
{
  if (_exporter) {
    _exporter->wait();
    delete _exporter;
    _exporter = nullptr;
    _exportHost.reset();
  }
  if (_composition && _render) {
    _composition->setRenderSize(1920, 1080, false);
    // The export took its renderer with it.
    _composition->setRenderer(_render->renderer());
    _render->setComposition(_composition);
    _engine->refresh();
    _render->seek(0.0, true);
  }
  if (err != 0)
    _message(QMessageBox::Critical, tr("Fail"), tr("Export Failed (code=%1)").arg(err));
  else
    _message(QMessageBox::Information, tr("Success"), tr("Export Finished"));
}

void TestMainWindow::on_openButton_clicked()
{
  if (!_loaded)
    return;
  const QString dir =
      DialogProvider::instance()->getExistingDirectory(this, tr("Open Project"), ProjectManager::projectsDirectory());
  if (dir.isEmpty())
    return;
  const QString name = QFileInfo(dir).fileName();
  QString error;
  const int result = ProjectLoader::loadProperties(name, QString(), _projectManager, &error);
  if (result != 0) {
    _message(QMessageBox::Warning, tr("Open Project Failed"), tr("Open properties error occurs (%1)").arg(result));
    return;
  }
  _projectDirectory = ProjectManager::projectDirectory(name, QString());
  auto *loader = new ProjectLoader(name, QString(), _projectManager);
  connect(loader, &ProjectLoader::onMessage, this, &TestMainWindow::onProjectLoaderMessage);
  connect(loader, &QThread::finished, loader, &QObject::deleteLater);
  loader->start();
}

void TestMainWindow::onProjectLoaderMessage(ProjectLoader *loader, int message, QVariant data)
{
  switch (message) {
  case LoaderProgress: {
    const QPoint counts = data.toPoint();
    _form.progressBar->setValue(counts.y() > 0 ? _form.progressBar->maximum() * counts.x() / counts.y() : 0);
    break;
  }
  case LoaderSegmentsRead: {
    PropertyMapList maps = loader->takeSegments();
    for (std::unique_ptr<PropertyMap> &map : maps) {
      const QString type = map->text("Type");
      Segment *segment = nullptr;
      if (type == QLatin1String("MOVIE"))
        segment = new MovieSegment(map.get(), this, false);
      else if (type == QLatin1String("IMAGE"))
        segment = new ImageSegment(map.get(), this, false);
      else if (type == QLatin1String("MUSIC"))
        segment = new MusicSegment(map.get(), this, false);
      else if (type == QLatin1String("TEXT"))
        segment = new TextSegment(map.get(), this, false);
      if (!segment)
        continue;
      map.release();
      _addSegment(segment);
    }
    loader->setLayoutEditAreaCompleted();
    break;
  }
  case LoaderBackgroundColor:
    break;
  case LoaderFinished:
    qDebug() << "Load project success";
    _message(QMessageBox::Information, tr("Open Completed"), tr("Open Completed"));
    break;
  default:
    _message(QMessageBox::Warning, tr("Open Project Failed"), tr("Open project error occurs (%1)").arg(message));
    break;
  }
}

void TestMainWindow::on_importButton_clicked()
{
  const QString file = DialogProvider::instance()->getOpenFileName(
      this, tr("Open Archive"), downloadFolder, QStringLiteral("Tavo REN Project File (*.tavorenproject)"));
  if (file.isEmpty())
    return;
  auto *importer = new ArchiveImporter(file, importFolder);
  connect(importer, &ArchiveImporter::onMessage, this, &TestMainWindow::onArchiveImporterMessage);
  connect(importer, &QThread::finished, importer, &QObject::deleteLater);
  importer->start();
}

void TestMainWindow::onArchiveImporterMessage(ArchiveImporter *, int message, QVariant data)
{
  if (message == ImportStarted) {
    _form.progressBar->setValue(0);
  } else if (message == ImportProgress) {
    _form.progressBar->setValue(data.toInt());
  } else if (message >= 3 && message <= 10) {
    _message(QMessageBox::Warning, tr("Import Failed"), tr("Import project error occurs (%1)").arg(message));
  } else if (message == ImportFinished) {
    _message(QMessageBox::Information, tr("Import Completed"), tr("Import Completed"));
  }
}

void TestMainWindow::segmentStateChanged(Segment *segment, int state)
{
  // Loading tasks ask the engine for the media's length: the engine objects must exist first.
  if (state == SegmentLoading)
    addSegmentToEngine(_engine, segment, int(Segment::trackHeight()), true);
  emit segmentListener_segmentStateChanged(segment->id(), state);
}

void TestMainWindow::onSegmentStateChanged(quint32 segmentId, int newState)
{
  // Reports queued before an unload name segments that are gone.
  const int index = newState == SegmentReady && _engine ? _projectManager->indexOfSegmentId(segmentId) : -1;
  if (index < 0)
    return;
  Segment *segment = _projectManager->segmentAt(index);
  _engine->setSegmentDuration(segment->id(), segment->duration());
  if (const quint32 audio = segment->audioPartId())
    _engine->setSegmentDuration(audio, segment->duration());
  std::vector<quint32> ids(size_t(_projectManager->segmentCount()) + 1);
  const int count = _projectManager->layerSegmentIds(ids.data());
  _engine->setLayerOrder(ids.data(), count);
  _engine->updateDuration();
  _form.horizontalSlider->setMaximum(int(_duration() * 1000));
  _engine->refresh();
  _engine->seek(_engine->currentTime(), true);
}

void TestMainWindow::segmentRangeChanged(Segment *segment)
{
  emit segmentListener_segmentRangeChanged(segment->id(), segment->duration());
}

void TestMainWindow::onSegmentRangeChanged(quint32, float) {}

QString TestMainWindow::projectFolder()
{
  return _projectDirectory;
}

void TestMainWindow::releaseVideoThumbnails(Segment *segment)
{
  if (_engine && segment->type() == QLatin1String("MOVIE"))
    _engine->releaseVideoThumbnails(segment->id());
}

float TestMainWindow::videoDuration(Segment *segment)
{
  return _engine && segment->type() == QLatin1String("MOVIE") ? _engine->videoDuration(segment->id()) : 0;
}

float TestMainWindow::audioDuration(Segment *segment)
{
  if (!_engine)
    return 0;
  if (segment->type() == QLatin1String("MOVIE"))
    return _engine->audioDuration(segment->audioPartId());
  return segment->type() == QLatin1String("MUSIC") ? _engine->audioDuration(segment->id()) : 0;
}

QSizeF TestMainWindow::videoSize(Segment *segment)
{
  int32_t size[2] = {0, 0};
  if (!_engine || segment->type() != QLatin1String("MOVIE") || !_engine->videoSize(segment->id(), size))
    return QSizeF();
  return QSizeF(size[0], size[1]);
}
