#include "editorfixture.h"

#include "avcomposition.h"
#include "avsegment.h"
#include "avtransition.h"
#include "editscrollarea.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QScroller>
#include <QtTest>
#include <QScrollerProperties>
#include <QXmlStreamWriter>

#include <algorithm>

bool writeEditorProject(const QString &dir, const QByteArray &segments)
{
  QFile project(dir + "/project.xml");
  QFile properties(dir + "/properties.xml");
  const QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n" + segments + "</Project>\n";
  const QByteArray props = "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"#ff203040\"/>\n";
  return project.open(QIODevice::WriteOnly | QIODevice::Truncate) && project.write(xml) == xml.size()
         && properties.open(QIODevice::WriteOnly | QIODevice::Truncate) && properties.write(props) == props.size();
}

EditorProject::EditorProject()
{
  ProjectManager::setWorkingDirectory(_root.path());
  _valid = _root.isValid() && QDir().mkpath(directory());
}

QString EditorProject::directory() const
{
  return ProjectManager::projectDirectory(QStringLiteral("Trip"), QString());
}

void EditorProject::writeLayout(const QMap<QString, int> &values) const
{
  QFile file(ProjectManager::layoutFilePath(QStringLiteral("Trip"), QString()));
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QXmlStreamWriter writer(&file);
  writer.writeStartDocument();
  writer.writeEmptyElement(QStringLiteral("Layout"));
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    writer.writeAttribute(it.key(), QString::number(it.value()));
  writer.writeEndDocument();
}

QByteArray EditorProject::readProperties() const
{
  QFile file(ProjectManager::propertiesFilePath(QStringLiteral("Trip"), QString()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TestEditorWindow::TestEditorWindow() : DesktopMainWindow(QStringLiteral("Trip"), QString())
{
  QScroller *scroller = QScroller::scroller(editScrollArea()->viewport());
  QScrollerProperties properties = scroller->scrollerProperties();
  properties.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0.0);
  scroller->setScrollerProperties(properties);
}

TestEditorWindow::~TestEditorWindow()
{
  // Borrowed engine objects belong to the test.
  _engine = nullptr;
}

bool TestEditorWindow::showUntilReady(int segments)
{
  resize(1200, 800);
  show();
  return QTest::qWaitFor(
      [&] {
        ProjectManager *manager = projectManager();
        if (!previewWidget() || projectLoader() || progressHUD() || manager->segmentCount() != segments)
          return false;
        for (int i = 0; i < manager->segmentCount(); ++i)
          if (manager->segmentAt(i)->state() != SegmentReady)
            return false;
        return true;
      },
      30000);
}

TestEditorWindow *showClosingWindow()
{
  auto *window = new TestEditorWindow;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->resize(1000, 700);
  window->show();
  return window;
}

bool waitUntilLoaded(TestEditorWindow &window)
{
  // An instrumented build opens several times slower.
  const int scale = std::max(1, qEnvironmentVariableIntValue("TAVO_TEST_TIMEOUT_SCALE"));
  return QTest::qWaitFor(
      [&] { return window.previewWidget() && !window.projectLoader() && !window.progressHUD(); }, 30000 * scale);
}

QMap<QString, QByteArray> folderHashes(const QString &folder)
{
  constexpr qint64 kLargestHashedFile = qint64(256) << 20;
  QMap<QString, QByteArray> hashes;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (it.fileInfo().isSymLink() || it.fileName().startsWith(QLatin1String("media.config")))
      continue;
    QFile file(path);
    if (!it.fileInfo().isFile() || !file.open(QIODevice::ReadOnly))
      hashes.insert(path, QByteArray());
    else if (file.size() > kLargestHashedFile) // a sparse file of gigabytes stands for media
      hashes.insert(path, QByteArray::number(file.size()) + ' ' +
                              QByteArray::number(it.fileInfo().lastModified().toMSecsSinceEpoch()));
    else
      hashes.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
  }
  return hashes;
}

QStringList segmentSpans(TestEditorWindow &window, int trackTag)
{
  ProjectManager *model = window.projectManager();
  QList<QPair<float, float>> list;
  for (int i = 0; i < model->segmentCount(); ++i) {
    const Segment *segment = model->segmentAt(i);
    if (trackTag < 0 || segment->trackId() == trackTag)
      list.append({segment->rangeStart(), segment->rangeStart() + segment->duration()});
  }
  std::sort(list.begin(), list.end());
  QStringList out;
  for (const auto &span : list)
    out << QStringLiteral("%1-%2").arg(double(span.first), 0, 'g', 4).arg(double(span.second), 0, 'g', 4);
  return out;
}

QString engineTransitionsDiffer(TestEditorWindow &window, Segment *segment)
{
  QString why;
  const float length = segment->duration();
  for (quint32 id : {segment->id(), segment->audioPartId()}) {
    if (!id)
      continue;
    AVSegment *engineSegment = window._composition->findSegment(id);
    if (!engineSegment)
      return QStringLiteral("no engine segment %1").arg(id);
    if (int(engineSegment->groups().size()) != segment->transitionCount())
      why += QStringLiteral(" %1: %2 groups for %3 transitions;")
                 .arg(id)
                 .arg(engineSegment->groups().size())
                 .arg(segment->transitionCount());
    for (TransitionGroup *group : engineSegment->groups()) {
      const int t = int(group->id());
      const double start = segment->transitionStart(t) / length;
      const double duration = segment->transitionDuration(t) / length;
      if (qAbs(group->start() - start) > 1e-4 || qAbs(group->duration() - duration) > 1e-4)
        why += QStringLiteral(" %1/%2: engine %3+%4, segment %5+%6;")
                   .arg(id)
                   .arg(t)
                   .arg(group->start())
                   .arg(group->duration())
                   .arg(start)
                   .arg(duration);
    }
  }
  return why;
}
