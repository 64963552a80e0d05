#include "ledgerfile.h"

#include "errors.h"
#include "fieldtext.h"
#include "statement.h"

#include <QDate>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>

namespace zarn::ledgerfile {

namespace {

const char *const kSchema = R"sql(
create table xmb (
    "合同号"   varchar(50),
    "凭证号"   varchar(50),
    "日期"     datetime,
    "卡号"     varchar(10),
    "序号"     varchar(5),
    "产品名称" varchar(50),
    "经手人"   varchar(8),
    "数量1"    integer,
    "收入"     decimal(19,4),
    "数量2"    integer,
    "收汇"     decimal(19,4),
    "汇率"     decimal(18,4),
    "支出"     decimal(19,4)
);
create index "xmb_合同号" on xmb ("合同号");
create table new (
    us    varchar(50),
    "密码" varchar(50)
);
)sql";

struct Closer
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, Closer>;

Database openExisting(const QString &path)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Database owner(db);
    if (rc != SQLITE_OK)
        throw ProviderError(QStringLiteral("无法打开 %1：%2").arg(path, QString::fromUtf8(sqlite3_errmsg(db))));
    sqlite3_busy_timeout(db, 5000);
    return owner;
}

void exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        throw ProviderError(text);
    }
}

struct LedgerRow
{
    QString contract, voucher;
    QDate date;
    QString card, serial, product, handler;
    qint32 quantityIn = 0;
    qint64 priceIn = 0; // scaled
    qint32 quantitySold = 0;
    qint64 receiptsUsd = 0, rate = 0, salesPrice = 0; // scaled
};

const char *const kInsertRow =
    "insert into xmb (\"合同号\", \"凭证号\", \"日期\", \"卡号\", \"序号\", \"产品名称\", \"经手人\", "
    "\"数量1\", \"收入\", \"数量2\", \"收汇\", \"汇率\", \"支出\") values (?,?,?,?,?,?,?,?,?,?,?,?,?)";

void insertRow(Statement &insert, const LedgerRow &row)
{
    insert.reset();
    insert.bindText(1, row.contract);
    insert.bindText(2, row.voucher);
    insert.bindDate(3, fieldtext::dateKey(row.date));
    insert.bindText(4, row.card);
    insert.bindText(5, row.serial);
    insert.bindText(6, row.product);
    insert.bindText(7, row.handler);
    insert.bindInt64(8, row.quantityIn);
    insert.bindDecimal(9, row.priceIn);
    insert.bindInt64(10, row.quantitySold);
    insert.bindDecimal(11, row.receiptsUsd);
    insert.bindDecimal(12, row.rate);
    insert.bindDecimal(13, row.salesPrice);
    insert.step();
}

struct Product
{
    const char *name;
    qint64 priceYuan; // per ton, around this
};

const Product kProducts[] = {
    {"热轧卷板 Q235B 5.75*1500", 3850},  {"冷轧钢板 SPCC 1.0*1250", 4620},
    {"镀锌板卷 DX51D+Z 0.5*1000", 5180}, {"螺纹钢 HRB400E Φ20", 3720},
    {"不锈钢冷轧卷 304/2B", 15400},      {"电解铜 1# Cu-CATH-1", 68900},
    {"铝锭 A00 99.70%", 18650},           {"锌锭 0# Zn99.995", 21300},
    {"中厚板 Q345B 20mm", 4150},          {"无缝钢管 20# Φ89*6", 5560},
    {"高速线材 HPB300 Φ8", 3890},         {"硅钢片 50W470", 6730},
};
const char *const kHandlers[] = {"张伟", "李娜", "王强", "刘洋", "陈静", "赵磊"};

// splitmix64: small, fast and the same everywhere.
struct Random
{
    quint64 state;
    quint64 next()
    {
        quint64 z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    qint64 between(qint64 low, qint64 high) { return low + qint64(next() % quint64(high - low + 1)); }
};

// A row of the given contract; the contract decides the product.
LedgerRow makeRow(Random &random, qint64 index, qint64 contract)
{
    LedgerRow row;
    const Product &product = kProducts[contract % std::size(kProducts)];
    row.date = QDate(2019, 1, 1).addDays(random.between(0, 6 * 365));
    row.contract = QStringLiteral("KS%1-%2").arg(row.date.year()).arg(contract, 5, 10, QChar(u'0'));
    row.voucher = QStringLiteral("记-%1").arg(index % 100000 + 1, 5, 10, QChar(u'0'));
    row.card = QStringLiteral("C%1").arg(random.between(1000, 9999));
    row.serial = QString::number(index % 100000);
    row.product = QString::fromUtf8(product.name);
    row.handler = QString::fromUtf8(kHandlers[random.next() % std::size(kHandlers)]);
    row.quantityIn = qint32(random.between(5, 800));
    row.priceIn = (product.priceYuan * 10000 * random.between(900, 1100)) / 1000 / 100 * 100;
    row.quantitySold = qint32(random.between(0, row.quantityIn + 40));
    row.salesPrice = row.priceIn + random.between(-200, 900) * 10000 + random.between(0, 99) * 100;
    row.rate = random.between(63000, 73500);
    row.receiptsUsd = (row.salesPrice * row.quantitySold / row.rate) * 10000 / 100 * 100;
    return row;
}

} // namespace

void create(const QString &path)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("%1 已存在，不会覆盖").arg(path));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                   nullptr);
    Database owner(db);
    if (rc != SQLITE_OK)
        throw ProviderError(QStringLiteral("无法创建 %1：%2").arg(path, QString::fromUtf8(sqlite3_errmsg(db))));
    exec(db, "begin");
    exec(db, kSchema);
    exec(db, "commit");
}

void addUser(const QString &path, const QString &name, const QString &password)
{
    Database db = openExisting(path);
    Statement insert(db.get(), QStringLiteral("insert into new (us, \"密码\") values (?, ?)"));
    insert.bindText(1, name);
    if (password.isNull())
        insert.bindNull(2);
    else
        insert.bindText(2, password);
    insert.step();
}

void addDemoData(const QString &path)
{
    addUser(path, QString::fromUtf8(kDemoUser), QString::fromUtf8(kDemoPassword));
    addUser(path, QStringLiteral("张会计"), QStringLiteral("1234"));
    Database db = openExisting(path);
    exec(db.get(), "begin");
    {
        Statement insert(db.get(), QString::fromUtf8(kInsertRow));
        Random random{20240305};
        for (int i = 0; i < 36; ++i) {
            LedgerRow row = makeRow(random, i, i / 3 + 1);
            row.date = QDate(2024, 1, 3).addDays(i * 9 + int(random.between(0, 5)));
            row.contract = QStringLiteral("KS2024-%1").arg(i / 3 + 1, 3, 10, QChar(u'0'));
            insertRow(insert, row);
        }
    }
    exec(db.get(), "commit");
}

void addSyntheticRows(const QString &path, qint64 count, quint64 seed,
                      void (*progress)(qint64 written, qint64 total))
{
    Database db = openExisting(path);
    exec(db.get(), "begin");
    {
        Statement insert(db.get(), QString::fromUtf8(kInsertRow));
        Random random{seed};
        const qint64 contracts = std::max<qint64>(1, count / 20);
        for (qint64 i = 0; i < count; ++i) {
            insertRow(insert, makeRow(random, i, random.between(1, contracts)));
            if (progress && (i + 1) % 100000 == 0)
                progress(i + 1, count);
        }
    }
    exec(db.get(), "commit");
}

} // namespace zarn::ledgerfile
