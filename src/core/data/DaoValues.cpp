// Values as the engine and the windows need them: an assigned value converted
// to its column's type, and a stored value read as text or as a number.

#include "DaoInternal.h"

#include "Conversions.h"

#include <cmath>

namespace dao {

namespace {

// A number value for a number column. NaN and infinities are refused like a
// text that is no number: the engine would store NaN as Null, and no typed
// text yields an infinity.
double finiteNumber(const QVariant &value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw conversionError();
    return d;
}

} // namespace

QVariant convertForColumn(ColumnType type, const QVariant &value)
{
    if (value.isNull())
        return {};
    const bool isText = value.metaType().id() == QMetaType::QString;
    switch (type) {
    case ColumnType::Text:
        if (value.metaType().id() == QMetaType::Double)
            return conv::numberText(value.toDouble());
        return value.toString();
    case ColumnType::Int16:
    case ColumnType::Integer: {
        double d = 0;
        if (isText) {
            const auto parsed = conv::parseNumber(value.toString());
            if (!parsed)
                throw conversionError();
            d = *parsed;
        } else {
            d = finiteNumber(value);
        }
        if (type == ColumnType::Int16) {
            const auto v = conv::toInt16(d);
            if (!v)
                throw overflow();
            return QVariant(static_cast<int>(*v));
        }
        const double r = conv::roundHalfEven(d);
        if (!(r >= -9.2e18 && r <= 9.2e18))
            throw overflow();
        return QVariant(static_cast<qlonglong>(r));
    }
    case ColumnType::Double: {
        if (isText) {
            const auto parsed = conv::parseNumber(value.toString());
            if (!parsed)
                throw conversionError();
            return *parsed;
        }
        return finiteNumber(value);
    }
    case ColumnType::Other:
        break;
    }
    return value;
}

// ---- reading values ----

QString text(const QVariant &value)
{
    if (value.isNull())
        throw invalidUseOfNull();
    if (value.metaType().id() == QMetaType::Double)
        return conv::numberText(value.toDouble());
    return value.toString();
}

QString textOr(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : text(value);
}

double number(const QVariant &value)
{
    if (value.isNull())
        throw invalidUseOfNull();
    if (value.metaType().id() == QMetaType::QString) {
        const auto parsed = conv::parseNumber(value.toString());
        if (!parsed)
            throw conversionError();
        return *parsed;
    }
    return value.toDouble();
}

} // namespace dao
