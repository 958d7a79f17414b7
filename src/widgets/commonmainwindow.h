#pragma once

#include <QMainWindow>

class NavigationBar;

// Base of the editor windows: an optional navigation bar whose buttons dispatch by command
// id to four virtual operations, the extension point of the window family.
class CommonMainWindow : public QMainWindow
{
  Q_OBJECT
public:
  explicit CommonMainWindow(QWidget *parent = nullptr);

  void showDoneNavigationButton();
  NavigationBar *navigationBar() const { return _navigationBar; }

public slots:
  void onNavigationButtonClicked(int cmdId);

protected:
  virtual void navigationCommand1() {}
  virtual void navigationDone() {}
  virtual void navigationCommand3() {}
  virtual void navigationCommand(int cmdId) { Q_UNUSED(cmdId) }

  // No window of the program creates one; a subclass that does stores it here.
  NavigationBar *_navigationBar = nullptr;
};
