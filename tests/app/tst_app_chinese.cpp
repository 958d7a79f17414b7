// The interface in Simplified Chinese: the translation file is complete and in step with the
// sources, and with it installed as the program installs it on a Chinese system the main
// windows, Qt's file dialog of media intake among them, show no English outside names and
// units. Each window is grabbed to "zh_CN-screens" beside this program for a look at clipped
// or overlapping text.

#include "editingfixture.h"
#include "segment.h"
#include "segmentwidget.h"
#include "testenv.h"

#include "commonpopup.h"
#include "multilanguage.h"
#include "segmentinspectorwidget.h"
#include "settingswidget.h"
#include "startwindow.h"
#include "tabsmediaexplorerwidget.h"
#include "leftsidelistwidget.h"
#include "usersettings.h"
#include "util.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QXmlStreamReader>

namespace {

struct Message
{
  QString context, source, comment, translation, type;
  bool operator<(const Message &other) const
  {
    return std::tie(context, source, comment) < std::tie(other.context, other.source, other.comment);
  }
};

QList<Message> readTs(const QString &path)
{
  QList<Message> messages;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return messages;
  QXmlStreamReader xml(&file);
  QString context;
  Message message;
  while (xml.readNextStartElement() || !xml.atEnd()) {
    if (!xml.isStartElement())
      continue;
    const QStringRef name = xml.name();
    if (name == QLatin1String("name"))
      context = xml.readElementText();
    else if (name == QLatin1String("message"))
      message = Message{context, {}, {}, {}, {}};
    else if (name == QLatin1String("source"))
      message.source = xml.readElementText();
    else if (name == QLatin1String("comment"))
      message.comment = xml.readElementText();
    else if (name == QLatin1String("translation")) {
      message.type = xml.attributes().value("type").toString();
      message.translation = xml.readElementText();
      messages << message;
    }
  }
  return messages;
}

QString shippedTs()
{
  return QStringLiteral(TAVO_SOURCE_DIR "/src/app/languages/zh_CN.ts");
}

QSet<QString> placeholders(const QString &text)
{
  QSet<QString> found;
  QRegularExpressionMatchIterator it = QRegularExpression("%L?(\\d+)").globalMatch(text);
  while (it.hasNext())
    found << it.next().captured(1);
  return found;
}

// Keyboard accelerators ("&F"); "&&" is a plain ampersand and "& " no accelerator.
int accelerators(const QString &text)
{
  return QString(text).remove("&&").count(QRegularExpression("&\\w"));
}

// Names of products and services, units and formats that stay as they are in Chinese.
const QSet<QString> &allowedWords()
{
  static const QSet<QString> words{"Tavo", "REN", "GIPHY", "Youtube", "Facebook", "MP4", "HEVC", "WebM",
                                   "fps", "kbps", "OpenGL", "Qt", "WebEngine", "mp4", "webm", "mov"};
  return words;
}

QString plain(const QString &text)
{
  if (!Qt::mightBeRichText(text))
    return text;
  QTextDocument document;
  document.setHtml(text);
  return document.toPlainText();
}

// Every text a user reads in the visible part of root: labels, buttons, line edits, list
// rows, tool tips and the actions of its menus.
QStringList visibleTexts(QWidget *root)
{
  QStringList texts{root->windowTitle()};
  QList<QAction *> actions;
  QList<QWidget *> widgets{root};
  widgets += root->findChildren<QWidget *>();
  for (QWidget *widget : widgets) {
    if (widget != root && !widget->isVisibleTo(root))
      continue;
    texts << widget->toolTip();
    if (auto *label = qobject_cast<QLabel *>(widget))
      texts << plain(label->text());
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
      texts << button->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
      texts << edit->placeholderText();
    else if (auto *list = qobject_cast<QListWidget *>(widget))
      for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text() << list->item(i)->toolTip();
    if (auto *bar = qobject_cast<QMenuBar *>(widget))
      actions += bar->actions();
  }
  while (!actions.isEmpty()) {
    QAction *action = actions.takeFirst();
    texts << action->text() << action->toolTip();
    if (action->menu())
      actions += action->menu()->actions();
  }
  return texts;
}

// The English words among texts, with the text each stands in. Paths and the names of files
// and folders (data) are left as they are.
QStringList englishWords(const QStringList &texts, const QStringList &data)
{
  QStringList found;
  const QRegularExpression word("[A-Za-z]{3,}");
  for (const QString &text : texts) {
    if (text.startsWith('/') || data.contains(text))
      continue;
    QRegularExpressionMatchIterator it = word.globalMatch(text);
    while (it.hasNext()) {
      const QString w = it.next().captured();
      if (!allowedWords().contains(w))
        found << QString("%1 (in \"%2\")").arg(w, text);
    }
  }
  found.removeDuplicates();
  return found;
}

// Pixels of text ink (dark) in an image.
int ink(const QImage &image)
{
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      count += qGray(image.pixel(x, y)) < 128;
  return count;
}

} // namespace

