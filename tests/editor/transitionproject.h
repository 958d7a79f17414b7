#pragma once
// The transition tests' ground: a loaded project with pictures of several lengths, a tune and
// a movie with sound, the window's transition operations opened up, and readers of a
// segment's transitions and of the engine's transition groups.

#include "editorfixture.h"
#include "mediafixtures.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avsegment.h"
#include "avtransition.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "tooltipbutton.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QtTest>

#include <algorithm>
#include <memory>


inline bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Track 3: a 4:3 picture 0-4 s, the same picture 5-6.5 s and 7-7.3 s. Track 4: a tune 0-3 s.
// Track 5: a movie with sound 8-10 s.
inline bool writeProject(const QString &dir)
{
  MediaFixtures::VideoParams clip;
  clip.frames = 60;
  clip.withTone = true;
  if (!MediaFixtures::writePicture(dir + "/still.png", 320, 240) || !MediaFixtures::writeTone(dir + "/tune.wav", 3)
      || !MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip))
    return false;
  const QByteArray xml =
      "<?xml version=\"1.0\"?>\n<Project>\n"
      "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" File=\"still.png\"/>\n"
      "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"5\" RangeDuration=\"1.5\" File=\"still.png\"/>\n"
      "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"7\" RangeDuration=\"0.3\" File=\"still.png\"/>\n"
      "<Segment Type=\"MUSIC\" TrackId=\"4\" RangeStart=\"0\" RangeDuration=\"3\" File=\"tune.wav\" "
      "Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"3\"/>\n"
      "<Segment Type=\"MOVIE\" TrackId=\"5\" RangeStart=\"8\" RangeDuration=\"2\" File=\"clip.mp4\" "
      "TrimStart=\"0\" TrimDuration=\"2\"/>\n"
      "</Project>\n";
  return writeText(dir + "/project.xml", xml)
         && writeText(dir + "/properties.xml",
                      "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"#ff203040\"/>\n");
}

enum Fixture { Picture, ShortPicture, TinyPicture, Music, Movie };

class TransitionWindow : public TestEditorWindow
{
public:
  using MainWindow::_addTransitionFromToolBar;
  using MainWindow::_applyTransitionPreset;
  using MainWindow::_currentPopup;
  using MainWindow::_selectedToolBarCommand;
  using MainWindow::_imageFromPixelBuffer;
  using MainWindow::_releasePixelBuffer;
  using MainWindow::_showTransitionMenu;
  using MainWindow::_startTransitionMode;
  using MainWindow::_transitionCommand;
};

struct TransitionProject
{
  EditorProject project;
  std::unique_ptr<TransitionWindow> window;

  bool open()
  {
    if (!project.isValid() || !writeProject(project.directory()))
      return false;
    window = std::make_unique<TransitionWindow>();
    window->resize(1200, 800);
    window->show();
    ProjectManager *manager = window->projectManager();
    return QTest::qWaitFor(
        [&] {
          if (!window->previewWidget() || window->projectLoader() || window->progressHUD()
              || manager->segmentCount() != 5)
            return false;
          for (int i = 0; i < 5; ++i)
            if (manager->segmentAt(i)->state() != SegmentReady)
              return false;
          return true;
        },
        30000);
  }

  // Every segment without transitions, unlocked, none chosen, nothing selected or edited.
  void reset()
  {
    for (Fixture which : {Picture, ShortPicture, TinyPicture, Music, Movie}) {
      Segment *s = segment(which);
      while (s->transitionCount() > 0)
        s->removeTransition(1);
      window->_refreshSegment(s);
      block(s)->setTransitionId(0);
      block(s)->setLocked(false);
    }
    delete window->_transitionToolBar;
    delete window->_segmentToolBar;
    if (SegmentWidget *edited = window->editScrollArea()->editingSegmentWidget())
      edited->setEditingState(false, false);
    window->editScrollArea()->setSelectedSegmentWidget(nullptr);
  }

  Segment *segment(Fixture which) const
  {
    const QString type = which == Music ? "MUSIC" : which == Movie ? "MOVIE" : "IMAGE";
    const float start = which == ShortPicture ? 5 : which == TinyPicture ? 7 : which == Movie ? 8 : 0;
    for (int i = 0; i < window->projectManager()->segmentCount(); ++i) {
      Segment *s = window->projectManager()->segmentAt(i);
      if (s->type() == type && qAbs(s->rangeStart() - start) < 0.01f)
        return s;
    }
    return nullptr;
  }
  SegmentWidget *block(Segment *segment) const
  {
    return static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segment));
  }
  // The window's transition tool bar, with its "Add Transition" button only.
  ScrollableToolBar *transitionBar() const
  {
    auto *bar = new ScrollableToolBar(window->centralWidget());
    bar->addButton(":/images/toolbar/add", ":/images/toolbar/add2", "Add Transition", 10111, true);
    window->_transitionToolBar = bar;
    return bar;
  }
  // One transition of length at seconds into the segment, in the engine too, and the segment
  // edited with it chosen.
  SegmentWidget *editWithTransition(Fixture which, float length, float at)
  {
    Segment *s = segment(which);
    s->insertTransition(length, s->rangeStart() + at);
    window->_refreshSegment(s);
    SegmentWidget *b = edit(which);
    b->setTransitionId(1);
    return b;
  }
  // Selected and in the editing state, as a double click leaves it.
  SegmentWidget *edit(Fixture which) const
  {
    SegmentWidget *b = select(which);
    b->setEditingState(true, false);
    return b;
  }
  SegmentWidget *select(Fixture which) const
  {
    SegmentWidget *b = block(segment(which));
    window->editScrollArea()->setSelectedSegmentWidget(b);
    return b;
  }
  // Applies through the context menu's action of that text, as a click on it does.
  bool choose(const QString &text) const
  {
    std::unique_ptr<QMenu> menu(window->_showTransitionMenu(window.get()));
    if (!menu)
      return false;
    for (QAction *action : menu->actions())
      if (action->text() == text) {
        action->trigger();
        return true;
      }
    return false;
  }
  QStringList menuTexts() const
  {
    std::unique_ptr<QMenu> menu(window->_showTransitionMenu(window.get()));
    QStringList texts;
    for (QAction *action : menu->actions())
      texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
  }
  // The engine's groups of an engine id as (id, start) in their order.
  QList<QPair<int, double>> groups(quint32 id) const
  {
    QList<QPair<int, double>> list;
    if (AVSegment *s = window->_composition->findSegment(id))
      for (TransitionGroup *group : s->groups())
        list.append({int(group->id()), group->start()});
    std::sort(list.begin(), list.end());
    return list;
  }
};

using Spans = QList<QPair<double, double>>;

inline Spans spans(const Segment *segment)
{
  Spans list;
  for (int id = 1; id <= segment->transitionCount(); ++id)
    list.append({segment->transitionStart(id), segment->transitionDuration(id)});
  return list;
}

inline bool sameSpans(const Spans &a, const Spans &b)
{
  if (a.size() != b.size())
    return false;
  for (int i = 0; i < a.size(); ++i)
    if (qAbs(a[i].first - b[i].first) > 1e-3 || qAbs(a[i].second - b[i].second) > 1e-3)
      return false;
  return true;
}

inline QString spansText(const Spans &list)
{
  QStringList parts;
  for (const auto &span : list)
    parts << QString("%1+%2").arg(span.first).arg(span.second);
  return parts.join(", ");
}

Q_DECLARE_METATYPE(Fixture)
