#include "commonpopuphelptipwidget.h"

#include "animatedlabel.h"
#include "popupmainwidget.h"
#include "util.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

CommonPopupHelpTipWidget::CommonPopupHelpTipWidget(QWidget *parent, const char *className, const char *text,
                                                   const QSize &pictureAspect)
  : CommonPopup(parent), _pictureAspect(pictureAspect)
{
  setObjectName(className);
  setWindowTitle("Form");
  // The balloon lives on the parent beside the overlay, which lets the mouse through.
  _panel = new PopupMainWidget(parent);
  _panel->setObjectName("mainWidget");
  _mainVerticalLayout = new QVBoxLayout(_panel);
  _mainVerticalLayout->setSpacing(10);
  QMargins margins = _mainVerticalLayout->contentsMargins();
  margins.setBottom(24);
  _mainVerticalLayout->setContentsMargins(margins);
  _animatedLabel = new AnimatedLabel(_panel);
  _animatedLabel->setObjectName("animatedLabel");
  _animatedLabel->setScaledContents(false);
  _animatedLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  _helpTextLabel = new QLabel(QCoreApplication::translate(className, text), _panel);
  _helpTextLabel->setObjectName("helpTextLabel");
  _helpTextLabel->setWordWrap(true);
  _okButton = new QPushButton(QCoreApplication::translate(className, "Got it"), _panel);
  _okButton->setObjectName("okButton");
  _okButton->setFlat(true);
  _okButton->setMinimumSize(65, 25);
  _mainVerticalLayout->addWidget(_animatedLabel);
  _mainVerticalLayout->addWidget(_helpTextLabel);
  _mainVerticalLayout->addWidget(_okButton, 0, Qt::AlignHCenter);
  setForm(_panel, nullptr);
  _panel->show();
  connect(_panel.data(), &PopupMainWidget::mainWidgetClicked, this, &CommonPopupHelpTipWidget::clickedOnHelpTip);
  // Not setInputTransparent: the window's keys stay swallowed while the tip is up.
  setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

CommonPopupHelpTipWidget::~CommonPopupHelpTipWidget()
{
  delete _panel;
}

PopupMainWidget *CommonPopupHelpTipWidget::panel() const
{
  return _panel;
}

void CommonPopupHelpTipWidget::setupTip(QWidget *parent, const QString &picturePath, int arrowSide, QWidget *anchor)
{
  _arrowSide = arrowSide;
  _anchor = anchor;
  _picturePath = picturePath;
  showPopup(parent, QString(), QPoint(0, 0));
}

void CommonPopupHelpTipWidget::initialize()
{
  CommonPopup::initialize();
  _panel->setBackgroundColor(QColor(54, 200, 255));
  _panel->setBorderColor(QColor(64, 64, 64, 128));
  _panel->setCornerRadius(10);
  _animatedLabel->setMovieFile(_picturePath);
  _animatedLabel->start(30);
  applyLabelStyle(_helpTextLabel);
  _okButton->setStyleSheet("QPushButton {background-color: transparent; color: white; border: 1px solid white;"
                           " border-radius: 5px;}"
                           " QPushButton:pressed {background-color: white; color: rgb(54,200,255);}");
  connect(_okButton, &QPushButton::clicked, this, &CommonPopupHelpTipWidget::clickedOnHelpTip, Qt::UniqueConnection);
  QMargins margins = _mainVerticalLayout->contentsMargins();
  if (_arrowSide == 0)
    margins.setTop(margins.top() + 16);
  else if (_arrowSide == 3)
    margins.setBottom(margins.bottom() + 16);
  _mainVerticalLayout->setContentsMargins(margins);
}

void CommonPopupHelpTipWidget::showPopup(QWidget *parent, const QString &title, const QPoint &anchor)
{
  CommonPopup::showPopup(parent, title, anchor);
  addDropShadow();
}

void CommonPopupHelpTipWidget::layoutAt(const QPoint &)
{
  const QSize s = tipSize();
  const QWidget *parent = parentWidget();
  const int w = parent ? parent->width() : width();
  const int h = parent ? parent->height() : height();

  QPoint p;
  if (_anchor) {
    const QPoint local = _arrowSide == 0 ? QPoint(_anchor->width() / 2, _anchor->height() / 2)
                                         : QPoint(_anchor->width() / 2, 0);
    p = mapFromGlobal(_anchor->mapToGlobal(local));
  }
  int x = p.x() - s.width() / 2;
  int y = _arrowSide == 3 ? p.y() - s.height() : p.y();
  if (x + s.width() > w + 1)
    x = w - 9 - s.width();
  if (x < 0)
    x = 10;
  if (s.width() + 20 > w)
    x = (w - s.width()) / 2;
  if (y + s.height() > h + 1)
    y = h - 9 - s.height();
  if (y < 0)
    y = (h - s.height()) / 2;

  _panel->setGeometry(QRect(QPoint(x, y), s));
  _panel->raise();
  _panel->setArrowPoint(_panel->mapFromGlobal(mapToGlobal(p)));
  if (_arrowSide == 0 || _arrowSide == 3)
    _panel->setArrowSide(_arrowSide);

  _mainVerticalLayout->activate();
  const QRectF fitted =
    Util::fitRectWithAspectRatio(_pictureAspect.width(), _pictureAspect.height(), QRectF(_animatedLabel->rect()));
  _animatedLabel->setMovieScaledSize(QSize(int(fitted.width()), int(fitted.height())));
}

void CommonPopupHelpTipWidget::dismiss()
{
  if (_panel) {
    _panel->hide();
    _panel->deleteLater();
  }
  CommonPopup::dismiss();
}

void CommonPopupHelpTipWidget::mouseReleaseEvent(QMouseEvent *event)
{
  const QPoint pos = event->pos();
  for (QWidget *part : {static_cast<QWidget *>(_animatedLabel), static_cast<QWidget *>(_helpTextLabel)}) {
    if (QRect(part->mapTo(this, QPoint(0, 0)), part->size()).contains(pos)) {
      emit clickedOnHelpTip();
      return;
    }
  }
  CommonPopup::mouseReleaseEvent(event);
}

namespace {
// The button's text is looked up in each tip's own context: listed here for the translators.
Q_DECL_UNUSED const char *const kGotIt[] = {
  QT_TRANSLATE_NOOP("SegmentOperationDoubleTapTipWidget", "Got it"),
  QT_TRANSLATE_NOOP("SegmentOperationPressAndDragTipWidget", "Got it"),
  QT_TRANSLATE_NOOP("MediaExplorerHelpTipWidget", "Got it"),
};
} // namespace

SegmentOperationDoubleTapTipWidget::SegmentOperationDoubleTapTipWidget(QWidget *parent)
  : CommonPopupHelpTipWidget(parent, "SegmentOperationDoubleTapTipWidget",
                             QT_TRANSLATE_NOOP("SegmentOperationDoubleTapTipWidget",
                                               "Double click a segment to enter into the edit mode. And double click "
                                               "it again to exit from the edit mode."),
                             QSize(795, 391))
{
}

SegmentOperationPressAndDragTipWidget::SegmentOperationPressAndDragTipWidget(QWidget *parent)
  : CommonPopupHelpTipWidget(parent, "SegmentOperationPressAndDragTipWidget",
                             QT_TRANSLATE_NOOP("SegmentOperationPressAndDragTipWidget",
                                               "Press and hold on a segment till the yellow frame appears, then you "
                                               "can drag it to the place you want."),
                             QSize(795, 541))
{
}

MediaExplorerHelpTipWidget::MediaExplorerHelpTipWidget(QWidget *parent)
  : CommonPopupHelpTipWidget(parent, "MediaExplorerHelpTipWidget",
                             QT_TRANSLATE_NOOP("MediaExplorerHelpTipWidget",
                                               "You can drag a footage from the Media Explorer and drop it directly at "
                                               "the desired location on a track."),
                             QSize(808, 626))
{
}
