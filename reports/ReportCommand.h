#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// `childgrowth --report [--child NAME] [--output FILE.pdf]`: writes the growth
// and development report without opening a window and hands it to the
// desktop's PDF viewer.
namespace reportcommand {

// True when the command line asks for the report or its help; the
// application then runs the command instead of its main window.
bool requested(int argc, char **argv);

struct Options {
    std::optional<QString> child;
    // Empty: a new file in documentsDir.
    QString output;
    QString documentsDir;
    QDate today;
};

// Parses the arguments (program name first). Prints the help and returns
// nothing with exitCode 0 for --help; says what is wrong and returns nothing
// with a non-zero exitCode for a bad command line.
std::optional<Options> parse(const QStringList &arguments, int &exitCode);

// The file name of a report made on a date: "成长报告-<name>-<yyyy-MM-dd>.pdf",
// with "全部" for every child; characters a file name cannot hold become "_".
QString fileName(const std::optional<QString> &child, const QDate &date);

// Writes the report and opens it. Returns the exit status; on any failure
// nothing is written and the reason is reported in one sentence.
int run(const Options &options);

// parse() and run() together, for main().
int main(const QStringList &arguments);

} // namespace reportcommand
