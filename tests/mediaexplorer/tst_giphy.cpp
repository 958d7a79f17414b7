// The GIF page against a loopback service: requests, paging, messages, the download cache
// and unsafe replies.

#include "animatedlabel.h"
#include "endpoints.h"
#include "giphyfixtures.h"
#include "giphygifscache.h"
#include "giphygifslistwidget.h"
#include "iconlineedit.h"
#include "scripteddialogprovider.h"
#include "screenshot.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <algorithm>

using namespace GiphyFixtures;

Q_DECLARE_METATYPE(LoopbackHttpServer::Response)

class TestGiphy : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void cleanup();
  void randomIdAndTypeAreKept();
  void pageSize_data();
  void pageSize();
  void searchQuery();
  void paging();
  void messages_data();
  void messages();
  void typeSwitchWaitsForTheRequest();
  void newSearchDropsTheStaleReply();
  void loadingIndicator();
  void moviesRunOnlyWhileShown();
  void clickAndDownload_data();
  void clickAndDownload();
  void failedDownloads_data();
  void failedDownloads();
  void secondDownloadDropped();
  void progress_data();
  void progress();
  void unsafeReplies();
  void refreshMenu();
  void serviceRoot_data();
  void serviceRoot();

private:
  std::unique_ptr<LoopbackHttpServer> _server;
};

namespace {
QStringList idsIn(GiphyGifsWidget *page)
{
  QStringList ids;
  for (int row = 0; row < page->listWidget()->count(); ++row)
    ids << page->listWidget()->item(row)->data(GiphyGifsWidget::IdRole).toString();
  return ids;
}

QString cacheDir()
{
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/Giphy";
}

// The requests to the API, without the previews and downloads.
QStringList apiRequests(const LoopbackHttpServer &server)
{
  return server.requests().filter(QRegularExpression("^/v1/"));
}

// A good status whose body breaks off: a chunk announced longer than what comes before the
// server closes the connection.
LoopbackHttpServer::Response cutOff(const QByteArray &start, const QByteArray &contentType)
{
  LoopbackHttpServer::Response response;
  response.contentType = contentType;
  response.headers = {{"Transfer-Encoding", "chunked"}};
  response.body = QByteArray::number(start.size() + 1000, 16) + "\r\n" + start;
  return response;
}

void clickItem(GiphyGifsWidget *page, int row)
{
  QListWidget *list = page->listWidget();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}
} // namespace

void TestGiphy::init()
{
  _server.reset(new LoopbackHttpServer);
  QSettings().setValue("GiphyRandomId", "rid");
  QDir(cacheDir()).removeRecursively();
}

void TestGiphy::cleanup()
{
  _server.reset();
}

void TestGiphy::randomIdAndTypeAreKept()
{
  QSettings().remove("GiphyRandomId");
  _server->serve("/v1/randomid", R"({"data":{"random_id":"abc123"}})", "application/json");
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 2, 0, 2), "application/json");
  _server->serve("/v1/stickers/trending", namedPage(*_server, "s", 2, 0, 2), "application/json");
  QTemporaryDir projectA;
  {
    Page page(*_server, projectA.path());
    GiphyGifsWidget *widget = page.open();
    QTRY_COMPARE(widget->listWidget()->count(), 2);
    QCOMPARE(pathsOf(apiRequests(*_server)).mid(0, 2), QStringList({"/v1/randomid", "/v1/gifs/trending"}));
    QCOMPARE(queryOf(apiRequests(*_server).at(1)).queryItemValue("random_id"), QString("abc123"));
    QCOMPARE(QSettings().value("GiphyRandomId").toString(), QString("abc123"));
    QTest::mouseClick(widget->stickerTypeButton(), Qt::LeftButton);
    QTRY_COMPARE(idsIn(widget), QStringList({"s0", "s1"}));
    QVERIFY(widget->stickerTypeButton()->isSelected());
    QVERIFY(!widget->gifTypeButton()->isSelected());
  }
  // Another project reuses the id and has its own type; the first keeps stickers.
  {
    Page page(*_server);
    GiphyGifsWidget *widget = page.open();
    QTRY_COMPARE(widget->listWidget()->count(), 2);
    QCOMPARE(widget->gifType(), 0);
  }
  {
    Page page(*_server, projectA.path());
    GiphyGifsWidget *widget = page.open();
    QTRY_COMPARE(idsIn(widget), QStringList({"s0", "s1"}));
    QCOMPARE(widget->gifType(), 1);
  }
  QCOMPARE(pathsOf(apiRequests(*_server)).count("/v1/randomid"), 1);
}

