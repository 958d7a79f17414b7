#include "endpoints.h"

#include <QHostAddress>
#include <QSettings>
#include <QUrl>

namespace {
QString overridable(const char *variable, const char *fallback)
{
  const QString value = qEnvironmentVariable(variable);
  return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

bool isLoopbackHttp(const QUrl &url)
{
  if (url.scheme() != "http")
    return false;
  if (url.host() == "localhost")
    return true;
  const QHostAddress address(url.host());
  return !address.isNull() && address.isLoopback();
}

const char kGiphyApiRoot[] = "https://api.giphy.com/v1/";
} // namespace

namespace Endpoints {
QString helpHost()
{
  return overridable("TAVO_HELP_HOST", "https://help.tarnholm.com");
}

QString updateCheckBase()
{
  return overridable("TAVO_UPDATE_CHECK_URL", "https://update.tarnholm.com/cgi-bin/win-upcheck-tr2.pl");
}

QString productSite()
{
  return overridable("TAVO_PRODUCT_SITE", "https://www.tarnholm.com/tavo-ren/");
}

QString smartphonePage()
{
  return overridable("TAVO_SMARTPHONE_PAGE", "https://www.tarnholm.com/tavo-ren/mobile/");
}

QString supportAddress()
{
  return overridable("TAVO_SUPPORT_ADDRESS", "support@tarnholm.com");
}

QString makerDomain()
{
  return QStringLiteral("tarnholm.com");
}

QString giphyApiRoot()
{
  QString root = overridable("TAVO_GIPHY_API_ROOT", kGiphyApiRoot);
  const QUrl url(root);
  const bool acceptable = url.isValid() && !url.host().isEmpty() && (url.scheme() == "https" || isLoopbackHttp(url));
  if (!acceptable)
    return QString::fromLatin1(kGiphyApiRoot);
  if (!root.endsWith('/'))
    root += '/';
  return root;
}

QString giphyApiKey()
{
  const QString key = qEnvironmentVariable("TAVO_GIPHY_API_KEY");
  return key.isEmpty() ? QSettings().value("GiphyApiKey").toString() : key;
}

bool isFetchableGiphyUrl(const QUrl &url)
{
  if (!url.isValid() || url.host().isEmpty())
    return false;
  if (url.scheme() == "https")
    return true;
  const QUrl root(giphyApiRoot());
  return isLoopbackHttp(url) && isLoopbackHttp(root) && url.host() == root.host() && url.port(80) == root.port(80);
}
} // namespace Endpoints
