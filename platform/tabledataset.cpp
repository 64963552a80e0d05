#include "tabledataset.h"

#include "connection.h"
#include "errors.h"
#include "statement.h"

#include <sqlite3.h>

namespace zarn {

TableDataset::TableDataset(const QString &objectName, Connection *connection, const QString &tableName,
                           QObject *parent)
    : QObject(parent), m_connection(connection), m_table(tableName)
{
    setObjectName(objectName);
    connect(connection, &Connection::aboutToClose, this, &TableDataset::close);
}

void TableDataset::raise(const QString &message) const
{
    throw DatabaseError(objectName() + QStringLiteral(": ") + message);
}

void TableDataset::checkActive() const
{
    if (!m_active)
        raise(QStringLiteral("无法在关闭的数据集上执行该操作"));
}

void TableDataset::open()
{
    if (m_active)
        return;
    m_connection->open();
    QString name = m_table;
    name.replace(u'"', QStringLiteral("\"\""));
    Statement statement(m_connection->handle(), QStringLiteral("select * from \"%1\"").arg(name));
    sqlite3_stmt *stmt = statement.handle();
    const int columns = sqlite3_column_count(stmt);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    std::vector<std::vector<QVariant>> rows;
    while (statement.step()) {
        std::vector<QVariant> row(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                row[size_t(c)] = qint64(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                row[size_t(c)] = sqlite3_column_double(stmt, c);
                break;
            default:
                row[size_t(c)] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                                                   sqlite3_column_bytes(stmt, c));
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    m_columns = names;
    m_rows = std::move(rows);
    m_current = 0;
    m_eof = m_rows.empty();
    m_active = true;
}

void TableDataset::close()
{
    m_active = false;
    m_rows.clear();
    m_columns.clear();
    m_current = 0;
    m_eof = true;
}

void TableDataset::first()
{
    checkActive();
    m_current = 0;
    m_eof = m_rows.empty();
}

void TableDataset::next()
{
    checkActive();
    if (m_current + 1 < int(m_rows.size()))
        ++m_current;
    else
        m_eof = true;
}

bool TableDataset::eof() const
{
    checkActive();
    return m_eof;
}

int TableDataset::recordCount() const
{
    return m_active ? int(m_rows.size()) : 0;
}

QVariant TableDataset::value(int field) const
{
    checkActive();
    if (field < 0 || field >= m_columns.size())
        raise(QStringLiteral("列表索引越界 (%1)").arg(field));
    if (m_rows.empty())
        return {};
    return m_rows[size_t(m_current)][size_t(field)];
}

QString TableDataset::asString(int field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        throw VariantError(QStringLiteral("不能进行变量转换: 类型 (%1) 到 类型 (%2)")
                               .arg(QStringLiteral("Null"), QStringLiteral("String")));
    return v.toString();
}

bool TableDataset::locate(const QString &column, const QString &value)
{
    checkActive();
    qsizetype field = -1;
    for (qsizetype i = 0; i < m_columns.size() && field < 0; ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            field = i;
    if (field < 0)
        raise(QStringLiteral("未发现字段 '%1'").arg(column));
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QVariant &cell = m_rows[i][size_t(field)];
        if (!cell.isNull() && cell.toString() == value) {
            m_current = int(i);
            m_eof = false;
            return true;
        }
    }
    return false;
}

} // namespace zarn
