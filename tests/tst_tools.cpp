// The command-line tools: zarn-db creating ledger files, zarn-report
// writing the ledger report as a PDF.
#include "testsupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QString errors;
};

Run run(const QString &program, const QStringList &arguments, const QString &directory)
{
    QProcess process;
    process.setWorkingDirectory(directory);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

int pageCount(const QString &pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray content = file.readAll();
    int count = 0;
    for (qsizetype at = content.indexOf("/Type /Page"); at >= 0; at = content.indexOf("/Type /Page", at + 1))
        if (content.mid(at + 11, 1) != "s")
            ++count;
    return count;
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

const QString kZarnDb = QStringLiteral(ZARN_DB_PATH);
const QString kZarnReport = QStringLiteral(ZARN_REPORT_PATH);

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void initRefusesAnExistingFile();
    void demoLedger();
    void syntheticRowsAreDeterministic();
    void reportPdf();
    void reportWithoutDatabase();
    void reportInParts();
};

void TestTools::usageErrors_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("db: nothing") << kZarnDb << QStringList();
    QTest::newRow("db: unknown command") << kZarnDb << QStringList{QStringLiteral("create"), QStringLiteral("x.mdb")};
    QTest::newRow("db: no file") << kZarnDb << QStringList{QStringLiteral("init")};
    QTest::newRow("db: rows without number") << kZarnDb << QStringList{QStringLiteral("init"), QStringLiteral("x.mdb"), QStringLiteral("--rows")};
    QTest::newRow("db: negative rows") << kZarnDb << QStringList{QStringLiteral("init"), QStringLiteral("x.mdb"), QStringLiteral("--rows"), QStringLiteral("-3")};
    QTest::newRow("db: seed alone") << kZarnDb << QStringList{QStringLiteral("init"), QStringLiteral("x.mdb"), QStringLiteral("--seed"), QStringLiteral("4")};
    QTest::newRow("report: no output") << kZarnReport << QStringList();
    QTest::newRow("report: bad range") << kZarnReport << QStringList{QStringLiteral("-o"), QStringLiteral("a.pdf"), QStringLiteral("--pages"), QStringLiteral("3-1")};
    QTest::newRow("report: bad jobs") << kZarnReport << QStringList{QStringLiteral("-o"), QStringLiteral("a.pdf"), QStringLiteral("--jobs"), QStringLiteral("0")};
    QTest::newRow("report: stray argument") << kZarnReport << QStringList{QStringLiteral("-o"), QStringLiteral("a.pdf"), QStringLiteral("b")};
}

void TestTools::usageErrors()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const Run result = run(program, arguments, dir.path());
    QCOMPARE(result.code, 2);
    QVERIFY2(result.errors.contains(QStringLiteral("usage:")), qPrintable(result.errors));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.mdb"))));
}

void TestTools::initRefusesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zarn.mdb"));
    QCOMPARE(run(kZarnDb, {QStringLiteral("init"), path, QStringLiteral("--demo")}, dir.path()).code, 0);
    const QByteArray before = digest(path);
    const Run again = run(kZarnDb, {QStringLiteral("init"), path}, dir.path());
    QCOMPARE(again.code, 1);
    QVERIFY(again.errors.contains(QStringLiteral("已存在")));
    QCOMPARE(digest(path), before);
}

void TestTools::demoLedger()
{
    QTemporaryDir dir;
    QVERIFY(run(kZarnDb, {QStringLiteral("init"), QStringLiteral("zarn.mdb"), QStringLiteral("--demo")}, dir.path()).code == 0);
    zarn::test::LedgerFixture fixture(zarn::test::LedgerFixture::File::None);
    QFile::copy(dir.filePath(QStringLiteral("zarn.mdb")), fixture.path());
    QCOMPARE(fixture.query(QStringLiteral("select us from new limit 1")), QStringList{QStringLiteral("管理员")});
    QVERIFY(fixture.count() >= 24);
    QCOMPARE(fixture.query(QStringLiteral("select count(*) from xmb where \"合同号\" is null or \"日期\" is null")),
             QStringList{QStringLiteral("0")});
    // The schema the application expects, with the index on the contract number.
    QCOMPARE(fixture.query(QStringLiteral("select count(*) from sqlite_master where type = 'index' and tbl_name = 'xmb'")),
             QStringList{QStringLiteral("1")});
}

