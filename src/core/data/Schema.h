#pragma once

#include <QList>
#include <QString>

// The tables of the assessment database and their columns. Every name is
// written here once; the windows, the schema, the installer and the tests
// take them from here.
namespace schema {

// The child profiles, one row a child, in the order they were added.
namespace user {
inline const QString kTable = QStringLiteral("user");
inline const QString kId = QStringLiteral("id");
inline const QString kName = QStringLiteral("name");
inline const QString kSex = QStringLiteral("sex");
inline const QString kBirth = QStringLiteral("birth");
inline const QString kParent = QStringLiteral("pname");
inline const QString kPhone = QStringLiteral("telphone");
inline const QString kEmail = QStringLiteral("email");
inline const QString kAddress = QStringLiteral("addr");
} // namespace user

// One row per recorded month: the measurements, then per domain the answers
// given (a1..a5) and the domain's score (a1fen..a5fen).
namespace testrecord {
inline const QString kTable = QStringLiteral("testrecord");
inline const QString kUser = QStringLiteral("user");
inline const QString kMonthAge = QStringLiteral("monthage");
inline const QString kHeight = QStringLiteral("height");
inline const QString kWeight = QStringLiteral("weight");
inline const QString kHeartRate = QStringLiteral("heartrate");
inline const QString kBreath = QStringLiteral("breath");
// The day the month's measurements were taken, as text in the form below
// ("2024-2-3"; schema 3 on, empty in rows written before).
inline const QString kMeasured = QStringLiteral("testdate");
inline const QString kMeasuredFormat = QStringLiteral("yyyy-M-d");
// The questionnaire a month was answered with, as a fingerprint of its items
// (ItemSets.h): written when the file's questionnaire is replaced, empty for
// months answered with the questionnaire the file holds (schema 4 on).
inline const QString kItemSet = QStringLiteral("itemset");
// Domain 1 to 5.
QString answers(int domain);
QString score(int domain);
} // namespace testrecord

// The questionnaire: the items of each month age.
namespace test {
inline const QString kTable = QStringLiteral("test");
inline const QString kAge = QStringLiteral("age");
inline const QString kItem = QStringLiteral("item");
inline const QString kHowTo = QStringLiteral("howto");
inline const QString kGoal = QStringLiteral("disp");
inline const QString kClass = QStringLiteral("clas");
inline const QString kPoints = QStringLiteral("fen");
// The caption of answer 1 to 4 when the item has one of its own.
QString option(int number);
} // namespace test

// The file's content version (schema 2 on).
namespace version {
inline const QString kTable = QStringLiteral("version");
inline const QString kContent = QStringLiteral("content");
} // namespace version

// A table as the schema creates it and as an opened file must have it.
struct Column {
    QString name;
    QString type;
    // The schema version that added the column; an older file gets it when
    // it is migrated.
    int since = 1;
};
struct Table {
    QString name;
    QList<Column> columns;
    QList<QStringList> indexes; // the columns of each index
};

// `user`, `testrecord` and `test`, columns in their stored order.
const QList<Table> &tables();

} // namespace schema
