// The Movies page: its tool bars, the destination popup, opening projects in the editor
// and the settings of a new project.
#include "browserfixture.h"
#include "desktopmainwindow.h"
#include "pixelprobe.h"
#include "popupprojectsettingswidget.h"
#include "projectfolderspopup.h"
#include "projectmanager.h"
#include "projectslistwidget.h"
#include "projectslistwidgetitemdelegate.h"
#include "projectswidget.h"
#include "segment.h"
#include "testenv.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

namespace {

QList<MainWindow *> editorWindows()
{
  QList<MainWindow *> windows;
  for (QWidget *widget : QApplication::topLevelWidgets())
    if (auto *window = qobject_cast<MainWindow *>(widget))
      windows << window;
  return windows;
}

int rowOf(ProjectsListWidget *list, const QString &name)
{
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->data(Qt::DisplayRole).toString() == name)
      return i;
  return -1;
}

void clickTile(ProjectsListWidget *list, const QString &name)
{
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(rowOf(list, name))).center());
}

void clickOk(PopupProjectSettingsWidget *popup)
{
  QPushButton *ok = nullptr;
  for (QPushButton *button : popup->findChildren<QPushButton *>())
    if (button->text() == "OK" && button->isVisible())
      ok = button;
  QVERIFY(ok);
  QTest::mouseClick(ok, Qt::LeftButton);
}

} // namespace

class TestProjectsPage : public QObject
{
  Q_OBJECT

  std::unique_ptr<BrowserFolder> root;
  std::unique_ptr<ProjectsWidget> page;

  ProjectsListWidget *list() const { return page->projectsListWidget(); }

  void showPage()
  {
    page.reset(new ProjectsWidget);
    page->resize(900, 700);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
  }

private slots:
  void init()
  {
    root.reset(new BrowserFolder);
    QVERIFY(root->isValid());
  }

  void cleanup()
  {
    qDeleteAll(editorWindows());
    page.reset();
    root.reset();
  }

  void editModeButtons()
  {
    root->addProject("Trip");
    root->addFolder("Box");
    root->addProject("Boxed", "Box");
    showPage();
    if (qEnvironmentVariableIsSet("TAVO_GRAB"))
      page->grab().save(QDir::temp().filePath("browser_page.png"));
    QVERIFY(!page->bottomToolbar()->isVisible());
    QVERIFY(!page->backButton()->isEnabled());
    QTest::mouseClick(page->editButton(), Qt::LeftButton);
    QCOMPARE(page->editButton()->text(), QString("Done"));
    QVERIFY(page->bottomToolbar()->isVisible());
    QVERIFY(!page->importButton()->isVisible());
    QVERIFY(page->editNewFolderButton()->isEnabled());
    QVERIFY(!page->editCopyToButton()->isEnabled());
    QVERIFY(!page->editMoveToButton()->isEnabled());
    QVERIFY(!page->editDeleteButton()->isEnabled());
    clickTile(list(), "Trip");
    QTRY_VERIFY(page->editDeleteButton()->isEnabled());
    QVERIFY(page->editCopyToButton()->isEnabled() && page->editMoveToButton()->isEnabled());
    QTest::keyClick(list(), Qt::Key_Escape);
    QCOMPARE(page->editButton()->text(), QString("Edit"));
    QVERIFY(!page->bottomToolbar()->isVisible());
    QVERIFY(page->importButton()->isVisible());

    // Inside a folder: back, the folder's title, and no new folder whatever is selected.
    QSignalSpy titles(page.get(), &ProjectsWidget::titleChanged);
    list()->setCurrentRow(rowOf(list(), "Box"));
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_COMPARE(page->title(), QString("Box"));
    QCOMPARE(titles.last()[0].toString(), QString("Box"));
    QVERIFY(page->backButton()->isEnabled());
    QTest::mouseClick(page->editButton(), Qt::LeftButton);
    QVERIFY(!page->editNewFolderButton()->isEnabled());
    clickTile(list(), "Boxed");
    QTRY_VERIFY(page->editDeleteButton()->isEnabled());
    QVERIFY(!page->editNewFolderButton()->isEnabled());
    QTest::mouseClick(page->editButton(), Qt::LeftButton);
    QTest::mouseClick(page->backButton(), Qt::LeftButton);
    QCOMPARE(page->title(), QString("Movies"));
    QCOMPARE(list()->currentRow(), rowOf(list(), "Box"));
  }

  void foldersPopup()
  {
    root->addProject("Trip");
    showPage();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    QTest::mouseClick(page->editButton(), Qt::LeftButton);
    clickTile(list(), "Trip");
    QTRY_VERIFY(page->editCopyToButton()->isEnabled());
    QTest::mouseClick(page->editCopyToButton(), Qt::LeftButton);
    ProjectFoldersPopup *popup = page->foldersPopup();
    QVERIFY(popup);
    QTest::mouseClick(page->editCopyToButton(), Qt::LeftButton);
    QCOMPARE(page->foldersPopup(), popup);
    QCOMPARE(page->findChildren<ProjectFoldersPopup *>().size(), 1);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->titleLabel()->text(), QString("Copy to Movies"));
    QCOMPARE(popup->listWidget()->count(), 0);
    QVERIFY(!popup->backButton()->isVisible());

