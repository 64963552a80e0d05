#pragma once

#include <QString>

namespace zarn {

class QueryDataset;

// The statements that reload the ledger view. The searched value is a bound
// parameter, never part of the statement's text; the column must be one of
// the ledger's stored columns and is quoted as a name.
void searchLedger(QueryDataset *view, const QString &column, const QString &value);
void showWholeLedger(QueryDataset *view);

// Removes blanks and control characters (codes up to 32) from both ends; an
// ideographic blank stays.
QString trimmedText(const QString &text);

} // namespace zarn
