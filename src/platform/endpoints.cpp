#include "endpoints.h"

namespace {
QString overridable(const char *variable, const char *fallback)
{
  const QString value = qEnvironmentVariable(variable);
  return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}
} // namespace

namespace Endpoints {
QString helpHost()
{
  return overridable("TAVO_HELP_HOST", "https://help.tarnholm.com");
}

QString updateCheckBase()
{
  return overridable("TAVO_UPDATE_CHECK_URL", "https://update.tarnholm.com/check");
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
} // namespace Endpoints
