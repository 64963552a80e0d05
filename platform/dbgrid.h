#pragma once

#include <QPointer>
#include <QTableView>

namespace zarn {

class DataSource;
class DatasetModel;

// A data-aware grid over a data source's dataset: one column per
// grid-visible field, an indicator column marking the current row (a
// triangle; "I" in edit, "*" in insert), cell editing with the entry page's
// rules, and the dataset's keys: Insert, the down arrow past the last row,
// Escape, Ctrl+Delete with a confirmation. It follows the dataset's current
// row and moves it when the user moves.
class DBGrid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBGrid)

public:
    explicit DBGrid(QWidget *parent = nullptr);
    ~DBGrid() override;

    void setDataSource(DataSource *source);
    DatasetModel *datasetModel() const { return m_model; }

    // Default width of a column: display width × the width of "0" + 4, or
    // the title's width + 4 when that is more.
    int defaultColumnWidth(int column) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followDataset();
    void applyColumnWidths();
    bool isEditingCell() const;

    QPointer<DataSource> m_source;
    DatasetModel *m_model = nullptr;
    bool m_following = false; // the view moves because the dataset moved
};

} // namespace zarn