void TestGiphy::pageSize_data()
{
  QTest::addColumn<QSize>("size");
  QTest::newRow("small: at least 30") << QSize(400, 300);
  QTest::newRow("large: the grid and a row") << QSize(1000, 800);
}

void TestGiphy::pageSize()
{
  QFETCH(QSize, size);
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 1, 0, 1), "application/json");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open(size);
  QTRY_COMPARE(apiRequests(*_server).size(), 1);
  const QSize list = widget->listWidget()->size();
  const int expected = qMax(30, ((list.width() - 20) / 80) * ((list.height() - 20) / 80 + 1));
  QCOMPARE(queryOf(apiRequests(*_server).first()).queryItemValue("limit"), QString::number(expected));
  if (size.width() == 1000)
    QVERIFY(expected > 30);
}

void TestGiphy::searchQuery()
{
  _server->serve("/v1/gifs/trending", namedPage(*_server, "t", 2, 0, 2), "application/json");
  _server->serve("/v1/gifs/search", namedPage(*_server, "q", 3, 0, 3), "application/json");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(widget->listWidget()->count(), 2);
  QUrlQuery trending = queryOf(apiRequests(*_server).first());
  QCOMPARE(trending.queryItemValue("rating"), QString("g"));
  QCOMPARE(trending.queryItemValue("offset"), QString("0"));
  QVERIFY(trending.hasQueryItem("api_key"));
  QVERIFY(!trending.hasQueryItem("q"));

  // Blanks are no search: Return does nothing, though the cancel button shows.
  widget->lineEdit()->setFocus();
  QTest::keyClicks(widget->lineEdit(), "   ");
  QVERIFY(widget->cancelSearchButton()->isVisible());
  QTest::keyClick(widget->lineEdit(), Qt::Key_Return);
  QCOMPARE(apiRequests(*_server).size(), 1);

  const QString text = "AT&T #1 x&rating=r";
  widget->lineEdit()->clear();
  QTest::keyClicks(widget->lineEdit(), text);
  QTest::keyClick(widget->lineEdit(), Qt::Key_Return);
  QTRY_COMPARE(idsIn(widget), QStringList({"q0", "q1", "q2"}));
  const QString target = apiRequests(*_server).last();
  QCOMPARE(pathOf(target), QString("/v1/gifs/search"));
  const QUrlQuery search = queryOf(target);
  QCOMPARE(search.queryItemValue("q", QUrl::FullyDecoded), text);
  QCOMPARE(search.allQueryItemValues("rating"), QStringList{"g"});
  QCOMPARE(search.queryItemValue("random_id"), QString("rid"));

  // Cancelling the search goes back to trending.
  QTest::mouseClick(widget->cancelSearchButton(), Qt::LeftButton);
  QTRY_COMPARE(idsIn(widget), QStringList({"t0", "t1"}));
  QVERIFY(widget->lineEdit()->text().isEmpty());
  QVERIFY(!widget->cancelSearchButton()->isVisible());
}

void TestGiphy::paging()
{
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 30, 0, 61), "application/json");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QScrollBar *bar = widget->listWidget()->verticalScrollBar();
  QTRY_COMPARE(widget->listWidget()->count(), 30);
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 30, 30, 61), "application/json");
  QTRY_VERIFY(bar->maximum() > 0);
  bar->setValue(bar->maximum());
  bar->setValue(bar->maximum()); // while the page is on its way: not asked twice
  QTRY_COMPARE(widget->listWidget()->count(), 60);
  // offset 60 = total - 1: the end.
  QTRY_VERIFY(bar->maximum() > bar->value());
  bar->setValue(bar->maximum());
  QCOMPARE(widget->requestState(), 0);
  QStringList offsets;
  for (const QString &target : apiRequests(*_server))
    offsets << queryOf(target).queryItemValue("offset");
  QCOMPARE(offsets, QStringList({"0", "30"}));
}

