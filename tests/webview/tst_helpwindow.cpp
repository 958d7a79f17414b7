// The help window: its title, the loading bar, the back button and the window the
// program opens for the user's help; and one help page over loopback in the real browser.

#include "fakewebviewengine.h"
#include "loopbackhttpserver.h"
#include "nativewebbrowserwidget.h"
#include "pixelprobe.h"
#include "qnativewebview.h"
#include "testenv.h"
#include "util.h"

#include <QElapsedTimer>
#include <QPushButton>

namespace {
constexpr int kLoadTimeoutMs = 60000;

NativeWebBrowserWidget *findHelpWindow()
{
  for (QWidget *widget : QApplication::topLevelWidgets())
    if (auto *browser = qobject_cast<NativeWebBrowserWidget *>(widget))
      return browser;
  return nullptr;
}
// A shown help browser over a fake engine.
struct ShownBrowser
{
  FakeWebViewEngine::Installer fakes;
  NativeWebBrowserWidget browser;
  QWidget *panel = nullptr;

  ShownBrowser()
  {
    browser.resize(800, 600);
    browser.show();
    panel = browser.findChild<QWidget *>("topPanelWidget");
  }
};
} // namespace

class TestHelpWindow : public QObject
{
  Q_OBJECT
private slots:
  void title_data();
  void title();
  void loadingBar();
  void loadingBarFollowsResize();
  void backButton_data();
  void backButton();
  void userHelpWindow();
#ifdef TAVO_WEBENGINE
  void helpPageOverLoopback();
  void unreachableHelpPage();
#endif
};

void TestHelpWindow::title_data()
{
  QTest::addColumn<QString>("pageTitle");
  QTest::addColumn<QString>("shown");
  QTest::newRow("page title") << "Cutting clips" << "Cutting clips";
  QTest::newRow("no title") << "" << "Help";
  QTest::newRow("generic help title") << "TavoREN User Help" << "Help";
  QTest::newRow("maker's domain") << "Cutting clips | tarnholm.com" << "Help";
}

void TestHelpWindow::title()
{
  QFETCH(QString, pageTitle);
  QFETCH(QString, shown);
  FakeWebViewEngine::Installer fakes;
  QWidget window;
  window.setWindowTitle("Tavo REN");
  NativeWebBrowserWidget browser(&window);
  QSignalSpy titles(&browser, &NativeWebBrowserWidget::titleChanged);
  browser.setTitle("Help");
  QCOMPARE(window.windowTitle(), QString("Help"));

  fakes.last()->notifyTitleChanged("Something else");
  QTRY_COMPARE(window.windowTitle(), QString("Something else"));
  fakes.last()->notifyTitleChanged(pageTitle);
  QTRY_COMPARE(titles.size(), 2);
  QCOMPARE(window.windowTitle(), shown);
  QCOMPARE(browser.title(), shown);
  QCOMPARE(titles.last().value(0).toString(), shown);
}

void TestHelpWindow::loadingBar()
{
  ShownBrowser shown;
  QVERIFY(QTest::qWaitForWindowExposed(&shown.browser));
  NativeWebBrowserWidget &browser = shown.browser;
  QWidget *panel = shown.panel;
  QVERIFY(!browser.findChild<QWidget *>("loadingBar"));

  // Content loading reports 50.
  shown.fakes.last()->notifyContentLoading();
  QTRY_VERIFY(browser.findChild<QWidget *>("loadingBar"));
  QWidget *bar = browser.findChild<QWidget *>("loadingBar");
  QCOMPARE(bar->parentWidget(), panel);
  QVERIFY(bar->isVisible());
  QCOMPARE(bar->geometry(), QRect(0, panel->height() - 2, panel->width() / 2, 2));
  QCOMPARE(bar->styleSheet(), QString("QWidget{background-color:rgb(54,200,255);}"));

  // A finished navigation hides it at once.
  shown.fakes.last()->notifyNavigationCompleted(true);
  QTRY_VERIFY(!bar->isVisible());

  // 100 draws it full width and hides it a second later.
  browser.onEdgeWebViewLoadProgress(100);
  QElapsedTimer clock;
  clock.start();
  QVERIFY(bar->isVisible());
  QCOMPARE(bar->geometry(), QRect(0, panel->height() - 2, panel->width(), 2));
  QTRY_VERIFY_WITH_TIMEOUT(!bar->isVisible(), 10000);
  QVERIFY2(clock.elapsed() >= 950, qPrintable(QString::number(clock.elapsed())));
}

void TestHelpWindow::loadingBarFollowsResize()
{
  ShownBrowser shown;
  QVERIFY(QTest::qWaitForWindowExposed(&shown.browser));
  NativeWebBrowserWidget &browser = shown.browser;
  QWidget *panel = shown.panel;
  browser.onEdgeWebViewLoadProgress(30);
  QWidget *bar = browser.findChild<QWidget *>("loadingBar");
  browser.resize(1000, 600);
  QTRY_COMPARE(panel->width(), 1000);
  QCOMPARE(bar->geometry(), QRect(0, panel->height() - 2, 300, 2));
  QVERIFY(bar->isVisible());
  // Once the load is over a resize does not bring the bar back.
  browser.onEdgeWebViewLoadFinished(true);
  browser.resize(900, 600);
  QTRY_COMPARE(panel->width(), 900);
  QVERIFY(!bar->isVisible());
}

