#pragma once

#include <QString>

// Addresses of the product web site, exactly as the browser receives them:
// backslashes as separators, nothing encoded.
namespace webpages {

// "Http:" and two backslashes, then the host name; no trailing separator.
QString baseUrl();

// The base URL followed by a path such as "\fedu\study.asp".
QString address(const QString &path);

} // namespace webpages
