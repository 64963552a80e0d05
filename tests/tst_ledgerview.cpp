// The ledger view's operations, states, flags and the settling of a pending
// row, checked against what the zarn.mdb file holds.
#include "dm.h"
#include "errors.h"
#include "querydataset.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace zarn;
using State = QueryDataset::State;

class TestLedgerView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init();
    void cleanup();

    void emptyLedger();
    void navigation_data();
    void navigation();
    void insertOpensBlankRowInFrontOfCurrent();
    void untouchedNewRowIsDroppedOnMove();
    void newRowPostedWithoutTypingStoresNulls();
    void changedRowIsPostedOnMove();
    void cancelRestoresStoredValues();
    void deleteRemovesRowAtOnce();
    void deleteInInsertCancels();
    void closeDropsPendingRow();
    void operationsOutsideEditAreRefused();
    void fieldLookUp();
    void textRules_data();
    void textRules();
    void refusedTextKeepsFormerValue();
    void viewsFollowChanges();

private:
    QString contract() const { return m_view->fieldByName(QStringLiteral("合同号"))->displayText(); }
    Field *field(const char *name) const { return m_view->fieldByName(QString::fromUtf8(name)); }

    std::unique_ptr<test::LedgerFixture> m_fixture;
    std::unique_ptr<test::ErrorRecorder> m_errors;
    std::unique_ptr<Tdm2> m_dm;
    QueryDataset *m_view = nullptr;
};

void TestLedgerView::init()
{
    m_fixture = std::make_unique<test::LedgerFixture>();
    const QString tag = QString::fromLatin1(QTest::currentTestFunction());
    if (tag != u"emptyLedger") {
        for (const char *c : {"A", "B", "C"})
            m_fixture->addRow(QStringLiteral("合同号, 凭证号, 数量1, 收入"),
                              {QString::fromLatin1(c), QStringLiteral("V-") + QString::fromLatin1(c), 10,
                               12.5});
    }
    m_errors = std::make_unique<test::ErrorRecorder>();
    m_dm = std::make_unique<Tdm2>(nullptr);
    m_view = m_dm->ADOQuery1;
    QVERIFY2(m_errors->messages.isEmpty(), qPrintable(m_errors->messages.join(u'\n')));
}

void TestLedgerView::cleanup()
{
    m_dm.reset();
    m_errors.reset();
    m_fixture.reset();
}

void TestLedgerView::emptyLedger()
{
    QVERIFY(m_view->isActive());
    QVERIFY(m_view->bof());
    QVERIFY(m_view->eof());
    QVERIFY(m_view->isEmpty());
    QCOMPARE(contract(), QString());
    try {
        m_view->remove();
        QFAIL("delete on an empty view was not refused");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("ADOQuery1: 无法在空数据集上执行该操作"));
    }
    m_view->edit();
    QCOMPARE(m_view->state(), State::Insert);
    QCOMPARE(m_view->recordCount(), 1);
}

void TestLedgerView::navigation_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("bof");
    QTest::addColumn<bool>("eof");
    auto row = [](const char *tag, const QString &moves, const char *current, bool bof, bool eof) {
        QTest::newRow(tag) << moves.split(u' ', Qt::SkipEmptyParts) << QString::fromLatin1(current) << bof << eof;
    };
    row("just opened", {}, "A", true, false);
    row("next", QStringLiteral("next"), "B", false, false);
    row("next onto last row", QStringLiteral("next next"), "C", false, false);
    row("next past last row", QStringLiteral("next next next"), "C", false, true);
    row("last", QStringLiteral("last"), "C", false, true);
    row("next at end stays", QStringLiteral("last next"), "C", false, true);
    row("prior at start stays", QStringLiteral("prior"), "A", true, false);
    row("prior from last", QStringLiteral("last prior"), "B", false, false);
    row("prior past first row", QStringLiteral("next prior prior"), "A", true, false);
    row("first", QStringLiteral("last first"), "A", true, false);
}

void TestLedgerView::navigation()
{
    QFETCH(QStringList, moves);
    QFETCH(QString, current);
    QFETCH(bool, bof);
    QFETCH(bool, eof);
    for (const QString &move : moves) {
        if (move == u"next")
            m_view->next();
        else if (move == u"prior")
            m_view->prior();
        else if (move == u"first")
            m_view->first();
        else if (move == u"last")
            m_view->last();
    }
    QCOMPARE(contract(), current);
    QCOMPARE(m_view->bof(), bof);
    QCOMPARE(m_view->eof(), eof);
}

