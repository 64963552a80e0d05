#include "datasource.h"

#include "querydataset.h"

namespace zarn {

DataSource::DataSource(const QString &objectName, QObject *parent)
    : QObject(parent)
{
    setObjectName(objectName);
}

void DataSource::setDataset(QueryDataset *dataset)
{
    m_dataset = dataset;
    emit datasetChanged();
}

bool DataSource::edit()
{
    if (!m_dataset || !m_dataset->isActive())
        return false;
    using State = QueryDataset::State;
    if (m_dataset->state() == State::Browse && m_autoEdit)
        m_dataset->edit();
    return m_dataset->state() == State::Edit || m_dataset->state() == State::Insert;
}

} // namespace zarn
