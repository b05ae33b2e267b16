#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace dao {
class Database;
}

// The month records as a table that spreadsheets open: CSV in UTF-8 with a
// byte-order mark (so that the Chinese text reads right), fields quoted as
// RFC 4180 has it, lines ended by CRLF, one header line. One line a recorded
// month, the children in the order they were added (a name kept twice
// once, as in the growth report) and each child's months in order: child,
// sex, birth date, month age, measurement date, height, weight, heart rate,
// breathing rate, the five domain scores and their total. Values are written as stored; an empty field is one not
// recorded, and text a spreadsheet would run as a formula is written as text.
namespace recordstable {

struct Table {
    QByteArray csv;
    int months = 0;
};

// Every child's months, or only those of the child of this name (none when
// no profile has that name). Database failures raise dao::DbError.
Table read(dao::Database &db, const std::optional<QString> &child);

} // namespace recordstable
