// The menu bar of the desktop editor window.

#include "desktopmainwindow.h"

#include "desktopmainwindowform.h"
#include "util.h"

#include <QMenu>
#include <QMenuBar>

void DesktopMainWindow::_buildMenuBar()
{
  QMenuBar *bar = _form->menubar;
  Util::applyMenuBarStyleSheet(bar);
  const MainWindowActions &a = actions();
  auto addMenu = [bar](const QString &title) {
    QMenu *menu = bar->addMenu(title);
    Util::applyMenuStyleSheet(menu);
    return menu;
  };

  QMenu *file = addMenu(tr("File"));
  file->addAction(tr("Save && Close"), this, &QWidget::close);

  QMenu *edit = addMenu(tr("Edit"));
  edit->addAction(a.undo);
  edit->addAction(a.redo);
  edit->addSeparator();
  edit->addAction(a.rangeSelect);
  edit->addSeparator();
  edit->addAction(a.insertOverwriteMode);

  QMenu *view = addMenu(tr("View"));
  view->addAction(_mediaExplorerAction);
  view->addAction(_segmentInspectorAction);
  view->addSeparator();
  view->addAction(a.fullscreen);
  connect(view, &QMenu::aboutToShow, this, &DesktopMainWindow::onViewMenuAboutToShow);

  QMenu *segment = addMenu(tr("Segment"));
  segment->addActions({a.addFile, a.addFromCamera, a.addFromMicrophone, a.addText, a.addSelfDraw});
  segment->addSeparator();
  segment->addActions({a.editSegment, a.duplicateSegment, a.removeSegment});
  segment->addSeparator();
  segment->addAction(a.splitSegment);

  _transitionMenu = addMenu(tr("Transition"));
  _transitionMenu->addActions({a.addTransition, a.duplicateTransition, a.deleteTransition});
  _transitionMenu->addSeparator();
  _transitionMenu->addAction(a.editTransition);
  connect(_transitionMenu, &QMenu::aboutToShow, this, &DesktopMainWindow::onTransitionMenuAboutToShow);

  QMenu *movie = addMenu(tr("Movie"));
  movie->addActions({a.playPause, a.nextPosition, a.previousPosition});
  movie->addSeparator();
  movie->addAction(a.exportMovie);
  movie->addSeparator();
  movie->addAction(a.movieSettings);

  QMenu *help = addMenu(tr("Help"));
  help->addAction(tr("Tavo REN Help"), this, &MainWindow::showUserHelp);
  help->addAction(tr("Get Tavo REN on Smartphones"), this, &MainWindow::getMobileApp);
  help->addSeparator();
  help->addAction(tr("About Tavo REN"), this, &MainWindow::showAbout);
}
