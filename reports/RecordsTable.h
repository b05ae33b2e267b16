#pragma once

#include "GrowthReport.h"

#include <QByteArray>
#include <QList>

// The month records as a table that spreadsheets open: CSV in UTF-8 with a
// byte-order mark (so that the Chinese text reads right), fields quoted as
// RFC 4180 has it, lines ended by CRLF, one header line. One line a recorded
// month: child, sex, birth date, month age, measurement date, height, weight,
// heart rate, breathing rate, the five domain scores and their total. An
// empty field is a value not recorded.
namespace recordstable {

QByteArray csv(const QList<growthreport::ChildRecord> &children);

} // namespace recordstable
