#pragma once

#include "fielddef.h"
#include "row.h"

#include <QString>
#include <limits>

namespace zarn {

class QueryDataset;

// A stored decimal that could not be read into the scaled range shows as
// "BCD 溢出"; it is marked with the one value that no assignment produces.
inline constexpr qint64 kDecimalOverflow = std::numeric_limits<qint64>::min();

// One field of a dataset's field list. Without a row argument it reads and
// writes the dataset's active row: the current row, the pending row in edit
// or insert, or the row being calculated.
class Field final
{
public:
    Field(QueryDataset *dataset, int index, FieldDef def);

    const FieldDef &def() const { return m_def; }
    const QString &name() const { return m_def.name; }
    const QString &label() const { return m_def.label; }
    FieldType type() const { return m_def.type; }
    int index() const { return m_index; }
    bool isCalculated() const { return m_def.calculated; }
    bool isNumeric() const { return m_def.type != FieldType::Text && m_def.type != FieldType::DateTime; }
    // Whether the user may change the field: stored, and the view modifiable.
    bool canModify() const;

    bool isNull() const;
    QString displayText() const;
    QString editText() const;
    qint32 asInteger() const;  // Null reads as 0
    qint64 asCurrency() const; // scaled by 10,000; Null reads as 0
    double asFloat() const;    // Null reads as 0

    // Assignments to the pending row (edit or insert) or, for a computed
    // field, to the row being calculated.
    void setText(const QString &text); // the text rules; refusals raise ConvertError
    void setInteger(qint32 value);
    void setCurrency(qint64 scaled);
    void setFloat(double value);
    void clear(); // makes the field Null

    // The same readings for any row, for grids and the report.
    bool isNull(const Row &row) const { return row.isNull(m_index); }
    QString displayText(const Row &row) const;
    QString editText(const Row &row) const;
    qint32 asInteger(const Row &row) const;
    qint64 asCurrency(const Row &row) const;
    double asFloat(const Row &row) const;

    // Text rules without a dataset: what a text would store, or the refusal.
    // Used by editors that check characters before handing text over.
    void assignText(Row &row, const QString &text) const;

private:
    const Row &activeRow() const;

    QueryDataset *m_dataset = nullptr;
    int m_index = 0;
    FieldDef m_def;
};

} // namespace zarn
