#include "Fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace fonts {

void installSubstitutions()
{
    // Song style: AR PL UMing is the nearest free match for SimSun.
    const QStringList song {
        QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    // Hei style.
    const QStringList hei {
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("AR PL UMing CN")};
    // Calligraphic style: Kai is the closest free relative of LiSu.
    const QStringList kai {
        QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")};

    for (const QString &name : {kSimSun, QStringLiteral("宋体"), QStringLiteral("NSimSun")})
        QFont::insertSubstitutions(name, song);
    for (const QString &name : {kSimHei, QStringLiteral("黑体")})
        QFont::insertSubstitutions(name, hei);
    for (const QString &name : {kLiSu, QStringLiteral("隶书")})
        QFont::insertSubstitutions(name, kai);
    // Latin faces named by the layouts fall back to CJK-capable fonts for any
    // Chinese character they may meet.
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans"), song.first()});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("DejaVu Serif"), song.first()});
}

QFont font(const QString &family, double pointSize, bool bold, bool italic)
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QFont forFixedText(QFont font, const QString &text)
{
    font.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetrics metrics(font);
    for (const QChar ch : text) {
        if (!ch.isSpace() && !metrics.inFont(ch)) {
            font.setStyleStrategy(QFont::PreferDefault);
            break;
        }
    }
    return font;
}

} // namespace fonts
