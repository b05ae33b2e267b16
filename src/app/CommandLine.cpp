#include "CommandLine.h"

#include "RecordsCommands.h"
#include "ReportCommand.h"
#include "core/reports/NextMonth.h"
#include "ui/AppInfo.h"
#include "ui/CommandOutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace commandline {

namespace {

constexpr int kBadCommandLine = 2;

const QString kHelp = QStringLiteral("help");
const QString kHelpAll = QStringLiteral("help-all");
const QString kVersion = QStringLiteral("version");
const QString kReport = QStringLiteral("report");
const QString kPlan = QStringLiteral("plan");
const QString kMonth = QStringLiteral("month");
const QString kChild = QStringLiteral("child");
const QString kOutput = QStringLiteral("output");
const QString kBackup = QStringLiteral("backup");
const QString kForce = QStringLiteral("force");
const QString kRestore = QStringLiteral("restore");
const QString kExport = QStringLiteral("export");
const QString kBackupDialog = QStringLiteral("backup-dialog");
const QString kRestoreDialog = QStringLiteral("restore-dialog");
const QString kExportDocuments = QStringLiteral("export-documents");

// Qt's own options, which the application object takes out of the
// arguments; those that take a value.
const char *const kQtOptionsWithValue[]
    = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
        "display", "geometry", "title", "name", "style", "stylesheet", "session"};
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// One mode of the program: the option that selects it, the options that go
// only with it, its line of the usage and what it does.
struct Mode {
    QString option;
    QStringList with;
    QString synopsis;
    std::function<int(const QCommandLineParser &)> run;
};

std::optional<QString> childOf(const QCommandLineParser &parser)
{
    return parser.isSet(kChild) ? std::optional<QString>(parser.value(kChild)) : std::nullopt;
}

reportcommand::Options reportOptions(const QCommandLineParser &parser)
{
    reportcommand::Options options;
    options.child = childOf(parser);
    options.output = parser.value(kOutput);
    options.force = parser.isSet(kForce);
    options.documentsDir = recordscommands::documentsFolder();
    options.today = QDate::currentDate();
    return options;
}

int badCommandLine(const QString &sentence);

int runPlan(const QCommandLineParser &parser)
{
    reportcommand::Options options = reportOptions(parser);
    if (parser.isSet(kMonth)) {
        static const QRegularExpression whole(QStringLiteral("^[0-9]{1,2}$"));
        const QString month = parser.value(kMonth);
        if (!whole.match(month).hasMatch() || month.toInt() > nextmonth::kLastMonth)
            return badCommandLine(QStringLiteral(
                "--month 要给出 0 到 %1 的月龄，而不是“%2”。--month takes a month age from 0 to %1, not '%2'.")
                                      .arg(nextmonth::kLastMonth)
                                      .arg(month));
        options.month = month.toInt();
    }
    return reportcommand::runPlan(options);
}

const QList<Mode> &modes()
{
    static const QList<Mode> all = {
        {kReport, {kChild, kOutput, kForce},
            QStringLiteral("childgrowth --report [--child 名字] [--output 文件.pdf [--force]]"),
            [](const QCommandLineParser &p) { return reportcommand::run(reportOptions(p)); }},
        {kPlan, {kChild, kMonth, kOutput, kForce},
            QStringLiteral("childgrowth --plan [--child 名字] [--month 月龄] [--output 文件.pdf [--force]]"), runPlan},
        {kBackup, {kForce}, QStringLiteral("childgrowth --backup 文件 [--force]"),
            [](const QCommandLineParser &p) { return recordscommands::backupTo(p.value(kBackup), p.isSet(kForce)); }},
        {kRestore, {}, QStringLiteral("childgrowth --restore 文件"),
            [](const QCommandLineParser &p) { return recordscommands::restoreFrom(p.value(kRestore)); }},
        {kExport, {kChild, kForce}, QStringLiteral("childgrowth --export 文件.csv [--child 名字] [--force]"),
            [](const QCommandLineParser &p) {
                return recordscommands::exportTo(p.value(kExport), childOf(p), p.isSet(kForce));
            }},
        {kBackupDialog, {}, QStringLiteral("childgrowth --backup-dialog | --restore-dialog | --export-documents"),
            [](const QCommandLineParser &) { return recordscommands::backupWithDialog(); }},
        {kRestoreDialog, {}, QString(),
            [](const QCommandLineParser &) { return recordscommands::restoreWithDialog(); }},
        {kExportDocuments, {}, QString(),
            [](const QCommandLineParser &) { return recordscommands::exportToDocuments(); }},
    };
    return all;
}