class TestChinese : public QObject
{
  Q_OBJECT

  MultiLanguage language;
  QTemporaryDir workingDir;

  QString screenPath(const QString &name) const
  {
    const QString dir = QCoreApplication::applicationDirPath() + "/zh_CN-screens";
    QDir().mkpath(dir);
    return dir + "/" + QString(name).replace(QRegularExpression("\\W+"), "-") + ".png";
  }

  void checkWindow(QWidget *root, const QString &name, const QStringList &data)
  {
    // Layouts asked for by the last changes (a page just shown) are done first.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(root->grab().save(screenPath(name)));
    const QStringList english = englishWords(visibleTexts(root), data);
    QVERIFY2(english.isEmpty(), qPrintable(english.join("\n")));
  }

private slots:
  void initTestCase()
  {
    // As main() does on a Chinese (China) system.
    QCOMPARE(Util::systemUiLanguage(), QString("zh_CN"));
    language.load(Util::systemUiLanguage());
    QCOMPARE(language.currentLanguage(), QString("zh_CN"));
    UserSettings::instance()->setWorkingDir(workingDir.path());
  }

  void messageTranslated_data()
  {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("type");
    const QList<Message> messages = readTs(shippedTs());
    for (const Message &m : messages)
      QTest::addRow("%s: %s", qPrintable(m.context), qPrintable(m.source.left(60)))
          << m.source << m.translation << m.type;
  }
  void messageTranslated()
  {
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(QString, type);
    QCOMPARE(type, QString()); // neither unfinished nor obsolete nor vanished
    QVERIFY(!translation.trimmed().isEmpty());
    QCOMPARE(placeholders(translation), placeholders(source));
    QCOMPARE(accelerators(translation), accelerators(source));
  }

  // What lupdate finds in the sources now is exactly what the shipped file translates.
  void inStepWithSources()
  {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.ts");
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lupdate.start(LUPDATE_EXECUTABLE, {"-silent", "-no-obsolete", "-locations", "none", "-extensions", "cpp,h",
                                       TAVO_SOURCE_DIR "/src", "-ts", fresh});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    const QList<Message> found = readTs(fresh);
    QVERIFY(found.size() > 700);
    QSet<QString> shipped, sources;
    auto key = [](const Message &m) { return m.context + " | " + m.source + " | " + m.comment; };
    for (const Message &m : readTs(shippedTs()))
      shipped << key(m);
    for (const Message &m : found)
      sources << key(m);
    const QStringList missing = QSet<QString>(sources).subtract(shipped).values();
    QVERIFY2(missing.isEmpty(), qPrintable("not in zh_CN.ts (run ./dev lupdate):\n" + missing.join("\n")));
    const QStringList stale = QSet<QString>(shipped).subtract(sources).values();
    QVERIFY2(stale.isEmpty(), qPrintable("no longer in the sources:\n" + stale.join("\n")));
  }

  void startWindowShowsChinese_data()
  {
    QTest::addColumn<int>("page");
    QTest::newRow("start") << 0;
    QTest::newRow("settings") << 1;
  }
  void startWindowShowsChinese()
  {
    QFETCH(int, page);
    StartWindow start;
    start.resize(1109, 832);
    start.show();
    QVERIFY(QTest::qWaitForWindowExposed(&start));
    start.navigationList()->setCurrentRow(page);
    if (page == 1)
      QTRY_COMPARE(start.stackedWidget()->currentWidget(), static_cast<QWidget *>(start.settingsPage()));
    // The example projects' folder keeps its name on disk.
    checkWindow(&start, QTest::currentDataTag(), {"Examples"});
  }