void TestGiphy::messages_data()
{
  QTest::addColumn<QString>("path");
  QTest::addColumn<LoopbackHttpServer::Response>("response");
  QTest::addColumn<QString>("message");
  LoopbackHttpServer::Response reset;
  reset.resetConnection = true;
  LoopbackHttpServer::Response missing;
  missing.status = 404;
  LoopbackHttpServer::Response notJson;
  notJson.body = "<html>busy</html>";
  LoopbackHttpServer::Response moved;
  moved.status = 302;
  moved.headers = {{"Location", "https://elsewhere.invalid/"}};
  QTest::newRow("reset connection") << "/v1/gifs/trending" << reset << "Network error (code=2)";
  QTest::newRow("status") << "/v1/gifs/trending" << missing << "Network failed (Status code=404)";
  QTest::newRow("not JSON") << "/v1/gifs/trending" << notJson << "Parse data error (code=%1)";
  QTest::newRow("redirect not followed") << "/v1/gifs/trending" << moved << "Network failed (Status code=302)";
  // Qt sometimes takes a chunked body closed early for a whole one: then the JSON breaks.
  QTest::newRow("body cut off") << "/v1/gifs/trending" << cutOff(R"({"data":[)", "application/json")
                                << "Network error (code=2)|Parse data error (code=3)";
  QTest::newRow("random id, reset") << "/v1/randomid" << reset << "Network error (code=2 ";
  QTest::newRow("random id, status") << "/v1/randomid" << missing << "Network failed (Status code=404)";
}

void TestGiphy::messages()
{
  QFETCH(QString, path);
  QFETCH(LoopbackHttpServer::Response, response);
  QFETCH(QString, message);
  if (path.endsWith("randomid"))
    QSettings().remove("GiphyRandomId");
  if (message.contains("%1")) {
    QJsonParseError error;
    QJsonDocument::fromJson(response.body, &error);
    message = message.arg(error.error);
  }
  _server->serve(path, response);
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QSignalSpy messages(widget, &GiphyGifsWidget::showTextMessage);
  QTRY_COMPARE(messages.count(), 1);
  const QString shown = messages.first().first().toString();
  const QStringList alternatives = message.split('|');
  QVERIFY2(std::any_of(alternatives.begin(), alternatives.end(), [&](const QString &one) { return shown.startsWith(one); }),
           qPrintable(shown));
  QCOMPARE(widget->requestState(), 0);
  QVERIFY(!widget->loadingIndicator());
  QCOMPARE(widget->listWidget()->count(), 0);
}

void TestGiphy::typeSwitchWaitsForTheRequest()
{
  LoopbackHttpServer::Response slow;
  slow.body = namedPage(*_server, "g", 2, 0, 2);
  slow.delayMs = 500;
  _server->serve("/v1/gifs/trending", slow);
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(widget->requestState(), 2);
  QTest::mouseClick(widget->stickerTypeButton(), Qt::LeftButton);
  QCOMPARE(widget->gifType(), 0);
  QVERIFY(widget->gifTypeButton()->isSelected());
  QTRY_COMPARE(widget->listWidget()->count(), 2);
  QCOMPARE(pathsOf(apiRequests(*_server)), QStringList{"/v1/gifs/trending"});
}

void TestGiphy::newSearchDropsTheStaleReply()
{
  // The old reply would arrive first; only the new query's results may show.
  LoopbackHttpServer::Response trending;
  trending.body = namedPage(*_server, "old", 3, 0, 3);
  trending.delayMs = 300;
  LoopbackHttpServer::Response search;
  search.body = namedPage(*_server, "new", 2, 0, 2);
  search.delayMs = 600;
  _server->serve("/v1/gifs/trending", trending);
  _server->serve("/v1/gifs/search", search);
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QSignalSpy messages(widget, &GiphyGifsWidget::showTextMessage);
  QTRY_COMPARE(widget->requestState(), 2);
  // The server has the first request: the new search cannot drop it unsent.
  QTRY_COMPARE(apiRequests(*_server).size(), 1);
  widget->lineEdit()->setText("cats");
  QTest::keyClick(widget->lineEdit(), Qt::Key_Return);
  QCOMPARE(widget->requestState(), 2);
  QTRY_COMPARE(apiRequests(*_server).size(), 2);
  QTRY_COMPARE(widget->requestState(), 0);
  QCOMPARE(idsIn(widget), QStringList({"new0", "new1"}));
  QCOMPARE(messages.count(), 0);
}

