#pragma once
// The ground of the editing tests: a generated project in a temporary working folder, the
// desktop window opened on it with animations off, and the witnesses of what the window did:
// the engine's calls, the heads-up texts with how long they stayed, the beeps, the dialogs
// (scripted), and the project's state as the model writes it.
//
//   EditingSession session;                      // the standard project, see below
//   QVERIFY(session.open());
//   Segment *text = session.segment("TEXT");
//   session.edit(text);
//   session.engine.clear();
//   session.window->_segmentCommand(nullptr, 10023);
//   QCOMPARE(session.engine.calls("setSegmentProperty").size(), 1);

#include "desktopmainwindow.h"
#include "scripteddialogprovider.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class ProgressHUD;
struct AVEngineCall;
class Segment;
class SegmentWidget;

class ProjectManager;

// The project's segments as the model writes them, one line each, with the track ids numbered
// by first use so that rebuilt tracks compare equal.
QString projectState(ProjectManager *model);

// Every facade call while installed, from any thread.
class EngineCallLog
{
public:
  struct Call
  {
    QString name;
    quint32 id = 0;
    quint32 groupId = 0;
    int propertyId = 0;
    float a = 0, b = 0, c = 0, d = 0;
    QString text;
    QString text2;
    bool flag = false;
  };

  EngineCallLog();
  ~EngineCallLog();
  void clear();
  QList<Call> calls() const;
  // Calls of one entry; with a property id (>= 0) only those setting it.
  QList<Call> calls(const QString &name, int propertyId = -1) const;
  // Names in order, for failure messages.
  QStringList names() const;

private:
  static void _record(const AVEngineCall &call, void *self);
  mutable QMutex _mutex;
  QList<Call> _calls;
};

// Heads-up texts (the self-removing text displays) as they show, with the time they stayed.
class HudTextLog : public QObject
{
public:
  struct Entry
  {
    QString text;
    qint64 shownMs = -1; // -1 while still on screen
  };

  HudTextLog();
  ~HudTextLog() override;
  QList<Entry> entries() const { return _entries; }
  QStringList texts() const;
  // Texts still on screen are forgotten too: their entries are gone.
  void clear()
  {
    _entries.clear();
    _open.clear();
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  struct Open
  {
    QPointer<ProgressHUD> hud;
    int index;
    QElapsedTimer shown;
  };
  QList<Entry> _entries;
  QList<Open> _open;
};

// Counts beeps while installed.
class BeepCounter
{
public:
  BeepCounter();
  ~BeepCounter();
  int count = 0;
};

// One Segment element of a generated project.
struct SegmentSpec
{
  QString type;
  int track = 1;
  float start = 0;
  float duration = 1;
  // Further attributes, written as given.
  QList<QPair<QString, QString>> attributes;
};

// A project folder in a temporary working folder, with its media generated: "clip.mp4" (a
// colour-coded 320x240 video of 2 s at 30 fps with a 440 Hz tone), "still.png", "sketch.png"
// and "tune.wav" (3 s of sine).
class EditingProject
{
public:
  explicit EditingProject(const QString &name = QStringLiteral("Edits"));
  bool isValid() const { return _valid; }
  QString name() const { return _name; }
  QString root() const { return _root.path(); }
  QString directory() const;
  // Writes project.xml and properties.xml (extra attributes of <Properties> as given).
  bool write(const QList<SegmentSpec> &segments, const QString &propertiesAttributes = QString()) const;
  // Movie with sound and picture on track 1, a left-aligned text and a drawing on track 2, music
  // on track 3; their identities are "seg-1" to "seg-5" in that order.
  static QList<SegmentSpec> standardSegments();

private:
  QTemporaryDir _root;
  QString _name;
  bool _valid = false;
};

struct EditingDialogs
{
  ScriptedDialogProvider dialogs;
};

// The desktop window with the editing work's members opened up for tests. Later editing
// tests derive from it and open up their own.
class EditingWindow : public EditingDialogs, public DesktopMainWindow
{
public:
  explicit EditingWindow(const QString &projectName);
  ~EditingWindow() override;

  using MainWindow::_applySnapshot;
  using MainWindow::_buildSegmentToolBar;
  using MainWindow::_buildTransitionToolBar;
  using MainWindow::_composition;
  using MainWindow::_currentPopup;
  using MainWindow::_currentTrackTag;
  using MainWindow::_easingIconPath;
  using MainWindow::_editedTransitionEnd;
  using MainWindow::_engine;
  using MainWindow::_hooks;
  using MainWindow::_lastTrackWidget;
  using MainWindow::_playheadTime;
  using MainWindow::_playheadX;
  using MainWindow::_previewQuality;
  using MainWindow::_recordOperation;
  using MainWindow::_scrollTimelineToTime;
  using MainWindow::_segmentCommand;
  using MainWindow::_segmentToolBar;
  using MainWindow::_selectedToolBarCommand;
  using MainWindow::_setPlayheadTime;
  using MainWindow::_setTimelineScale;
  using MainWindow::_transformWidget;
  using MainWindow::_transitionToolBar;
  using MainWindow::popup_onDismissed;
  using MainWindow::projectSettingsPopup_onDidFinish;
  using MainWindow::projectSettingsPopup_onParametersDidChange;

protected:
  // Help tips would cover the window and hold commands back in the middle of a test.
  void _offerHelpTipsAfterLoading() override {}
};

// A project written, the window opened on it and every segment loaded, animations off.
class EditingSession
{
public:
  EngineCallLog engine;
  HudTextLog huds;
  BeepCounter beeps;
  EditingProject project;
  std::unique_ptr<EditingWindow> window;
  // Makes the window open() shows; a test that opens up more of the window sets it to make
  // its own subclass.
  std::function<std::unique_ptr<EditingWindow>(const QString &projectName)> makeWindow;

  EditingSession();
  ~EditingSession();
  // Bounded waits; false when the window did not finish loading in time.
  bool open(const QList<SegmentSpec> &segments = EditingProject::standardSegments(),
            const QString &propertiesAttributes = QString());
  // Waits until every segment of the project is ready (new ones load in the background).
  bool waitUntilLoaded(int timeoutMs = 30000) const;

  int segmentCount() const;
  Segment *segmentAt(int index) const;
  // The first segment of that type, null when none.
  Segment *segment(const QString &type) const;
  Segment *segmentByUId(const QString &uid) const;
  SegmentWidget *block(Segment *segment) const;
  // The block selected and in its editing state, as a click and a double click leave it.
  SegmentWidget *edit(Segment *segment) const;
  // The project's segments as the model writes them, one line each, with the track ids
  // numbered by first use so that rebuilt tracks compare equal.
  QString state() const;
  // Tracks of the edit area, the empty bottom one included.
  int trackCount() const;

private:
  bool _animations;
};