  void editorShowsChinese_data()
  {
    QTest::addColumn<QString>("segment");
    QTest::addColumn<int>("explorerTab");
    // A segment command of the inspector's popups, or the export or movie settings popup.
    QTest::addColumn<int>("popup");
    enum { None = 0, Export = -1, MovieSettings = -2 };
    QTest::newRow("editor") << "MOVIE" << 0 << int(None);
    QTest::newRow("export") << "MOVIE" << 0 << int(Export);
    QTest::newRow("movie settings") << "MOVIE" << 0 << int(MovieSettings);
    QTest::newRow("text, music") << "TEXT" << 1 << int(None);
    QTest::newRow("drawing, sound effects") << "DRAWING" << 2 << int(None);
    QTest::newRow("picture, stickers") << "IMAGE" << 3 << int(None);
    QTest::newRow("music, GIPHY") << "MUSIC" << 4 << int(None);
    QTest::newRow("colours") << "MOVIE" << 0 << 10025;
    QTest::newRow("chroma key") << "MOVIE" << 0 << 10027;
    QTest::newRow("picture border") << "IMAGE" << 0 << 10012;
    QTest::newRow("shadow") << "IMAGE" << 0 << 10014;
    QTest::newRow("text background") << "TEXT" << 0 << 10026;
  }
  void editorShowsChinese()
  {
    QFETCH(QString, segment);
    QFETCH(int, explorerTab);
    QFETCH(int, popup);
    EditingSession session;
    QVERIFY(session.open());
    QVERIFY(session.edit(session.segment(segment)));
    EditingWindow *editor = session.window.get();
    QTRY_VERIFY(editor->segmentInspectorWidget()->isVisible());
    auto *tabs = editor->findChild<TabsMediaExplorerWidget *>();
    QVERIFY(tabs);
    tabs->selectTab(explorerTab);
    if (popup == -1)
      editor->actions().exportMovie->trigger();
    else if (popup == -2)
      editor->showProjectSettingsPopup();
    else if (popup > 0)
      editor->_segmentCommand(nullptr, popup);
    if (popup != 0)
      QTRY_VERIFY(editor->_currentPopup && editor->_currentPopup->isVisible());
    // The project's name, the explorer's folder and the segments' own texts are the user's.
    const QStringList data{session.project.name(),
                           QFileInfo(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)).fileName(),
                           "Hello", "DejaVu Sans", "DejaVu Sans - Book", "Tune"};
    checkWindow(editor, QTest::currentDataTag(), data);
  }

  // Qt's own dialog texts (its buttons, labels and tool tips) come in Chinese beside ours.
  void fileDialogShowsChinese()
  {
    EditingSession session;
    QVERIFY(session.open());
    EditingWindow *editor = session.window.get();
    // The real dialog, not the scripted one; it is looked at from inside its own modal loop.
    DialogProvider::install(nullptr);
    bool shown = false;
    QStringList texts;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
      auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible())
        return;
      poll.stop();
      shown = true;
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      dialog->grab().save(screenPath("file dialog"));
      texts = visibleTexts(dialog);
      for (QComboBox *box : dialog->findChildren<QComboBox *>())
        for (int i = 0; i < box->count(); ++i)
          texts << box->itemText(i);
      dialog->reject();
    });
    poll.start();
    editor->actions().addFile->trigger();
    DialogProvider::install(&editor->dialogs);
    QVERIFY2(shown, "no file dialog was shown");
    QVERIFY(texts.size() > 5);
    const QStringList english = englishWords(texts, {});
    QVERIFY2(english.isEmpty(), qPrintable(english.join("\n")));
  }

  // A failed picture in a block narrower than its error text: the whole text shows, on two
  // lines, rather than its first characters, which read "Loading...".
  void narrowFailedBlockShowsWholeError()
  {
    EditingSession session;
    {
      QFile broken(session.project.directory() + "/broken.png");
      QVERIFY(broken.open(QIODevice::WriteOnly));
      broken.write("not a picture at all");
    }
    using Attributes = QList<QPair<QString, QString>>;
    QVERIFY(session.open({{"IMAGE", 1, 0, 2, Attributes{{"File", "broken.png"}}}}));
    Segment *failed = session.segment("IMAGE");
    QVERIFY(failed);
    QTRY_COMPARE(failed->error(), quint32(SegmentLoadError));
    SegmentWidget *block = session.block(failed);
    QVERIFY(block);
    const QString error = QString::fromUtf8("加载错误");
    QCOMPARE(session.window->loadErrorText(), error);
    const QImage shot = block->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(shot.save(screenPath("narrow failed block")));
    // Narrower than the text on one line at the message size.
    QFont messageFont = block->font();
    messageFont.setPixelSize(12);
    QVERIFY(QFontMetrics(messageFont).horizontalAdvance(error) > shot.width() - 10);

    // The same painter on a block wide enough for one line gives the ink of the whole text.
    auto inkOf = [&](const QString &text) {
      QImage wide(400, shot.height(), QImage::Format_RGB32);
      QPainter painter(&wide);
      painter.setFont(block->font());
      failed->paintMessage(&painter, wide.rect(), text);
      painter.end();
      return ink(wide);
    };
    const int whole = inkOf(error);
    const int cut = inkOf(QString::fromUtf8("加载…"));
    const int seen = ink(shot.copy(shot.rect().adjusted(3, 3, -3, -3))); // inside the block's frame
    QVERIFY2(qAbs(seen - whole) < whole / 5 && qAbs(seen - cut) > whole / 5,
             qPrintable(QString("ink %1, the whole text has %2, the cut one %3").arg(seen).arg(whole).arg(cut)));
  }
};

int main(int argc, char **argv)
{
  // A Chinese (China) system, read by the locale once per process.
  qputenv("LANG", "zh_CN.UTF-8");
  qputenv("LC_ALL", "zh_CN.UTF-8");
  qunsetenv("LANGUAGE");
  TestEnv::runProgram(true, [&] {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestChinese test;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnv::execTests(&test, argc, argv);
  });
}

#include "tst_app_chinese.moc"
