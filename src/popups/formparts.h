#pragma once

class QLabel;
class QPushButton;
class QSpacerItem;
class QString;
class QWidget;

// Small builders for the hand-written forms of the popups: named widgets and the usual spacers.
namespace FormParts {

QLabel *label(const char *name, const QString &text, QWidget *parent);
QPushButton *flatButton(const char *name, const QString &text, QWidget *parent);
QWidget *widget(const char *name, QWidget *parent);
QSpacerItem *expandingH(int width = 40, int height = 20);
QSpacerItem *expandingV(int width = 20, int height = 40);
QSpacerItem *fixedV(int height);

} // namespace FormParts
