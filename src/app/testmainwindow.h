#pragma once
// A bare window that drives the media engine without the editor: load, add single files,
// play, seek, export, open a project folder and import an archive. Nothing in the program
// opens it; it is constructed by hand when the engine needs a quick check.

#include "segmentlistener.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <memory>

class AVComposition;
class AVEngine;
class AVExporter;
class AVHeadlessGLHost;
class AVGLWidget;
class AVImageLoader;
class AVRender;
class ArchiveImporter;
class ProjectLoader;
class ProjectManager;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QVBoxLayout;

class TestMainWindow : public QWidget, public SegmentListener
{
  Q_OBJECT

public:
  explicit TestMainWindow(QWidget *parent = nullptr);
  ~TestMainWindow() override;

  // The buttons by slot name, the time slider and label, the progress bar and the inputs.
  struct Form
  {
    QPushButton *loadUnloadButton = nullptr;
    QPushButton *addVideoButton = nullptr;
    QPushButton *addMusicButton = nullptr;
    QPushButton *addImageButton = nullptr;
    QPushButton *addTextButton = nullptr;
    QPushButton *playButton = nullptr;
    QPushButton *pauseButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *importButton = nullptr;
    QSlider *horizontalSlider = nullptr;
    QLabel *timeLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    QLineEdit *startEdit = nullptr;
    QLineEdit *durationEdit = nullptr;
    QPlainTextEdit *textEdit = nullptr;
    QVBoxLayout *previewLayout = nullptr;
  };
  const Form &form() const { return _form; }

  bool isLoaded() const { return _loaded; }
  AVRender *render() const { return _render; }
  AVComposition *composition() const { return _composition; }
  ProjectManager *projectManager() override { return _projectManager; }

  // Where the file dialogs start and where exports and imports go; XDG folders by default.
  QString mediaFolder;
  QString downloadFolder;
  QString exportPath;
  QString importFolder;

  // The segment callbacks: engine objects are made on the reporting thread, the rest is
  // re-posted; the painting values are neutral.
  void segmentStateChanged(Segment *segment, int state) override;
  void segmentRangeChanged(Segment *segment) override;
  QString projectFolder() override;
  void noOperation() override {}
  QString loadErrorText() override { return QStringLiteral("Load Error"); }
  QString fileNotFoundText() override { return QStringLiteral("File Not Found"); }
  float messageMargin() override { return 5; }
  quint32 messageBackgroundColor() override { return 0xFFFFFF00; }
  quint32 messageTextColor() override { return 0xFF000000; }
  float messageFontSize() override { return 12; }
  float titleMargin() override { return 5; }
  quint32 titleTextColor() override { return 0xFFFFFFFF; }
  quint32 titleShadowColor() override { return 0xFF000000; }
  float titleShadowOffset() override { return 0.5f; }
  float titleFontSize() override { return 12; }
  QString musicPlaceholderTitle() override { return QString(); }
  QString textPlaceholder() override { return QString(); }
  quint32 accentColor() override { return 0xFF0000FF; }
  int videoThumbnailCount(Segment *) override { return 0; }
  QPixmap *videoThumbnail(Segment *, int) override { return nullptr; }
  void releaseVideoThumbnails(Segment *segment) override;
  float videoDuration(Segment *segment) override;
  float audioDuration(Segment *segment) override;
  QSizeF videoSize(Segment *segment) override;
  QString audioTitle(Segment *) override { return QString(); }
  QString audioArtist(Segment *) override { return QString(); }
  void setCachedVideoThumbnail(Segment *, int, const QPixmap &) override {}
  QPixmap *cachedVideoThumbnail(Segment *, int) override { return nullptr; }
  VideoThumbnails *cachedVideoThumbnails(Segment *) override { return nullptr; }
  int cachedVideoThumbnailCount(Segment *) override { return 0; }
  float devicePixelRatio() override { return 1; }
  float pixelsForDuration(float seconds) override { return 96 * seconds; }
  void segmentAudioPlotDataDidReady(Segment *) override {}

signals:
  void progressChanged(double time);
  void avsegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo);
  void exportProgressChanged(float percent);
  void exportFinished(int err);
  void offscreenReady();
  // Queued reports name the segment by id: it may be gone when they arrive.
  void segmentListener_segmentStateChanged(quint32 segmentId, int newState);
  void segmentListener_segmentRangeChanged(quint32 segmentId, float newDuration);

public slots:
  void on_loadUnloadButton_clicked();
  void on_addVideoButton_clicked();
  void on_addMusicButton_clicked();
  void on_addImageButton_clicked();
  void on_playButton_clicked();
  void on_pauseButton_clicked();
  void updateControlsByProgress(double time);
  void onAVSegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo);
  void on_horizontalSlider_sliderMoved(int position);
  void on_addTextButton_clicked();
  void onOpenGLFrameSwapped();
  void on_saveButton_clicked();
  void updateExportProgressValue(float percent);
  void onExportFinished(int err);
  void on_horizontalSlider_sliderPressed();
  void on_horizontalSlider_sliderReleased();
  void on_openButton_clicked();
  void on_importButton_clicked();
  void onArchiveImporterMessage(ArchiveImporter *importer, int message, QVariant data);
  void onSegmentStateChanged(quint32 segmentId, int newState);
  void onSegmentRangeChanged(quint32 segmentId, float newDuration);
  void onProjectLoaderMessage(ProjectLoader *loader, int message, QVariant data);

private:
  void _buildForm();
  void _load();
  void _unload();
  void _addSegment(Segment *segment);
  double _duration() const;
  float _startTime() const;
  float _durationInput() const;
  void _message(int icon, const QString &title, const QString &text);

  Form _form;
  bool _loaded = false;
  ProjectManager *_projectManager = nullptr;
  AVComposition *_composition = nullptr;
  AVRender *_render = nullptr;
  AVImageLoader *_imageLoader = nullptr;
  AVEngine *_engine = nullptr;
  QPointer<AVGLWidget> _previewWidget;
  AVExporter *_exporter = nullptr;
  std::unique_ptr<AVHeadlessGLHost> _exportHost;
  bool _sliderHeld = false;
  QString _projectDirectory;
};
