// The program's shared dark style sheets.
#include "util.h"

#include <QWidget>

void Util::applyDialogStyleSheet(QWidget *dialog)
{
  dialog->setStyleSheet(QStringLiteral("QDialog { background-color: rgb(31,32,35); color: white; }"
                                       "QLabel { color: white; }"));
}

void Util::applyMenuBarStyleSheet(QWidget *menuBar)
{
  menuBar->setStyleSheet(QStringLiteral("QMenuBar { background-color: rgb(7,8,10); color: white; }"
                                        "QMenuBar::item { padding: 3px 10px; background: transparent; }"
                                        "QMenuBar::item:selected { background-color: rgba(64,64,64,230); }"
                                        "QMenuBar::item:pressed { background-color: rgba(64,64,64,230); }"));
}

void Util::applyMenuStyleSheet(QWidget *menu)
{
  menu->setStyleSheet(QStringLiteral(
    "QMenu { background-color: rgba(64,64,64,230); color: white; }"
    "QMenu::item { padding: 6px 10px; }"
    "QMenu::item:selected { background-color: rgba(54,200,255,128); border: 1px solid rgb(54,200,255);"
    " padding: 6px 9px; }"
    "QMenu::item:disabled { color: rgb(128,128,128); }"
    "QMenu::separator { height: 1px; background-color: rgb(44,46,50); }"));
}

void Util::applyPopupMenuStyleSheet(QWidget *menu)
{
  menu->setStyleSheet(QStringLiteral("QMenu { background-color: rgba(7,8,10,230); color: white; padding: 10px;"
                                     " border-radius: 10px; }"
                                     "QMenu::icon { margin: 5px; }"
                                     "QMenu::item { padding: 8px 10px 8px 10px; }"
                                     "QMenu::item:selected { background-color: rgb(44,46,50); }"));
}

void Util::applyScrollBarStyleSheet(QWidget *scrollBar)
{
  scrollBar->setStyleSheet(QStringLiteral(
    "QScrollBar:vertical { width: 15px; background: transparent; margin: 13px 0px 13px 0px; }"
    "QScrollBar::handle:vertical { background: #6b6b6b; min-height: 15px; margin: 3px; border-radius: 4px; }"
    "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed { background: #a4a5a7; }"
    "QScrollBar::sub-line:vertical { subcontrol-origin: margin; subcontrol-position: top; height: 10px;"
    " width: 10px; margin: 3px 0px 0px 0px;"
    " border-image: url(:/icons/res/icons/png/up_arrow_disabled.png); }"
    "QScrollBar::sub-line:vertical:hover, QScrollBar::sub-line:vertical:pressed {"
    " border-image: url(:/icons/res/icons/png/up_arrow.png); }"
    "QScrollBar::add-line:vertical { subcontrol-origin: margin; subcontrol-position: bottom; height: 10px;"
    " width: 10px; margin: 0px 0px 3px 0px;"
    " border-image: url(:/icons/res/icons/png/down_arrow_disabled.png); }"
    "QScrollBar::add-line:vertical:hover, QScrollBar::add-line:vertical:pressed {"
    " border-image: url(:/icons/res/icons/png/down_arrow.png); }"
    "QScrollBar::up-arrow:vertical, QScrollBar::down-arrow:vertical { background: none; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}
