#pragma once
// The projects browser tests' ground: a temporary working folder whose projects folder is
// filled with generated projects and browser folders, and a script for the name dialogs.

#include "scripteddialogprovider.h"

#include <QDateTime>
#include <QInputDialog>
#include <QTemporaryDir>

class BrowserFolder
{
public:
  BrowserFolder();
  ~BrowserFolder();
  bool isValid() const { return _valid; }
  QString projects() const;
  // A project with "project.xml" (and "shot.jpg" of that colour when valid) made at the time.
  QString addProject(const QString &name, const QString &folder = QString(),
                     const QDateTime &time = QDateTime(), const QColor &shot = QColor(200, 40, 40)) const;
  QString addFolder(const QString &name) const;
  static void touch(const QString &path, const QDateTime &time);

private:
  QTemporaryDir _root;
  bool _valid = false;
};

// Answers the name dialogs in order: a null string cancels, kDefaultName takes what is offered. Records what each one offered.
static const QString kDefaultName = QStringLiteral("<default>");

struct NameScript
{
  struct Asked
  {
    QString title;
    QString label;
    QString text;
    QString acceptText;
  };
  QStringList names;
  QList<Asked> asked;

  // Name dialogs are kept in `asked`, so the provider's calls hold only the boxes.
  explicit NameScript(ScriptedDialogProvider &dialogs)
  {
    dialogs.onDialog = [this, &dialogs](QDialog *dialog) {
      dialogs.calls.removeLast();
      auto *input = qobject_cast<QInputDialog *>(dialog);
      if (!input)
        return int(QDialog::Rejected);
      asked.append({input->windowTitle(), input->labelText(), input->textValue(), input->okButtonText()});
      if (names.isEmpty() || names.first().isNull()) {
        if (!names.isEmpty())
          names.removeFirst();
        return int(QDialog::Rejected);
      }
      const QString name = names.takeFirst();
      if (name != kDefaultName)
        input->setTextValue(name);
      return int(QDialog::Accepted);
    };
  }
};
