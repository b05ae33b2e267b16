#pragma once

#include "Dao.h"

#include <QString>
#include <QVariant>

#include <cstdint>

// The questions the windows ask of the database, one function each. Each
// gives the recordset or value the window works with; the windows read and
// write its fields by the column names of Schema.h.
namespace records {

// ---- Children ----

// The first child added, if any: a recordset of its name alone.
dao::Recordset firstChild(dao::Database &db);

// The names of every child in the order they were added (column 0).
dao::Recordset childNames(dao::Database &db);

// Every profile, editable; a new profile is appended to it.
dao::Recordset profiles(dao::Database &db);

// The profile of the child of this name, editable; at its end when there is none.
dao::Recordset profileOf(dao::Database &db, const QString &name);

// Whether a child of this name exists.
bool childExists(dao::Database &db, const QString &name);

// Carries a child's new name over to the child's months; returns how many.
int renameMonths(dao::Database &db, const QString &from, const QString &to);

// ---- Months ----

// Every month record, editable; a new month is appended to it.
dao::Recordset monthRecords(dao::Database &db);

// The highest month age recorded; Null when none is.
QVariant highestMonthAge(dao::Database &db);

// A month age is recorded once in a file, whichever child it belongs to.
bool monthRecorded(dao::Database &db, std::int16_t monthAge);

// The record of a month age, whichever child, editable.
dao::Recordset recordOfMonth(dao::Database &db, std::int16_t monthAge);

// The month ages recorded for a child (column monthage), in stored order.
dao::Recordset monthsOfChild(dao::Database &db, const QString &name);

// Every record of a child, in stored order.
dao::Recordset recordsOfChild(dao::Database &db, const QString &name);

// The record of one month of one child.
dao::Recordset recordOfChildMonth(dao::Database &db, const QString &name, std::int16_t monthAge);

// ---- Questionnaire ----

// The items of a month age, in stored order.
dao::Recordset itemsOfMonth(dao::Database &db, std::int16_t monthAge);

} // namespace records
