// Window loads for the scale benchmark (bench/scale.py runs it on the installed
// database and on a large copy, and compares medians).
//   window_bench fill <db> <children>   adds children to `user`; the first one
//                                       added gets all 36 months, scored
//   window_bench windows <db> <runs>    with the main window up: milliseconds
//                                       to load and show each window, and to
//                                       make the report request; medians

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/frmAbout.h"
#include "core/data/AssessmentDb.h"
#include "platform/AddressOpener.h"
#include "ui/CurrentValues.h"
#include "ui/Messages.h"
#include "windows/assessment/QuesForm.h"
#include "windows/assessment/TestForm.h"
#include "windows/profiles/BrowForm.h"
#include "windows/profiles/InputForm.h"
#include "windows/reports/OutForm.h"

#include <QElapsedTimer>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

int fill(int children)
{
    dao::Database db = assessmentdb::open();
    dao::Transaction tx(db);
    const int first = db.OpenRecordset(QStringLiteral("select count(*) from user")).Fields(0).Value().toInt();
    for (int i = 0; i < children; ++i) {
        db.Execute(QStringLiteral("insert into user (name, sex, birth, pname, telphone, email, addr) "
                                  "values (?, ?, ?, ?, ?, ?, ?)"),
            {QStringLiteral("儿童%1").arg(first + i + 1, 5, 10, QLatin1Char('0')),
                i % 2 ? QStringLiteral("女") : QStringLiteral("男"),
                QStringLiteral("2024-%1-%2").arg(i % 12 + 1).arg(i % 28 + 1),
                QStringLiteral("家长%1").arg(first + i + 1), QStringLiteral("010-%1").arg(60000000 + i),
                QStringLiteral("parent%1@example.cn").arg(i), QStringLiteral("北京市海淀区%1号").arg(i)});
    }
    const QString child = QStringLiteral("儿童%1").arg(first + 1, 5, 10, QLatin1Char('0'));
    for (int month = 1; month <= 36; ++month) {
        db.Execute(QStringLiteral("insert into testrecord values (?, ?, ?, ?, ?, ?, '1,2,3', '1,2,3', '1,2,3', "
                                  "'1,2,3', '1,2,3', 14.4, 12.8, 16, 11.2, 9.6, NULL)"),
            {child, month, 50.0 + month, 3.5 + month * 0.3, 120, 30});
    }
    tx.Commit();
    return 0;
}

double medianOf(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Milliseconds from creating a window (its load step) until it is shown and
// its first events are handled.
template <class Form> double loadOnce(QWidget *owner)
{
    QElapsedTimer timer;
    timer.start();
    Form form(owner);
    form.show();
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    form.hide();
    return ms;
}

int windows(int runs)
{
    messages::setHook([](const QString &) {});
    platform::setAddressHook([](const QString &) {});
    MainForm main;
    main.show();
    QCoreApplication::processEvents();
    const QString child = current::userName;
    current::monthAge = 36;

    const std::vector<std::pair<const char *, std::function<double()>>> measures {
        {"InputForm", [&] { return loadOnce<InputForm>(&main); }},
        {"BrowForm", [&] { return loadOnce<BrowForm>(&main); }},
        {"TestForm", [&] { return loadOnce<TestForm>(&main); }},
        {"QuesForm", [&] { return loadOnce<QuesForm>(&main); }},
        {"OutForm", [&] { return loadOnce<OutForm>(&main); }},
        {"frmAbout", [&] { return loadOnce<frmAbout>(&main); }},
        {"report",
            [&] {
                OutForm form(&main);
                auto *ok = form.findChild<QPushButton *>(QStringLiteral("OKCmd"));
                QElapsedTimer timer;
                timer.start();
                ok->click();
                return timer.nsecsElapsed() / 1e6;
            }},
    };
    for (const auto &[name, measure] : measures) {
        std::vector<double> samples;
        for (int i = 0; i < runs + 2; ++i) {
            current::userName = child;
            const double ms = measure();
            if (i >= 2) // two warm-up runs
                samples.push_back(ms);
        }
        std::printf("%s %.3f\n", name, medianOf(samples));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const QByteArray mode(argv[1]);
    assessmentdb::setPathForTesting(QString::fromLocal8Bit(argv[2]));
    const int count = QByteArray(argv[3]).toInt();
    Application app(argc, argv);
    if (mode == "fill")
        return fill(count);
    if (mode == "windows")
        return windows(count);
    return 2;
}