void TestTools::syntheticRowsAreDeterministic()
{
    QTemporaryDir dir;
    for (const char *name : {"a.mdb", "b.mdb"})
        QCOMPARE(run(kZarnDb, {QStringLiteral("init"), QString::fromLatin1(name), QStringLiteral("--rows"),
                               QStringLiteral("300"), QStringLiteral("--seed"), QStringLiteral("5")},
                     dir.path())
                     .code,
                 0);
    QCOMPARE(digest(dir.filePath(QStringLiteral("a.mdb"))), digest(dir.filePath(QStringLiteral("b.mdb"))));
}

void TestTools::reportPdf()
{
    QTemporaryDir dir;
    QCOMPARE(run(kZarnDb, {QStringLiteral("init"), QStringLiteral("zarn.mdb"), QStringLiteral("--rows"), QStringLiteral("60")},
                 dir.path())
                 .code,
             0);
    const Run all = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("all.pdf")}, dir.path());
    QCOMPARE(all.code, 0);
    QVERIFY2(all.errors.contains(QStringLiteral("3 pages, 60 rows")), qPrintable(all.errors));
    QCOMPARE(pageCount(dir.filePath(QStringLiteral("all.pdf"))), 3);
    // One contract's rows, as the search finds them: blanks around the text do not matter.
    zarn::test::LedgerFixture fixture(zarn::test::LedgerFixture::File::None);
    QFile::copy(dir.filePath(QStringLiteral("zarn.mdb")), fixture.path());
    const QString contract = fixture.query(QStringLiteral("select \"合同号\" from xmb limit 1")).value(0);
    const QString rows = fixture.query(QStringLiteral("select count(*) from xmb where \"合同号\" = '%1'").arg(contract)).value(0);
    const Run one = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("one.pdf"), QStringLiteral("--contract"),
                                      QStringLiteral(" ") + contract + QStringLiteral(" ")},
                        dir.path());
    QCOMPARE(one.code, 0);
    QVERIFY2(one.errors.contains(QStringLiteral("1 pages, %1 rows").arg(rows)), qPrintable(one.errors));
}

void TestTools::reportWithoutDatabase()
{
    QTemporaryDir dir;
    const Run result = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("x.pdf")}, dir.path());
    QCOMPARE(result.code, 1);
    QVERIFY2(result.errors.contains(QStringLiteral("找不到文件")), qPrintable(result.errors));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("zarn.mdb"))));
}

void TestTools::reportInParts()
{
    // 11,000 rows: 408 pages, written by two processes and joined.
    QTemporaryDir dir;
    QCOMPARE(run(kZarnDb, {QStringLiteral("init"), QStringLiteral("zarn.mdb"), QStringLiteral("--rows"), QStringLiteral("11000")},
                 dir.path())
                 .code,
             0);
    const Run whole = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("one.pdf"), QStringLiteral("--jobs"), QStringLiteral("1")},
                          dir.path());
    QCOMPARE(whole.code, 0);
    const Run parts = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("two.pdf"), QStringLiteral("--jobs"), QStringLiteral("2")},
                          dir.path());
    QCOMPARE(parts.code, 0);
    QVERIFY2(parts.errors.contains(QStringLiteral("in 2 parts")), qPrintable(parts.errors));
    QCOMPARE(pageCount(dir.filePath(QStringLiteral("one.pdf"))), 408);
    QCOMPARE(pageCount(dir.filePath(QStringLiteral("two.pdf"))), 408);
    // The joined file reads like the one written in one piece, page by page.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    for (const char *page : {"1", "204", "205", "408"}) {
        QStringList texts;
        for (const char *file : {"one.pdf", "two.pdf"}) {
            QProcess process;
            process.start(pdftotext, {QStringLiteral("-f"), QString::fromLatin1(page), QStringLiteral("-l"),
                                      QString::fromLatin1(page), dir.filePath(QString::fromLatin1(file)), QStringLiteral("-")});
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitCode(), 0);
            texts << QString::fromUtf8(process.readAllStandardOutput());
        }
        QVERIFY2(!texts[0].trimmed().isEmpty(), page);
        QCOMPARE(texts[1], texts[0]);
    }
    // A range alone.
    const Run range = run(kZarnReport, {QStringLiteral("-o"), QStringLiteral("range.pdf"), QStringLiteral("--pages"),
                                        QStringLiteral("2-3")},
                          dir.path());
    QCOMPARE(range.code, 0);
    QCOMPARE(pageCount(dir.filePath(QStringLiteral("range.pdf"))), 2);
}

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
