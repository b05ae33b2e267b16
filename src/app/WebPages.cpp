#include "WebPages.h"

#include <QHash>

namespace webpages {

QString pathFor(const QString &command)
{
    static const QHash<QString, QString> paths {
        {QStringLiteral("I1"), QString()},
        {QStringLiteral("net"), QStringLiteral("\\online")},
        {QStringLiteral("deve"), QStringLiteral("\\fedu\\study.asp")},
        {QStringLiteral("eq"), QStringLiteral("\\fedu\\relate.asp")},
        {QStringLiteral("phsy"), QStringLiteral("\\fedu\\safe.asp")},
        {QStringLiteral("lilun"), QStringLiteral("\\fedu\\custom.asp")},
        {QStringLiteral("qita"), QStringLiteral("\\fedu\\other.asp")},
        {QStringLiteral("zhili"), QStringLiteral("\\shop\\")},
        {QStringLiteral("train"), QStringLiteral("\\multi\\")},
        {QStringLiteral("toy"), QStringLiteral("\\shop\\toy.asp")},
        {QStringLiteral("mi"), QStringLiteral("\\")},
    };
    return paths.value(command);
}

} // namespace webpages
