// Opening zarn.mdb: missing and foreign files, tables that do not fit the
// ledger layout, how values are stored, and sharing the file with another
// process (optimistic locking, waiting for a lock).
#include "connection.h"
#include "dm.h"
#include "errors.h"
#include "querydataset.h"
#include "tabledataset.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <sqlite3.h>
#include <thread>

using namespace zarn;

namespace {

const char *const kColumns[][2] = {
    {"合同号", "varchar(50)"}, {"凭证号", "varchar(50)"}, {"日期", "datetime"},     {"卡号", "varchar(10)"},
    {"序号", "varchar(5)"},    {"产品名称", "varchar(50)"}, {"经手人", "varchar(8)"}, {"数量1", "integer"},
    {"收入", "decimal(19,4)"}, {"数量2", "integer"},        {"收汇", "decimal(19,4)"}, {"汇率", "decimal(18,4)"},
    {"支出", "decimal(19,4)"},
};

// Replaces xmb by a table whose `column` is declared `type` (dropped when
// `type` is empty), with an optional extra clause.
void recreateLedger(const test::LedgerFixture &fixture, const QString &column, const QString &type,
                    const QString &extra = {})
{
    QStringList columns;
    for (const auto &c : kColumns) {
        const QString name = QString::fromUtf8(c[0]);
        if (name != column)
            columns << QStringLiteral("\"%1\" %2").arg(name, QString::fromUtf8(c[1]));
        else if (!type.isEmpty())
            columns << QStringLiteral("\"%1\" %2").arg(name, type);
    }
    if (!extra.isEmpty())
        columns << extra;
    fixture.exec(QStringLiteral("drop table xmb"));
    fixture.exec(QStringLiteral("create table xmb (%1)").arg(columns.join(QStringLiteral(", "))));
}

} // namespace

class TestLedgerStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void missingFileGivesOneErrorPerOpenAndCreatesNothing();
    void foreignFileIsRefused();
    void missingColumnIsRefused();
    void columnTypes_data();
    void columnTypes();
    void decimalsKeepFourPlacesExactly();
    void unreadableDecimalShowsOverflow();
    void userTable();
    void postAfterAnotherProcessDeletedTheRow();
    void postAfterAnotherProcessChangedTheRow();
    void deleteAfterAnotherProcessChangedTheRow();
    void refusedPostKeepsRowPending();
    void waitsForAnotherProcessLock();
};

void TestLedgerStore::missingFileGivesOneErrorPerOpenAndCreatesNothing()
{
    test::LedgerFixture fixture(test::LedgerFixture::File::None);
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QCOMPARE(errors.messages.size(), 3);
    for (const QString &message : errors.messages)
        QVERIFY2(message.startsWith(QStringLiteral("找不到文件 '")) && message.contains(QStringLiteral("zarn.mdb")),
                 qPrintable(message));
    QVERIFY(!dm.ADOConnection1->isOpen());
    QVERIFY(!dm.ADOQuery1->isActive());
    QVERIFY(!dm.ADOTable1->isActive());
    QVERIFY(!QFile::exists(fixture.path()));
    try {
        dm.ADOTable1->locate(QStringLiteral("us"), QStringLiteral("x"));
        QFAIL("look-up on a closed table was not refused");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("ADOTable1: 无法在关闭的数据集上执行该操作"));
    }
    // Another try fails the same way and still creates nothing.
    QVERIFY_THROWS_EXCEPTION(ProviderError, dm.ADOTable1->open());
    QVERIFY(!QFile::exists(fixture.path()));
}

