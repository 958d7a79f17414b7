#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class CommonPopupHelpTipWidget;
class QWidget;

// Decides which one-time help tips may still be shown, shows at most one at a time after a
// delay, and remembers in the settings group "Tip" the tips the user has finished.
// One per process, never deleted.
class TipManager : public QObject
{
  Q_OBJECT
public:
  static TipManager *instance();
  static bool hasInstance();

  // False when the tip is finished; otherwise it appears after delayMs (at once below 1).
  bool showTip(const QString &name, QWidget *anchor, QWidget *parent, int delayMs);
  void finishTip(const QString &name);
  // Closes the tip without finishing it: it is offered again later.
  void dismissTip();
  bool isShowingTip() const { return _currentTip != nullptr; }
  void updateTipGeometry();

  bool isTipFinished(const QString &name) const { return _shown.value(name); }
  QString currentName() const { return _currentName; }
  // Tests share one process-wide manager: a tip finished by an earlier case (or a drop that
  // reached the window) is offered again.
  void forgetFinishedTipsForTesting() { _shown.clear(); }
  CommonPopupHelpTipWidget *currentTip() const { return _currentTip; }

public slots:
  void createTipWidget();
  void onHelpTipClicked();

private:
  TipManager();
  void _closeCurrentTip();
  void _load();
  void _save() const;

  QPointer<CommonPopupHelpTipWidget> _currentTip;
  QString _currentName;
  QPointer<QWidget> _anchor;
  QPointer<QWidget> _parent;
  QMap<QString, bool> _shown;
};
