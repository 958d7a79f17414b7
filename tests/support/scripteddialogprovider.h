#pragma once
// A DialogProvider for tests (header only: include it in tests that link tavo_widgets).
// It records every modal request (kind, title, text, buttons) and answers from a script
// instead of showing anything. Installed for its lifetime.
//
//   ScriptedDialogProvider dialogs;
//   dialogs.answers << QMessageBox::Yes << QString("/tmp/out.mp4");
//   ... code under test ...
//   QCOMPARE(dialogs.calls.first().title, QString("Save Changes"));
//
// Answers are taken in order. Per kind: message box - a QMessageBox::StandardButton;
// prepared message box - the text of the button to click, or its standard button; file and folder dialogs, text
// and item input - a QString (QStringList for several files); colour - a QColor; font - a
// QFont; number - an int; own dialogs - the result code; menus - the text of the action.
// An invalid QVariant, or no answer left, means the user cancelled or closed the dialog.

#include "dialogprovider.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMenu>
#include <QVariant>
#include <functional>

class ScriptedDialogProvider : public DialogProvider
{
public:
  struct Call
  {
    QString kind;
    QString title;
    QString text;
    QStringList buttons;
  };

  QList<Call> calls;
  QList<QVariant> answers;
  // When set, own dialogs are handed to it (shown or inspected) and it returns the result code.
  std::function<int(QDialog *)> onDialog;
  // When set, each prepared message box is handed to it (to be looked at) before it is answered.
  std::function<void(QMessageBox *)> onMessageBox;

  ScriptedDialogProvider() { DialogProvider::install(this); }
  ~ScriptedDialogProvider() override { DialogProvider::install(nullptr); }

  QStringList kinds() const
  {
    QStringList list;
    for (const Call &call : calls)
      list << call.kind;
    return list;
  }

  QMessageBox::StandardButton messageBox(QWidget *, QMessageBox::Icon, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton) override
  {
    QMessageBox probe(QMessageBox::NoIcon, title, text, buttons);
    calls.append({"messageBox", title, text, buttonTexts(probe)});
    const QVariant answer = next();
    return answer.isValid() ? QMessageBox::StandardButton(answer.toInt()) : QMessageBox::NoButton;
  }

  QAbstractButton *execMessageBox(QMessageBox *box) override
  {
    calls.append({"messageBox", box->windowTitle(), box->text(), buttonTexts(*box)});
    if (onMessageBox)
      onMessageBox(box);
    const QVariant answer = next();
    for (QAbstractButton *button : box->buttons())
      if (answer.type() == QVariant::Int ? box->standardButton(button) == answer.toInt()
                                         : button->text() == answer.toString())
        return button;
    return nullptr;
  }

  QString getOpenFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *,
                          QFileDialog::Options) override
  {
    calls.append({"getOpenFileName", caption, dir, {filter}});
    return next().toString();
  }

  QStringList getOpenFileNames(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *,
                               QFileDialog::Options) override
  {
    calls.append({"getOpenFileNames", caption, dir, {filter}});
    return next().toStringList();
  }

  QString getSaveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter, QString *,
                          QFileDialog::Options) override
  {
    calls.append({"getSaveFileName", caption, dir, {filter}});
    return next().toString();
  }

  QString getExistingDirectory(QWidget *, const QString &caption, const QString &dir, QFileDialog::Options) override
  {
    calls.append({"getExistingDirectory", caption, dir, {}});
    return next().toString();
  }

  QColor getColor(const QColor &initial, QWidget *, const QString &title, QColorDialog::ColorDialogOptions) override
  {
    calls.append({"getColor", title, initial.name(QColor::HexArgb), {}});
    return next().value<QColor>();
  }

  QFont getFont(bool *ok, const QFont &initial, QWidget *, const QString &title, QFontDialog::FontDialogOptions) override
  {
    calls.append({"getFont", title, initial.family(), {}});
    const QVariant answer = next();
    if (ok)
      *ok = answer.isValid();
    return answer.isValid() ? answer.value<QFont>() : initial;
  }

  QString getText(QWidget *, const QString &title, const QString &label, QLineEdit::EchoMode, const QString &text,
                  bool *ok) override
  {
    calls.append({"getText", title, label, {text}});
    const QVariant answer = next();
    if (ok)
      *ok = answer.isValid();
    return answer.toString();
  }

  int getInt(QWidget *, const QString &title, const QString &label, int value, int, int, int, bool *ok) override
  {
    calls.append({"getInt", title, label, {QString::number(value)}});
    const QVariant answer = next();
    if (ok)
      *ok = answer.isValid();
    return answer.isValid() ? answer.toInt() : value;
  }

  QString getItem(QWidget *, const QString &title, const QString &label, const QStringList &items, int, bool,
                  bool *ok) override
  {
    calls.append({"getItem", title, label, items});
    const QVariant answer = next();
    if (ok)
      *ok = answer.isValid();
    return answer.toString();
  }

  int execDialog(QDialog *dialog) override
  {
    calls.append({"dialog", dialog->windowTitle(), dialog->objectName(), {}});
    if (onDialog)
      return onDialog(dialog);
    const QVariant answer = next();
    return answer.isValid() ? answer.toInt() : int(QDialog::Rejected);
  }

  QAction *execMenu(QMenu *menu, const QPoint &, QAction *) override
  {
    QStringList texts;
    for (QAction *action : menu->actions())
      if (!action->isSeparator())
        texts << action->text();
    calls.append({"menu", menu->title(), QString(), texts});
    const QString answer = next().toString();
    return findAction(menu, answer);
  }

private:
  QVariant next() { return answers.isEmpty() ? QVariant() : answers.takeFirst(); }

  static QStringList buttonTexts(const QMessageBox &box)
  {
    QStringList texts;
    for (QAbstractButton *button : box.buttons())
      texts << button->text();
    return texts;
  }

  static QAction *findAction(QMenu *menu, const QString &text)
  {
    if (text.isEmpty())
      return nullptr;
    for (QAction *action : menu->actions()) {
      if (action->text() == text)
        return action;
      if (action->menu())
        if (QAction *inner = findAction(action->menu(), text))
          return inner;
    }
    return nullptr;
  }
};
