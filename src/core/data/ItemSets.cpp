#include "ItemSets.h"

#include "Records.h"
#include "Schema.h"

#include <QCryptographicHash>
#include <QHash>

namespace itemsets {

namespace {

bool answered(dao::Recordset &rs)
{
    for (int d = 1; d <= 5; ++d) {
        if (!rs.Fields(schema::testrecord::score(d)).Value().isNull())
            return true;
    }
    return false;
}

} // namespace

QString fingerprint(dao::Recordset rows)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (; !rows.AtEOF(); rows.MoveNext()) {
        for (int c = 0; c < rows.FieldCount(); ++c) {
            const QVariant v = rows.Fields(c).Value();
            hash.addData(v.isNull() ? QByteArrayView("\x01") : QByteArrayView("\x02"));
            hash.addData(v.toString().toUtf8());
            hash.addData(QByteArrayView("\x1f"));
        }
        hash.addData(QByteArrayView("\x1e"));
    }
    return QString::fromLatin1(hash.result().toHex().left(32));
}

QString ofMonth(dao::Database &db, int month)
{
    return fingerprint(records::itemsOfMonth(db, static_cast<std::int16_t>(month)));
}

void markAnswered(dao::Database &db, int fromSchema)
{
    QHash<int, QString> prints;
    for (dao::Recordset rs = records::monthRecords(db); !rs.AtEOF(); rs.MoveNext()) {
        if (!rs.Fields(schema::testrecord::kItemSet).Value().isNull() || !answered(rs))
            continue;
        QString mark = kUnknown;
        const QVariant month = rs.Fields(schema::testrecord::kMonthAge).Value();
        if (fromSchema >= 4 && !month.isNull()) {
            const int m = month.toInt();
            if (!prints.contains(m))
                prints.insert(m, ofMonth(db, m));
            mark = prints.value(m);
        }
        rs.Edit();
        rs.Fields(schema::testrecord::kItemSet).setValue(mark);
        rs.Update();
    }
}

bool answersMatch(dao::Database &db, const QVariant &mark, int month)
{
    return mark.isNull() || (mark.toString() != kUnknown && mark.toString() == ofMonth(db, month));
}

} // namespace itemsets
