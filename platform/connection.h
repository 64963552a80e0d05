#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace zarn {

// The connection to the database file. The file is named without a directory
// and looked up in the working directory when the connection opens. It is
// opened read-write and shared; it is never created.
class Connection final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Connection)

public:
    Connection(const QString &objectName, const QString &fileName, QObject *parent);
    ~Connection() override;

    // How long a statement waits for another process's lock before failing.
    static constexpr int kBusyTimeoutMs = 5000;

    void open(); // throws ProviderError with the engine's text
    void close();
    bool isOpen() const;
    QString fileName() const { return m_fileName; }

    // The engine's own handle, for the bulk fetch and the row writes.
    sqlite3 *handle() const;
    // Runs a statement that returns no rows.
    void exec(const char *sql);

signals:
    void aboutToClose();

private:
    QString m_fileName;
    QString m_connectionName;
    sqlite3 *m_handle = nullptr;
};

} // namespace zarn
