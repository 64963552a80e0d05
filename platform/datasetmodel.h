#pragma once

#include "row.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

namespace zarn {

class DataSource;
class Field;
class QueryDataset;

// The rows of a data source's dataset as a table of its grid-visible
// fields. Nothing is copied: cells are read from the dataset's snapshot
// when a view asks for them, so a million-row ledger costs nothing here.
class DatasetModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DatasetModel)

public:
    DatasetModel(DataSource *source, QObject *parent);

    QueryDataset *dataset() const;
    Field *fieldAt(int column) const;
    int columnOf(const Field *field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void attach();
    const Row &rowAt(int position) const;

    QPointer<DataSource> m_source;
    std::vector<Field *> m_columns;
    QList<QMetaObject::Connection> m_connections;
    mutable Row m_cache;
    mutable int m_cachedPosition = -1;
};

} // namespace zarn
