#include "ContentFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace content {

namespace {

// The columns of a line, in the order of the header.
enum Column : qsizetype {
    kAge,
    kClas,
    kFen,
    kItem,
    kHowto,
    kDisp,
    kFirstOpt, // opt1 to opt4
    kSource = kFirstOpt + kOptionCount,
    kSkill,
};

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

// The lines of a tab-separated file under its header, with their line
// numbers; each has as many fields as the header names.
QList<std::pair<int, QStringList>> rowsOf(const QString &path, const QString &header)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(path, 0, QStringLiteral("cannot be read"));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (lines.first().trimmed() != header)
        fail(path, 1, QStringLiteral("the header line must read: %1").arg(header));
    const qsizetype columns = header.count(QLatin1Char('\t')) + 1;
    QList<std::pair<int, QStringList>> rows;
    for (int i = 1; i < lines.size(); ++i) { // line 0 is the header
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != columns)
            fail(path, i + 1, QStringLiteral("expected %1 fields, found %2").arg(columns).arg(fields.size()));
        rows.append({i + 1, fields});
    }
    return rows;
}

} // namespace

QList<Item> readItems(const QString &path)
{
    static const QString header
        = QStringLiteral("age\tclas\tfen\titem\thowto\tdisp\topt1\topt2\topt3\topt4\tsource\tskill");
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    QList<Item> items;
    for (const auto &[lineNumber, fields] : rowsOf(path, header)) {
        Item item;
        bool ok = false;
        item.age = fields.at(kAge).toInt(&ok);
        if (!ok || !wholeNumber.match(fields.at(kAge)).hasMatch())
            fail(path, lineNumber, QStringLiteral("age is not a whole number"));
        item.clas = fields.at(kClas);
        item.fen = fields.at(kFen).toDouble(&ok);
        if (!ok || !number.match(fields.at(kFen)).hasMatch())
            fail(path, lineNumber, QStringLiteral("fen is not a number"));
        item.item = fields.at(kItem);
        item.howto = optionalText(fields.at(kHowto));
        item.disp = fields.at(kDisp);
        for (int o = 0; o < kOptionCount; ++o)
            item.opt[static_cast<size_t>(o)] = optionalText(fields.at(kFirstOpt + o));
        item.source = fields.at(kSource);
        item.skill = fields.at(kSkill);
        item.file = path;
        item.line = lineNumber;
        items.append(item);
    }
    return items;
}

QList<Sign> readSigns(const QString &path)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    QList<Sign> signs;
    for (const auto &[lineNumber, fields] : rowsOf(path, QStringLiteral("age\tkind\ttext\tsource"))) {
        Sign sign;
        if (!wholeNumber.match(fields.at(0)).hasMatch())
            fail(path, lineNumber, QStringLiteral("age is not a whole number"));
        sign.age = fields.at(0).toInt();
        if (fields.at(1) == QStringLiteral("征象"))
            sign.kind = Sign::Kind::Sign;
        else if (fields.at(1) == QStringLiteral("体检"))
            sign.kind = Sign::Kind::Visit;
        else
            fail(path, lineNumber, QStringLiteral("kind is neither 征象 nor 体检"));
        sign.text = fields.at(2);
        sign.source = fields.at(3);
        sign.file = path;
        sign.line = lineNumber;
        signs.append(sign);
    }
    return signs;
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