QList<QCommandLineOption> options()
{
    return {
        {kReport, QStringLiteral("生成成长报告（PDF）并打开。\nWrite the growth report (PDF) and open it.")},
        {kPlan,
            QStringLiteral("生成下一个月的陪玩建议（PDF）并打开：下个月可以一起做的、上个月可以多练的，"
                           "以及这个年龄哪些情况要咨询儿保医生。\n"
                           "Write the page for the coming month (PDF) and open it: what to do together next month, "
                           "what to practise from the last one, and when to ask the child-health doctor.")},
        {kChild,
            QStringLiteral(
                "只为名叫 <name> 的孩子生成（默认：所有孩子）。\nOnly the child named <name> (default: every child)."),
            QStringLiteral("name")},
        {kMonth,
            QStringLiteral("与 --plan 一起：接着这个月龄（0 到 36）写，而不是最近记录的月份。\n"
                           "With --plan: follow this month age (0 to 36) instead of the latest recorded month."),
            QStringLiteral("month")},
        {kOutput,
            QStringLiteral("写入这个文件，没有 .pdf 时加上（默认：文档文件夹里的 成长报告-<姓名>-<日期>.pdf 或 下月陪玩建议-<姓名>-<日期>.pdf）；"
                           "不覆盖已有的文件。报告只有本人能读写（权限 0600）。\n"
                           "Write to this file, adding .pdf when missing (default: 成长报告-<name>-<date>.pdf or 下月陪玩建议-<name>-<date>.pdf in the "
                           "Documents folder); an existing file is not replaced. Reports are readable and writable "
                           "by their owner alone (mode 0600)."),
            QStringLiteral("file.pdf")},
        {kBackup,
            QStringLiteral("把数据备份到 <file>（另一个磁盘、U 盘），备份经过检查；不覆盖已有的文件。\n"
                           "Write a checked backup of the records to <file> (another disk, a USB stick), never "
                           "replacing an existing file."),
            QStringLiteral("file")},
        {kForce,
            QStringLiteral(
                "与 --backup、--export、--report 或 --plan 的 --output "
                "一起：替换已有的文件（本程序的数据库和备份除外）。\n"
                "With --backup, --export, or --output of --report or --plan: replace an existing file (never the "
                "program's own database or its backups).")},
        {kRestore,
            QStringLiteral("用备份 <file> 替换现在的记录（程序须已退出）；原来的文件保存在 backups 文件夹中。\n"
                           "Replace the records with the backup <file> (the program must be closed); the replaced "
                           "file is kept in the backups folder."),
            QStringLiteral("file")},
        {kExport,
            QStringLiteral("把每个月的记录写成电子表格能打开的 CSV 文件 <file>；不覆盖已有的文件。\n"
                           "Write the month records to <file> as CSV that spreadsheets open, never replacing an "
                           "existing file."),
            QStringLiteral("file.csv")},
        {kBackupDialog,
            QStringLiteral("在桌面上选择备份文件后备份（菜单项的“备份数据…”）。\n"
                           "Back up to a file chosen in a dialog (the menu entry's action).")},
        {kRestoreDialog,
            QStringLiteral("在桌面上从备份列表（或其他位置）选择备份并确认后恢复（菜单项的“恢复备份…”）。\n"
                           "Restore a backup chosen from the list of backups (or elsewhere) and confirmed in dialogs "
                           "(the menu entry's action).")},
        {kExportDocuments,
            QStringLiteral("把记录导出到文档文件夹（菜单项的“导出表格”）。\n"
                           "Export the records into the Documents folder (the menu entry's action).")},
        {kVersion, QStringLiteral("显示版本后退出。\nPrint the version and exit.")},
    };
}

