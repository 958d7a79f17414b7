#pragma once

#include <QString>

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
} // namespace Endpoints
