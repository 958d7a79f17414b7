// Small services between the panels: the insert/overwrite toggle, the text alignment title and
// the chroma-key values.

#include "mainwindow.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QColor>

void MainWindow::onSegmentModeButtonClicked()
{
  _toggleSegmentOverwriteMode();
}

void MainWindow::_toggleSegmentOverwriteMode()
{
  const int mode = 1 - _projectManager->segmentMode();
  _projectManager->setSegmentMode(mode);
  _projectManager->setModified(true);
  _updateInsertOverwriteButton();
  ProgressHUD::showTextMessage(mode == 1 ? tr("Overwrite Mode On") : tr("Insert Mode On"), this, 2000);
}

QString MainWindow::_textAlignmentTitle(Segment *segment) const
{
  switch (static_cast<TextSegment *>(segment)->alignment()) {
  case 0:
    return tr("Text Alignment: Left");
  case 2:
    return tr("Text Alignment: Right");
  default:
    return tr("Text Alignment: Center");
  }
}

void MainWindow::chromaKeyPopup_onValuesChanged(PopupChromaKeyWidget *, int sensitivity, int smoothing, QColor color)
{
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  if (!segment)
    return;
  _recordOperation();
  _projectManager->setModified(true);
  segment->setKeySensitivity(sensitivity);
  segment->setKeySmoothing(smoothing);
  segment->setKeyColor(color.rgba());
  if (_engine) {
    _engine->setSegmentProperty(segment->id(), 51, float(sensitivity));
    _engine->setSegmentProperty(segment->id(), 52, float(smoothing));
    _engine->setSegmentProperty(segment->id(), 53, float(color.redF()), float(color.greenF()), float(color.blueF()),
                                1.0f);
  }
  if (UserSettings::instance()->applyUserHabits()) {
    UserStyleDefaults *defaults = UserStyleDefaults::instance();
    defaults->setChromaKeySensitivity(sensitivity);
    defaults->setChromaKeySmoothing(smoothing);
    defaults->setChromaKeyColor(color.rgba());
  }
  if (_engine)
    _engine->refresh();
}
