#include "Schema.h"

#include "ContentFile.h"

namespace schema {

QString testrecord::answers(int domain)
{
    return QStringLiteral("a%1").arg(domain);
}

QString testrecord::score(int domain)
{
    return QStringLiteral("a%1fen").arg(domain);
}

QString test::option(int number)
{
    return QStringLiteral("opt%1").arg(number);
}

const QList<Table> &tables()
{
    static const QList<Table> all = [] {
        const QString text = QStringLiteral("TEXT");
        const QString real = QStringLiteral("DOUBLE");
        const QString small = QStringLiteral("SMALLINT");

        // `user` keeps an integer key in front so that `name` is column 1.
        Table users {user::kTable,
            {{user::kId, QStringLiteral("INTEGER PRIMARY KEY")}, {user::kName, text}, {user::kSex, text},
                {user::kBirth, text}, {user::kParent, text}, {user::kPhone, text}, {user::kEmail, text},
                {user::kAddress, text}},
            {{user::kName}}};

        Table records {testrecord::kTable,
            {{testrecord::kUser, text}, {testrecord::kMonthAge, small}, {testrecord::kHeight, real},
                {testrecord::kWeight, real}, {testrecord::kHeartRate, real}, {testrecord::kBreath, real}},
            {{testrecord::kMonthAge}, {testrecord::kUser, testrecord::kMonthAge}}};
        // Per domain its answers, then per domain its score.
        const int domains = static_cast<int>(content::kDomains.size());
        for (int d = 1; d <= domains; ++d)
            records.columns.append({testrecord::answers(d), text});
        for (int d = 1; d <= domains; ++d)
            records.columns.append({testrecord::score(d), real});
        records.columns.append({testrecord::kMeasured, text, 3});
        records.columns.append({testrecord::kItemSet, text, 4});

        Table items {test::kTable,
            {{test::kAge, small}, {test::kItem, text}, {test::kHowTo, text}, {test::kGoal, text}}, {{test::kAge}}};
        for (int o = 1; o <= content::kOptionCount; ++o)
            items.columns.append({test::option(o), text});
        items.columns.append({test::kClass, text});
        items.columns.append({test::kPoints, real});

        return QList<Table> {users, records, items};
    }();
    return all;
}

} // namespace schema
