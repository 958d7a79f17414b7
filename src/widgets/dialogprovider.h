#pragma once

#include <QColorDialog>
#include <QFileDialog>
#include <QFont>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>

class QDialog;
class QMenu;
class QAction;

// Every modal interaction of the program goes through this seam: message and question
// boxes, input, file, folder, colour and font dialogs, our own modal dialogs and popup
// menus. The default makes the real Qt call; tests install a scripted provider, so no
// test ever waits in a modal loop.
class DialogProvider
{
public:
  virtual ~DialogProvider();

  // The installed provider, or the default one that shows the real dialogs.
  static DialogProvider *instance();
  // Not owned; nullptr restores the default.
  static void install(DialogProvider *provider);

  // A message box with standard buttons; returns the button pressed.
  virtual QMessageBox::StandardButton messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                                 const QString &text, QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  // A message box the caller prepared (style, flags, custom buttons); returns the clicked
  // button, nullptr when it was closed otherwise.
  virtual QAbstractButton *execMessageBox(QMessageBox *box);

  virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                                  QString *selectedFilter = nullptr, QFileDialog::Options options = {});
  virtual QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                                       QString *selectedFilter = nullptr, QFileDialog::Options options = {});
  virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                                  QString *selectedFilter = nullptr, QFileDialog::Options options = {});
  virtual QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                       QFileDialog::Options options = QFileDialog::ShowDirsOnly);
  virtual QColor getColor(const QColor &initial, QWidget *parent, const QString &title,
                          QColorDialog::ColorDialogOptions options = {});
  virtual QFont getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title,
                        QFontDialog::FontDialogOptions options = {});
  virtual QString getText(QWidget *parent, const QString &title, const QString &label,
                          QLineEdit::EchoMode mode = QLineEdit::Normal, const QString &text = QString(), bool *ok = nullptr);
  virtual int getInt(QWidget *parent, const QString &title, const QString &label, int value, int min, int max,
                     int step = 1, bool *ok = nullptr);
  virtual QString getItem(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                          int current = 0, bool editable = true, bool *ok = nullptr);

  // Our own modal dialogs (about box, settings dialogs): returns the dialog's result code.
  virtual int execDialog(QDialog *dialog);
  // A popup menu run at a global position; returns the chosen action or nullptr.
  virtual QAction *execMenu(QMenu *menu, const QPoint &globalPos, QAction *at = nullptr);
};
