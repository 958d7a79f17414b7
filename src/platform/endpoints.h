#pragma once

#include <QString>

class QUrl;

// Web addresses of the maker's services, in one place. Each can be overridden by an
// environment variable so tests point them at a loopback server.
namespace Endpoints {
QString helpHost();        // TAVO_HELP_HOST
QString updateCheckBase(); // TAVO_UPDATE_CHECK_URL
QString productSite();     // TAVO_PRODUCT_SITE
QString smartphonePage();  // TAVO_SMARTPHONE_PAGE
QString supportAddress(); // TAVO_SUPPORT_ADDRESS: the feedback mail address
// The maker's web domain, as it appears in the titles of the maker's own pages.
QString makerDomain();

// The GIF service's API root, ending in "/v1/" (TAVO_GIPHY_API_ROOT). An override over plain
// http is taken only for a loopback address; any other is ignored.
QString giphyApiRoot();
// The GIF service's API key: TAVO_GIPHY_API_KEY, else "GiphyApiKey" in the application
// settings; empty when neither is set. It never lives in the sources.
QString giphyApiKey();
// Whether a URL named by the GIF service may be fetched: https only, or plain http on the
// loopback host and port of the configured root.
bool isFetchableGiphyUrl(const QUrl &url);
} // namespace Endpoints
