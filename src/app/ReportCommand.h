#pragma once

#include <QDate>
#include <QString>

#include <optional>

// `childgrowth --report [--child NAME] [--output FILE.pdf]`: writes the growth
// and development report without opening a window and hands it to the
// desktop's PDF viewer; `childgrowth --plan [--child NAME] [--month M]
// [--output FILE.pdf]` does the same with the page for the coming month.
namespace reportcommand {

// What the commands write: the growth report, or the page for the coming
// month alone. Its name begins the file's name and every message.
inline const QString kReport = QStringLiteral("成长报告");
inline const QString kPlan = QStringLiteral("下月陪玩建议");

struct Options {
    std::optional<QString> child;
    // Empty: a new file in documentsDir.
    QString output;
    // Replace a file that is at output.
    bool force = false;
    QString documentsDir;
    QDate today;
    // The page for the coming month follows this recorded month instead of
    // each child's latest (0 to 36).
    std::optional<int> month;
};

// The file name of a document made on a date: "成长报告-<name>-<yyyy-MM-dd>.pdf",
// with "全部" for every child; characters a file name cannot hold become "_".
QString fileName(const std::optional<QString> &child, const QDate &date, const QString &document = kReport);

// Writes the report (each child's pages ending with the page for the coming
// month) and opens it. Returns the exit status; on any failure nothing is
// written and the reason is reported in one sentence.
int run(const Options &options);

// The same with the pages for the coming month alone, one a child.
int runPlan(const Options &options);

} // namespace reportcommand
