#include "columntypes.h"

#include <QRegularExpression>

namespace zarn {

ColumnType classifyColumn(const QString &declaredType)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*([A-Za-z_ ]*?)\\s*(?:\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?\\s*$"));
    const QRegularExpressionMatch m = shape.match(declaredType);
    const QString base = m.hasMatch() ? m.captured(1).simplified().toUpper() : QString();
    const int scale = m.hasMatch() ? m.captured(3).toInt() : 0;
    using K = ColumnType::Kind;
    auto is = [&](std::initializer_list<const char *> names) {
        for (const char *name : names)
            if (base == QLatin1String(name))
                return true;
        return false;
    };
    if (is({"VARCHAR", "NVARCHAR", "CHAR", "NCHAR", "CHARACTER", "VARYING CHARACTER", "NATIVE CHARACTER",
            "NCHAR VARYING", "CHARACTER VARYING", "TEXT", "STRING"}))
        return {K::Text, QStringLiteral("WideString")};
    if (is({"MEMO", "LONGTEXT", "MEDIUMTEXT", "NTEXT", "CLOB", "LONGCHAR", "NOTE"}))
        return {K::LongText, QStringLiteral("WideMemo")};
    if (is({"DATETIME", "DATE", "TIME", "TIMESTAMP"}))
        return {K::DateTime, QStringLiteral("DateTime")};
    if (is({"INTEGER", "INT", "LONG", "INT4", "MEDIUMINT"}))
        return {K::Integer, QStringLiteral("Integer")};
    if (is({"SMALLINT", "SHORT", "INT2"}))
        return {K::Integer, QStringLiteral("SmallInt")};
    if (is({"TINYINT", "BYTE"}))
        return {K::Integer, QStringLiteral("Word")};
    if (is({"COUNTER", "AUTOINCREMENT"}))
        return {K::Integer, QStringLiteral("AutoInc")};
    if (is({"BIGINT", "INT8", "UNSIGNED BIG INT"}))
        return {K::LargeInteger, QStringLiteral("Largeint")};
    if (is({"DECIMAL", "NUMERIC", "DEC"}))
        return scale > 0 ? ColumnType{K::Decimal, QStringLiteral("BCD")}
                         : ColumnType{K::Other, QStringLiteral("FMTBcd")};
    if (is({"CURRENCY", "MONEY"}))
        return {K::Decimal, QStringLiteral("Currency")};
    if (is({"REAL", "FLOAT", "DOUBLE", "DOUBLE PRECISION", "SINGLE"}))
        return {K::Decimal, QStringLiteral("Float")};
    if (is({"BOOLEAN", "BOOL", "BIT", "YESNO"}))
        return {K::Other, QStringLiteral("Boolean")};
    if (is({"BLOB", "BINARY", "VARBINARY", "IMAGE", "LONGBINARY", "OLEOBJECT"}))
        return {K::Other, QStringLiteral("Blob")};
    return {K::Other, QStringLiteral("Unknown")};
}

bool columnFits(FieldType field, const ColumnType &column)
{
    using K = ColumnType::Kind;
    switch (field) {
    case FieldType::Text:
        return column.kind == K::Text;
    case FieldType::DateTime:
        return column.kind == K::DateTime;
    case FieldType::Integer:
        return column.kind == K::Integer;
    case FieldType::Decimal:
        return column.kind == K::Decimal;
    case FieldType::Currency:
        return false;
    }
    return false;
}

QString expectedTypeName(FieldType field)
{
    switch (field) {
    case FieldType::Text:
        return QStringLiteral("WideString");
    case FieldType::DateTime:
        return QStringLiteral("DateTime");
    case FieldType::Integer:
        return QStringLiteral("Integer");
    case FieldType::Decimal:
        return QStringLiteral("BCD");
    case FieldType::Currency:
        return QStringLiteral("Currency");
    }
    return {};
}

} // namespace zarn
