#include "field.h"

#include "errors.h"
#include "fieldtext.h"
#include "querydataset.h"

#include <cmath>
#include <cstring>

namespace zarn {

namespace {

double currencyOf(const Row &row, int index)
{
    double value;
    std::memcpy(&value, &row.numbers[size_t(index)], sizeof value);
    return value;
}

} // namespace

Field::Field(QueryDataset *dataset, int index, FieldDef def)
    : m_dataset(dataset), m_index(index), m_def(std::move(def))
{
}

const Row &Field::activeRow() const
{
    return m_dataset->activeRow();
}

bool Field::canModify() const
{
    return !m_def.calculated && m_dataset->canModify();
}

bool Field::isNull() const { return isNull(activeRow()); }
QString Field::displayText() const { return displayText(activeRow()); }
QString Field::editText() const { return editText(activeRow()); }
qint32 Field::asInteger() const { return asInteger(activeRow()); }
qint64 Field::asCurrency() const { return asCurrency(activeRow()); }
double Field::asFloat() const { return asFloat(activeRow()); }

QString Field::displayText(const Row &row) const
{
    if (row.isNull(m_index))
        return {};
    const qint64 number = row.numbers.empty() ? 0 : row.numbers[size_t(m_index)];
    switch (m_def.type) {
    case FieldType::Text:
        return row.texts[size_t(m_index)];
    case FieldType::DateTime:
        return fieldtext::formatDateTime(number, fieldtext::locale());
    case FieldType::Integer:
        return QString::number(qint32(number));
    case FieldType::Decimal:
        if (number == kDecimalOverflow)
            return QStringLiteral("BCD 溢出");
        return fieldtext::formatDecimal(number, fieldtext::locale());
    case FieldType::Currency:
        return fieldtext::formatCurrency(currencyOf(row, m_index), fieldtext::locale());
    }
    return {};
}

QString Field::editText(const Row &row) const
{
    if (m_def.type == FieldType::Currency && !row.isNull(m_index))
        return fieldtext::formatCurrencyEdit(currencyOf(row, m_index), fieldtext::locale());
    return displayText(row);
}

qint32 Field::asInteger(const Row &row) const
{
    if (row.isNull(m_index))
        return 0;
    switch (m_def.type) {
    case FieldType::Integer:
        return qint32(row.numbers[size_t(m_index)]);
    case FieldType::Decimal:
        return qint32(asCurrency(row) / fieldtext::kDecimalScale);
    case FieldType::Currency:
        return qint32(std::llround(currencyOf(row, m_index)));
    default:
        throw ConvertError(QStringLiteral("'%1' 不是一个有效的整数值").arg(displayText(row)));
    }
}

qint64 Field::asCurrency(const Row &row) const
{
    if (row.isNull(m_index))
        return 0;
    switch (m_def.type) {
    case FieldType::Integer:
        return qint64(qint32(row.numbers[size_t(m_index)])) * fieldtext::kDecimalScale;
    case FieldType::Decimal: {
        const qint64 scaled = row.numbers[size_t(m_index)];
        return scaled == kDecimalOverflow ? 0 : scaled;
    }
    case FieldType::Currency:
        return std::llround(currencyOf(row, m_index) * fieldtext::kDecimalScale);
    default:
        throw ConvertError(QStringLiteral("'%1' 不是有效的浮点值").arg(displayText(row)));
    }
}

double Field::asFloat(const Row &row) const
{
    if (row.isNull(m_index))
        return 0.0;
    switch (m_def.type) {
    case FieldType::Currency:
        return currencyOf(row, m_index);
    case FieldType::Decimal:
        return double(asCurrency(row)) / fieldtext::kDecimalScale;
    case FieldType::Integer:
        return double(asInteger(row));
    default:
        throw ConvertError(QStringLiteral("'%1' 不是有效的浮点值").arg(displayText(row)));
    }
}

void Field::assignText(Row &row, const QString &text) const
{
    const QLocale locale = fieldtext::locale();
    switch (m_def.type) {
    case FieldType::Text: {
        QString value = text;
        if (m_def.size > 0 && value.size() > m_def.size) {
            qsizetype cut = m_def.size;
            // never keep half of a surrogate pair
            if (value.at(cut - 1).isHighSurrogate())
                --cut;
            value.truncate(cut);
        }
        row.texts[size_t(m_index)] = value;
        row.setNull(m_index, false);
        return;
    }
    case FieldType::DateTime:
        if (text.isEmpty()) {
            row.setNull(m_index, true);
        } else if (const auto key = fieldtext::parseDateTime(text, locale)) {
            row.numbers[size_t(m_index)] = *key;
            row.setNull(m_index, false);
        } else {
            throw ConvertError(QStringLiteral("'%1' 不是一个有效的日期和时间").arg(text));
        }
        return;
    case FieldType::Integer:
        if (text.isEmpty()) {
            row.setNull(m_index, true);
        } else if (const auto value = fieldtext::parseInteger(text)) {
            row.numbers[size_t(m_index)] = *value;
            row.setNull(m_index, false);
        } else {
            throw ConvertError(
                QStringLiteral("'%1' 对于字段 '%2' 不是有效的整数值").arg(text, m_def.label));
        }
        return;
    case FieldType::Decimal:
        if (text.isEmpty()) {
            row.setNull(m_index, true);
        } else if (const auto value = fieldtext::parseDecimal(text, locale);
                   value && std::abs(*value) <= fieldtext::kMaxStorableDecimal) {
            row.numbers[size_t(m_index)] = *value;
            row.setNull(m_index, false);
        } else {
            throw ConvertError(
                QStringLiteral("'%1' 对于字段 '%2' 不是有效的浮点值").arg(text, m_def.label));
        }
        return;
    case FieldType::Currency:
        throw DatabaseError(QStringLiteral("字段 '%1' 不能被修改").arg(m_def.label));
    }
}

void Field::setText(const QString &text)
{
    Row &row = m_dataset->rowForWrite(*this);
    Row changed = row;
    assignText(changed, text); // a refused text leaves the field as it was
    row = std::move(changed);
    m_dataset->fieldAssigned(*this);
}

void Field::setInteger(qint32 value)
{
    Row &row = m_dataset->rowForWrite(*this);
    switch (m_def.type) {
    case FieldType::Integer:
        row.numbers[size_t(m_index)] = value;
        break;
    case FieldType::Decimal:
        row.numbers[size_t(m_index)] = qint64(value) * fieldtext::kDecimalScale;
        break;
    case FieldType::Currency: {
        const double d = value;
        std::memcpy(&row.numbers[size_t(m_index)], &d, sizeof d);
        break;
    }
    default:
        row.texts[size_t(m_index)] = QString::number(value);
        break;
    }
    row.setNull(m_index, false);
    m_dataset->fieldAssigned(*this);
}

void Field::setCurrency(qint64 scaled)
{
    Row &row = m_dataset->rowForWrite(*this);
    switch (m_def.type) {
    case FieldType::Decimal:
        row.numbers[size_t(m_index)] = scaled;
        break;
    case FieldType::Integer:
        row.numbers[size_t(m_index)] = qint32(scaled / fieldtext::kDecimalScale);
        break;
    case FieldType::Currency: {
        const double d = double(scaled) / fieldtext::kDecimalScale;
        std::memcpy(&row.numbers[size_t(m_index)], &d, sizeof d);
        break;
    }
    default:
        row.texts[size_t(m_index)] = fieldtext::decimalToStorageText(scaled);
        break;
    }
    row.setNull(m_index, false);
    m_dataset->fieldAssigned(*this);
}

void Field::setFloat(double value)
{
    Row &row = m_dataset->rowForWrite(*this);
    switch (m_def.type) {
    case FieldType::Currency:
        std::memcpy(&row.numbers[size_t(m_index)], &value, sizeof value);
        break;
    case FieldType::Decimal:
        row.numbers[size_t(m_index)] = std::llround(value * fieldtext::kDecimalScale);
        break;
    case FieldType::Integer:
        row.numbers[size_t(m_index)] = qint32(std::llround(value));
        break;
    default:
        row.texts[size_t(m_index)] = QString::number(value);
        break;
    }
    row.setNull(m_index, false);
    m_dataset->fieldAssigned(*this);
}

void Field::clear()
{
    Row &row = m_dataset->rowForWrite(*this);
    row.setNull(m_index, true);
    m_dataset->fieldAssigned(*this);
}

} // namespace zarn
