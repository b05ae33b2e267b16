#include "WebSite.h"

#ifndef CG_WEBSITE_HOST
#define CG_WEBSITE_HOST "www.helan-edu.cn"
#endif

namespace webpages {

QString baseUrl()
{
    return QStringLiteral("Http:\\\\") + QStringLiteral(CG_WEBSITE_HOST);
}

QString address(const QString &path)
{
    return baseUrl() + path;
}

} // namespace webpages
