#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace zarn {

// The values of one row, as the dataset hands them to fields and views.
// Numeric values live in `numbers` (integers, scaled decimals, date keys and
// the bits of currency doubles); texts in `texts`. Both vectors have one slot
// per field; a field uses the one that fits its type.
struct Row
{
    std::vector<qint64> numbers;
    std::vector<QString> texts;
    quint64 nulls = 0; // bit i set: field i is Null
    qint64 rowid = 0;  // the database row's identity; 0 for a row not stored yet

    bool isNull(int field) const { return nulls & (quint64(1) << field); }
    void setNull(int field, bool null)
    {
        if (null)
            nulls |= quint64(1) << field;
        else
            nulls &= ~(quint64(1) << field);
    }
};

} // namespace zarn
