// Growth report benchmark: one child with all 36 months recorded, the whole
// command (open the database, read, draw, write the PDF beside its final name
// and rename it) run repeatedly; prints the median.
//   report_bench [runs]          prints the median of the runs (default 15)
//   report_bench --sample FILE   writes the sample child's report to FILE

#include "app/Application.h"
#include "app/ReportCommand.h"
#include "core/assessment/Scoring.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/reports/Growth.h"
#include "platform/AddressOpener.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// A boy who grows a little above the median, with a thin spell at 18 to 20
// months and questionnaires left unfinished in two months.
void fillSample(const QString &path)
{
    dao::Database db = assessmentdb::create(path);
    dao::Transaction tx(db);
    db.Execute(QStringLiteral("insert into user (name, sex, birth, pname) values (?, ?, ?, ?)"),
        {QStringLiteral("王小明"), QStringLiteral("男"), QStringLiteral("2023-1-15"), QStringLiteral("王大明")});
    for (int m = 1; m <= 36; ++m) {
        using growth::Indicator;
        const int day = static_cast<int>((m + 0.5) * growth::kDaysPerMonth);
        const double height = growth::valueAt(*growth::lms(Indicator::LengthHeightForAge, growth::Sex::Boy, day), 0.4);
        const double z = (m >= 18 && m <= 20) ? -2.2 : 0.3 + 0.02 * m;
        const double weight = growth::valueAt(*growth::lms(Indicator::WeightForAge, growth::Sex::Boy, day), z);
        QVariantList row {QStringLiteral("王小明"), m, std::round(height * 10) / 10, std::round(weight * 100) / 100,
            130 - m, 42 - m / 2};
        for (int d = 0; d < scoring::kDomainCount; ++d) {
            if (m == 7 || m == 22)
                row.append(QVariant());
            else
                row.append(std::round(2 * std::clamp(10.0 + 5 * std::sin(m / 4.0 + d) + d, 0.0, 20.0)) / 2);
        }
        db.Execute(QStringLiteral("insert into testrecord (user, monthage, height, weight, heartrate, breath, "
                                  "a1fen, a2fen, a3fen, a4fen, a5fen) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            row);
    }
    tx.Commit();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(assessmentdb::kFileName);
    fillSample(db);
    assessmentdb::setPathForTesting(db);
    platform::setAddressHook([](const QString &) {});

    reportcommand::Options options;
    options.child = QStringLiteral("王小明");
    options.today = QDate(2026, 1, 20);
    options.documentsDir = dir.filePath(QStringLiteral("out"));

    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QStringLiteral("--sample")) {
        options.output = QDir::current().absoluteFilePath(args.at(2));
        return reportcommand::run(options);
    }
    const int runs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 15;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (reportcommand::run(options) != 0)
            return 1;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("growth report, one child, 36 months: median %.1f ms over %d runs (min %.1f, max %.1f); "
                "ratio to a 1 s budget %.3f\n",
        ms[ms.size() / 2], runs, ms.front(), ms.back(), ms[ms.size() / 2] / 1000);
    return 0;
}
