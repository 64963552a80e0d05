#pragma once

#include "quickreport.h"

namespace zarn {

class QueryDataset;

// The ledger report: the stored template of the landscape A4 ledger bound
// to the ledger view. Everything it prints comes from the template and the
// rows of the view.
class Tqr1 final : public QuickReport
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tqr1)

public:
    Tqr1(QueryDataset *view, QObject *owner);

    // The template as stored with the program, read once per process.
    static std::shared_ptr<const ReportTemplate> storedTemplate();
};

} // namespace zarn
