#pragma once

#include <QObject>

namespace zarn {

class QueryDataset;
class TableDataset;

// The data link between a window's data-aware controls and a dataset. With
// automatic editing on, a control that starts to change a modifiable field
// puts the browsing dataset's current row into edit through it.
class DataSource final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataSource)

public:
    DataSource(const QString &objectName, QObject *parent);

    QueryDataset *dataset() const { return m_dataset; }
    void setDataset(QueryDataset *dataset);
    // A link to a table that no control shows (the user table).
    TableDataset *table() const { return m_table; }
    void setTable(TableDataset *table) { m_table = table; }
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }

    // Asks for edit before a change; true when the row may now be changed.
    bool edit();

signals:
    void datasetChanged();

private:
    QueryDataset *m_dataset = nullptr;
    TableDataset *m_table = nullptr;
    bool m_autoEdit = true;
};

} // namespace zarn
