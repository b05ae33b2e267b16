#pragma once

#include "core/reports/WebSite.h"

#include <QString>

// The pages the menu commands open on the product web site.
namespace webpages {

// The paths the menu commands open, by the objectName of their menu item;
// "I1" (the logo) opens the base URL alone.
QString pathFor(const QString &command);

} // namespace webpages