void TestLedgerView::insertOpensBlankRowInFrontOfCurrent()
{
    m_view->next(); // on B
    QSignalSpy inserted(m_view, &QueryDataset::rowInserted);
    m_view->insert();
    QCOMPARE(m_view->state(), State::Insert);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(0).toInt(), 1);
    QCOMPARE(m_view->recordCount(), 4);
    QCOMPARE(m_view->currentPosition(), 1);
    for (int i = 0; i < m_view->fieldCount(); ++i)
        QVERIFY(m_view->field(i)->isNull());
    const Field *contractField = field("合同号");
    QCOMPARE(contractField->displayText(m_view->rowAt(0)), QStringLiteral("A"));
    QCOMPARE(contractField->displayText(m_view->rowAt(1)), QString());
    QCOMPARE(contractField->displayText(m_view->rowAt(2)), QStringLiteral("B"));
    QCOMPARE(m_fixture->count(), 3); // nothing written yet

    field("合同号")->setText(QStringLiteral("N"));
    m_view->post();
    QCOMPARE(m_view->state(), State::Browse);
    QCOMPARE(contract(), QStringLiteral("N"));
    QCOMPARE(contractField->displayText(m_view->rowAt(1)), QStringLiteral("N"));
    QCOMPARE(contractField->displayText(m_view->rowAt(2)), QStringLiteral("B"));
    QCOMPARE(m_fixture->query(QStringLiteral("select \"合同号\", \"数量1\" from xmb where \"合同号\" = 'N'")),
             QStringList{QStringLiteral("N|NULL")});
}

void TestLedgerView::untouchedNewRowIsDroppedOnMove()
{
    m_view->next(); // on B
    m_view->insert();
    m_view->next();
    QCOMPARE(m_view->state(), State::Browse);
    QCOMPARE(m_view->recordCount(), 3);
    QCOMPARE(contract(), QStringLiteral("C"));
    QCOMPARE(m_fixture->count(), 3);

    // Two inserts in a row without typing leave one blank row.
    m_view->insert();
    m_view->insert();
    QCOMPARE(m_view->recordCount(), 4);
    m_view->post();
    QCOMPARE(m_fixture->count(), 4);
}

void TestLedgerView::newRowPostedWithoutTypingStoresNulls()
{
    m_view->insert();
    m_view->post();
    QCOMPARE(m_fixture->count(), 4);
    QCOMPARE(m_fixture->query(QStringLiteral("select count(*) from xmb where \"合同号\" is null and \"数量1\" is null "
                                             "and \"日期\" is null and \"收入\" is null")),
             QStringList{QStringLiteral("1")});
    QCOMPARE(m_view->state(), State::Browse);
    QVERIFY(field("合同号")->isNull());
    QVERIFY(!field("合计")->isNull()); // a stored row's amounts are numbers
}

void TestLedgerView::changedRowIsPostedOnMove()
{
    m_view->next(); // B
    m_view->edit();
    QCOMPARE(m_view->state(), State::Edit);
    field("凭证号")->setText(QStringLiteral("V-B2"));
    QVERIFY(m_view->isModified());
    m_view->next();
    QCOMPARE(m_view->state(), State::Browse);
    QCOMPARE(contract(), QStringLiteral("C"));
    QCOMPARE(m_fixture->query(QStringLiteral("select \"凭证号\" from xmb where \"合同号\" = 'B'")),
             QStringList{QStringLiteral("V-B2")});
    // Unchanged columns are not rewritten: the stored decimal is as it was.
    QCOMPARE(m_fixture->query(QStringLiteral("select \"收入\", typeof(\"收入\") from xmb where \"合同号\" = 'B'")),
             QStringList{QStringLiteral("12.5|real")});
    m_view->prior();
    QCOMPARE(field("凭证号")->displayText(), QStringLiteral("V-B2"));
}

