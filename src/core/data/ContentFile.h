#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The questionnaire items kept as data (content/items-*.tsv).
namespace content {

// An item may name the options of ratings 1 to 4 its own way (opt1 to opt4);
// the lowest rating always keeps its common caption.
inline constexpr int kOptionCount = 4;

struct Item {
    int age = 0;
    QString clas;
    double fen = 0;
    QString item;
    std::optional<QString> howto;
    QString disp;
    std::array<std::optional<QString>, kOptionCount> opt;
    QString source;
    QString skill; // the key shared by the items that ask one skill in different months
    QString file;
    int line = 0;
};

inline const QStringList kDomains {QStringLiteral("生理"), QStringLiteral("运动"), QStringLiteral("认知"),
    QStringLiteral("言语"), QStringLiteral("人际")};

// Reads one content file; throws std::runtime_error naming file and line when
// a line does not have the expected fields.
QList<Item> readItems(const QString &path);

// Reads every items-*.tsv of the directory, in file-name order.
QList<Item> readDirectory(const QString &dir);

// A line of warning-signs.tsv: a sign to ask the child-health doctor about
// (from the checkpoint of its month age on; 0: at any age), or the routine
// child-health visit of a month age.
struct Sign {
    enum class Kind { Sign, Visit };
    int age = 0;
    Kind kind = Kind::Sign;
    QString text;
    QString source;
    QString file;
    int line = 0;
};

inline const QString kSignsFile = QStringLiteral("warning-signs.tsv");

// Reads warning-signs.tsv; throws std::runtime_error naming file and line
// when a line does not have the expected fields.
QList<Sign> readSigns(const QString &path);

} // namespace content
