#pragma once

#include "reportlayout.h"

#include <QPointer>

namespace zarn {

class QueryDataset;

// The ledger view as the report reads it: first, next, the end flag, the
// row count and the display texts of the current row.
class LedgerReportSource final : public ReportDataSource
{
public:
    explicit LedgerReportSource(QueryDataset *view);

    bool first() override;
    void next() override;
    bool eof() const override;
    int recordCount() const override;
    QString text(const QString &field) const override;

private:
    QPointer<QueryDataset> m_view;
};

} // namespace zarn
