#include "ReportCommand.h"

#include "GrowthReport.h"
#include "data/AssessmentDb.h"
#include "data/Dao.h"
#include "platform/AddressOpener.h"
#include "ui/AppInfo.h"
#include "ui/CommandOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>

namespace reportcommand {

namespace {

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

} // namespace

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
        return cli::fail(failureOf(e));
    }
    if (children.isEmpty()) {
        return cli::fail(options.child
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
            return cli::fail(writeFailure(target, file.errorString()));
        if (!growthreport::writePdf(&file, children, options.today) || !file.commit())
            return cli::fail(writeFailure(target, file.errorString()));
    } else {
        const QString folder = options.output.isEmpty() ? options.documentsDir : options.output;
        QDir().mkpath(folder);
        const QString base = QDir(folder).absoluteFilePath(fileName(options.child, options.today)).chopped(4);
        QTemporaryFile tmp(QDir(folder).absoluteFilePath(QStringLiteral(".成长报告-XXXXXX.part")));
        if (const QString error = writeTemporary(tmp, children, options.today); !error.isEmpty())
            return cli::fail(writeFailure(base + QStringLiteral(".pdf"), error));
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
                return cli::fail(writeFailure(candidate, tmp.errorString()));
            }
        }
    }

    std::printf("%s\n", QDir::toNativeSeparators(target).toLocal8Bit().constData());
    std::fflush(stdout);
    platform::openAddress(target);
    return EXIT_SUCCESS;
}

} // namespace reportcommand
