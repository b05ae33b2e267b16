#include "ContentFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace content {

namespace {

constexpr int kFieldCount = 11;

[[noreturn]] void fail(const QString &file, int line, const QString &what)
{
    throw std::runtime_error(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what).toStdString());
}

std::optional<QString> optionalText(const QString &field)
{
    if (field.isEmpty())
        return std::nullopt;
    return field;
}

} // namespace

QList<Item> readItems(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(path, 0, QStringLiteral("cannot be read"));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    static const QString header = QStringLiteral("age\tclas\tfen\titem\thowto\tdisp\topt1\topt2\topt3\topt4\tsource");
    if (lines.first().trimmed() != header)
        fail(path, 1, QStringLiteral("the header line must read: %1").arg(header));
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    QList<Item> items;
    for (int i = 1; i < lines.size(); ++i) { // line 0 is the header
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != kFieldCount)
            fail(path, i + 1, QStringLiteral("expected %1 fields, found %2").arg(kFieldCount).arg(fields.size()));
        Item item;
        bool ok = false;
        item.age = fields.at(0).toInt(&ok);
        if (!ok || !wholeNumber.match(fields.at(0)).hasMatch())
            fail(path, i + 1, QStringLiteral("age is not a whole number"));
        item.clas = fields.at(1);
        item.fen = fields.at(2).toDouble(&ok);
        if (!ok || !number.match(fields.at(2)).hasMatch())
            fail(path, i + 1, QStringLiteral("fen is not a number"));
        item.item = fields.at(3);
        item.howto = optionalText(fields.at(4));
        item.disp = fields.at(5);
        for (int o = 0; o < 4; ++o)
            item.opt[static_cast<size_t>(o)] = optionalText(fields.at(6 + o));
        item.source = fields.at(10);
        item.file = path;
        item.line = i + 1;
        items.append(item);
    }
    return items;
}

QList<Item> readDirectory(const QString &dir)
{
    QList<Item> all;
    const QStringList files = QDir(dir).entryList({QStringLiteral("items-*.tsv")}, QDir::Files, QDir::Name);
    for (const QString &name : files)
        all.append(readItems(QDir(dir).filePath(name)));
    return all;
}

} // namespace content
