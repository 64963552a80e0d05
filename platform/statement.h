#pragma once

#include <QString>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

namespace zarn {

// A prepared statement of the engine; every failure raises ProviderError
// with the engine's text.
class Statement final
{
    Q_DISABLE_COPY_MOVE(Statement)

public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();

    void bindNull(int index);
    void bindInt64(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString &value);
    // A decimal scaled by 10,000, stored as its number: whole values as
    // integers, others as doubles. Refuses what a double cannot keep exactly.
    void bindDecimal(int index, qint64 scaled);
    void bindDate(int index, qint64 dateKey); // ISO text

    bool step(); // true while a row is available
    void reset();

    sqlite3_stmt *handle() const { return m_stmt; }
    sqlite3 *db() const { return m_db; }

private:
    [[noreturn]] void fail() const;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

// Runs a statement in the engine's immediate transaction; rolls it back
// unless commit() was called.
class WriteTransaction final
{
    Q_DISABLE_COPY_MOVE(WriteTransaction)

public:
    explicit WriteTransaction(sqlite3 *db);
    ~WriteTransaction();
    void commit();

private:
    sqlite3 *m_db = nullptr;
    bool m_open = false;
};

} // namespace zarn
