#pragma once

#include "fielddef.h"

#include <QString>

namespace zarn {

// What a column's declared type makes of it, in the data layer's own type
// names (the names its type-mismatch message uses).
struct ColumnType
{
    enum class Kind { Text, LongText, DateTime, Integer, LargeInteger, Decimal, Other };
    Kind kind = Kind::Other;
    QString typeName;
};

ColumnType classifyColumn(const QString &declaredType);
bool columnFits(FieldType field, const ColumnType &column);
QString expectedTypeName(FieldType field);

} // namespace zarn
