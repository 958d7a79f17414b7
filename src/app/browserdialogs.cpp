#include "browserdialogs.h"

#include "dialogprovider.h"
#include "util.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QInputDialog>
#include <QPushButton>

namespace BrowserDialogs {

void warning(QWidget *parent, const QString &title, const QString &text)
{
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent,
                  Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  Util::applyDialogStyleSheet(&box);
  DialogProvider::instance()->execMessageBox(&box);
}

bool question(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
              const QString &acceptText)
{
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  box.addButton(QCoreApplication::translate("BrowserDialogs", "Cancel"), QMessageBox::RejectRole);
  QPushButton *accept = box.addButton(acceptText, QMessageBox::AcceptRole);
  Util::applyDialogStyleSheet(&box);
  return DialogProvider::instance()->execMessageBox(&box) == accept;
}

bool askText(QWidget *parent, const QString &title, const QString &label, const QString &acceptText,
             const QString &defaultText, QString *text)
{
  QInputDialog dialog(parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setOkButtonText(acceptText);
  dialog.setCancelButtonText(QCoreApplication::translate("BrowserDialogs", "Cancel"));
  dialog.setTextValue(defaultText);
  Util::applyDialogStyleSheet(&dialog);
  if (DialogProvider::instance()->execDialog(&dialog) != QDialog::Accepted)
    return false;
  *text = dialog.textValue();
  return true;
}

bool checkedName(const QString &typed, QString *name)
{
  const QString trimmed = typed.trimmed();
  if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('.')))
    return false;
  for (const QChar c : trimmed)
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
      return false;
  *name = trimmed;
  return true;
}

void wrongName(QWidget *parent)
{
  warning(parent, QCoreApplication::translate("BrowserDialogs", "Wrong Name"),
          QCoreApplication::translate("BrowserDialogs", "A name cannot be empty, start with \".\" or hold \"/\", "
                                                        "\"\\\" or control characters."));
}

} // namespace BrowserDialogs
