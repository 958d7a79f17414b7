#include "editorfixture.h"

#include "editscrollarea.h"
#include "projectmanager.h"
#include "segmentwidget.h"

#include <QDir>
#include <QFile>
#include <QScroller>
#include <QtTest>
#include <QScrollerProperties>
#include <QXmlStreamWriter>

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
