#include "ReportCommand.h"

#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/UserFiles.h"
#include "platform/AddressOpener.h"
#include "platform/Files.h"
#include "ui/AppInfo.h"
#include "ui/CommandOutput.h"
#include "windows/reports/GrowthReportPdf.h"
#include "windows/reports/PlanPdf.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace reportcommand {

namespace {

QString failureOf(const dao::DbError &e, const QString &document)
{
    // The holder may be the application's window or another report being
    // written at this moment.
    if (e.number() == dao::kFileInUse)
        return QStringLiteral("%1的另一个副本（程序窗口或另一份正在生成的报告）正在使用孩子的记录，"
                              "请等它结束后再生成%2。")
            .arg(appinfo::kTitle, document);
    return QStringLiteral("读取数据库时出错（错误 %1：%2），没有生成%3。")
        .arg(e.number())
        .arg(e.description(), document);
}

QString writeFailure(const platform::Outcome &outcome, const QString &path, const QString &document)
{
    return userfiles::failure(
        outcome, path, QStringLiteral("没有生成") + document, QStringLiteral("；要替换它，请加上 --force"));
}

// The longest file name the file systems the report goes to can hold, in
// bytes; a child's name is shortened to keep the report's name within it.
constexpr int kNameMax = 255;

} // namespace

QString fileName(const std::optional<QString> &child, const QDate &date, const QString &document)
{
    QString name = child ? *child : QStringLiteral("全部");
    for (QChar &ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            ch = QLatin1Char('_');
    }
    if (name.trimmed().isEmpty())
        name = QStringLiteral("_");
    auto whole = [&] {
        return QStringLiteral("%1-%2-%3.pdf").arg(document, name, date.toString(QStringLiteral("yyyy-MM-dd")));
    };
    // Room for the "-2", "-3" … a name already taken gets; never half a
    // character.
    const int room = kNameMax - static_cast<int>(qstrlen("-999"));
    while (QFile::encodeName(whole()).size() > room && !name.isEmpty()) {
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return whole();
}

namespace {

// Where the report went, or the sentence that says why it went nowhere.
struct Placed {
    QString target;
    QString failure;
};

// The report as the file the user named; one that is there only with force,
// replaced in one step.
Placed placeAtFile(QString output, const QByteArray &pdf, bool force, const QString &document)
{
    const QFileInfo given(output);
    if (!output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) && !given.exists() && !given.isSymLink())
        output += QStringLiteral(".pdf");
    const QString target = QFileInfo(output).absoluteFilePath();
    if (const platform::Outcome written = userfiles::write(target, pdf, force); !written.done())
        return {{}, writeFailure(written, target, document)};
    return {target, {}};
}

// The report as a new file in the folder, never over one that exists.
Placed placeInFolder(const QString &folder, const Options &options, const QByteArray &pdf, const QString &document)
{
    platform::makeFolders(folder);
    const QString base = QDir(folder).absoluteFilePath(fileName(options.child, options.today, document)).chopped(4);
    // A name taken, even by a link to nothing, moves on to the next number.
    for (int n = 1;; ++n) {
        const QString candidate = base + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QStringLiteral(".pdf");
        const platform::Outcome written = userfiles::write(candidate, pdf, false);
        if (written.done())
            return {candidate, {}};
        if (written.placed != platform::Placed::Exists && written.placed != platform::Placed::Link)
            return {{}, writeFailure(written, candidate, document)};
    }
}

// The document of the children, made whole in memory by write; then written
// out and opened.
int make(const Options &options, const QString &document,
    const std::function<bool(QIODevice *, dao::Database &, const QList<growthreport::ChildRecord> &)> &write)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    try {
        // Started before the window ever was, it too brings a user's own
        // copy up to date first.
        dao::Database db = assessmentdb::openAtStart();
        const QList<growthreport::ChildRecord> children = growthreport::readChildren(db, options.child);
        if (children.isEmpty()) {
            return cli::fail(options.child
                    ? QStringLiteral("没有名叫“%1”的孩子，没有生成%2。").arg(*options.child, document)
                    : QStringLiteral("还没有孩子的档案，没有生成%1。").arg(document));
        }
        if (!growthreport::chineseFontAvailable())
            return cli::fail(QStringLiteral("找不到中文字体，%1里的文字无法写出，没有生成%1。请先安装中文字体，"
                                            "例如：sudo apt install fonts-wqy-microhei fonts-arphic-uming"
                                            "（或 fonts-noto-cjk）。")
                                 .arg(document));
        // The whole document is made in memory first; only a complete one
        // is written out.
        if (!write(&pdf, db, children))
            return cli::fail(QStringLiteral("无法生成%1的 PDF。").arg(document));
    } catch (const dao::DbError &e) {
        return cli::fail(failureOf(e, document));
    }

    // An explicit file is written there, over one that exists only with
    // force; a folder (the documents folder, or one given as --output) gets
    // a new file. Either way the file is the user's alone (it holds a
    // child's health data), never the program's own database or backups,
    // and no partly written file ever carries its name.
    const bool intoFolder = options.output.isEmpty() || QFileInfo(options.output).isDir();
    const Placed placed = intoFolder
        ? placeInFolder(options.output.isEmpty() ? options.documentsDir : options.output, options, pdf.data(), document)
        : placeAtFile(options.output, pdf.data(), options.force, document);
    if (!placed.failure.isEmpty())
        return cli::fail(placed.failure);
    const QString &target = placed.target;

    const QString shown = QDir::toNativeSeparators(target);
    if (!platform::openDocument(target)) {
        cli::say(
            QStringLiteral("%1已保存在“%2”。没有找到能打开 PDF 的程序，请用 PDF 阅读器打开它。").arg(document, shown));
        return EXIT_SUCCESS;
    }
    std::printf("%s\n", shown.toLocal8Bit().constData());
    std::fflush(stdout);
    return EXIT_SUCCESS;
}

QList<nextmonth::Page> plansOf(
    dao::Database &db, const QList<growthreport::ChildRecord> &children, const Options &options)
{
    QList<nextmonth::Page> plans;
    for (const growthreport::ChildRecord &child : children)
        plans << nextmonth::build(db, child, options.month, options.today);
    return plans;
}

} // namespace

int run(const Options &options)
{
    return make(
        options, kReport, [&](QIODevice *pdf, dao::Database &db, const QList<growthreport::ChildRecord> &children) {
            return growthreport::writePdf(pdf, children, options.today, plansOf(db, children, options));
        });
}

int runPlan(const Options &options)
{
    return make(
        options, kPlan, [&](QIODevice *pdf, dao::Database &db, const QList<growthreport::ChildRecord> &children) {
            return planpdf::write(pdf, plansOf(db, children, options), options.today);
        });
}

} // namespace reportcommand
