#include "RestorePoints.h"

#include "DbError.h"

namespace backup {

QList<RestorePoint> restorePoints(const QString &folder)
{
    QList<RestorePoint> points;
    for (const Entry &entry : list(folder, true)) {
        RestorePoint point {entry.path, entry.made, entry.keptOnRestore, std::nullopt};
        try {
            point.contents = inspect(point.path);
        } catch (const dao::DbError &) {
            // Shown as unreadable; a restore from it says why.
        }
        points.append(point);
    }
    return points;
}

} // namespace backup