void TestLedgerView::cancelRestoresStoredValues()
{
    m_view->edit();
    field("数量1")->setText(QStringLiteral("99"));
    QCOMPARE(field("合计")->asFloat(), 99 * 12.5);
    m_view->cancel();
    QCOMPARE(m_view->state(), State::Browse);
    QCOMPARE(field("数量1")->displayText(), QStringLiteral("10"));
    QCOMPARE(field("合计")->asFloat(), 125.0);
    QCOMPARE(m_fixture->query(QStringLiteral("select \"数量1\" from xmb where \"合同号\" = 'A'")),
             QStringList{QStringLiteral("10")});
}

void TestLedgerView::deleteRemovesRowAtOnce()
{
    m_view->next(); // B
    m_view->remove();
    QCOMPARE(contract(), QStringLiteral("C")); // the next row
    QCOMPARE(m_view->recordCount(), 2);
    QCOMPARE(m_fixture->query(QStringLiteral("select \"合同号\" from xmb order by rowid")),
             (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    m_view->remove(); // the last row: the new last row becomes current
    QCOMPARE(contract(), QStringLiteral("A"));
    // In edit the pending changes are dropped and the row deleted.
    m_view->edit();
    field("合同号")->setText(QStringLiteral("changed"));
    m_view->remove();
    QVERIFY(m_view->isEmpty());
    QVERIFY(m_view->bof() && m_view->eof());
    QCOMPARE(m_fixture->count(), 0);
}

void TestLedgerView::deleteInInsertCancels()
{
    m_view->insert();
    field("合同号")->setText(QStringLiteral("new"));
    m_view->remove();
    QCOMPARE(m_view->state(), State::Browse);
    QCOMPARE(m_view->recordCount(), 3);
    QCOMPARE(contract(), QStringLiteral("A"));
    QCOMPARE(m_fixture->count(), 3);
}

void TestLedgerView::closeDropsPendingRow()
{
    m_view->insert();
    field("合同号")->setText(QStringLiteral("new"));
    m_view->close();
    QCOMPARE(m_view->state(), State::Inactive);
    QCOMPARE(m_fixture->count(), 3);
    m_view->open();
    QCOMPARE(m_view->recordCount(), 3);
    // Destroying the data module also discards a pending row.
    m_view->edit();
    field("合同号")->setText(QStringLiteral("changed"));
    m_dm.reset();
    QCOMPARE(m_fixture->query(QStringLiteral("select \"合同号\" from xmb order by rowid")).value(0),
             QStringLiteral("A"));
}

void TestLedgerView::operationsOutsideEditAreRefused()
{
    const QString notEditing = QStringLiteral("ADOQuery1: 数据集不在修改或插入模式");
    try {
        m_view->post();
        QFAIL("post in browse was not refused");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), notEditing);
    }
    try {
        field("合同号")->setText(QStringLiteral("x"));
        QFAIL("assignment in browse was not refused");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), notEditing);
    }
    m_view->close();
    try {
        m_view->next();
        QFAIL("next on a closed view was not refused");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作"));
    }
    QCOMPARE(m_view->recordCount(), 0);
    QCOMPARE(field("合同号")->displayText(), QString());
}

void TestLedgerView::fieldLookUp()
{
    QCOMPARE(m_view->fieldCount(), 18);
    QCOMPARE(m_view->field(0)->name(), QStringLiteral("合同号"));
    QCOMPARE(m_view->field(17)->name(), QStringLiteral("毛利"));
    // Look-ups use the column name, never the label.
    QCOMPARE(field("卡号")->index(), 3);
    QCOMPARE(m_view->field(4)->label(), QStringLiteral("卡号"));
    QCOMPARE(field("经手人")->label(), QStringLiteral("产品信息"));
    try {
        m_view->fieldByName(QStringLiteral("入库数量"));
        QFAIL("a display label was accepted as a field name");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("ADOQuery1: 未发现字段 '入库数量'"));
    }
    QVERIFY(m_view->canModify());
    QVERIFY(field("收入")->canModify());
    QVERIFY(!field("合计")->canModify());
}