void TestLedgerStore::foreignFileIsRefused()
{
    test::LedgerFixture fixture(test::LedgerFixture::File::None);
    QFile file(fixture.path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray content(4096, 'x');
    file.write(content);
    file.close();
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QCOMPARE(errors.messages.size(), 3);
    for (const QString &message : errors.messages)
        QVERIFY2(message.startsWith(QStringLiteral("不可识别的数据库格式 '")), qPrintable(message));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

void TestLedgerStore::missingColumnIsRefused()
{
    test::LedgerFixture fixture;
    recreateLedger(fixture, QStringLiteral("序号"), QString());
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    // The message names the field by its display label.
    QCOMPARE(errors.messages, QStringList{QStringLiteral("ADOQuery1: 未发现字段 '卡号'")});
    QVERIFY(!dm.ADOQuery1->isActive());
    QVERIFY(dm.ADOTable1->isActive());
}

void TestLedgerStore::columnTypes_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    auto accepted = [](const char *tag, const char *column, const char *type) {
        QTest::newRow(tag) << QString::fromUtf8(column) << QString::fromUtf8(type) << QString();
    };
    auto refused = [](const char *tag, const char *column, const char *type, const char *message) {
        QTest::newRow(tag) << QString::fromUtf8(column) << QString::fromUtf8(type) << QString::fromUtf8(message);
    };
    accepted("text", "合同号", "TEXT");
    accepted("nvarchar", "产品名称", "NVARCHAR(100)");
    accepted("date", "日期", "DATE");
    accepted("smallint", "数量1", "SMALLINT");
    accepted("counter", "数量2", "COUNTER");
    accepted("currency", "收入", "CURRENCY");
    accepted("real", "收汇", "REAL");
    accepted("float", "汇率", "FLOAT");
    accepted("numeric with places", "支出", "NUMERIC(12,2)");
    refused("memo", "合同号", "MEMO", "ADOQuery1: 字段 '合同号' 类型不匹配, 希望类型: WideString, 实际类型: WideMemo");
    refused("text date", "日期", "VARCHAR(20)", "ADOQuery1: 字段 '日期' 类型不匹配, 希望类型: DateTime, 实际类型: WideString");
    refused("bigint", "数量1", "BIGINT", "ADOQuery1: 字段 '入库数量' 类型不匹配, 希望类型: Integer, 实际类型: Largeint");
    refused("decimal without places", "收入", "DECIMAL(10,0)",
            "ADOQuery1: 字段 '入库单价' 类型不匹配, 希望类型: BCD, 实际类型: FMTBcd");
    refused("blob", "汇率", "BLOB", "ADOQuery1: 字段 '汇率' 类型不匹配, 希望类型: BCD, 实际类型: Blob");
    refused("no type", "卡号", "", "ADOQuery1: 未发现字段 '卡号'");
}

void TestLedgerStore::columnTypes()
{
    QFETCH(QString, column);
    QFETCH(QString, type);
    QFETCH(QString, refusal);
    test::LedgerFixture fixture;
    recreateLedger(fixture, column, type);
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QCOMPARE(errors.messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
    QCOMPARE(dm.ADOQuery1->isActive(), refusal.isEmpty());
}

void TestLedgerStore::decimalsKeepFourPlacesExactly()
{
    test::LedgerFixture fixture;
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    const QStringList values = {QStringLiteral("0.1"), QStringLiteral("1234.5678"),
                                QStringLiteral("99999999999.9999"), QStringLiteral("-0.0001"),
                                QStringLiteral("10000000000")};
    for (const QString &value : values) {
        view->insert();
        view->fieldByName(QStringLiteral("收入"))->setText(value);
        view->post();
    }
    view->close();
    view->open();
    QStringList shown;
    for (view->first(); !view->eof(); view->next())
        shown << view->fieldByName(QStringLiteral("收入"))->displayText();
    QCOMPARE(shown, values);
    // Other programs see numbers, not scaled integers.
    QCOMPARE(fixture.query(QStringLiteral("select typeof(\"收入\") from xmb order by rowid")),
             (QStringList{QStringLiteral("real"), QStringLiteral("real"), QStringLiteral("real"),
                          QStringLiteral("real"), QStringLiteral("integer")}));
}

void TestLedgerStore::unreadableDecimalShowsOverflow()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号, 收入, 数量1"), {QStringLiteral("big"), 1e300, 2});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QCOMPARE(dm.ADOQuery1->fieldByName(QStringLiteral("收入"))->displayText(), QStringLiteral("BCD 溢出"));
    QCOMPARE(dm.ADOQuery1->fieldByName(QStringLiteral("合计"))->asFloat(), 0.0);
}

void TestLedgerStore::userTable()
{
    test::LedgerFixture fixture;
    fixture.exec(QStringLiteral("insert into new values ('A', 'a'), ('B', null), (null, 'c'), ('B', 'b2')"));
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    TableDataset *users = dm.ADOTable1;
    QCOMPARE(users->fieldCount(), 2);
    QCOMPARE(users->fieldNames().value(0), QStringLiteral("us"));
    QStringList names;
    users->first();
    names << users->asString(0);
    users->next();
    names << users->asString(0);
    users->next();
    try {
        users->asString(0);
        QFAIL("a Null name was read as text");
    } catch (const VariantError &e) {
        QCOMPARE(e.message(), QStringLiteral("不能进行变量转换: 类型 (Null) 到 类型 (String)"));
    }
    QCOMPARE(names, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QVERIFY(users->locate(QStringLiteral("us"), QStringLiteral("B")));
    QVERIFY(users->value(1).isNull()); // the first B
    QVERIFY(!users->locate(QStringLiteral("us"), QStringLiteral("b")));
    QVERIFY(!users->locate(QStringLiteral("us"), QStringLiteral("B ")));
    QVERIFY(users->value(1).isNull()); // unchanged by a failed look-up
}

void TestLedgerStore::postAfterAnotherProcessDeletedTheRow()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号"), {QStringLiteral("A")});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    fixture.exec(QStringLiteral("delete from xmb"));
    view->edit();
    view->fieldByName(QStringLiteral("凭证号"))->setText(QStringLiteral("V"));
    try {
        view->post();
        QFAIL("a post over a deleted row was not refused");
    } catch (const ProviderError &e) {
        QCOMPARE(e.message(), QStringLiteral("无法为更新定位行。一些值可能已在最后一次读取后已更改"));
    }
    QCOMPARE(view->state(), QueryDataset::State::Edit);
    QCOMPARE(fixture.count(), 0);
}

void TestLedgerStore::postAfterAnotherProcessChangedTheRow()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号, 数量1"), {QStringLiteral("A"), 1});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    fixture.exec(QStringLiteral("update xmb set \"数量1\" = 2"));
    view->edit();
    view->fieldByName(QStringLiteral("凭证号"))->setText(QStringLiteral("V"));
    QVERIFY_THROWS_EXCEPTION(ProviderError, view->post());
    QCOMPARE(fixture.query(QStringLiteral("select \"数量1\", \"凭证号\" from xmb")),
             QStringList{QStringLiteral("2|NULL")});
    // After a reload the row can be changed again.
    view->close();
    view->open();
    view->edit();
    view->fieldByName(QStringLiteral("凭证号"))->setText(QStringLiteral("V"));
    view->post();
    QCOMPARE(fixture.query(QStringLiteral("select \"数量1\", \"凭证号\" from xmb")),
             QStringList{QStringLiteral("2|V")});
}