void TestGiphy::loadingIndicator()
{
  _server->setDefaultDelay(300);
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 30, 0, 100), "application/json");
  const QByteArray preview = gifBytes(24);
  for (int i = 0; i < 60; ++i)
    _server->serve(QString("/media/g%1-small.gif").arg(i), preview, "image/gif");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open(QSize(400, 400));
  QTRY_VERIFY(widget->loadingIndicator());
  AnimatedLabel *empty = widget->loadingIndicator();
  QCOMPARE(empty->size(), QSize(80, 80));
  QCOMPARE(empty->geometry().center(), widget->rect().center());
  saveScreenshot(widget, "giphy-loading-empty");
  QTRY_COMPARE(widget->listWidget()->count(), 30);
  QVERIFY(!widget->loadingIndicator());

  QTRY_VERIFY(widget->listWidget()->item(29)->data(GiphyGifsWidget::FrameRole).canConvert<QPixmap>());
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 30, 30, 100), "application/json");
  QScrollBar *bar = widget->listWidget()->verticalScrollBar();
  QTRY_VERIFY(bar->maximum() > 0);
  bar->setValue(bar->maximum());
  QVERIFY(widget->loadingIndicator());
  QCOMPARE(widget->loadingIndicator()->size(), QSize(30, 30));
  QCOMPARE(widget->loadingIndicator()->y(), widget->height() - widget->bottomPanel()->height() - 15);
  QCOMPARE(widget->loadingIndicator()->x(), (widget->width() - 30) / 2);
  saveScreenshot(widget, "giphy-loading-paging");
  QTRY_COMPARE(widget->listWidget()->count(), 60);
}

void TestGiphy::moviesRunOnlyWhileShown()
{
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 1, 0, 1), "application/json");
  _server->serve("/media/g0-small.gif", gifBytes(20), "image/gif");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  // The list and its preview arrive while another page is shown.
  widget->hide();
  QTRY_VERIFY(QFile::exists(cacheDir() + "/g0-fixed_width_small"));
  QTRY_COMPARE(widget->listWidget()->count(), 1);
  QListWidgetItem *item = widget->listWidget()->item(0);
  QVERIFY(!item->data(GiphyGifsWidget::FrameRole).isValid());
  widget->show();
  QTRY_VERIFY(item->data(GiphyGifsWidget::FrameRole).canConvert<QPixmap>());
}

void TestGiphy::clickAndDownload_data()
{
  QTest::addColumn<bool>("previewServed");
  QTest::addColumn<bool>("originalCached");
  QTest::addColumn<QString>("firstName");
  QTest::newRow("full GIF cached") << true << true << "g0-original";
  QTest::newRow("preview only") << true << false << "g0-fixed_width_small";
  QTest::newRow("nothing cached") << false << false << "g0";
}

