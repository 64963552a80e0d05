#pragma once

#include "field.h"
#include "fielddef.h"
#include "recordstore.h"
#include "row.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace zarn {

class Connection;

// A query over one table with a fixed field list and a client-side snapshot:
// opening fetches the whole result; the view then works on the snapshot and
// writes each post and delete to the file at once, row by row. Rows are
// identified by the table's rowid; a post or delete first checks, inside the
// engine's write lock, that nobody changed or deleted the row since the
// snapshot (optimistic locking).
class QueryDataset final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueryDataset)

public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    QueryDataset(const QString &objectName, Connection *connection, const FieldDefs &fields,
                 QObject *parent);
    ~QueryDataset() override;

    // The statement and its bound values. Changing it closes the view first.
    QString sql() const { return m_sql; }
    QVariantList parameters() const { return m_parameters; }
    void setSql(const QString &sql, const QVariantList &parameters = {});

    void open();
    void close();
    bool isActive() const { return m_state != State::Inactive; }

    void first();
    void prior();
    void next();
    void last();
    void moveTo(int position); // settles, then makes the row at `position` current
    void insert();
    void append(); // a new blank row after the last row
    void edit();
    void post();
    void cancel();
    void remove(); // the view's delete

    Field *fieldByName(const QString &name) const; // refuses unknown names
    Field *findField(const QString &name) const;   // nullptr for unknown names
    Field *field(int index) const { return m_fields[size_t(index)].get(); }
    int fieldCount() const { return int(m_fields.size()); }

    int recordCount() const; // rows of the snapshot, a pending new row included
    int currentPosition() const { return m_current; }
    State state() const { return m_state; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const { return recordCount() == 0; }
    bool canModify() const { return isActive() && m_updatable; }
    bool isModified() const { return m_modified; }

    // The row at a position of the view, the pending row in its place.
    Row rowAt(int position) const;
    // The row that fields read without a row argument.
    const Row &activeRow() const;

    // The calculate handler: sets the computed fields of the active row.
    void setCalcHandler(std::function<void()> handler) { m_calcHandler = std::move(handler); }

    // Editors register to hand their changed text over before the pending
    // row is posted or settled. A refusal stops the post.
    void addRecordUpdater(QObject *owner, std::function<void()> updater);
    void updateRecord();

    // Field writes, called by Field.
    Row &rowForWrite(const Field &field);
    void fieldAssigned(const Field &field);

    [[noreturn]] void raise(const QString &message) const; // "name: message"

signals:
    void reset();                 // opened, closed or reloaded
    void rowInserted(int position);
    void rowRemoved(int position);
    void rowChanged(int position); // values of a row changed
    void currentChanged();
    void stateChanged();

private:
    void checkActive() const;
    void settle();
    void beginInsert(bool atEnd);
    void dropPendingRow(); // back to browse, the pending row forgotten (no signals)
    void calculate(Row &row);
    void setState(State state);
    void setCurrent(int position);
    void prepareColumns(sqlite3_stmt *stmt, int firstColumn);
    void readRow(sqlite3_stmt *stmt, const std::vector<int> &columnOfField, Row &row,
                 std::vector<RawText> &texts) const;
    bool rereadStored(qint64 rowid, Row &row) const;
    void bindValue(class Statement &statement, int index, const Row &row, int field) const;
    bool sameStoredValues(const Row &a, const Row &b) const;
    quint32 storeRow(Row row);
    void invalidateCache() { m_cacheId = quint32(-1); }

    Connection *m_connection = nullptr;
    FieldDefs m_defs;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<int> m_storedFields;
    std::vector<int> m_columnOfField; // result column of each stored field
    QString m_sql;
    QVariantList m_parameters;
    QString m_table;          // the table that posts and deletes write to
    bool m_updatable = false; // the result carries rowids of m_table

    RecordStore m_store;
    std::vector<quint32> m_order; // view position -> record id

    State m_state = State::Inactive;
    int m_current = 0;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
    quint64 m_assigned = 0; // fields assigned since the row went pending
    int m_insertPosition = 0;
    Row m_pending;
    Row m_original;

    Row *m_calcRow = nullptr;
    std::function<void()> m_calcHandler;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_updaters;

    mutable Row m_cache;
    mutable quint32 m_cacheId = quint32(-1);
    Row m_blank;
};

} // namespace zarn
