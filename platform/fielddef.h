#pragma once

#include <QString>
#include <vector>

namespace zarn {

enum class FieldType {
    Text,     // Unicode text with a maximum length in characters
    DateTime, // date with an optional time of day
    Integer,  // 32-bit signed integer
    Decimal,  // fixed-point, four decimals, held scaled by 10,000
    Currency, // double-precision amount (computed fields only)
};

// One field of a dataset's fixed field list.
struct FieldDef
{
    QString name;         // column name; look-ups by name use this
    QString label;        // display label: grid titles and messages
    FieldType type = FieldType::Text;
    int size = 0;         // maximum length of a text field
    int displayWidth = 0; // default grid width in characters
    bool visible = true;  // shown in grids
    bool calculated = false;
    int precision = 0;    // digits of a decimal column (18 or 19)
};

using FieldDefs = std::vector<FieldDef>;

} // namespace zarn
