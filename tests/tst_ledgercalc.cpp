// The five computed amounts of a ledger row: the formulas, exact decimal
// arithmetic, and Null inputs through the ledger view.
#include "dm.h"
#include "ledgercalc.h"
#include "querydataset.h"
#include "testsupport.h"

#include <QTest>
#include <limits>

using namespace zarn;

class TestLedgerCalc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void formulas_data();
    void formulas();
    void productIsFormedOnScaledIntegers();
    void balanceQuantityWrapsLikeThe32BitMachine();
    void nullStoredRowGivesZeros();
    void newRowStaysBlankUntilFirstAssignment();
    void amountsFollowAssignedValues();
};

void TestLedgerCalc::formulas_data()
{
    QTest::addColumn<int>("q1");
    QTest::addColumn<qint64>("priceIn");
    QTest::addColumn<int>("q2");
    QTest::addColumn<qint64>("priceOut");
    QTest::addColumn<qint64>("usd");
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("sales");
    QTest::addColumn<int>("balanceQty");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("profit");
    QTest::newRow("worked example") << 10 << qint64(12345000) << 4 << qint64(15000000) << qint64(10000000)
                                    << qint64(82765) << 12345.0 << 8276.5 << 6 << 7407.0 << 1062.0;
    QTest::newRow("all zero") << 0 << qint64(0) << 0 << qint64(0) << qint64(0) << qint64(0) << 0.0 << 0.0 << 0
                              << 0.0 << 0.0;
    QTest::newRow("no sales price: loss") << 5 << qint64(20000) << 3 << qint64(0) << qint64(0) << qint64(0)
                                          << 10.0 << 0.0 << 2 << 4.0 << -6.0;
    QTest::newRow("sold more than taken in") << 2 << qint64(10000) << 5 << qint64(30000) << qint64(0)
                                             << qint64(0) << 2.0 << 0.0 << -3 << -3.0 << 10.0;
    QTest::newRow("negative quantity") << -4 << qint64(25000) << 0 << qint64(0) << qint64(0) << qint64(0)
                                       << -10.0 << 0.0 << -4 << -10.0 << 0.0;
}

void TestLedgerCalc::formulas()
{
    QFETCH(int, q1);
    QFETCH(qint64, priceIn);
    QFETCH(int, q2);
    QFETCH(qint64, priceOut);
    QFETCH(qint64, usd);
    QFETCH(qint64, rate);
    QFETCH(double, total);
    QFETCH(double, sales);
    QFETCH(int, balanceQty);
    QFETCH(double, balance);
    QFETCH(double, profit);
    const LedgerAmounts a = computeLedgerAmounts(q1, priceIn, q2, priceOut, usd, rate);
    // Exact comparisons: each amount must be the double nearest its decimal.
    QVERIFY2(a.stockInAmount == total, qPrintable(QString::number(a.stockInAmount, 'g', 17)));
    QVERIFY2(a.salesAmount == sales, qPrintable(QString::number(a.salesAmount, 'g', 17)));
    QCOMPARE(a.balanceQuantity, balanceQty);
    QVERIFY2(a.balanceAmount == balance, qPrintable(QString::number(a.balanceAmount, 'g', 17)));
    QVERIFY2(a.grossProfit == profit, qPrintable(QString::number(a.grossProfit, 'g', 17)));
}

void TestLedgerCalc::productIsFormedOnScaledIntegers()
{
    // 3 × 0.1: the double nearest 0.3, not 3 × the double 0.1.
    const LedgerAmounts a = computeLedgerAmounts(3, 1000, 0, 0, 0, 0);
    QVERIFY(a.stockInAmount == 0.3);
    QVERIFY(a.stockInAmount != 3 * 0.1);
    // Both scales divided out at once: 0.0001 × 0.0001.
    const LedgerAmounts tiny = computeLedgerAmounts(0, 0, 0, 0, 1, 1);
    QVERIFY(tiny.salesAmount == 1e-8);
    // 1.1 × 1.1 dollars at the rate: exactly 1.21.
    const LedgerAmounts rate = computeLedgerAmounts(0, 0, 0, 0, 11000, 11000);
    QVERIFY(rate.salesAmount == 1.21);
    // The largest inputs stay finite.
    const qint64 largest = std::numeric_limits<qint64>::max();
    const LedgerAmounts big = computeLedgerAmounts(std::numeric_limits<qint32>::max(), largest, 0, 0, largest, largest);
    QVERIFY(std::isfinite(big.stockInAmount) && std::isfinite(big.salesAmount));
}

