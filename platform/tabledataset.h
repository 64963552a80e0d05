#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace zarn {

class Connection;

// A read-only view of a whole table, fields in the table's column order,
// fetched into memory when it opens.
class TableDataset final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TableDataset)

public:
    TableDataset(const QString &objectName, Connection *connection, const QString &tableName,
                 QObject *parent);

    void open();
    void close();
    bool isActive() const { return m_active; }

    void first();
    void next();
    bool eof() const;
    int recordCount() const;

    int fieldCount() const { return int(m_columns.size()); }
    QStringList fieldNames() const { return m_columns; }
    QVariant value(int field) const;    // of the current row; a null QVariant for Null
    QString asString(int field) const;  // refuses Null

    // Makes current the first row whose column equals the whole value and
    // returns true; returns false and leaves the current row otherwise.
    bool locate(const QString &column, const QString &value);

private:
    [[noreturn]] void raise(const QString &message) const;
    void checkActive() const;

    Connection *m_connection = nullptr;
    QString m_table;
    bool m_active = false;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    int m_current = 0;
    bool m_eof = true;
};

} // namespace zarn
