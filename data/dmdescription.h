#pragma once

#include "fielddef.h"

#include <QString>

namespace zarn {

// The data module's stored settings: the database file, the ledger view's
// statement and field list, and the user table's name.
struct DataModuleDescription
{
    QString databaseFile;
    QString ledgerSql;
    FieldDefs ledgerFields;
    QString userTable;
};

// Reads the description stored with the program; an unreadable one raises.
DataModuleDescription loadDataModuleDescription(const QString &resourcePath = QStringLiteral(":/dm.json"));

} // namespace zarn
