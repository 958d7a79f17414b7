// The projects list: listing and tiles, the disk operations with their dialogs, the jobs
// as the list runs them, archives, and the faults it must refuse.
#include "archiveexporter.h"
#include "browserfixture.h"
#include "desktopmainwindow.h"
#include "desktopservices.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "projectmanager.h"
#include "projectslistwidget.h"
#include "projectslistwidgetitemdelegate.h"
#include "testenv.h"
#include "util.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>

namespace {

class CapturedDesktop : public DesktopServices
{
public:
  QList<QUrl> shown;
  CapturedDesktop() { DesktopServices::setInstance(this); }
  ~CapturedDesktop() override { DesktopServices::setInstance(nullptr); }
  bool openUrl(const QUrl &) override { return true; }
  bool showItems(const QList<QUrl> &files) override
  {
    shown << files;
    return true;
  }
};

QStringList names(const ProjectsListWidget &list)
{
  QStringList result;
  for (int i = 0; i < list.count(); ++i)
    result << list.item(i)->data(Qt::DisplayRole).toString();
  return result;
}

QString info(const ProjectsListWidget &list, const QString &name)
{
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->data(Qt::DisplayRole).toString() == name)
      return list.item(i)->data(ProjectInfoTextRole).toString();
  return "<missing>";
}

int rowOf(const ProjectsListWidget &list, const QString &name)
{
  return names(list).indexOf(name);
}

QPoint tileCentre(ProjectsListWidget &list, int row)
{
  return list.visualItemRect(list.item(row)).center();
}

QStringList callTexts(const ScriptedDialogProvider &dialogs)
{
  QStringList texts;
  for (const auto &call : dialogs.calls)
    texts << call.title + " / " + call.text;
  return texts;
}

// Pixels in rect that differ from the colour: something was drawn there.
int drawnPixels(const QImage &image, const QRect &rect, const QColor &background)
{
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (!PixelProbe::near(image.pixel(x, y), background, 12))
        ++n;
  return n;
}

} // namespace

class TestProjectsList : public QObject
{
  Q_OBJECT

  std::unique_ptr<BrowserFolder> root;
  std::unique_ptr<ProjectsListWidget> list;

  void showList()
  {
    list.reset(new ProjectsListWidget);
    list->resize(700, 500);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
  }

  void selectInEditMode(const QStringList &selected)
  {
    if (!list->isEditing())
      list->toggleEdit();
    for (const QString &name : selected) {
      const int before = list->selectedNames().size();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, tileCentre(*list, rowOf(*list, name)));
      QTRY_COMPARE(list->selectedNames().size(), before + 1);
    }
  }

