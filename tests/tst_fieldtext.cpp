// The text rules of the ledger's field types: display, edit and read-back.
#include "fieldtext.h"

#include <QTest>

using namespace zarn;
using namespace zarn::fieldtext;

class TestFieldText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    void decimalDisplay_data();
    void decimalDisplay();
    void decimalParse_data();
    void decimalParse();
    void decimalUsesLocaleSeparator();
    void integerParse_data();
    void integerParse();
    void currencyDisplay_data();
    void currencyDisplay();
    void dateParse_data();
    void dateParse();
    void dateDisplay();
    void storageDate_data();
    void storageDate();
};

void TestFieldText::decimalDisplay_data()
{
    QTest::addColumn<qint64>("scaled");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << qint64(120000) << QStringLiteral("12");
    QTest::newRow("trailing zeros dropped") << qint64(25000) << QStringLiteral("2.5");
    QTest::newRow("four places") << qint64(31416) << QStringLiteral("3.1416");
    QTest::newRow("small") << qint64(1) << QStringLiteral("0.0001");
    QTest::newRow("negative") << qint64(-12345) << QStringLiteral("-1.2345");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0");
    QTest::newRow("no grouping") << qint64(12345678900000) << QStringLiteral("1234567890");
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << QStringLiteral("922337203685477.5807");
}

void TestFieldText::decimalDisplay()
{
    QFETCH(qint64, scaled);
    QFETCH(QString, text);
    QCOMPARE(formatDecimal(scaled, locale()), text);
}

void TestFieldText::decimalParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("scaled");
    QTest::newRow("rounded to four places") << QStringLiteral("3.14159") << true << qint64(31416);
    QTest::newRow("2.50") << QStringLiteral("2.50") << true << qint64(25000);
    QTest::newRow("tie to even down") << QStringLiteral("0.00005") << true << qint64(0);
    QTest::newRow("tie to even up") << QStringLiteral("0.00015") << true << qint64(2);
    QTest::newRow("above tie") << QStringLiteral("0.000051") << true << qint64(1);
    QTest::newRow("negative") << QStringLiteral("-1234.5") << true << qint64(-12345000);
    QTest::newRow("plus sign") << QStringLiteral("+7") << true << qint64(70000);
    QTest::newRow("leading point") << QStringLiteral(".5") << true << qint64(5000);
    QTest::newRow("exponent") << QStringLiteral("1.5E3") << true << qint64(15000000);
    QTest::newRow("blanks around") << QStringLiteral(" 8.2765 ") << true << qint64(82765);
    QTest::newRow("exact beyond a double") << QStringLiteral("922337203685477.5807") << true
                                           << std::numeric_limits<qint64>::max();
    QTest::newRow("out of range") << QStringLiteral("922337203685477.5808") << false << qint64(0);
    QTest::newRow("letters") << QStringLiteral("12a") << false << qint64(0);
    QTest::newRow("two points") << QStringLiteral("1.2.3") << false << qint64(0);
    QTest::newRow("grouping") << QStringLiteral("1,234") << false << qint64(0);
    QTest::newRow("sign only") << QStringLiteral("-") << false << qint64(0);
    QTest::newRow("empty exponent") << QStringLiteral("1e") << false << qint64(0);
}

void TestFieldText::decimalParse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, scaled);
    const auto value = parseDecimal(text, locale());
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, scaled);
}

void TestFieldText::decimalUsesLocaleSeparator()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(formatDecimal(25000, german), QStringLiteral("2,5"));
    QCOMPARE(parseDecimal(QStringLiteral("2,5"), german), std::optional<qint64>(25000));
    QVERIFY(!parseDecimal(QStringLiteral("2.5"), german));
}

void TestFieldText::integerParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << QStringLiteral("10") << true << 10;
    QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
    QTest::newRow("plus") << QStringLiteral("+5") << true << 5;
    QTest::newRow("largest") << QStringLiteral("2147483647") << true << 2147483647;
    QTest::newRow("smallest") << QStringLiteral("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("too large") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("decimal") << QStringLiteral("12.3") << false << 0;
    QTest::newRow("letter") << QStringLiteral("1x") << false << 0;
    QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
}