void TestGiphy::clickAndDownload()
{
  QFETCH(bool, previewServed);
  QFETCH(bool, originalCached);
  QFETCH(QString, firstName);
  const QByteArray preview = gifBytes(20);
  const QByteArray original = gifBytes(40);
  QVERIFY(!preview.isEmpty() && !original.isEmpty());
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 1, 0, 1), "application/json");
  if (previewServed)
    _server->serve("/media/g0-small.gif", preview, "image/gif");
  _server->serve("/media/g0.gif", original, "image/gif");
  Page page(*_server);
  if (originalCached) {
    QDir().mkpath(cacheDir());
    QFile file(cacheDir() + "/g0-original");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(original) == original.size());
  }
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(widget->listWidget()->count(), 1);
  QListWidgetItem *item = widget->listWidget()->item(0);
  QCOMPARE(item->toolTip(), QString("GIF g0\n200x100"));
  if (previewServed)
    QTRY_VERIFY(item->data(GiphyGifsWidget::FrameRole).canConvert<QPixmap>());
  else
    QTRY_VERIFY(pathsOf(_server->requests()).contains("/media/g0-small.gif"));

  // The drag data before anything is clicked: the preview's length, no path yet.
  auto *list = widget->listWidget();
  std::unique_ptr<QMimeData> data(list->model()->mimeData({list->model()->index(list->row(item), 0)}));
  QCOMPARE(data->data("media/giphy-gif-id"), QByteArray("g0"));
  QCOMPARE(data->data("media/giphy-gif-url"), _server->url("/media/g0.gif").toString().toUtf8());
  QCOMPARE(data->data("media/giphy-gif-length"), QByteArray(previewServed ? "0.6" : "0"));
  QCOMPARE(data->data("media/giphy-gif-scale"), QByteArray("0.5"));
  QCOMPARE(data->data("media/giphy-gif-path").isEmpty(), !originalCached);

  QSignalSpy clicked(widget, &GiphyGifsWidget::giphyItemClicked);
  QSignalSpy finished(widget, &GiphyGifsWidget::downloadFinished);
  clickItem(widget, 0);
  QTRY_VERIFY(clicked.count() >= 1);
  QCOMPARE(clicked.first().at(0).toString(), firstName);
  if (originalCached) {
    QCOMPARE(clicked.first().at(1).toString(), cacheDir() + "/g0-original");
    QCOMPARE(finished.count(), 0);
    QVERIFY(!widget->isDownloading());
    return;
  }
  // The download ends in the cache, then the click comes again with the full GIF.
  QTRY_COMPARE(finished.count(), 1);
  QCOMPARE(finished.first().at(0).toInt(), 0);
  QCOMPARE(finished.first().at(1).toString(), QString("g0"));
  const QString path = finished.first().at(2).toString();
  QCOMPARE(path, cacheDir() + "/g0-original");
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), original);
  QTRY_COMPARE(clicked.count(), 2);
  QCOMPARE(clicked.at(1).at(0).toString(), QString("g0-original"));
  data.reset(list->model()->mimeData({list->model()->index(list->row(item), 0)}));
  QCOMPARE(QString::fromUtf8(data->data("media/giphy-gif-path")), path);

  // Deleted by hand: the next click downloads again.
  QVERIFY(QFile::remove(path));
  clickItem(widget, 0);
  QTRY_COMPARE(finished.count(), 2);
  QVERIFY(QFile::exists(path));
  QCOMPARE(pathsOf(_server->requests()).count("/media/g0.gif"), 2);
}

void TestGiphy::failedDownloads_data()
{
  QTest::addColumn<LoopbackHttpServer::Response>("response");
  QTest::addColumn<bool>("withOriginal");
  QTest::addColumn<int>("error");
  LoopbackHttpServer::Response missing;
  missing.status = 404;
  LoopbackHttpServer::Response moved;
  moved.status = 301;
  moved.headers = {{"Location", "/media/other.gif"}};
  LoopbackHttpServer::Response reset;
  reset.resetConnection = true;
  QTest::newRow("status") << missing << true << 404;
  QTest::newRow("redirect") << moved << true << 301;
  QTest::newRow("reset connection") << reset << true << int(QNetworkReply::RemoteHostClosedError);
  QTest::newRow("body cut off") << cutOff(gifBytes(10).left(20), "image/gif") << true
                                << int(QNetworkReply::RemoteHostClosedError);
  // What a client that took a closed chunked body for a whole one receives.
  LoopbackHttpServer::Response unended;
  unended.contentType = "image/gif";
  unended.body = gifBytes(10).left(20);
  QTest::newRow("whole reply, GIF without its end") << unended << true << int(QNetworkReply::RemoteHostClosedError);
  QTest::newRow("no original") << LoopbackHttpServer::Response() << false << int(QNetworkReply::ProtocolUnknownError);
}