QString usage()
{
    QStringList lines {QStringLiteral("用法 / Usage:"),
        QStringLiteral("  childgrowth                  打开程序窗口 / open the program's window")};
    for (const Mode &mode : modes()) {
        if (!mode.synopsis.isEmpty())
            lines << QStringLiteral("  ") + mode.synopsis;
    }
    lines << QStringLiteral("  childgrowth -h | --help | --help-all | --version");
    return lines.join(QLatin1Char('\n'));
}

// The options of Qt itself, which every mode accepts too.
QString qtOptions()
{
    QStringList options;
    for (const char *option : kQtOptionsWithValue)
        options << QStringLiteral("-%1 <…>").arg(QLatin1String(option));
    for (const char *flag : kQtFlags)
        options << QStringLiteral("-%1").arg(QLatin1String(flag));
    return QStringLiteral("Qt 的选项 / Qt's options:\n  ") + options.join(QStringLiteral(", "));
}

int badCommandLine(const QString &sentence)
{
    return cli::fail(QStringLiteral("命令行有误：%1\n%2").arg(sentence, usage()), kBadCommandLine);
}

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

} // namespace

bool requested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (arg[0] != '-')
            return true;
        const char *name = arg + (arg[1] == '-' ? 2 : 1);
        bool qtOption = false;
        for (const char *option : kQtOptionsWithValue) {
            if (std::strcmp(name, option) == 0) {
                qtOption = true;
                ++i; // its value
            }
        }
        for (const char *flag : kQtFlags)
            qtOption = qtOption || std::strcmp(name, flag) == 0;
        if (!qtOption && std::strncmp(name, "qmljsdebugger=", 14) != 0)
            return true;
    }
    return false;
}

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "%1 %2\n\n"
        "记录 0 至 36 个月幼儿的成长和发展。不带选项时打开程序窗口。下面的选项做完一件事就结束，不打开程序窗口；"
        "--backup-dialog 和 --restore-dialog 在桌面上打开对话框，用来选择文件。\n"
        "Follows a young child's growth and development from birth to 36 months. Without options it opens the "
        "program's window. Each option below does one task and ends without opening that window; --backup-dialog "
        "and --restore-dialog show dialogs on the desktop to choose a file.\n\n%3")
                                         .arg(appinfo::kTitle, appinfo::kVersion, usage()));
    parser.addHelpOption();
    parser.addOptions(options());

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return badCommandLine(unknown.isEmpty()
                ? parser.errorText()
                : QStringLiteral("不认识的选项“%1”。Unknown option '%1'.").arg(dashed(unknown.first())));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return badCommandLine(
            QStringLiteral("多余的参数“%1”。Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(kHelp) || parser.isSet(kHelpAll)) {
        cli::say(parser.isSet(kHelpAll) ? parser.helpText() + QLatin1Char('\n') + qtOptions() : parser.helpText());
        return EXIT_SUCCESS;
    }
    if (parser.isSet(kVersion)) {
        cli::say(QStringLiteral("childgrowth %1").arg(appinfo::kVersion));
        return EXIT_SUCCESS;
    }

    const Mode *chosen = nullptr;
    for (const Mode &mode : modes()) {
        if (!parser.isSet(mode.option))
            continue;
        if (chosen) {
            return badCommandLine(QStringLiteral("%1 和 %2 不能一起使用。%1 and %2 cannot be used together.")
                                      .arg(dashed(chosen->option), dashed(mode.option)));
        }
        chosen = &mode;
    }
    for (const QString &name : parser.optionNames()) {
        const bool belongs = std::any_of(modes().cbegin(), modes().cend(),
            [&](const Mode &mode) { return mode.option == name || (chosen == &mode && mode.with.contains(name)); });
        if (!belongs) {
            QStringList owners;
            for (const Mode &mode : modes()) {
                if (mode.with.contains(name))
                    owners << dashed(mode.option);
            }
            return badCommandLine(QStringLiteral("%1 只能与 %2 一起使用。%1 goes only with %2.")
                                      .arg(dashed(name), owners.join(QStringLiteral(" / "))));
        }
    }
    if (!chosen)
        return badCommandLine(QStringLiteral("没有给出要做的事。No command given."));
    return chosen->run(parser);
}

} // namespace commandline
