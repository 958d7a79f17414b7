#include "editingfixture.h"

#include "animationswitch.h"
#include "avengine.h"
#include "beeper.h"
#include "editscrollarea.h"
#include "mediafixtures.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "segmentxml.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMutexLocker>
#include <QScroller>
#include <QScrollerProperties>
#include <QTest>
#include <QXmlStreamWriter>

// --- EngineCallLog -------------------------------------------------------------------------

EngineCallLog::EngineCallLog()
{
  AVEngine::setCallHook(&EngineCallLog::_record, this);
}

EngineCallLog::~EngineCallLog()
{
  AVEngine::setCallHook(nullptr, nullptr);
}

void EngineCallLog::_record(const AVEngineCall &call, void *self)
{
  auto *log = static_cast<EngineCallLog *>(self);
  Call entry;
  entry.name = QString::fromLatin1(call.name);
  entry.id = call.id;
  entry.groupId = call.groupId;
  entry.propertyId = call.propertyId;
  entry.a = call.a;
  entry.b = call.b;
  entry.c = call.c;
  entry.d = call.d;
  entry.text = call.text ? QString::fromUtf8(call.text) : QString();
  entry.text2 = call.text2 ? QString::fromUtf8(call.text2) : QString();
  entry.flag = call.flag;
  QMutexLocker lock(&log->_mutex);
  log->_calls.append(entry);
}

void EngineCallLog::clear()
{
  QMutexLocker lock(&_mutex);
  _calls.clear();
}

QList<EngineCallLog::Call> EngineCallLog::calls() const
{
  QMutexLocker lock(&_mutex);
  return _calls;
}

QList<EngineCallLog::Call> EngineCallLog::calls(const QString &name, int propertyId) const
{
  QList<Call> found;
  for (const Call &call : calls())
    if (call.name == name && (propertyId < 0 || call.propertyId == propertyId))
      found.append(call);
  return found;
}

QStringList EngineCallLog::names() const
{
  QStringList list;
  for (const Call &call : calls())
    list << call.name;
  return list;
}

// --- HudTextLog -----------------------------------------------------------------------------

HudTextLog::HudTextLog()
{
  qApp->installEventFilter(this);
}

HudTextLog::~HudTextLog()
{
  qApp->removeEventFilter(this);
}

QStringList HudTextLog::texts() const
{
  QStringList list;
  for (const Entry &entry : _entries)
    list << entry.text;
  return list;
}

bool HudTextLog::eventFilter(QObject *watched, QEvent *event)
{
  // Timed from the HUD's own show() to its own hide(): a window shown late or hidden and
  // shown again by the system changes neither.
  if (event->type() != QEvent::ShowToParent && event->type() != QEvent::HideToParent)
    return false;
  auto *hud = qobject_cast<ProgressHUD *>(watched);
  if (!hud || hud->style() != ProgressHUDStyleText)
    return false;
  if (event->type() == QEvent::ShowToParent) {
    _entries.append({hud->textLabel() ? hud->textLabel()->text() : QString(), -1});
    Open open{hud, _entries.size() - 1, {}};
    open.shown.start();
    _open.append(open);
    return false;
  }
  for (int i = 0; i < _open.size(); ++i) {
    if (_open[i].hud != hud)
      continue;
    _entries[_open[i].index].shownMs = _open[i].shown.elapsed();
    _open.removeAt(i);
    break;
  }
  return false;
}

// --- BeepCounter ----------------------------------------------------------------------------

BeepCounter::BeepCounter()
{
  Beeper::install([this] { ++count; });
}

BeepCounter::~BeepCounter()
{
  Beeper::install({});
}

// --- EditingProject -------------------------------------------------------------------------

EditingProject::EditingProject(const QString &name) : _name(name)
{
  ProjectManager::setWorkingDirectory(_root.path());
  const QString dir = directory();
  if (!_root.isValid() || !QDir().mkpath(dir))
    return;
  MediaFixtures::VideoParams clip;
  clip.frames = 60;
  clip.withTone = true;
  QImage sketch(160, 120, QImage::Format_ARGB32);
  sketch.fill(QColor(200, 40, 40, 180));
  _valid = MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip) && MediaFixtures::writePicture(dir + "/still.png", 320, 240)
           && sketch.save(dir + "/sketch.png") && MediaFixtures::writeTone(dir + "/tune.wav", 3);
}

QString EditingProject::directory() const
{
  return ProjectManager::projectDirectory(_name, QString());
}

QList<SegmentSpec> EditingProject::standardSegments()
{
  using Attributes = QList<QPair<QString, QString>>;
  return {
    {"MOVIE", 1, 0, 2, Attributes{{"File", "clip.mp4"}, {"TrimStart", "0"}, {"TrimDuration", "2"}}},
    {"IMAGE", 1, 2, 3, Attributes{{"File", "still.png"}}},
    {"TEXT", 2, 0, 3, Attributes{{"Text", "Hello"}, {"FontName", "DejaVu Sans"}, {"FontStyle", "Book"}, {"Alignment", "0"}}},
    {"DRAWING", 2, 3, 2, Attributes{{"File", "sketch.png"}, {"DrawSize", "{160, 120}"}}},
    {"MUSIC", 3, 0, 3, Attributes{{"File", "tune.wav"}, {"Title", "Tune"}, {"TrimStart", "0"}, {"TrimDuration", "3"}}},
  };
}

