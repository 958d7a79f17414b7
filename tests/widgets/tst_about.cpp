// The about box as the program opens it, and the modal seam.

#include "aboutdialog.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

namespace {

// Captures what would go to the desktop's browser.
class UrlCatcher : public QObject
{
  Q_OBJECT
public:
  UrlCatcher()
  {
    QDesktopServices::setUrlHandler("https", this, "open");
    QDesktopServices::setUrlHandler("http", this, "open");
  }
  ~UrlCatcher() override
  {
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
  }
  QList<QUrl> opened;
public slots:
  void open(const QUrl &url) { opened << url; }
};

} // namespace

class TestAbout : public QObject
{
  Q_OBJECT
private slots:
  void aboutBoxThroughTheSeam();
  void homepageButton();
  void scriptedAnswers();
};

void TestAbout::aboutBoxThroughTheSeam()
{
  QWidget parent;
  ScriptedDialogProvider dialogs;
  QSize size;
  Qt::WindowFlags flags;
  QString version;
  QSize logo, mark;
  bool modalCallerWaits = false;
  dialogs.onDialog = [&](QDialog *dialog) {
    dialog->show();
    modalCallerWaits = dialog->parentWidget() == &parent;
    size = dialog->size();
    flags = dialog->windowFlags();
    version = dialog->findChild<QLabel *>("versionLabel")->text();
    logo = dialog->findChild<QLabel *>("logoLabel")->size();
    mark = dialog->findChild<QLabel *>("textLogoLabel")->size();
    return int(QDialog::Accepted);
  };
  QCOMPARE(AboutDialog::showModal(&parent), int(QDialog::Accepted));
  QCOMPARE(dialogs.kinds(), QStringList({"dialog"}));
  QCOMPARE(dialogs.calls.first().text, QString("AboutDialog"));
  QVERIFY(modalCallerWaits);
  QCOMPARE(size, QSize(300, 340));
  QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
  QCOMPARE(version, QString("Version 2.3.5"));
  // Logo and word mark keep their pictures' aspect at 120 and 30 pixels high.
  const QPixmap logoPicture(":/images/app_logo"), markPicture(":/images/app_text");
  QCOMPARE(logo, QSize(logoPicture.width() * 120 / logoPicture.height(), 120));
  QCOMPARE(mark, QSize(markPicture.width() * 30 / markPicture.height(), 30));
}

void TestAbout::homepageButton()
{
  UrlCatcher catcher;
  AboutDialog dialog;
  auto *button = dialog.findChild<QPushButton *>("homepageButton");
  QVERIFY(button);
  QVERIFY(button->isFlat());
  button->click();
  QCOMPARE(catcher.opened, QList<QUrl>({QUrl(AboutDialog::homepageUrl())}));
  // The two notice lines, one point smaller than the default.
  auto *copyright = dialog.findChild<QLabel *>("copyrightLabel");
  auto *notice = dialog.findChild<QLabel *>("noticeLabel");
  QVERIFY(copyright && notice);
  QVERIFY(!copyright->text().isEmpty() && !notice->text().isEmpty());
  QCOMPARE(copyright->font().pointSize(), QLabel().font().pointSize() - 1);
  QCOMPARE(notice->font(), copyright->font());
}

void TestAbout::scriptedAnswers()
{
  ScriptedDialogProvider dialogs;
  QCOMPARE(DialogProvider::instance(), &dialogs);
  dialogs.answers << int(QMessageBox::Yes) << QString("/tmp/a.mp4") << QVariant() << QString("Keep");
  QCOMPARE(DialogProvider::instance()->messageBox(nullptr, QMessageBox::Question, "Title", "Text?",
                                                  QMessageBox::Yes | QMessageBox::No),
           QMessageBox::Yes);
  QCOMPARE(dialogs.calls.first().buttons.size(), 2);
  QCOMPARE(DialogProvider::instance()->getSaveFileName(nullptr, "Save", "/tmp", "*.mp4"), QString("/tmp/a.mp4"));
  bool ok = true;
  QCOMPARE(DialogProvider::instance()->getText(nullptr, "Name", "Name:", QLineEdit::Normal, "old", &ok), QString());
  QVERIFY(!ok);
  QMenu menu;
  menu.addAction("Drop");
  QAction *keep = menu.addAction("Keep");
  QCOMPARE(DialogProvider::instance()->execMenu(&menu, QPoint()), keep);
  QCOMPARE(dialogs.calls.last().buttons, QStringList({"Drop", "Keep"}));
  // Nothing left: cancelled.
  QCOMPARE(DialogProvider::instance()->getExistingDirectory(nullptr, "Folder", "/"), QString());
  QCOMPARE(dialogs.kinds(), QStringList({"messageBox", "getSaveFileName", "getText", "menu", "getExistingDirectory"}));
}

TAVO_TEST_MAIN(TestAbout)
#include "tst_about.moc"
