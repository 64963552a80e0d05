#include "datasetmodel.h"

#include "datasource.h"
#include "field.h"
#include "querydataset.h"

namespace zarn {

DatasetModel::DatasetModel(DataSource *source, QObject *parent)
    : QAbstractTableModel(parent), m_source(source)
{
    connect(source, &DataSource::datasetChanged, this, &DatasetModel::attach);
    attach();
}

QueryDataset *DatasetModel::dataset() const
{
    return m_source ? m_source->dataset() : nullptr;
}

void DatasetModel::attach()
{
    beginResetModel();
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_columns.clear();
    m_cachedPosition = -1;
    if (QueryDataset *ds = dataset()) {
        for (int i = 0; i < ds->fieldCount(); ++i)
            if (ds->field(i)->def().visible)
                m_columns.push_back(ds->field(i));
        auto forget = [this] { m_cachedPosition = -1; };
        // The dataset reports after the fact; the model follows at once.
        m_connections << connect(ds, &QueryDataset::reset, this, [this, forget] {
            forget();
            beginResetModel();
            endResetModel();
        });
        m_connections << connect(ds, &QueryDataset::rowInserted, this, [this, forget](int position) {
            forget();
            beginInsertRows({}, position, position);
            endInsertRows();
        });
        m_connections << connect(ds, &QueryDataset::rowRemoved, this, [this, forget](int position) {
            forget();
            beginRemoveRows({}, position, position);
            endRemoveRows();
        });
        m_connections << connect(ds, &QueryDataset::rowChanged, this, [this, forget](int position) {
            forget();
            emit dataChanged(index(position, 0), index(position, columnCount() - 1));
        });
        auto indicator = [this, forget] {
            forget();
            if (rowCount() > 0)
                emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        };
        m_connections << connect(ds, &QueryDataset::stateChanged, this, indicator);
        m_connections << connect(ds, &QueryDataset::currentChanged, this, indicator);
    }
    endResetModel();
}

Field *DatasetModel::fieldAt(int column) const
{
    return column >= 0 && column < int(m_columns.size()) ? m_columns[size_t(column)] : nullptr;
}

int DatasetModel::columnOf(const Field *field) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i] == field)
            return int(i);
    return -1;
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    const QueryDataset *ds = dataset();
    return parent.isValid() || !ds ? 0 : ds->recordCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

const Row &DatasetModel::rowAt(int position) const
{
    // A view asks for a row's cells one after the other: keep the last row.
    if (position != m_cachedPosition) {
        m_cache = dataset()->rowAt(position);
        m_cachedPosition = position;
    }
    return m_cache;
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    const Field *field = fieldAt(index.column());
    if (!index.isValid() || !field || !dataset())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return field->displayText(rowAt(index.row()));
    case Qt::EditRole:
        return field->editText(rowAt(index.row()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (field->isNumeric() ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        const Field *field = fieldAt(section);
        if (role == Qt::DisplayRole && field)
            return field->label().isEmpty() ? field->name() : field->label();
        return {};
    }
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (const Field *field = fieldAt(index.column()); field && field->canModify())
        flags |= Qt::ItemIsEditable;
    return flags;
}

} // namespace zarn