void TestLedgerView::textRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");   // display text after the assignment
    QTest::addColumn<QString>("stored");  // what the file holds after post ("NULL" for Null)
    QTest::addColumn<QString>("refusal"); // the message when refused
    const QString sixty = QString(60, u'合');
    QTest::newRow("text cut to 50") << "合同号" << sixty << QString(50, u'合') << QString(50, u'合') << QString();
    QTest::newRow("card cut to 10") << "卡号" << "ABCDEFGHIJKL" << "ABCDEFGHIJ" << "ABCDEFGHIJ" << QString();
    QTest::newRow("empty text is not Null") << "凭证号" << "" << "" << "" << QString();
    QTest::newRow("integer") << "数量1" << "-5" << "-5" << "-5" << QString();
    QTest::newRow("integer refused") << "数量1" << "12.3" << "" << ""
                                     << "'12.3' 对于字段 '入库数量' 不是有效的整数值";
    QTest::newRow("empty integer is Null") << "数量1" << "" << "" << "NULL" << QString();
    QTest::newRow("decimal rounded") << "收入" << "3.14159" << "3.1416" << "3.1416" << QString();
    QTest::newRow("decimal trailing zero") << "收入" << "2.50" << "2.5" << "2.5" << QString();
    QTest::newRow("decimal whole stored as integer") << "汇率" << "7" << "7" << "7" << QString();
    QTest::newRow("decimal refused") << "收汇" << "1,000" << "" << ""
                                     << "'1,000' 对于字段 '收汇（美元）' 不是有效的浮点值";
    QTest::newRow("decimal beyond what the file keeps exactly")
        << "收入" << "100000000000" << "" << "" << "'100000000000' 对于字段 '入库单价' 不是有效的浮点值";
    QTest::newRow("largest exact decimal") << "支出" << "-99999999999.9999" << "-99999999999.9999"
                                           << "-99999999999.9999" << QString();
    QTest::newRow("date as hinted") << "日期" << "2024-3-5" << "2024/3/5" << "2024-03-05 00:00:00" << QString();
    QTest::newRow("date with time") << "日期" << "2024/3/5 14:30:00" << "2024/3/5 14:30:00"
                                    << "2024-03-05 14:30:00" << QString();
    QTest::newRow("date refused") << "日期" << "2024-2-30" << "" << ""
                                  << "'2024-2-30' 不是一个有效的日期和时间";
    QTest::newRow("empty date is Null") << "日期" << "" << "" << "NULL" << QString();
}

void TestLedgerView::textRules()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QFETCH(QString, refusal);
    m_view->insert();
    Field *target = m_view->fieldByName(field);
    try {
        target->setText(text);
        QVERIFY2(refusal.isEmpty(), "the text was not refused");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), refusal);
        QCOMPARE(m_view->state(), State::Insert);
        QVERIFY(target->isNull());
        return;
    }
    QCOMPARE(target->displayText(), shown);
    m_view->post();
    QCOMPARE(target->displayText(), shown);
    QCOMPARE(m_fixture->query(QStringLiteral("select \"%1\" from xmb where rowid = (select max(rowid) from xmb)")
                                  .arg(field)),
             QStringList{stored});
}

void TestLedgerView::refusedTextKeepsFormerValue()
{
    m_view->edit();
    try {
        field("数量1")->setText(QStringLiteral("lots"));
        QFAIL("not refused");
    } catch (const ConvertError &) {
    }
    QCOMPARE(field("数量1")->displayText(), QStringLiteral("10"));
    QCOMPARE(m_view->state(), State::Edit);
    QVERIFY(!m_view->isModified());
}

void TestLedgerView::viewsFollowChanges()
{
    // Editors hand their text over before a post; a refusal stops the post.
    QObject editor;
    QString typed = QStringLiteral("V-typed");
    m_view->addRecordUpdater(&editor, [&] { field("凭证号")->setText(typed); });
    m_view->edit();
    m_view->post();
    QCOMPARE(m_fixture->query(QStringLiteral("select \"凭证号\" from xmb where \"合同号\" = 'A'")),
             QStringList{QStringLiteral("V-typed")});
    typed = QStringLiteral("x");
    m_view->addRecordUpdater(&editor, [&] { field("数量1")->setText(QStringLiteral("bad")); });
    m_view->edit();
    QVERIFY_THROWS_EXCEPTION(ConvertError, m_view->next());
    QCOMPARE(m_view->state(), State::Edit);
    QCOMPARE(contract(), QStringLiteral("A"));
}

QTEST_GUILESS_MAIN(TestLedgerView)
#include "tst_ledgerview.moc"