void TestLedgerStore::deleteAfterAnotherProcessChangedTheRow()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号, 收入"), {QStringLiteral("A"), 1.5});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    fixture.exec(QStringLiteral("update xmb set \"收入\" = 1.75"));
    QVERIFY_THROWS_EXCEPTION(ProviderError, dm.ADOQuery1->remove());
    QCOMPARE(fixture.count(), 1);
    QCOMPARE(dm.ADOQuery1->recordCount(), 1);
}

void TestLedgerStore::refusedPostKeepsRowPending()
{
    test::LedgerFixture fixture;
    recreateLedger(fixture, QString(), QString(), QStringLiteral("check (\"数量1\" >= 0)"));
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    view->insert();
    view->fieldByName(QStringLiteral("数量1"))->setText(QStringLiteral("-5"));
    try {
        view->post();
        QFAIL("the database accepted a refused value");
    } catch (const ProviderError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("CHECK constraint failed")), qPrintable(e.message()));
    }
    QCOMPARE(view->state(), QueryDataset::State::Insert);
    QCOMPARE(view->recordCount(), 1);
    QCOMPARE(view->fieldByName(QStringLiteral("数量1"))->displayText(), QStringLiteral("-5"));
    QCOMPARE(fixture.count(), 0);
    view->fieldByName(QStringLiteral("数量1"))->setText(QStringLiteral("5"));
    view->post();
    QCOMPARE(fixture.query(QStringLiteral("select \"数量1\" from xmb")), QStringList{QStringLiteral("5")});
}

void TestLedgerStore::waitsForAnotherProcessLock()
{
    test::LedgerFixture fixture;
    fixture.addRow(QStringLiteral("合同号"), {QStringLiteral("A")});
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;

    // Another process holds the write lock for a moment: the post waits.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(fixture.path().toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        sqlite3_exec(other, "commit", nullptr, nullptr, nullptr);
    });
    QElapsedTimer timer;
    timer.start();
    view->edit();
    view->fieldByName(QStringLiteral("凭证号"))->setText(QStringLiteral("waited"));
    view->post();
    release.join();
    QVERIFY(timer.elapsed() >= 500);
    QCOMPARE(fixture.query(QStringLiteral("select \"凭证号\" from xmb")), QStringList{QStringLiteral("waited")});

    // A lock that is not released: the post fails after the wait, writing nothing.
    QCOMPARE(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
    view->edit();
    view->fieldByName(QStringLiteral("凭证号"))->setText(QStringLiteral("never"));
    timer.restart();
    QVERIFY_THROWS_EXCEPTION(ProviderError, view->post());
    QVERIFY(timer.elapsed() >= Connection::kBusyTimeoutMs - 500);
    QCOMPARE(view->state(), QueryDataset::State::Edit);
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(fixture.query(QStringLiteral("select \"凭证号\" from xmb")), QStringList{QStringLiteral("waited")});
}

QTEST_GUILESS_MAIN(TestLedgerStore)
#include "tst_ledgerstore.moc"
