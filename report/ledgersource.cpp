#include "ledgersource.h"

#include "field.h"
#include "querydataset.h"

namespace zarn {

LedgerReportSource::LedgerReportSource(QueryDataset *view)
    : m_view(view)
{
}

bool LedgerReportSource::first()
{
    // A closed view prints as a view without rows.
    if (!m_view || !m_view->isActive())
        return false;
    m_view->first(); // settles a pending row first; a refused post ends the run
    return !m_view->eof();
}

void LedgerReportSource::next()
{
    m_view->next();
}

bool LedgerReportSource::eof() const
{
    return !m_view || !m_view->isActive() || m_view->eof();
}

int LedgerReportSource::recordCount() const
{
    return m_view ? m_view->recordCount() : 0;
}

QString LedgerReportSource::text(const QString &field) const
{
    const Field *f = m_view ? m_view->findField(field) : nullptr;
    return f ? f->displayText() : QString(); // a field that cannot be shown prints nothing
}

} // namespace zarn
