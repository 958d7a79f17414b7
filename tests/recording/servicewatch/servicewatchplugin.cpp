// A media service plugin that reports each service request and release to the object a test
// puts in the application's "serviceWatch" property, on the thread that makes the call. Its
// services hold no controls but a recorder's, without which an audio recorder would not bind
// and never release its service: the media objects made on them stay idle.

#include <QCoreApplication>
#include <QMediaRecorderControl>
#include <QMediaService>
#include <QMediaServiceProviderPlugin>

namespace {

class IdleRecorderControl : public QMediaRecorderControl
{
public:
  QUrl outputLocation() const override { return {}; }
  bool setOutputLocation(const QUrl &) override { return false; }
  QMediaRecorder::State state() const override { return QMediaRecorder::StoppedState; }
  QMediaRecorder::Status status() const override { return QMediaRecorder::UnloadedStatus; }
  qint64 duration() const override { return 0; }
  bool isMuted() const override { return false; }
  qreal volume() const override { return 1; }
  void applySettings() override {}
  void setState(QMediaRecorder::State) override {}
  void setMuted(bool) override {}
  void setVolume(qreal) override {}
};

class IdleService : public QMediaService
{
public:
  IdleService() : QMediaService(nullptr) {}
  QMediaControl *requestControl(const char *name) override
  {
    return qstrcmp(name, QMediaRecorderControl_iid) == 0 ? &_recorder : nullptr;
  }
  void releaseControl(QMediaControl *) override {}

private:
  IdleRecorderControl _recorder;
};

void report(const char *method)
{
  if (auto *watch = qvariant_cast<QObject *>(QCoreApplication::instance()->property("serviceWatch")))
    QMetaObject::invokeMethod(watch, method, Qt::DirectConnection);
}

} // namespace

class ServiceWatchPlugin : public QMediaServiceProviderPlugin
{
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.qt.mediaserviceproviderfactory/5.0" FILE "servicewatchplugin.json")

public:
  QMediaService *create(const QString &) override
  {
    report("requested");
    return new IdleService;
  }

  void release(QMediaService *service) override
  {
    report("released");
    delete service;
  }
};

#include "servicewatchplugin.moc"