private slots:
  void init()
  {
    root.reset(new BrowserFolder);
    QVERIFY(root->isValid());
  }

  void cleanup()
  {
    list.reset();
    root.reset();
  }

  void scanOrdersAndCounts()
  {
    const QDateTime now = QDateTime::currentDateTime();
    root->addProject("Old", QString(), now.addDays(-30));
    root->addProject("Newest", QString(), now.addSecs(-10));
    root->addProject("Same A", QString(), now.addDays(-2));
    root->addProject("Same B", QString(), now.addDays(-2));
    const QString sample = root->addProject("Sample", QString(), now);
    QFile(sample + "/example.dat").open(QIODevice::WriteOnly);
    root->addFolder("Empty");
    root->addFolder("One");
    root->addProject("In One", "One", now.addDays(-5));
    root->addFolder("Three");
    for (int i = 0; i < 3; ++i)
      root->addProject(QString("In Three %1").arg(i), "Three", now.addDays(-10 - i));
    QDir().mkpath(root->projects() + "/Broken");
    BrowserFolder::touch(root->projects() + "/Empty", now.addDays(-60));
    BrowserFolder::touch(root->projects() + "/Broken", now.addDays(-40));
    showList();

    const QStringList shown = names(*list);
    QCOMPARE(shown.first(), QString("/NEW/"));
    QCOMPARE(shown.last(), QString("Sample"));
    QCOMPARE(info(*list, "Sample"), QString());
    QCOMPARE(info(*list, "Empty"), QString("(Empty)"));
    QCOMPARE(info(*list, "One"), QString("(1 Item)"));
    QCOMPARE(info(*list, "Three"), QString("(3 Items)"));
    QCOMPARE(info(*list, "Newest"), QString("Today"));
    // Newest first; folders take their newest child's time.
    QVERIFY2(shown.indexOf("Newest") == 1, qPrintable(shown.join(", ")));
    QVERIFY(shown.indexOf("One") < shown.indexOf("Three"));
    QVERIFY(shown.indexOf("Three") < shown.indexOf("Old"));
    QVERIFY(shown.indexOf("Old") < shown.indexOf("Broken"));
    QVERIFY(shown.indexOf("Broken") < shown.indexOf("Empty"));
    const int broken = rowOf(*list, "Broken");
    QVERIFY(list->item(broken)->data(ProjectDamagedRole).toBool());
    QVERIFY(!list->item(rowOf(*list, "Old"))->data(ProjectDamagedRole).toBool());

    // Equal times: the later arrival in the listing goes first.
    QList<ProjectListItem> records = ProjectsListWidget::scanProjectFolder(root->projects());
    QStringList order;
    for (const ProjectListItem &r : records)
      order << r.name();
    QVERIFY(qAbs(order.indexOf("Same A") - order.indexOf("Same B")) == 1);
  }

  void emptyFolderShowsOnlyTheNewTile()
  {
    showList();
    QCOMPARE(names(*list), QStringList{"/NEW/"});
    QVERIFY(!list->noticeLabel()->isVisible());
  }

  void damagedProjectMenuLacksArchive()
  {
    root->addProject("Good");
    QDir().mkpath(root->projects() + "/Broken");
    showList();
    ScriptedDialogProvider dialogs;
    for (const QString &name : QStringList{"Good", "Broken"}) {
      const int row = rowOf(*list, name);
      list->setCurrentRow(row);
      Gestures::click(list->viewport(), tileCentre(*list, row), Qt::RightButton);
      QTRY_COMPARE(dialogs.calls.size(), name == QString("Good") ? 1 : 2);
      const QStringList items = dialogs.calls.last().buttons;
      QCOMPARE(items.mid(1), name == QString("Good") ? QStringList({"Remove", "Rename", "Duplicate", "Archive"})
                                                      : QStringList({"Remove", "Rename", "Duplicate"}));
    }
    QSignalSpy clicked(list.get(), &ProjectsListWidget::oneProjectClicked);
    list->setCurrentRow(rowOf(*list, "Broken"));
    QTest::keyClick(list.get(), Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked[0][2].toBool(), true);
  }

  void menuButtonOpensTheItemMenu()
  {
    root->addProject("Trip");
    showList();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    const QRect tile = list->visualItemRect(list->item(1));
    const QPoint button = ProjectsListWidgetItemDelegate::menuButtonRect(tile).center();
    list->setCurrentRow(1);
    dialogs.answers << "Rename";
    script.names << "Journey";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, button);
    QTRY_VERIFY(rowOf(*list, "Journey") > 0);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].kind, QString("menu"));
    QCOMPARE(script.asked[0].title, QString("Rename Item"));
    QCOMPARE(script.asked[0].text, QString("Trip"));
    QVERIFY(!list->item(rowOf(*list, "Journey"))->data(ProjectMenuOpenRole).toBool());

    // Elsewhere on the tile, no menu.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, tile.center());
    // The menu request would be queued: let the queue run.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(dialogs.calls.size(), 1);
  }

  void newProjectNamesAndFiles()
  {
    showList();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    QSignalSpy created(list.get(), &ProjectsListWidget::newProjectCreated);
    for (int i = 0; i < 3; ++i) {
      script.names << kDefaultName;
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, tileCentre(*list, 0));
      QTRY_COMPARE(created.count(), i + 1);
    }
    QCOMPARE(script.asked[0].text, QString("New Movie"));
    QCOMPARE(script.asked[1].text, QString("New Movie 1"));
    QCOMPARE(script.asked[2].text, QString("New Movie 2"));
    QCOMPARE(script.asked[0].title, QString("New Movie"));
    QCOMPARE(script.asked[0].label, QString("Enter project name"));
    QCOMPARE(script.asked[0].acceptText, QString("Create"));
    QCOMPARE(created[0][0].toString(), QString("New Movie"));
    QCOMPARE(list->currentRow(), 0);

    QFile project(ProjectManager::projectFilePath("New Movie", QString()));
    QVERIFY(project.open(QIODevice::ReadOnly));
    QCOMPARE(project.readAll(), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Project/>"));
    QFile properties(ProjectManager::propertiesFilePath("New Movie", QString()));
    QVERIFY(properties.open(QIODevice::ReadOnly));
    QCOMPARE(properties.readAll(), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Properties version=\"5\"/>"));

    // An existing name: told, asked again with it; cancelling forgets it.
    script.names << "New Movie" << QString();
    list->newProject();
    QCOMPARE(callTexts(dialogs), QStringList{"Wrong Name / The named movie already exists"});
    QCOMPARE(script.asked[4].text, QString("New Movie"));
    script.names << QString();
    list->newProject();
    QCOMPARE(script.asked[5].text, QString("New Movie 3"));
    QCOMPARE(created.count(), 3);
  }

  void typedNamesNeverLeaveTheFolder_data()
  {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("typed");
    for (const char *operation : {"new project", "new folder", "rename", "duplicate"})
      for (const char *typed : {"../x", "a/b", "..", ".", "   ", ".hidden", "a\\b", "tab\there"})
        QTest::newRow(qPrintable(QString("%1 %2").arg(operation, typed))) << operation << typed;
  }

  void typedNamesNeverLeaveTheFolder()
  {
    QFETCH(QString, operation);
    QFETCH(QString, typed);
    root->addProject("Trip");
    root->addFolder("Box");
    showList();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    script.names << typed << QString();
    list->setCurrentRow(rowOf(*list, "Trip"));
    if (operation == "new project")
      list->newProject();
    else if (operation == "new folder")
      list->newFolder();
    else if (operation == "rename")
      list->onRenameActionTriggered();
    else
      list->onDuplicateActionTriggered();
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].title, QString("Wrong Name"));
    QCOMPARE(script.asked.size(), 2);
    QCOMPARE(script.asked[1].text, typed);
    QCOMPARE(QDir(root->projects()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"Box", "Trip"}));
    QCOMPARE(QDir(root->projects() + "/..").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"Projects"}));
  }

  void duplicateRenameAndRemove()
  {
    root->addProject("Trip");
    const QString sample = root->addProject("Sample");
    QFile(sample + "/example.dat").open(QIODevice::WriteOnly);
    root->addProject("Other");
    showList();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    QSignalSpy waiting(list.get(), &ProjectsListWidget::issueShowWaitingHUD);
    QSignalSpy waitingDone(list.get(), &ProjectsListWidget::issueHideWaitingHUD);

    // Through the item menu, as the user does it.
    for (const QString &expected : QStringList{"Trip Copy", "Trip Copy 1"}) {
      list->setCurrentRow(rowOf(*list, "Trip"));
      dialogs.answers << "Duplicate";
      script.names << kDefaultName;
      Gestures::click(list->viewport(), tileCentre(*list, list->currentRow()), Qt::RightButton);
      QTRY_VERIFY(rowOf(*list, expected) > 0);
      QCOMPARE(script.asked.last().text, expected);
    }
    QCOMPARE(waiting.count(), 2);
    QCOMPARE(waitingDone.count(), 2);
    QCOMPARE(script.asked[0].title, QString("Duplicate Movie"));

    list->setCurrentRow(rowOf(*list, "Sample"));
    script.names << "Mine";
    list->onDuplicateActionTriggered();
    QTRY_VERIFY(rowOf(*list, "Mine") > 0);
    QVERIFY(!QFile::exists(root->projects() + "/Mine/example.dat"));
    QVERIFY(!info(*list, "Mine").isEmpty());

    // Rename onto an existing name.
    dialogs.calls.clear();
    list->setCurrentRow(rowOf(*list, "Trip"));
    script.names << "Other" << QString();
    list->onRenameActionTriggered();
    QCOMPARE(callTexts(dialogs), QStringList{"Rename Failed / An item with the name \"Other\" already exists"});
    script.names << "Journey";
    list->onRenameActionTriggered();
    QTRY_VERIFY(rowOf(*list, "Journey") > 0);
    QCOMPARE(list->currentRow(), rowOf(*list, "Journey"));

    // Remove one by the key, after the question.
    dialogs.calls.clear();
    dialogs.answers << "Remove";
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QCOMPARE(callTexts(dialogs), QStringList{"Remove Item / Do you really want to remove item \"Journey\"?"});
    QStringList buttons = dialogs.calls[0].buttons;
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Cancel", "Remove"}));
    QTRY_COMPARE(rowOf(*list, "Journey"), -1);
    QVERIFY(!QFile::exists(root->projects() + "/Journey"));

    // Backspace and Back at the root ask too; row 0 is never removed.
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Back}) {
      dialogs.calls.clear();
      list->setCurrentRow(rowOf(*list, "Other"));
      QTest::keyClick(list.get(), key);
      QCOMPARE(callTexts(dialogs), QStringList{"Remove Item / Do you really want to remove item \"Other\"?"});
    }
    dialogs.calls.clear();
    list->setCurrentRow(0);
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QVERIFY(dialogs.calls.isEmpty());

    // A selection.
    selectInEditMode({"Mine", "Other"});
    dialogs.answers << "Remove";
    QSignalSpy selection(list.get(), &ProjectsListWidget::editSelectionChanged);
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QCOMPARE(callTexts(dialogs), QStringList{"Remove Item(s) / Do you really want to remove 2 item(s)?"});
    QTRY_COMPARE(selection.count(), 1);
    QCOMPARE(selection[0][0].toInt(), 0);
    QVERIFY(!QFile::exists(root->projects() + "/Mine"));
    QVERIFY(!QFile::exists(root->projects() + "/Other"));
  }

  // Links are neither followed twice nor through: a group holding a link to itself is listed
  // once, and removing a project that is a link takes the link, not what it points to.
  void linksInTheProjectsFolder()
  {
    root->addFolder("Loop");
    root->addProject("Inside", "Loop");
    QVERIFY(QFile::link(root->projects() + "/Loop", root->projects() + "/Loop/Again"));
    QTemporaryDir elsewhere;
    QVERIFY(QDir().mkpath(elsewhere.path() + "/sub"));
    for (const QString &name : {QString("project.xml"), QString("sub/precious.txt")}) {
      QFile file(elsewhere.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("kept");
    }
    QVERIFY(QFile::link(elsewhere.path(), root->projects() + "/Linked"));

    QStringList loop;
    for (const ProjectListItem &record : ProjectsListWidget::scanProjectFolder(root->projects()))
      if (record.name() == "Loop")
        for (const ProjectListItem &child : record.children)
          if (!child.isPlaceholder())
            loop << child.name() + (child.children.isEmpty() ? "" : "/...");
    QCOMPARE(loop, QStringList{"Inside"});

    showList();
    ScriptedDialogProvider dialogs;
    list->setCurrentRow(rowOf(*list, "Linked"));
    dialogs.answers << "Remove";
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QTRY_COMPARE(rowOf(*list, "Linked"), -1);
    QVERIFY(!QFileInfo(root->projects() + "/Linked").isSymLink());
    QVERIFY(QFile::exists(elsewhere.filePath("project.xml")));
    QVERIFY(QFile::exists(elsewhere.filePath("sub/precious.txt")));
  }

  void copyAndMoveJobs()
  {
    root->addProject("Trip");
    root->addProject("Walk");
    root->addFolder("Box");
    root->addProject("Inside", "Box");
    root->addFolder("Dest");
    showList();
    ScriptedDialogProvider dialogs;
    QSignalSpy progress(list.get(), &ProjectsListWidget::issueShowProgressHUD);
    QSignalSpy progressDone(list.get(), &ProjectsListWidget::issueHideProgressHUD);
    QSignalSpy messages(list.get(), &ProjectsListWidget::issueShowTextMessage);

    selectInEditMode({"Trip", "Walk"});
    list->copySelectedItemsToFolder(QString());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages[0][0].toString(), QString("2 item(s) copied"));
    QCOMPARE(progress.first()[0].toString(), QString("Copying items..."));
    QCOMPARE(progress.first()[1].toFloat(), 0.0f);
    QCOMPARE(progress.last()[1].toFloat(), 1.0f);
    QVERIFY(progress.count() >= 3);
    QCOMPARE(progressDone.count(), 1);
    QVERIFY(rowOf(*list, "Trip (1)") > 0);
    QVERIFY(rowOf(*list, "Walk (1)") > 0);
    QVERIFY(list->selectedNames().isEmpty());

    // Moving every project out of a selected folder removes the folder.
    selectInEditMode({"Box", "Trip (1)"});
    list->moveSelectedItemsToFolder("Dest");
    QCOMPARE(messages.last()[0].toString(), QString("2 item(s) moved"));
    QVERIFY(!QFile::exists(root->projects() + "/Box"));
    QVERIFY(QFile::exists(root->projects() + "/Dest/Inside/project.xml"));
    QVERIFY(QFile::exists(root->projects() + "/Dest/Trip (1)/project.xml"));
    QCOMPARE(info(*list, "Dest"), QString("(2 Items)"));
    QVERIFY(dialogs.calls.isEmpty());
  }

  void deleteDuringACopyDoesNothing()
  {
    root->addProject("Trip");
    showList();
    ScriptedDialogProvider dialogs;
    dialogs.answers << "Remove";
    selectInEditMode({"Trip"});
    bool pressed = false;
    QTimer::singleShot(100, list.get(), [&] {
      QVERIFY(list->isBusy());
      QTest::keyClick(list.get(), Qt::Key_Delete);
      list->copySelectedItemsToFolder(QString());
      pressed = true;
    });
    list->copySelectedItemsToFolder(QString());
    QVERIFY(pressed);
    QVERIFY(dialogs.calls.isEmpty());
    QVERIFY(QFile::exists(root->projects() + "/Trip/project.xml"));
    QVERIFY(!QFile::exists(root->projects() + "/Trip (2)"));
    QVERIFY(!list->isBusy());
  }

  void withoutProjectsFolderNothingIsCreated()
  {
    QTemporaryDir temp;
    QFile blocker(temp.path() + "/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ProjectManager::setWorkingDirectory(temp.path() + "/file/work");
    QVERIFY(ProjectManager::projectsDirectory().isEmpty());
    showList();
    QCOMPARE(list->count(), 0);
    QVERIFY(list->noticeLabel()->isVisible());
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    script.names << "New Movie" << "Box";
    list->newProject();
    list->newFolder();
    list->importArchiveFile(temp.path() + "/none.tavorenproject");
    list->copySelectedItemsToFolder(QString());
    QCOMPARE(callTexts(dialogs), QStringList({" / Failed to create movie file", " / New Folder Failed",
                                              "Import Failed / Import archive error occurs (10)",
                                              " / Failed to duplicate movie"}));
    QVERIFY(script.asked.isEmpty());
    QVERIFY(!QFile::exists("/New Movie"));
    QVERIFY(!QFile::exists("/Box"));
  }

  void openProjectIsProtected()
  {
    root->addProject("Trip");
    root->addFolder("Box");
    root->addProject("Boxed", "Box");
    showList();
    ScriptedDialogProvider dialogs;
    NameScript script(dialogs);
    {
      DesktopMainWindow editor("Trip", QString());
      list->setCurrentRow(rowOf(*list, "Trip"));
      list->onRenameActionTriggered();
      list->onDeleteActionTriggered();
      list->onArchiveActionTriggered();
      selectInEditMode({"Trip"});
      list->moveSelectedItemsToFolder("Box");
      list->toggleEdit();
    }
    {
      // The folder that holds the open project cannot go either.
      DesktopMainWindow editor("Boxed", "Box");
      list->setCurrentRow(rowOf(*list, "Box"));
      list->onRenameActionTriggered();
      list->onDeleteActionTriggered();
      selectInEditMode({"Box"});
      list->moveSelectedItemsToFolder(QString());
      list->toggleEdit();
    }
    QCOMPARE(dialogs.calls.size(), 7);
    for (const auto &call : dialogs.calls)
      QVERIFY2(call.text.contains("open in the editor"), qPrintable(call.title + " / " + call.text));
    QStringList titles;
    for (const auto &call : dialogs.calls)
      titles << call.title;
    QCOMPARE(titles, QStringList({"Rename Failed", "Remove Item", "Archive Project Failed", "Move Failed",
                                  "Rename Failed", "Remove Item", "Move Failed"}));
    QVERIFY(script.asked.isEmpty());
    QVERIFY(QFile::exists(root->projects() + "/Trip/project.xml"));
    QVERIFY(QFile::exists(root->projects() + "/Box/Boxed/project.xml"));

    // Without an editor the same operation goes ahead.
    list->setCurrentRow(rowOf(*list, "Trip"));
    script.names << "Journey";
    list->onRenameActionTriggered();
    QTRY_VERIFY(rowOf(*list, "Journey") > 0);
  }

  void tilesPaint()
  {
    const QDateTime now = QDateTime::currentDateTime();
    root->addProject("Red", QString(), now.addSecs(-100), QColor(220, 30, 30));
    root->addProject("No Shot", QString(), now.addSecs(-200), QColor());
    QDir().mkpath(root->projects() + "/Broken");
    BrowserFolder::touch(root->projects() + "/Broken", now.addSecs(-300));
    root->addFolder("Box");
    root->addProject("Green", "Box", now.addSecs(-400), QColor(30, 220, 30));
    root->addProject("Blue", "Box", now.addSecs(-500), QColor(30, 30, 220));
    root->addProject("A very long project name that cannot fit on one tile", QString(), now.addSecs(-600));
    showList();
    list->setCurrentRow(-1);
    list->clearSelection();
    QTest::mouseMove(list->viewport(), QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2));
    const auto imageOf = [&](const QString &name) {
      return ProjectsListWidgetItemDelegate::imageRect(list->visualItemRect(list->item(rowOf(*list, name))));
    };
    // The display's one pointer is shared with the tests running beside this one: whatever it
    // hovers now, the list is told it has left before the grab (which runs no events).
    QHoverEvent hoverLeave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(-1, -1));
    QCoreApplication::sendEvent(list->viewport(), &hoverLeave);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(list->viewport(), &leave);
    QImage shot = PixelProbe::grab(list->viewport());
    const QRect fresh = ProjectsListWidgetItemDelegate::imageRect(list->visualItemRect(list->item(0)));
    QCOMPARE(fresh.size(), QSize(120, 96));
    PROBE(shot, fresh.left() + 4, fresh.top() + 4, QColor(44, 46, 50), 4);
    PROBE(shot, fresh.center().x() + 30, fresh.center().y(), QColor(44, 46, 50), 4);
    QVERIFY(drawnPixels(shot, QRect(fresh.center() - QPoint(26, 26), QSize(52, 52)), QColor(44, 46, 50)) > 50);
    QCOMPARE(drawnPixels(shot, ProjectsListWidgetItemDelegate::menuButtonRect(list->visualItemRect(list->item(0))),
                         QColor(31, 32, 35)), 0);
    PROBE(shot, imageOf("Red").center().x(), imageOf("Red").center().y(), QColor(220, 30, 30), 16);
    PROBE(shot, imageOf("No Shot").center().x(), imageOf("No Shot").center().y(), QColor(0, 0, 0), 4);
    const QRect broken = imageOf("Broken");
    QVERIFY(drawnPixels(shot, QRect(broken.right() - 23, broken.bottom() - 23, 20, 20), Qt::black) > 20);
    QCOMPARE(drawnPixels(shot, QRect(broken.left() + 3, broken.bottom() - 23, 20, 20), Qt::black), 0);
    const QPoint c = ProjectsListWidgetItemDelegate::squareRect(list->visualItemRect(list->item(rowOf(*list, "Box"))))
                         .center() + QPoint(0, 10);
    PROBE(shot, c.x() - 18, c.y() - 18, QColor(30, 220, 30), 16);
    PROBE(shot, c.x() + 18, c.y() - 18, QColor(30, 30, 220), 16);
    QVERIFY(!PixelProbe::near(shot.pixel(c.x() - 18, c.y() + 18), QColor(200, 40, 40), 40));
    // No menu button on tiles that are neither selected nor hovered.
    const QRect menu = ProjectsListWidgetItemDelegate::menuButtonRect(list->visualItemRect(list->item(1)));
    QCOMPARE(drawnPixels(shot, menu, QColor(31, 32, 35)), 0);

    // Under the mouse: the menu button shows.
    // Entering the viewport is one event, moving over it another.
    const QPoint overRed = list->visualItemRect(list->item(1)).center();
    Gestures::moveInSteps(list->viewport(), overRed - QPoint(20, 0), overRed, 2);
    QTRY_VERIFY(drawnPixels(PixelProbe::grab(list->viewport()), menu, QColor(31, 32, 35)) > 10);
    Gestures::move(list->viewport(), QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2));
    QTRY_COMPARE(drawnPixels(PixelProbe::grab(list->viewport()), menu, QColor(31, 32, 35)), 0);

    // Selected: its background and its menu button.
    list->setCurrentRow(1);
    shot = PixelProbe::grab(list->viewport());
    QVERIFY(drawnPixels(shot, menu, QColor(44, 46, 50)) > 10);

    // Never a menu button or a selected background on the new-movie tile.
    list->setCurrentRow(0);
    const QRect freshTile = list->visualItemRect(list->item(0));
    shot = PixelProbe::grab(list->viewport());
    QCOMPARE(drawnPixels(shot, ProjectsListWidgetItemDelegate::menuButtonRect(freshTile), QColor(31, 32, 35)), 0);
    PROBE(shot, freshTile.left() + 3, freshTile.top() + 3, QColor(31, 32, 35), 4);

    // Pressed new-movie tile is lighter.
    ScriptedDialogProvider dialogs;
    Gestures::press(list->viewport(), fresh.center() + QPoint(40, 0));
    QTRY_VERIFY(list->item(0)->data(ProjectNewPressedRole).toBool());
    shot = PixelProbe::grab(list->viewport());
    PROBE(shot, fresh.left() + 4, fresh.top() + 4, QColor(44, 46, 50).lighter(150), 4);
    Gestures::release(list->viewport(), fresh.center() + QPoint(40, 0));
    QTRY_COMPARE(dialogs.calls.size(), 1);
    QVERIFY(!list->item(0)->data(ProjectNewPressedRole).toBool());
    // A press that ends in no click (another button, or dragged away) leaves no pressed look.
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
      Gestures::press(list->viewport(), fresh.center(), button);
      QTRY_VERIFY(list->item(0)->data(ProjectNewPressedRole).toBool());
      const QPoint away(list->viewport()->width() - 5, list->viewport()->height() - 5);
      Gestures::release(list->viewport(), button == Qt::LeftButton ? away : fresh.center(), button);
      QVERIFY2(!list->item(0)->data(ProjectNewPressedRole).toBool(), button == Qt::LeftButton ? "left" : "right");
    }
    QCOMPARE(dialogs.calls.size(), 1);

    // Edit mode: a dark new tile and check marks.
    list->toggleEdit();
    shot = PixelProbe::grab(list->viewport());
    PROBE(shot, fresh.left() + 4, fresh.top() + 4, QColor(16, 16, 16), 4);
    const QRect red = list->visualItemRect(list->item(rowOf(*list, "Red")));
    const QPoint mark = red.adjusted(10, 10, -10, -10).center();
    QVERIFY(drawnPixels(shot, QRect(mark - QPoint(10, 10), QSize(20, 20)), QColor(220, 30, 30)) > 20);
    if (qEnvironmentVariableIsSet("TAVO_GRAB"))
      shot.save(QDir::temp().filePath("browser_tiles.png"));
  }

  void archivesThroughTheRealJobs()
  {
    root->addProject("Trip");
    showList();
    ScriptedDialogProvider dialogs;
    CapturedDesktop desktop;
    QSignalSpy messages(list.get(), &ProjectsListWidget::issueShowTextMessage);
    QSignalSpy progress(list.get(), &ProjectsListWidget::issueShowProgressHUD);
    QTemporaryDir out;
    dialogs.answers << out.path();
    list->setCurrentRow(rowOf(*list, "Trip"));
    list->onArchiveActionTriggered();
    QCOMPARE(dialogs.calls[0].kind, QString("getExistingDirectory"));
    QCOMPARE(dialogs.calls[0].title, QString("Select an output directory"));
    QTRY_COMPARE_WITH_TIMEOUT(messages.count(), 1, 20000);
    QCOMPARE(messages[0][0].toString(), QString("Archive Project Completed"));
    QCOMPARE(progress.first()[0].toString(), QString("Archiving project..."));
    QCOMPARE(desktop.shown.size(), 1);
    const QString archive = desktop.shown[0].toLocalFile();
    QVERIFY(QFile::exists(archive));

    dialogs.answers << archive;
    list->setCurrentRow(1);
    list->importArchive();
    QCOMPARE(dialogs.calls[1].kind, QString("getOpenFileName"));
    QCOMPARE(dialogs.calls[1].title, QString("Select an archive to import"));
    QCOMPARE(dialogs.calls[1].buttons, QStringList{"Tavo REN Project File (*.tavorenproject)"});
    QTRY_COMPARE_WITH_TIMEOUT(messages.count(), 2, 20000);
    QCOMPARE(messages[1][0].toString(), QString("Import Completed"));
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentRow(), 0);

    // A truncated archive.
    QFile file(archive);
    QVERIFY(file.resize(file.size() - 7));
    list->importArchiveFile(archive);
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.calls.size(), 3, 20000);
    QCOMPARE(dialogs.calls[2].title, QString("Import Failed"));
    QCOMPARE(list->count(), 3);

    // Not enough space, with the size told.
    list->onArchiveImporterMessage(nullptr, 5, QVariant(qint64(1572864)));
    QCOMPARE(dialogs.calls[3].title, QString("Insufficient Space"));
    QCOMPARE(dialogs.calls[3].text,
             QString("There's not enough storage space to import this archive. About %1 more space is needed.")
                 .arg(Util::formatFileSize(1572864)));
  }
};

TAVO_TEST_MAIN(TestProjectsList)
#include "tst_app_projectslist.moc"