bool EditingProject::write(const QList<SegmentSpec> &segments, const QString &propertiesAttributes) const
{
  QFile project(directory() + "/project.xml");
  if (!project.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  QXmlStreamWriter xml(&project);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeStartElement("Project");
  int number = 0;
  for (const SegmentSpec &spec : segments) {
    xml.writeStartElement("Segment");
    xml.writeAttribute("Type", spec.type);
    xml.writeAttribute("UId", QStringLiteral("seg-%1").arg(++number));
    xml.writeAttribute("TrackId", QString::number(spec.track));
    xml.writeAttribute("RangeStart", QString::number(double(spec.start)));
    xml.writeAttribute("RangeDuration", QString::number(double(spec.duration)));
    for (const auto &attribute : spec.attributes)
      xml.writeAttribute(attribute.first, attribute.second);
    xml.writeEndElement();
  }
  xml.writeEndElement();
  xml.writeEndDocument();
  project.close();
  QFile properties(directory() + "/properties.xml");
  if (!properties.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  const QByteArray text = "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" " + propertiesAttributes.toUtf8()
                          + "/>\n";
  return properties.write(text) == text.size() && !project.error();
}

// --- EditingWindow --------------------------------------------------------------------------

EditingWindow::EditingWindow(const QString &projectName) : DesktopMainWindow(projectName, QString())
{
  // Test processes share one display: a press must reach the blocks at once.
  QScroller *scroller = QScroller::scroller(editScrollArea()->viewport());
  QScrollerProperties properties = scroller->scrollerProperties();
  properties.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0.0);
  scroller->setScrollerProperties(properties);
}

EditingWindow::~EditingWindow() = default;

// --- EditingSession -------------------------------------------------------------------------

EditingSession::EditingSession() : _animations(isAnimationEnabled())
{
  setAnimationEnabled(false);
}

EditingSession::~EditingSession()
{
  window.reset();
  setAnimationEnabled(_animations);
}

bool EditingSession::open(const QList<SegmentSpec> &segments, const QString &propertiesAttributes)
{
  if (!project.isValid() || !project.write(segments, propertiesAttributes))
    return false;
  window = makeWindow ? makeWindow(project.name()) : std::make_unique<EditingWindow>(project.name());
  window->resize(1200, 800);
  window->show();
  const int expected = segments.size();
  const bool opened = QTest::qWaitFor(
      [&] {
        return window->previewWidget() && !window->projectLoader() && !window->progressHUD()
               && window->projectManager()->segmentCount() == expected;
      },
      30000);
  if (!opened)
    qWarning("the window did not open: %d of %d segments, loader %s, display %s", window->projectManager()->segmentCount(),
             expected, window->projectLoader() ? "running" : "done", window->progressHUD() ? "shown" : "gone");
  if (!opened)
    waitUntilLoaded(1);
  return opened && waitUntilLoaded();
}

bool EditingSession::waitUntilLoaded(int timeoutMs) const
{
  ProjectManager *manager = window->projectManager();
  auto loaded = [manager] {
    for (int i = 0; i < manager->segmentCount(); ++i)
      if (manager->segmentAt(i)->state() != SegmentReady || !manager->segmentAt(i)->isLoaded())
        return false;
    return true;
  };
  if (QTest::qWaitFor(loaded, timeoutMs))
    return true;
  for (int i = 0; i < manager->segmentCount(); ++i)
    qWarning("segment %d (%s): state %u, error %u, loaded %d", i, qPrintable(manager->segmentAt(i)->type()),
             manager->segmentAt(i)->state(), manager->segmentAt(i)->error(), manager->segmentAt(i)->isLoaded());
  return false;
}

int EditingSession::segmentCount() const
{
  return window->projectManager()->segmentCount();
}

Segment *EditingSession::segmentAt(int index) const
{
  return window->projectManager()->segmentAt(index);
}

Segment *EditingSession::segment(const QString &type) const
{
  for (int i = 0; i < segmentCount(); ++i)
    if (segmentAt(i)->type() == type)
      return segmentAt(i);
  return nullptr;
}

Segment *EditingSession::segmentByUId(const QString &uid) const
{
  const int index = window->projectManager()->indexOfSegmentUId(uid);
  return index < 0 ? nullptr : segmentAt(index);
}

SegmentWidget *EditingSession::block(Segment *segment) const
{
  return static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segment));
}

SegmentWidget *EditingSession::edit(Segment *segment) const
{
  SegmentWidget *widget = block(segment);
  window->editScrollArea()->setSelectedSegmentWidget(widget);
  widget->setEditingState(true, false);
  return widget;
}

QString projectState(ProjectManager *model)
{
  QStringList lines;
  QHash<QString, int> trackNumbers;
  for (int i = 0; i < model->segmentCount(); ++i) {
    PropertyMap map = *model->segmentAt(i)->properties();
    const QString track = map.text(QStringLiteral("TrackId"));
    if (!trackNumbers.contains(track))
      trackNumbers.insert(track, trackNumbers.size() + 1);
    map.setText(QStringLiteral("TrackId"), QString::number(trackNumbers.value(track)));
    QString line;
    QXmlStreamWriter writer(&line);
    writeSegmentXml(map, writer);
    lines << line;
  }
  return lines.join(QLatin1Char('\n'));
}

QString EditingSession::state() const
{
  return projectState(window->projectManager());
}

int EditingSession::trackCount() const
{
  return window->editScrollArea()->trackCount();
}