void TestGiphy::failedDownloads()
{
  QFETCH(LoopbackHttpServer::Response, response);
  QFETCH(bool, withOriginal);
  QFETCH(int, error);
  _server->serve("/v1/gifs/trending", pageJson({gifJson(*_server, "g0", withOriginal)}, 0, 1), "application/json");
  _server->serve("/media/g0.gif", response);
  _server->serve("/media/other.gif", gifBytes(10), "image/gif");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(widget->listWidget()->count(), 1);
  if (!withOriginal)
    QCOMPARE(widget->listWidget()->item(0)->toolTip(), QString("GIF g0"));
  QSignalSpy finished(widget, &GiphyGifsWidget::downloadFinished);
  QSignalSpy messages(widget, &GiphyGifsWidget::showTextMessage);
  QSignalSpy hidden(widget, &GiphyGifsWidget::hideProgressHUD);
  clickItem(widget, 0);
  QTRY_COMPARE(finished.count(), 1);
  QCOMPARE(finished.first().at(0).toInt(), error);
  QCOMPARE(finished.first().at(2).toString(), QString());
  QCOMPARE(messages.count(), 1);
  QCOMPARE(messages.first().first().toString(), QString("Download error (code=%1)").arg(error));
  QCOMPARE(hidden.count(), 1);
  QVERIFY(!widget->isDownloading());
  QVERIFY(!QFile::exists(cacheDir() + "/g0-original"));
  QVERIFY(!pathsOf(_server->requests()).contains("/media/other.gif"));
}

void TestGiphy::secondDownloadDropped()
{
  LoopbackHttpServer::Response slow;
  slow.body = gifBytes(10);
  slow.delayMs = 300;
  _server->serve("/media/a.gif", slow);
  _server->serve("/media/b.gif", slow);
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QSignalSpy finished(widget, &GiphyGifsWidget::downloadFinished);
  QSignalSpy progress(widget, &GiphyGifsWidget::showProgressHUD);
  widget->downloadOriginalGif("a", _server->url("/media/a.gif").toString());
  widget->downloadOriginalGif("b", _server->url("/media/b.gif").toString());
  QCOMPARE(progress.count(), 1);
  QTRY_COMPARE(finished.count(), 1);
  QCOMPARE(finished.first().at(1).toString(), QString("a"));
  QVERIFY(!pathsOf(_server->requests()).contains("/media/b.gif"));
}

void TestGiphy::progress_data()
{
  QTest::addColumn<qlonglong>("received");
  QTest::addColumn<qlonglong>("total");
  QTest::addColumn<float>("shown");
  QTest::newRow("half") << 5LL << 10LL << 0.5f;
  QTest::newRow("size unknown") << 5LL << -1LL << 0.f;
  QTest::newRow("size zero") << 5LL << 0LL << 0.f;
}

void TestGiphy::progress()
{
  QFETCH(qlonglong, received);
  QFETCH(qlonglong, total);
  QFETCH(float, shown);
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QSignalSpy progress(widget, &GiphyGifsWidget::showProgressHUD);
  widget->onDownloadReplyProgress(received, total);
  QCOMPARE(progress.first().at(0).toString(), QString("Downloading file..."));
  QCOMPARE(progress.first().at(1).toFloat(), shown);
}

void TestGiphy::unsafeReplies()
{
  QDir().mkpath(cacheDir());
  const QString cacheParent = QFileInfo(cacheDir()).path();
  QTemporaryDir outside;
  const QString secret = outside.filePath("secret.gif");
  QFile file(secret);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(gifBytes(10)) > 0);
  file.close();
  const QString longId(65, 'a');
  QList<QJsonObject> gifs;
  for (const QString &id : {QString("../x"), QString("a/b"), QString(), longId, QString("ok")})
    gifs << gifJson(*_server, id);
  _server->serve("/v1/gifs/trending", pageJson(gifs, 0, 5), "application/json");
  for (const QString &name : {QString("x"), QString("a/b"), QString("ok")}) {
    _server->serve("/media/" + name + "-small.gif", gifBytes(10), "image/gif");
    _server->serve("/media/" + name + ".gif", gifBytes(10), "image/gif");
  }
  const QStringList before = treeOf(cacheParent);

  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(idsIn(widget), QStringList{"ok"});
  QTRY_VERIFY(QFile::exists(cacheDir() + "/ok-fixed_width_small"));

  QSignalSpy finished(widget, &GiphyGifsWidget::downloadFinished);
  const QStringList badUrls = {QUrl::fromLocalFile(secret).toString(), "qrc:/images/app_logo",
                               ":/images/app_logo", "http://example.invalid/x.gif",
                               "http://127.0.0.2:" + QString::number(_server->port()) + "/media/ok.gif"};
  for (const QString &url : badUrls) {
    widget->downloadOriginalGif("ok", url);
    QTRY_COMPARE(finished.size(), badUrls.indexOf(url) + 1);
    QVERIFY2(finished.last().at(0).toInt() != 0, qPrintable(url));
  }
  for (const QString &id : {QString("../x"), QString("a/b"), QString(), longId}) {
    widget->downloadOriginalGif(id, _server->url("/media/x.gif").toString());
    QTRY_COMPARE(finished.size(), badUrls.size() + 1);
    QVERIFY(finished.takeLast().at(0).toInt() != 0);
  }
  QStringList after = treeOf(cacheParent);
  after.removeAll("Giphy/ok-fixed_width_small " + QString::number(gifBytes(10).size()));
  QCOMPARE(after, before);
  QVERIFY(!QFile::exists(cacheDir() + "/ok-original"));
}

