#include "tipmanager.h"

#include "commonpopuphelptipwidget.h"

#include <QSettings>
#include <QTimer>

namespace {
TipManager *theInstance = nullptr;

const char *const tipNames[] = {"SegmentOperationDoubleTapTip", "SegmentOperationPressAndDragTip",
                                "MediaExplorerHelpTip", "ToolButtonHelpTip", "MediaExplorerActivationTip"};
} // namespace

TipManager::TipManager() = default;

TipManager *TipManager::instance()
{
  if (!theInstance) {
    theInstance = new TipManager;
    theInstance->_load();
  }
  return theInstance;
}

bool TipManager::hasInstance()
{
  return theInstance != nullptr;
}

void TipManager::_load()
{
  QSettings settings;
  settings.beginGroup("Tip");
  for (const char *name : tipNames)
    _shown.insert(name, settings.value(name, false).toBool());
}

void TipManager::_save() const
{
  QSettings settings;
  settings.beginGroup("Tip");
  for (auto it = _shown.cbegin(); it != _shown.cend(); ++it)
    if (it.value())
      settings.setValue(it.key(), true);
}

void TipManager::_closeCurrentTip()
{
  if (_currentTip)
    _currentTip->dismiss();
  _currentTip = nullptr;
  _currentName.clear();
}

bool TipManager::showTip(const QString &name, QWidget *anchor, QWidget *parent, int delayMs)
{
  _closeCurrentTip();
  if (_shown.value(name))
    return false;
  _currentName = name;
  _anchor = anchor;
  _parent = parent;
  if (delayMs >= 1)
    QTimer::singleShot(delayMs, this, &TipManager::createTipWidget);
  else
    createTipWidget();
  return true;
}

void TipManager::createTipWidget()
{
  // A tip closed during the delay leaves no name; a later showTip has replaced it.
  if (_currentName.isEmpty() || _currentTip || !_parent || !_anchor)
    return;
  CommonPopupHelpTipWidget *tip = nullptr;
  QString picture;
  int side = 0;
  if (_currentName == "SegmentOperationDoubleTapTip") {
    tip = new SegmentOperationDoubleTapTipWidget(_parent);
    picture = ":/images/help-tip/segment_opr_double_tap_help";
    side = 3;
  } else if (_currentName == "SegmentOperationPressAndDragTip") {
    tip = new SegmentOperationPressAndDragTipWidget(_parent);
    picture = ":/images/help-tip/segment_opr_press_n_drag_help";
    side = 3;
  } else if (_currentName == "MediaExplorerHelpTip") {
    tip = new MediaExplorerHelpTipWidget(_parent);
    picture = ":/images/help-tip/media_explorer_help";
    side = 0;
  }
  if (!tip)
    return;
  tip->setupTip(_parent, picture, side, _anchor);
  tip->setPersistent(true);
  connect(tip, &CommonPopupHelpTipWidget::clickedOnHelpTip, this, &TipManager::onHelpTipClicked);
  _currentTip = tip;
}

void TipManager::onHelpTipClicked()
{
  const QString name = _currentName; // closing the tip clears the current name
  finishTip(name);
}

void TipManager::finishTip(const QString &name)
{
  _closeCurrentTip();
  if (!name.isEmpty() && !_shown.value(name)) {
    _shown.insert(name, true);
    _save();
  }
}

void TipManager::dismissTip()
{
  _closeCurrentTip();
}

void TipManager::updateTipGeometry()
{
  if (_currentTip)
    _currentTip->moveToAnchor(QPoint(0, 0));
}