void TestHelpWindow::backButton_data()
{
  QTest::addColumn<bool>("engine");
  QTest::addColumn<bool>("history");
  QTest::addColumn<QStringList>("actions");
  QTest::newRow("history") << true << true << QStringList{"back"};
  QTest::newRow("no history") << true << false << QStringList();
  QTest::newRow("no engine") << false << false << QStringList();
}

void TestHelpWindow::backButton()
{
  QFETCH(bool, engine);
  QFETCH(bool, history);
  QFETCH(QStringList, actions);
  FakeWebViewEngine::Installer fakes(true, !engine);
  NativeWebBrowserWidget browser;
  browser.show();
  QVERIFY(QTest::qWaitForWindowExposed(&browser));
  if (engine)
    fakes.last()->backPossible = history;
  auto *view = browser.findChild<QNativeWebView *>();
  QSignalSpy started(view, &QNativeWebView::loadStarted);
  auto *button = browser.findChild<QPushButton *>("backButton");
  QCOMPARE(button->toolTip(), QString("Back"));
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(started.size(), engine ? 1 : 0);
  if (engine)
    QCOMPARE(fakes.last()->actions, actions);
}

void TestHelpWindow::userHelpWindow()
{
  FakeWebViewEngine::Installer fakes;
  // As the program installs it at start-up.
  Util::setUserHelpHandler(
    [](const QString &address, const QString &title) { NativeWebBrowserWidget::openHelpWindow(address, title); });
  Util::openUserHelp("http://127.0.0.1:9/help/start.html", "Tavo REN Help");
  Util::setUserHelpHandler(nullptr);
  QPointer<NativeWebBrowserWidget> browser = findHelpWindow();
  QVERIFY(browser);
  QVERIFY(browser->isWindow());
  QVERIFY(browser->isVisible());
  QCOMPARE(browser->size(), QSize(1024, 800));
  QCOMPARE(browser->minimumSize(), QSize(1024, 800));
  QCOMPARE(browser->maximumSize(), QSize(1024, 800));
  const Qt::WindowFlags flags = browser->windowFlags();
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  QVERIFY(flags & Qt::WindowTitleHint);
  QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
  QCOMPARE(browser->windowTitle(), QString("Tavo REN Help"));
  QCOMPARE(fakes.last()->navigations, QStringList{"http://127.0.0.1:9/help/start.html"});

  browser->close();
  QTRY_VERIFY(browser.isNull());
}

#ifdef TAVO_WEBENGINE
void TestHelpWindow::helpPageOverLoopback()
{
  LoopbackHttpServer server;
  server.serve("/help/start.html",
               "<!DOCTYPE html><html><head><title>TavoREN User Help</title></head>"
               "<body style='background:#1f2023;color:white;font-family:sans-serif'>"
               "<h1>Getting started</h1><p>Drag clips onto the timeline to begin.</p>"
               + QByteArray("<p>More help below.</p>").repeated(60) + "</body></html>");
  QPointer<NativeWebBrowserWidget> browser =
    NativeWebBrowserWidget::openHelpWindow(server.url("/help/start.html").toString(), "Tavo REN Help");
  auto *view = browser->findChild<QNativeWebView *>();
  QVERIFY(QTest::qWaitFor([&] { return view->title() == "TavoREN User Help"; }, kLoadTimeoutMs));
  QTRY_COMPARE(browser->windowTitle(), QString("Tavo REN Help"));
  QCOMPARE(server.requests().first(), QString("/help/start.html"));

  // On screen: the page's scroll bar has the dark style (thumb over its track at the
  // right edge), and the loading bar is gone a second after the load.
  QWidget *bar = browser->findChild<QWidget *>("loadingBar");
  QTRY_VERIFY_WITH_TIMEOUT(bar && !bar->isVisible(), kLoadTimeoutMs);
  QImage shot;
  // The window's own picture: other windows on a shared display cannot cover it.
  auto styled = [&] {
    shot = browser->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return PixelProbe::near(shot.pixel(1018, 150), QColor("#6b6b6b")) &&
           PixelProbe::near(shot.pixel(1018, 780), QColor("#2A2929"));
  };
  QVERIFY2(QTest::qWaitFor(styled, kLoadTimeoutMs),
           qPrintable(PixelProbe::text(shot.pixel(1018, 150)) + " " + PixelProbe::text(shot.pixel(1018, 780))));
  // A picture of the window, for a person to look at.
  const QString shots = qEnvironmentVariable("TAVO_SCREENSHOT_DIR");
  if (!shots.isEmpty())
    shot.save(shots + "/helpwindow.png");
  browser->close();
  QTRY_VERIFY(browser.isNull());
}
// Offline: the load fails and the loading bar goes.
void TestHelpWindow::unreachableHelpPage()
{
  quint16 closedPort = 0;
  {
    LoopbackHttpServer gone;
    closedPort = gone.port();
  }
  QPointer<NativeWebBrowserWidget> browser =
    NativeWebBrowserWidget::openHelpWindow(QString("http://127.0.0.1:%1/help/start.html").arg(closedPort), "Tavo REN Help");
  auto *view = browser->findChild<QNativeWebView *>();
  QSignalSpy finished(view, &QNativeWebView::loadFinished);
  // The browser's error page loads in its place and reports its own load too.
  QVERIFY(QTest::qWaitFor([&] { return finished.contains({false}); }, kLoadTimeoutMs));
  QWidget *bar = browser->findChild<QWidget *>("loadingBar");
  QTRY_VERIFY_WITH_TIMEOUT(!bar || !bar->isVisible(), 10000);
  browser->close();
  QTRY_VERIFY(browser.isNull());
}
#endif

TAVO_TEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
