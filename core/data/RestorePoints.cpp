#include "RestorePoints.h"

#include "DbError.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace backup {

namespace {

// The name restore() gives the file it replaced: the moment, a number when
// two fall within the same second, and the mark.
const QRegularExpression &keptName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:-\\d+)?-恢复前\\.mdb$"));
    return name;
}

QList<RestorePoint> keptCopies(const QString &folder)
{
    QList<RestorePoint> kept;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::Reversed)) {
        const auto match = keptName().match(name);
        const QDateTime made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        if (match.hasMatch() && made.isValid())
            kept.append({QDir(folder).filePath(name), made, true, std::nullopt});
    }
    std::stable_sort(
        kept.begin(), kept.end(), [](const RestorePoint &a, const RestorePoint &b) { return a.made > b.made; });
    return kept;
}

} // namespace

QList<RestorePoint> restorePoints(const QString &folder)
{
    // The automatic backups in the order list() gives them, the kept copies
    // placed among them by their moment.
    const QList<RestorePoint> kept = keptCopies(folder);
    QList<RestorePoint> points;
    qsizetype k = 0;
    for (const Entry &entry : list(folder)) {
        for (; k < kept.size() && kept.at(k).made > entry.made; ++k)
            points.append(kept.at(k));
        points.append({entry.path, entry.made, false, std::nullopt});
    }
    points.append(kept.mid(k));
    for (RestorePoint &point : points) {
        try {
            point.contents = inspect(point.path);
        } catch (const dao::DbError &) {
            // Shown as unreadable; a restore from it says why.
        }
    }
    return points;
}

} // namespace backup
