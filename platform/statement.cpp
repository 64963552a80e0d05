#include "statement.h"

#include "errors.h"
#include "fieldtext.h"

#include <sqlite3.h>

namespace zarn {

Statement::Statement(sqlite3 *db, const QString &sql)
    : m_db(db)
{
    if (!db)
        throw ProviderError(QStringLiteral("连接未打开"));
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::fail() const
{
    throw ProviderError(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

void Statement::bindNull(int index)
{
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        fail();
}

void Statement::bindInt64(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        fail();
}

void Statement::bindDouble(int index, double value)
{
    if (sqlite3_bind_double(m_stmt, index, value) != SQLITE_OK)
        fail();
}

void Statement::bindText(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail();
}

void Statement::bindDecimal(int index, qint64 scaled)
{
    if (scaled > fieldtext::kMaxStorableDecimal || scaled < -fieldtext::kMaxStorableDecimal)
        throw ProviderError(QStringLiteral("数值 %1 超出数据库能精确保存的范围")
                                .arg(fieldtext::decimalToStorageText(scaled)));
    if (scaled % fieldtext::kDecimalScale == 0)
        bindInt64(index, scaled / fieldtext::kDecimalScale);
    else
        bindDouble(index, double(scaled) / fieldtext::kDecimalScale);
}

void Statement::bindDate(int index, qint64 dateKey)
{
    bindText(index, fieldtext::dateToStorageText(dateKey));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

WriteTransaction::WriteTransaction(sqlite3 *db)
    : m_db(db)
{
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw ProviderError(QString::fromUtf8(sqlite3_errmsg(db)));
    m_open = true;
}

WriteTransaction::~WriteTransaction()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::commit()
{
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw ProviderError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    m_open = false;
}

} // namespace zarn