void TestLedgerCalc::balanceQuantityWrapsLikeThe32BitMachine()
{
    const qint32 lowest = std::numeric_limits<qint32>::min();
    const LedgerAmounts a = computeLedgerAmounts(lowest, 10000, 1, 0, 0, 0);
    QCOMPARE(a.balanceQuantity, std::numeric_limits<qint32>::max());
    QVERIFY(a.balanceAmount == double(std::numeric_limits<qint32>::max()));
}

void TestLedgerCalc::nullStoredRowGivesZeros()
{
    test::LedgerFixture fixture;
    fixture.exec(QStringLiteral("insert into xmb default values"));
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QVERIFY2(errors.messages.isEmpty(), qPrintable(errors.messages.join(u'\n')));
    QueryDataset *view = dm.ADOQuery1;
    QCOMPARE(view->recordCount(), 1);
    for (const char *name : {"合计", "销售金额", "结存数量", "结存金额", "毛利"}) {
        Field *field = view->fieldByName(QString::fromUtf8(name));
        QVERIFY2(!field->isNull(), name);
        QCOMPARE(field->asFloat(), 0.0);
    }
    QCOMPARE(view->fieldByName(QStringLiteral("合计"))->displayText(), QStringLiteral("¥0.00"));
    QCOMPARE(view->fieldByName(QStringLiteral("结存数量"))->displayText(), QStringLiteral("0"));
}

void TestLedgerCalc::newRowStaysBlankUntilFirstAssignment()
{
    test::LedgerFixture fixture;
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    view->insert();
    for (const char *name : {"合计", "销售金额", "结存数量", "结存金额", "毛利"}) {
        QVERIFY2(view->fieldByName(QString::fromUtf8(name))->isNull(), name);
        QCOMPARE(view->fieldByName(QString::fromUtf8(name))->displayText(), QString());
    }
    view->fieldByName(QStringLiteral("合同号"))->setText(QStringLiteral("KS-1"));
    for (const char *name : {"合计", "销售金额", "结存数量", "结存金额", "毛利"})
        QVERIFY2(!view->fieldByName(QString::fromUtf8(name))->isNull(), name);
    QCOMPARE(view->fieldByName(QStringLiteral("毛利"))->asFloat(), 0.0);
}

void TestLedgerCalc::amountsFollowAssignedValues()
{
    test::LedgerFixture fixture;
    test::ErrorRecorder errors;
    Tdm2 dm(nullptr);
    QueryDataset *view = dm.ADOQuery1;
    view->insert();
    auto set = [&](const char *name, const char *text) {
        view->fieldByName(QString::fromUtf8(name))->setText(QString::fromUtf8(text));
    };
    set("数量1", "10");
    set("收入", "1234.5");
    set("数量2", "4");
    set("支出", "1500");
    set("收汇", "1000");
    set("汇率", "8.2765");
    auto amount = [&](const char *name) { return view->fieldByName(QString::fromUtf8(name))->asFloat(); };
    QVERIFY(amount("合计") == 12345.0);
    QVERIFY(amount("销售金额") == 8276.5);
    QVERIFY(amount("结存数量") == 6.0);
    QVERIFY(amount("结存金额") == 7407.0);
    QVERIFY(amount("毛利") == 1062.0);
    QCOMPARE(view->fieldByName(QStringLiteral("合计"))->displayText(), QStringLiteral("¥12,345.00"));
    QCOMPARE(view->fieldByName(QStringLiteral("合计"))->editText(), QStringLiteral("12345.00"));
    // The amounts of the posted row are the same when read back from the file.
    view->post();
    view->close();
    view->open();
    QVERIFY(amount("毛利") == 1062.0);
    QVERIFY(amount("销售金额") == 8276.5);
}

QTEST_GUILESS_MAIN(TestLedgerCalc)
#include "tst_ledgercalc.moc"
