#include "dialogprovider.h"

#include <QDialog>
#include <QInputDialog>
#include <QMenu>

namespace {
DialogProvider *g_installed = nullptr;
} // namespace

DialogProvider::~DialogProvider() = default;

DialogProvider *DialogProvider::instance()
{
  static DialogProvider realDialogs;
  return g_installed ? g_installed : &realDialogs;
}

void DialogProvider::install(DialogProvider *provider)
{
  g_installed = provider;
}

QMessageBox::StandardButton DialogProvider::messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                                       const QString &text, QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton)
{
  QMessageBox box(icon, title, text, buttons, parent);
  box.setDefaultButton(defaultButton);
  return QMessageBox::StandardButton(box.exec());
}

QAbstractButton *DialogProvider::execMessageBox(QMessageBox *box)
{
  box->exec();
  return box->clickedButton();
}

QString DialogProvider::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter, QString *selectedFilter, QFileDialog::Options options)
{
  return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter, options);
}

QStringList DialogProvider::getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                             const QString &filter, QString *selectedFilter, QFileDialog::Options options)
{
  return QFileDialog::getOpenFileNames(parent, caption, dir, filter, selectedFilter, options);
}

QString DialogProvider::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter, QString *selectedFilter, QFileDialog::Options options)
{
  return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter, options);
}

QString DialogProvider::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                             QFileDialog::Options options)
{
  return QFileDialog::getExistingDirectory(parent, caption, dir, options);
}

QColor DialogProvider::getColor(const QColor &initial, QWidget *parent, const QString &title,
                                QColorDialog::ColorDialogOptions options)
{
  return QColorDialog::getColor(initial, parent, title, options);
}

QFont DialogProvider::getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title,
                              QFontDialog::FontDialogOptions options)
{
  return QFontDialog::getFont(ok, initial, parent, title, options);
}

QString DialogProvider::getText(QWidget *parent, const QString &title, const QString &label, QLineEdit::EchoMode mode,
                                const QString &text, bool *ok)
{
  return QInputDialog::getText(parent, title, label, mode, text, ok);
}

int DialogProvider::getInt(QWidget *parent, const QString &title, const QString &label, int value, int min, int max,
                           int step, bool *ok)
{
  return QInputDialog::getInt(parent, title, label, value, min, max, step, ok);
}

QString DialogProvider::getItem(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                                int current, bool editable, bool *ok)
{
  return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
}

int DialogProvider::execDialog(QDialog *dialog)
{
  return dialog->exec();
}

QAction *DialogProvider::execMenu(QMenu *menu, const QPoint &globalPos, QAction *at)
{
  return menu->exec(globalPos, at);
}