void TestFieldText::integerParse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const auto parsed = parseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestFieldText::currencyDisplay_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("edit");
    QTest::newRow("whole") << 12345.0 << QStringLiteral("¥12,345.00") << QStringLiteral("12345.00");
    QTest::newRow("half cent rounds up") << 0.125 << QStringLiteral("¥0.13") << QStringLiteral("0.13");
    // 1.005 is stored as 1.00499999999999989...; at 15 digits it is 1.005.
    QTest::newRow("fifteen digits first") << 1.005 << QStringLiteral("¥1.01") << QStringLiteral("1.01");
    QTest::newRow("zero") << 0.0 << QStringLiteral("¥0.00") << QStringLiteral("0.00");
    QTest::newRow("tiny negative shows zero") << -0.001 << QStringLiteral("¥0.00") << QStringLiteral("0.00");
    QTest::newRow("three times a tenth") << 0.30000000000000004 << QStringLiteral("¥0.30") << QStringLiteral("0.30");
}

void TestFieldText::currencyDisplay()
{
    QFETCH(double, value);
    QFETCH(QString, display);
    QFETCH(QString, edit);
    QCOMPARE(currencyDecimals(locale()), 2);
    QCOMPARE(formatCurrency(value, locale()), display);
    QCOMPARE(formatCurrencyEdit(value, locale()), edit);
}

void TestFieldText::dateParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    const QDateTime march5(QDate(2024, 3, 5), QTime(0, 0));
    QTest::newRow("entry page hint") << QStringLiteral("2024-3-5") << march5;
    QTest::newRow("ISO") << QStringLiteral("2024-03-05") << march5;
    QTest::newRow("ISO with T") << QStringLiteral("2024-03-05T14:30:00") << QDateTime(QDate(2024, 3, 5), QTime(14, 30));
    QTest::newRow("locale short") << QStringLiteral("2024/3/5") << march5;
    QTest::newRow("with time") << QStringLiteral("2024-3-5 9:05:07") << QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
    QTest::newRow("locale with time") << QStringLiteral("2024/3/5 09:05:07") << QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
    QTest::newRow("no such day") << QStringLiteral("2024-2-30") << QDateTime();
    QTest::newRow("words") << QStringLiteral("tomorrow") << QDateTime();
    QTest::newRow("bad time") << QStringLiteral("2024-3-5 25:00") << QDateTime();
}

void TestFieldText::dateParse()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto key = parseDateTime(text, locale());
    QCOMPARE(key.has_value(), expected.isValid());
    if (key)
        QCOMPARE(dateFromKey(*key), expected);
}

void TestFieldText::dateDisplay()
{
    QCOMPARE(formatDateTime(dateKey(QDate(2024, 3, 5)), locale()), QStringLiteral("2024/3/5"));
    QCOMPARE(formatDateTime(dateKey(QDate(2024, 3, 5), QTime(14, 30, 5)), locale()),
             QStringLiteral("2024/3/5 14:30:05"));
    // What is shown reads back to the same value.
    const qint64 key = dateKey(QDate(1999, 12, 31), QTime(23, 59, 59));
    QCOMPARE(parseDateTime(formatDateTime(key, locale()), locale()), std::optional<qint64>(key));
}

void TestFieldText::storageDate_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("date and time") << QByteArray("2024-03-05 14:30:05") << QDateTime(QDate(2024, 3, 5), QTime(14, 30, 5));
    QTest::newRow("date only") << QByteArray("2024-03-05") << QDateTime(QDate(2024, 3, 5), QTime(0, 0));
    QTest::newRow("T and ms") << QByteArray("2024-03-05T14:30:05.250") << QDateTime(QDate(2024, 3, 5), QTime(14, 30, 5, 250));
    QTest::newRow("minutes only") << QByteArray("2024-03-05 14:30") << QDateTime(QDate(2024, 3, 5), QTime(14, 30));
    QTest::newRow("garbage") << QByteArray("yesterday") << QDateTime();
    QTest::newRow("no such month") << QByteArray("2024-13-01") << QDateTime();
}

void TestFieldText::storageDate()
{
    QFETCH(QByteArray, text);
    QFETCH(QDateTime, expected);
    const auto key = parseStorageDate(text.constData(), int(text.size()));
    QCOMPARE(key.has_value(), expected.isValid());
    if (key) {
        QCOMPARE(dateFromKey(*key), expected);
        QCOMPARE(parseStorageDate(dateToStorageText(*key).toLatin1().constData(),
                                  int(dateToStorageText(*key).size())),
                 key);
    }
}

QTEST_GUILESS_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
