#pragma once

#include "Dao.h"

#include <QString>
#include <QVariant>

// Which questionnaire a recorded month was answered with. A month's answer
// digits belong to the items as they stood when it was answered; only while
// the file still holds those items can a single answer be named by its item.
namespace itemsets {

// Marks a month whose questionnaire is not known: answered before the file
// kept track.
inline const QString kUnknown = QStringLiteral("?");

// A fingerprint of rows: every field of every row, in their order.
QString fingerprint(dao::Recordset rows);

// A fingerprint of a month's items as the file holds them: every field of
// every item of the month, in the order the questionnaire presents them.
QString ofMonth(dao::Database &db, int month);

// Called while the file's questionnaire is about to be replaced (in the same
// transaction): every answered month not yet marked gets the fingerprint of
// the items it was answered with, those the file holds now. A file older than
// schema 4 cannot tell which questionnaire its months were answered with:
// they are all marked unknown.
void markAnswered(dao::Database &db, int fromSchema);

// Whether the answers of a month, marked as stored (Null: answered with the
// questionnaire the file holds), belong to the month's items as they are now.
bool answersMatch(dao::Database &db, const QVariant &mark, int month);

} // namespace itemsets
