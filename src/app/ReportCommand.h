#pragma once

#include <QDate>
#include <QString>

#include <optional>

// `childgrowth --report [--child NAME] [--output FILE.pdf]`: writes the growth
// and development report without opening a window and hands it to the
// desktop's PDF viewer.
namespace reportcommand {

struct Options {
    std::optional<QString> child;
    // Empty: a new file in documentsDir.
    QString output;
    // Replace a file that is at output.
    bool force = false;
    QString documentsDir;
    QDate today;
};

// The file name of a report made on a date: "成长报告-<name>-<yyyy-MM-dd>.pdf",
// with "全部" for every child; characters a file name cannot hold become "_".
QString fileName(const std::optional<QString> &child, const QDate &date);

// Writes the report and opens it. Returns the exit status; on any failure
// nothing is written and the reason is reported in one sentence.
int run(const Options &options);

} // namespace reportcommand
