#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The modal boxes of the projects browser, styled dark and run through DialogProvider.
namespace BrowserDialogs {

// A warning box with one OK button.
void warning(QWidget *parent, const QString &title, const QString &text);
// A question with a "Cancel" button and an accepting button; true when that was clicked.
bool question(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
              const QString &acceptText);
// A text input; false when cancelled, else the entered text in *text.
bool askText(QWidget *parent, const QString &title, const QString &label, const QString &acceptText,
             const QString &defaultText, QString *text);

// A name the user typed, trimmed, when it can name a folder of its own inside the current
// one: not empty, no separator or control character, not "." or "..", not hidden.
bool checkedName(const QString &typed, QString *name);
// Tells the user why a typed name was refused.
void wrongName(QWidget *parent);

} // namespace BrowserDialogs
