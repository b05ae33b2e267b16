#include "ReportCommand.h"

#include "GrowthReport.h"
#include "data/AssessmentDb.h"
#include "data/Dao.h"
#include "platform/AddressOpener.h"
#include "platform/Terminal.h"
#include "ui/AppInfo.h"
#include "ui/Messages.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace reportcommand {

namespace {

const QString kReport = QStringLiteral("report");
const QString kChild = QStringLiteral("child");
const QString kOutput = QStringLiteral("output");

QString failureOf(const dao::DbError &e)
{
    if (e.number() == dao::kFileInUse)
        return QStringLiteral("数据库正被%1使用，请先退出程序再生成成长报告。").arg(appinfo::kTitle);
    return QStringLiteral("读取数据库时出错（错误 %1：%2），没有生成成长报告。").arg(e.number()).arg(e.description());
}

QString writeFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入“%1”（%2），没有生成成长报告。").arg(QDir::toNativeSeparators(path), reason);
}

// Writes the report into a temporary file beside the target, so that no
// half-written report is ever seen under the target's name; returns the
// error text, empty on success.
QString writeTemporary(QTemporaryFile &tmp, const QList<growthreport::ChildRecord> &children, const QDate &date)
{
    if (!tmp.open())
        return tmp.errorString();
    if (!growthreport::writePdf(&tmp, children, date) || !tmp.flush() || tmp.error() != QFileDevice::NoError)
        return tmp.errorString();
    tmp.close();
    return QString();
}

// A command that could not do its work says why in one sentence: on standard
// error when a terminal is attached to it, else in a message box with the
// application's title. Returns the exit status to end with (non-zero).
int reportFailure(const QString &sentence)
{
    if (platform::stderrIsTerminal() && !messages::hasHook()) {
        std::fprintf(stderr, "%s\n", sentence.toLocal8Bit().constData());
        std::fflush(stderr);
    } else {
        messages::show(nullptr, sentence);
    }
    return EXIT_FAILURE;
}

} // namespace

bool requested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--report", "--help", "--help-all", "-h", "-?", "--child", "--output"}) {
            if (std::strcmp(argv[i], option) == 0
                || (std::strncmp(argv[i], option, std::strlen(option)) == 0 && argv[i][std::strlen(option)] == '='))
                return true;
        }
    }
    return false;
}

std::optional<Options> parse(const QStringList &arguments, int &exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "%1\n\n"
        "生成孩子的生长发育报告（PDF）：按 WHO 儿童生长标准给出身长/身高和体重的 z "
        "值和百分位，画出生长曲线和各领域得分，"
        "然后用桌面的 PDF 阅读器打开。\n"
        "Writes the child's growth and development report as a PDF (WHO growth percentiles, growth charts, "
        "domain scores) and opens it in the desktop's PDF viewer.\n\n"
        "例 / Example:  childgrowth --report --child 小明")
                                         .arg(appinfo::kTitle));
    parser.addHelpOption();
    parser.addOption({kReport, QStringLiteral("生成成长报告。\nWrite the growth report.")});
    parser.addOption({kChild,
        QStringLiteral(
            "只为名叫 <name> 的孩子生成（默认：所有孩子）。\nOnly the child named <name> (default: every child)."),
        QStringLiteral("name")});
    parser.addOption({kOutput,
        QStringLiteral("写入这个文件（默认：文档文件夹里的 成长报告-<姓名>-<日期>.pdf，不覆盖已有的文件）。\n"
                       "Write to this file (default: 成长报告-<name>-<date>.pdf in the Documents folder, never "
                       "replacing an existing file)."),
        QStringLiteral("file.pdf")});

    if (!parser.parse(arguments)) {
        exitCode = reportFailure(QStringLiteral("命令行有误：%1（用 --help 查看用法）。").arg(parser.errorText()));
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        exitCode = EXIT_SUCCESS;
        return std::nullopt;
    }
    if (!parser.isSet(kReport)) {
        exitCode = reportFailure(QStringLiteral("--child 和 --output 只能与 --report 一起使用。"));
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        exitCode = reportFailure(QStringLiteral("命令行有误：多余的参数“%1”（用 --help 查看用法）。")
                                     .arg(parser.positionalArguments().first()));
        return std::nullopt;
    }
    Options options;
    if (parser.isSet(kChild))
        options.child = parser.value(kChild);
    options.output = parser.value(kOutput);
    options.documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (options.documentsDir.isEmpty())
        options.documentsDir = QDir::homePath();
    options.today = QDate::currentDate();
    return options;
}

QString fileName(const std::optional<QString> &child, const QDate &date)
{
    QString name = child ? *child : QStringLiteral("全部");
    for (QChar &ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            ch = QLatin1Char('_');
    }
    if (name.trimmed().isEmpty())
        name = QStringLiteral("_");
    return QStringLiteral("成长报告-%1-%2.pdf").arg(name, date.toString(QStringLiteral("yyyy-MM-dd")));
}

int run(const Options &options)
{
    QList<growthreport::ChildRecord> children;
    try {
        // Started before the window ever was, it too brings a user's own
        // copy up to date first.
        dao::Database db = assessmentdb::openAtStart();
        children = growthreport::readChildren(db, options.child);
    } catch (const dao::DbError &e) {
        return reportFailure(failureOf(e));
    }
    if (children.isEmpty()) {
        return reportFailure(options.child
                ? QStringLiteral("没有名叫“%1”的孩子，没有生成成长报告。").arg(*options.child)
                : QStringLiteral("还没有孩子的档案，没有生成成长报告。"));
    }

    // An explicit file is replaced in one step; a folder (the documents
    // folder, or one given as --output) gets a new file, never one that exists.
    const bool intoFolder = options.output.isEmpty() || QFileInfo(options.output).isDir();
    QString target;
    if (!intoFolder) {
        target = QFileInfo(options.output).absoluteFilePath();
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly))
            return reportFailure(writeFailure(target, file.errorString()));
        if (!growthreport::writePdf(&file, children, options.today) || !file.commit())
            return reportFailure(writeFailure(target, file.errorString()));
    } else {
        const QString folder = options.output.isEmpty() ? options.documentsDir : options.output;
        QDir().mkpath(folder);
        const QString base = QDir(folder).absoluteFilePath(fileName(options.child, options.today)).chopped(4);
        QTemporaryFile tmp(QDir(folder).absoluteFilePath(QStringLiteral(".成长报告-XXXXXX.part")));
        if (const QString error = writeTemporary(tmp, children, options.today); !error.isEmpty())
            return reportFailure(writeFailure(base + QStringLiteral(".pdf"), error));
        // Renaming never replaces a file: a name taken in the meantime moves on
        // to the next number.
        for (int n = 1; target.isEmpty(); ++n) {
            const QString candidate
                = base + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QStringLiteral(".pdf");
            if (QFileInfo::exists(candidate))
                continue;
            if (tmp.rename(candidate)) {
                tmp.setAutoRemove(false);
                target = candidate;
            } else if (!QFileInfo::exists(candidate)) {
                return reportFailure(writeFailure(candidate, tmp.errorString()));
            }
        }
    }

    if (platform::stderrIsTerminal())
        std::printf("%s\n", QDir::toNativeSeparators(target).toLocal8Bit().constData());
    platform::openAddress(target);
    return EXIT_SUCCESS;
}

int main(const QStringList &arguments)
{
    int exitCode = EXIT_FAILURE;
    const std::optional<Options> options = parse(arguments, exitCode);
    return options ? run(*options) : exitCode;
}

} // namespace reportcommand
