#include "connection.h"

#include "errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>

namespace zarn {

Connection::Connection(const QString &objectName, const QString &fileName, QObject *parent)
    : QObject(parent), m_fileName(fileName),
      m_connectionName(objectName + u'-' + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    setObjectName(objectName);
}

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    if (isOpen())
        return;
    const QString path = QDir::current().absoluteFilePath(m_fileName);
    // The engine would create a missing file; the system never does.
    if (!QFileInfo(path).isFile())
        throw ProviderError(QStringLiteral("找不到文件 '%1'").arg(QDir::toNativeSeparators(path)));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(QStringLiteral("file:")
                       + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
                       + QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    auto fail = [&](const QString &message) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        m_handle = nullptr;
        throw ProviderError(message);
    };
    if (!db.open())
        fail(QStringLiteral("无法打开数据库 '%1'：%2").arg(QDir::toNativeSeparators(path), db.lastError().driverText()));

    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    if (!m_handle)
        fail(QStringLiteral("数据库驱动程序不可用"));

    // The engine reads the header lazily: touch the schema so that a file of
    // another kind is refused now, not at the first statement.
    if (sqlite3_exec(m_handle, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(m_handle);
        const QString engineText = QString::fromUtf8(sqlite3_errmsg(m_handle));
        db.close();
        if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
            fail(QStringLiteral("不可识别的数据库格式 '%1'").arg(QDir::toNativeSeparators(path)));
        fail(QStringLiteral("无法打开数据库 '%1'：%2").arg(QDir::toNativeSeparators(path), engineText));
    }
}

void Connection::close()
{
    if (!isOpen())
        return;
    emit aboutToClose();
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool Connection::isOpen() const
{
    return m_handle != nullptr;
}

sqlite3 *Connection::handle() const
{
    return m_handle;
}

void Connection::exec(const char *sql)
{
    if (!m_handle)
        throw ProviderError(QStringLiteral("连接未打开"));
    char *message = nullptr;
    if (sqlite3_exec(m_handle, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(m_handle));
        sqlite3_free(message);
        throw ProviderError(text);
    }
}

} // namespace zarn