    // A new folder, then an existing name reopens the dialog with it.
    script.names << "Box";
    QTest::mouseClick(popup->newFolderButton(), Qt::LeftButton);
    QTRY_COMPARE(popup->listWidget()->count(), 1);
    if (qEnvironmentVariableIsSet("TAVO_GRAB"))
      page->grab().save(QDir::temp().filePath("browser_popup.png"));
    QVERIFY(QFile::exists(root->projects() + "/Box/.folder"));
    script.names << "Box" << QString();
    QTest::mouseClick(popup->newFolderButton(), Qt::LeftButton);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].title + " / " + dialogs.calls[0].text,
             QString("Rename Failed / An item with the name \"Box\" already exists"));
    QCOMPARE(script.asked.size(), 3);
    QCOMPARE(script.asked[2].text, QString("Box"));
    script.names << "../Escape" << QString();
    QTest::mouseClick(popup->newFolderButton(), Qt::LeftButton);
    QCOMPARE(dialogs.calls.last().title, QString("Wrong Name"));
    QVERIFY(!QFile::exists(root->projects() + "/../Escape"));

    // Into the folder and back by each key.
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Backspace, Qt::Key_Back}) {
      QTest::mouseClick(popup->listWidget()->viewport(), Qt::LeftButton, {},
                        popup->listWidget()->visualItemRect(popup->listWidget()->item(0)).center());
      QCOMPARE(popup->titleLabel()->text(), QString("Copy to Box"));
      QVERIFY(!popup->newFolderButton()->isEnabled());
      QVERIFY(popup->backButton()->isVisible());
      QTest::keyClick(popup->listWidget(), key);
      QCOMPARE(popup->titleLabel()->text(), QString("Copy to Movies"));
    }

    // Return with no row chosen takes the root.
    QSignalSpy messages(page.get(), &ProjectsWidget::issueShowTextMessage);
    popup->listWidget()->setCurrentItem(nullptr);
    QTest::keyClick(popup->listWidget(), Qt::Key_Return);
    QTRY_VERIFY(!page->foldersPopup());
    QTRY_COMPARE_WITH_TIMEOUT(messages.count(), 1, 10000);
    QCOMPARE(messages[0][0].toString(), QString("1 item(s) copied"));
    QVERIFY(QFile::exists(root->projects() + "/Trip (1)/project.xml"));

    // The move popup, cancelled by Escape; the list stayed in edit mode.
    QVERIFY(list()->isEditing());
    clickTile(list(), "Trip");
    QTRY_VERIFY(page->editMoveToButton()->isEnabled());
    QTest::mouseClick(page->editMoveToButton(), Qt::LeftButton);
    QVERIFY(page->foldersPopup());
    QCOMPARE(page->foldersPopup()->titleLabel()->text(), QString("Move to Movies"));
    QCOMPARE(page->foldersPopup()->operationButton()->text(), QString("Move"));
    QTest::keyClick(page->foldersPopup()->listWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!page->foldersPopup());
    QVERIFY(QFile::exists(root->projects() + "/Trip/project.xml"));
  }

  void importPrompt()
  {
    showPage();
    ScriptedDialogProvider dialogs;
    const QString archive = root->projects() + "/../gone/Trip.tavorenproject";
    dialogs.answers << "Cancel";
    page->importProjectArchivePrompt(archive);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].title + " / " + dialogs.calls[0].text,
             QString("Import Project / Do you want to import project \"Trip.tavorenproject\" into Tavo REN?"));
    QStringList buttons = dialogs.calls[0].buttons;
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Cancel", "Import"}));

    // Accepted: edit mode ends and the archive goes to the importer, which finds nothing.
    list()->toggleEdit();
    dialogs.answers << "Import";
    page->importProjectArchivePrompt(archive);
    QVERIFY(!list()->isEditing());
    QTRY_COMPARE(dialogs.calls.size(), 3);
    QCOMPARE(dialogs.calls[2].title + " / " + dialogs.calls[2].text,
             QString("Import Failed / Import archive error occurs (4)"));
  }

  void openingProjects()
  {
    root->addProject("Trip");
    root->addProject("Walk");
    QDir().mkpath(root->projects() + "/Broken");
    showPage();
    ScriptedDialogProvider dialogs;
    list()->setCurrentRow(rowOf(list(), "Broken"));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].title + " / " + dialogs.calls[0].text,
             QString("Open Movie Failed / This movie is damaged, you cannot open it."));
    QVERIFY(editorWindows().isEmpty());

    list()->setCurrentRow(rowOf(list(), "Trip"));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editorWindows().size(), 1);
    MainWindow *editor = editorWindows().first();
    QCOMPARE(editor->projectName(), QString("Trip"));
    QVERIFY(editor->testAttribute(Qt::WA_DeleteOnClose));
    QTRY_VERIFY(editor->windowState() & Qt::WindowMaximized);

    editor->showMinimized();
    QTRY_VERIFY(editor->windowState() & Qt::WindowMinimized);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_VERIFY(!(editor->windowState() & Qt::WindowMinimized));
    QCOMPARE(editorWindows().size(), 1);

    list()->setCurrentRow(rowOf(list(), "Walk"));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(dialogs.calls.size(), 2);
    QCOMPARE(dialogs.calls[1].title + " / " + dialogs.calls[1].text,
             QString("Open Failed / This project cannot be opened at this time."));
    QCOMPARE(editorWindows().size(), 1);
  }

  // The cover the editor writes as it closes shows on the tile at once: nothing else (no
  // activation of the start window) has to reload the page.
  void tileShowsTheCoverWrittenOnClosing()
  {
    const QString dir = root->addProject("Trip");
    QImage blue(320, 180, QImage::Format_RGB32);
    blue.fill(QColor(30, 60, 220));
    QVERIFY(blue.save(dir + "/blue.png"));
    QFile project(dir + "/project.xml");
    QVERIFY(project.open(QIODevice::WriteOnly | QIODevice::Truncate));
    project.write("<?xml version=\"1.0\"?>\n<Project>\n<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" "
                  "RangeDuration=\"3\" File=\"blue.png\"/>\n</Project>\n");
    project.close();
    showPage();
    const auto coverCentre = [&] {
      const int row = rowOf(list(), "Trip");
      const QRect image = ProjectsListWidgetItemDelegate::imageRect(list()->visualItemRect(list()->item(row)));
      return PixelProbe::grab(list()->viewport()).pixel(image.center());
    };
    QTRY_VERIFY(PixelProbe::near(coverCentre(), QColor(200, 40, 40), 30));

    list()->setCurrentRow(rowOf(list(), "Trip"));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editorWindows().size(), 1);
    QPointer<MainWindow> editor = editorWindows().first();
    QTRY_VERIFY_WITH_TIMEOUT(editor->previewWidget() && !editor->projectLoader() && !editor->progressHUD()
                                 && editor->projectManager()->segmentCount() == 1
                                 && editor->projectManager()->segmentAt(0)->state() == SegmentReady,
                             30000);
    editor->close();
    QTRY_VERIFY_WITH_TIMEOUT(!editor, 20000);
    QVERIFY(QImage(dir + "/shot.jpg").pixelColor(10, 10).blue() > 150);
    QTRY_VERIFY2(PixelProbe::near(coverCentre(), QColor(30, 60, 220), 40), qPrintable(PixelProbe::text(coverCentre())));
  }

  void newProjectSettingsThenOpens()
  {
    showPage();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    script.names << "Trip";
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(0)).center());
    QTRY_VERIFY(page->projectSettingsPopup());
    PopupProjectSettingsWidget *popup = page->projectSettingsPopup();
    QCOMPARE(popup->resolution(), 1);
    QCOMPARE(popup->direction(), true);
    QCOMPARE(popup->frameRate(), 30.0f);
    QCOMPARE(popup->backgroundColor().rgba(), 0xff000000u);
    clickOk(popup);
    QFile properties(ProjectManager::propertiesFilePath("Trip", QString()));
    QVERIFY(properties.open(QIODevice::ReadOnly));
    QVERIFY2(properties.readAll().contains("<Properties version=\"5\" direction=\"1\" resolution=\"1\" frameRate=\"30\" "
                                           "fixCoverImage=\"0\" backgroundColor=\"#ff000000\"/>"),
             "properties.xml");
    QVERIFY(editorWindows().isEmpty());
    QTRY_COMPARE(editorWindows().size(), 1);
    QCOMPARE(editorWindows().first()->projectName(), QString("Trip"));
    QTRY_VERIFY(editorWindows().first()->windowState() & Qt::WindowMaximized);
    QTRY_VERIFY(!page->projectSettingsPopup());
  }

  void unwritablePropertiesOpenNothing()
  {
    showPage();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    script.names << "Trip";
    QSignalSpy messages(page.get(), &ProjectsWidget::issueShowTextMessage);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(0)).center());
    QTRY_VERIFY(page->projectSettingsPopup());
    // A folder where the file should be: no file can take its place.
    const QString path = ProjectManager::propertiesFilePath("Trip", QString());
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path + "/blocker"));
    clickOk(page->projectSettingsPopup());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages[0][0].toString(), QString("Failed to open project file"));
    // A success opens the window 200 ms after the click; a failure never does.
    QTest::qWait(400);
    QVERIFY(editorWindows().isEmpty());
  }
};

TAVO_TEST_MAIN(TestProjectsPage)
#include "tst_app_projectspage.moc"