void TestGiphy::refreshMenu()
{
  _server->serve("/v1/gifs/trending", namedPage(*_server, "g", 2, 0, 2), "application/json");
  ScriptedDialogProvider dialogs;
  dialogs.answers << QString("Refresh");
  Page page(*_server);
  GiphyGifsWidget *widget = page.open();
  QTRY_COMPARE(widget->listWidget()->count(), 2);
  _server->serve("/v1/gifs/trending", namedPage(*_server, "r", 1, 0, 1), "application/json");
  // On an item nothing opens; on the empty area the menu refreshes the list.
  const QRect first = widget->listWidget()->visualItemRect(widget->listWidget()->item(0));
  emit widget->listWidget()->customContextMenuRequested(first.center());
  emit widget->listWidget()->customContextMenuRequested(QPoint(350, 200));
  QTRY_COMPARE(idsIn(widget), QStringList{"r0"});
  QCOMPARE(dialogs.calls.size(), 1);
  QCOMPARE(dialogs.calls.first().kind, QString("menu"));
}

void TestGiphy::serviceRoot_data()
{
  // The root a setting asks for, the root taken, and which download addresses pass.
  QTest::addColumn<QString>("configured");
  QTest::addColumn<QString>("root");
  QTest::addColumn<QStringList>("fetchable");
  QTest::addColumn<QStringList>("refused");
  const QString real = "https://api.giphy.com/v1/";
  QTest::newRow("loopback http") << "http://127.0.0.1:8080/v1/" << "http://127.0.0.1:8080/v1/"
                                 << QStringList{"http://127.0.0.1:8080/m/a.gif", "https://media.example/a.gif"}
                                 << QStringList{"http://127.0.0.1:8081/m/a.gif", "http://localhost:8080/a.gif",
                                                "http://media.example/a.gif", "file:///etc/passwd", "qrc:/a", ""};
  QTest::newRow("slash added") << "https://gifs.example/v1" << "https://gifs.example/v1/"
                               << QStringList{"https://media.example/a.gif"}
                               << QStringList{"http://gifs.example/a.gif"};
  QTest::newRow("plain http elsewhere ignored") << "http://gifs.example/v1/" << real
                                                << QStringList{"https://media.example/a.gif"}
                                                << QStringList{"http://gifs.example/a.gif"};
  QTest::newRow("not a URL") << "not a url" << real << QStringList() << QStringList{"ftp://x/a.gif"};
}

void TestGiphy::serviceRoot()
{
  QFETCH(QString, configured);
  QFETCH(QString, root);
  QFETCH(QStringList, fetchable);
  QFETCH(QStringList, refused);
  qputenv("TAVO_GIPHY_API_ROOT", configured.toUtf8());
  QCOMPARE(Endpoints::giphyApiRoot(), root);
  for (const QString &url : fetchable)
    QVERIFY2(Endpoints::isFetchableGiphyUrl(QUrl(url)), qPrintable(url));
  for (const QString &url : refused)
    QVERIFY2(!Endpoints::isFetchableGiphyUrl(QUrl(url)), qPrintable(url));
}

TAVO_TEST_MAIN(TestGiphy)
#include "tst_giphy.moc"
