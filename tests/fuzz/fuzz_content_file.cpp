// The questionnaire content reader on any file: either items that keep the
// format or an error naming the file and line.
#include "FuzzCheck.h"
#include "core/data/ContentFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("items-01-12.tsv"));
    {
        // A new file each time: truncating one makes the file system flush it.
        QFile::remove(path);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    const int lineCount
        = static_cast<int>(
              QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)).count('\n'))
        + 1;
    QList<content::Item> items;
    try {
        items = content::readItems(path);
    } catch (const std::runtime_error &e) {
        const QString message = QString::fromStdString(e.what());
        FUZZ_REQUIRE(message.startsWith(path + QLatin1Char(':')), message);
        return 0;
    }
    FUZZ_REQUIRE(items.size() < lineCount, path);
    int previousLine = 1;
    for (const content::Item &item : items) {
        FUZZ_REQUIRE(item.file == path && item.line > previousLine && item.line <= lineCount, item.item);
        previousLine = item.line;
        FUZZ_REQUIRE(item.age >= 0 && std::isfinite(item.fen) && item.fen >= 0, item.item);
        QStringList texts {item.clas, item.item, item.disp, item.source, item.skill};
        if (item.howto) {
            FUZZ_REQUIRE(!item.howto->isEmpty(), item.item);
            texts << *item.howto;
        }
        for (const auto &opt : item.opt) {
            if (opt) {
                FUZZ_REQUIRE(!opt->isEmpty(), item.item);
                texts << *opt;
            }
        }
        for (const QString &t : texts)
            FUZZ_REQUIRE(!t.contains(QLatin1Char('\t')) && !t.contains(QLatin1Char('\n')), t);
    }
    return 0;
}
