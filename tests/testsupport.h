#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <QMetaObject>
#include <memory>

namespace zarn::test {

// A temporary working directory holding a fresh zarn.mdb (unless asked for
// none); the process works in it while the fixture lives.
class LedgerFixture
{
public:
    enum class File { Ledger, None };
    explicit LedgerFixture(File file = File::Ledger);
    ~LedgerFixture();

    QString path() const; // of zarn.mdb
    QString dir() const { return m_dir.path(); }

    // Runs SQL on the file through a connection of its own, as another
    // process would.
    void exec(const QString &sql, const QVariantList &values = {}) const;
    // The rows of a query, each as its columns' texts joined by "|" (Null as "NULL").
    QStringList query(const QString &sql) const;
    qint64 count(const QString &table = QStringLiteral("xmb")) const;

    // Replaces the (empty or not) ledger table by one whose 入库数量 must not
    // be negative, so that the database refuses a post.
    void refuseNegativeStockIn() const;

    // Adds a ledger row; columns are named in `columns`, comma separated.
    void addRow(const QString &columns, const QVariantList &values) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

// Runs the event loop until it has been idle, as between two user actions,
// so that the work done when the application becomes idle runs.
void runUntilIdle();

// Collects what the application's error handler would show.
class ErrorRecorder
{
public:
    ErrorRecorder();
    ~ErrorRecorder();
    QStringList messages;
};

// Answers every message box the application shows with its first button
// (or the one captioned `answer`) and records the box's text.
class MessageBoxCatcher
{
public:
    explicit MessageBoxCatcher(const QString &answer = {});
    ~MessageBoxCatcher();
    void setAnswer(const QString &answer) { m_answer = answer; }
    QStringList texts;
    QStringList captions;

private:
    QString m_answer;
    QMetaObject::Connection m_connection;
};

} // namespace zarn::test
