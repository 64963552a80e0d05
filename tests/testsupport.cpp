#include "testsupport.h"

#include "application.h"
#include "errorhandler.h"
#include "errors.h"
#include "ledgerfile.h"

#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <stdexcept>

namespace zarn::test {

namespace {

// Runs `work` with a fresh connection to `path`, closed afterwards.
template<typename Work>
auto withDatabase(const QString &path, Work work)
{
    const QString name = QUuid::createUuid().toString();
    struct Remover
    {
        QString name;
        ~Remover() { QSqlDatabase::removeDatabase(name); }
    } remover{name};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    return work(db);
}

} // namespace

LedgerFixture::LedgerFixture(File file)
    : m_previousDir(QDir::currentPath())
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory");
    if (file == File::Ledger)
        ledgerfile::create(path());
    QDir::setCurrent(m_dir.path());
}

LedgerFixture::~LedgerFixture()
{
    QDir::setCurrent(m_previousDir);
}

QString LedgerFixture::path() const
{
    return m_dir.filePath(QStringLiteral("zarn.mdb"));
}

void LedgerFixture::exec(const QString &sql, const QVariantList &values) const
{
    withDatabase(path(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.prepare(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw std::runtime_error(q.lastError().text().toStdString());
        return 0;
    });
}

QStringList LedgerFixture::query(const QString &sql) const
{
    return withDatabase(path(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            rows << cells.join(u'|');
        }
        return rows;
    });
}

qint64 LedgerFixture::count(const QString &table) const
{
    return query(QStringLiteral("select count(*) from \"%1\"").arg(table)).value(0).toLongLong();
}

void LedgerFixture::refuseNegativeStockIn() const
{
    exec(QStringLiteral("drop table xmb"));
    exec(QStringLiteral(
        "create table xmb (\"合同号\" varchar(50), \"凭证号\" varchar(50), \"日期\" datetime, \"卡号\" varchar(10),"
        " \"序号\" varchar(5), \"产品名称\" varchar(50), \"经手人\" varchar(8),"
        " \"数量1\" integer check (\"数量1\" >= 0), \"收入\" decimal(19,4), \"数量2\" integer,"
        " \"收汇\" decimal(19,4), \"汇率\" decimal(18,4), \"支出\" decimal(19,4))"));
}

void LedgerFixture::addRow(const QString &columns, const QVariantList &values) const
{
    QStringList quoted;
    for (const QString &c : columns.split(u',', Qt::SkipEmptyParts))
        quoted << u'"' + c.trimmed() + u'"';
    exec(QStringLiteral("insert into xmb (%1) values (%2)")
             .arg(quoted.join(QStringLiteral(", ")),
                  QStringList(quoted.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
         values);
}

void runUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

ErrorRecorder::ErrorRecorder()
{
    setErrorHandler([this](const std::exception &error) {
        const auto *own = dynamic_cast<const Error *>(&error);
        messages << (own ? own->message() : QString::fromLocal8Bit(error.what()));
    });
}

ErrorRecorder::~ErrorRecorder()
{
    setErrorHandler({});
}

MessageBoxCatcher::MessageBoxCatcher(const QString &answer)
    : m_answer(answer)
{
    m_connection = QObject::connect(Application::instance(), &Application::messageBoxAboutToShow,
                                    [this](QMessageBox *box) {
                                        texts << box->text();
                                        captions << box->windowTitle();
                                        QAbstractButton *button = box->buttons().value(0);
                                        for (QAbstractButton *b : box->buttons())
                                            if (b->text() == m_answer)
                                                button = b;
                                        QTimer::singleShot(0, button, &QAbstractButton::click);
                                    });
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    QObject::disconnect(m_connection);
}

} // namespace zarn::test
