#include "report.h"

#include "ledgersource.h"

namespace zarn {

std::shared_ptr<const ReportTemplate> Tqr1::storedTemplate()
{
    return std::make_shared<const ReportTemplate>(ReportTemplate::fromResource(QStringLiteral(":/report.json")));
}

Tqr1::Tqr1(QueryDataset *view, QObject *owner)
    : QuickReport(storedTemplate(), std::make_unique<LedgerReportSource>(view), owner)
{
    setObjectName(QStringLiteral("qr1"));
}

} // namespace zarn
