// Searching by contract number and "全部" on the query and print pages, and
// the data-aware grids: columns, editing, keys and the shared current row.
#include "application.h"
#include "datasetmodel.h"
#include "dbedit.h"
#include "dbgrid.h"
#include "dm.h"
#include "errors.h"
#include "main.h"
#include "querydataset.h"
#include "mainwindowfixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace zarn;
using State = QueryDataset::State;

class TestQueries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init();
    void cleanup();
    void search_data();
    void search();
    void searchOnThePrintPageNarrowsEverything();
    void unknownColumnLeavesViewClosed();
    void searchDropsPendingRow();
    void gridColumns();
    void editingACellPostsOnLeavingTheRow();
    void computedCellsAreNotEditable();
    void ctrlDeleteAsks_data();
    void ctrlDeleteAsks();
    void insertAndAppendKeys();
    void cancelOnExit();
    void escapeTwice();
    void gridFollowsTheCurrentRow();
    void refusedPostKeepsTheGridOnTheRow();

private:
    void start();
    DBGrid *grid(const char *name = "DBGrid1") const { return m_app->form->findChild<DBGrid *>(QString::fromLatin1(name)); }
    QueryDataset *view() const { return m_app->view(); }
    QStringList contractsInView() const;
    void showPage(int index) const
    {
        m_app->form->findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(index);
    }
    void idle() { test::runUntilIdle(); }

    std::unique_ptr<test::MainWindowFixture> m_app;
};

void TestQueries::init()
{
    m_app = std::make_unique<test::MainWindowFixture>();
    const QVariantList contracts = {QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("A1"), QStringLiteral(""),
                                    QVariant(), QStringLiteral("x' or '1'='1")};
    int quantity = 1;
    for (const QVariant &contract : contracts)
        m_app->ledger.addRow(QStringLiteral("合同号, 数量1, 收入"), {contract, quantity++, 2.5});
}

void TestQueries::cleanup()
{
    m_app.reset();
}

void TestQueries::start()
{
    m_app->open();
}

QStringList TestQueries::contractsInView() const
{
    QStringList contracts;
    const Field *contract = view()->fieldByName(QStringLiteral("合同号"));
    for (int i = 0; i < view()->recordCount(); ++i) {
        const Row row = view()->rowAt(i);
        contracts << (contract->isNull(row) ? QStringLiteral("NULL") : contract->displayText(row));
    }
    return contracts;
}

void TestQueries::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("exact") << "A1" << QStringList{QStringLiteral("A1"), QStringLiteral("A1")};
    QTest::newRow("blanks around") << "  A1 \t" << QStringList{QStringLiteral("A1"), QStringLiteral("A1")};
    QTest::newRow("empty text, not Null") << "" << QStringList{QString()};
    QTest::newRow("apostrophe is only text") << "x' or '1'='1" << QStringList{QStringLiteral("x' or '1'='1")};
    QTest::newRow("no match") << "ZZ" << QStringList();
    QTest::newRow("ideographic blank stays") << QStringLiteral("A1\u3000") << QStringList();
}

void TestQueries::search()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    start();
    showPage(1);
    auto *edit = m_app->form->findChild<QLineEdit *>(QStringLiteral("Edit1"));
    edit->setText(typed);
    QTest::mouseClick(m_app->form->findChild<QPushButton *>(QStringLiteral("BitBtn14")), Qt::LeftButton);
    QCOMPARE(m_app->boxes.texts, QStringList());
    QCOMPARE(contractsInView(), found);
    QCOMPARE(grid()->model()->rowCount(), found.size());
    QCOMPARE(edit->text(), typed); // the edit box keeps its text
    QCOMPARE(view()->currentPosition(), 0);
    QVERIFY(view()->bof());
    if (found.isEmpty()) {
        QVERIFY(view()->eof());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, view()->remove());
    }
    // "全部" brings every row back.
    QTest::mouseClick(m_app->form->findChild<QPushButton *>(QStringLiteral("BitBtn15")), Qt::LeftButton);
    QCOMPARE(view()->recordCount(), 6);
}

void TestQueries::searchOnThePrintPageNarrowsEverything()
{
    start();
    showPage(2);
    m_app->form->findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText(QStringLiteral("A1"));
    QTest::mouseClick(m_app->form->findChild<QPushButton *>(QStringLiteral("BitBtn18")), Qt::LeftButton);
    // Both grids, the entry page and navigation hold the rows found.
    QCOMPARE(grid("DBGrid3")->model()->rowCount(), 2);
    QCOMPARE(grid("DBGrid1")->model()->rowCount(), 2);
    QCOMPARE(m_app->form->findChild<DBEdit *>(QStringLiteral("DBEdit2"))->text(), QStringLiteral("1"));
    view()->next();
    QCOMPARE(m_app->form->findChild<DBEdit *>(QStringLiteral("DBEdit2"))->text(), QStringLiteral("3"));
    view()->next();
    QVERIFY(view()->eof());
    QTest::mouseClick(m_app->form->findChild<QPushButton *>(QStringLiteral("BitBtn19")), Qt::LeftButton);
    QCOMPARE(grid("DBGrid1")->model()->rowCount(), 6);
}

void TestQueries::unknownColumnLeavesViewClosed()
{
    start();
    QVERIFY_THROWS_EXCEPTION(ProviderError, m_app->form->search(QStringLiteral("合同号 or 1=1 --"), QStringLiteral("A1")));
    QVERIFY(!view()->isActive());
    QCOMPARE(grid()->model()->rowCount(), 0);
    QCOMPARE(m_app->form->findChild<DBEdit *>(QStringLiteral("DBEdit4"))->text(), QString());
    QVERIFY_THROWS_EXCEPTION(ProviderError, m_app->form->search(QStringLiteral("毛利"), QStringLiteral("0")));
    m_app->form->search(QStringLiteral(" 合同号 "), QStringLiteral("B2")); // a later search replaces it
    QCOMPARE(contractsInView(), QStringList{QStringLiteral("B2")});
    m_app->form->dispall();
    QCOMPARE(view()->recordCount(), 6);
}

void TestQueries::searchDropsPendingRow()
{
    start();
    view()->insert();
    view()->fieldByName(QStringLiteral("合同号"))->setText(QStringLiteral("new"));
    m_app->form->search(QStringLiteral("合同号"), QStringLiteral("new"));
    QCOMPARE(view()->recordCount(), 0);
    QCOMPARE(m_app->ledger.count(), 6);
    QCOMPARE(m_app->boxes.texts, QStringList());
}

void TestQueries::gridColumns()
{
    start();
    DBGrid *g = grid();
    QCOMPARE(g->model()->columnCount(), 15);
    QStringList titles;
    for (int c = 0; c < 15; ++c)
        titles << g->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(titles.join(u','), QStringLiteral("合同号,凭证号,日期,卡号,产品名称,入库数量,入库单价,入库金额,销售数量,"
                                               "收汇（美元）,汇率,销售金额,结存数量,结存金额,毛利"));
    const int zero = g->fontMetrics().horizontalAdvance(u'0');
    const QFontMetrics titleMetrics(g->horizontalHeader()->font());
    const int widths[] = {6, 8, 9, 10, 16, 7, 8, 12, 7, 11, 8, 12, 7, 12, 11};
    for (int c = 0; c < 15; ++c) {
        const int expected = std::max(widths[c] * zero + 4, titleMetrics.horizontalAdvance(titles[c]) + 4);
        QCOMPARE(g->columnWidth(c), expected);
    }
    QCOMPARE(g->verticalHeader()->defaultSectionSize(), g->fontMetrics().height() + 4);
    QCOMPARE(g->model()->data(g->model()->index(0, 7), Qt::DisplayRole).toString(), QStringLiteral("¥2.50"));
    QCOMPARE(g->model()->data(g->model()->index(0, 7), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
             Qt::AlignRight);
}

void TestQueries::editingACellPostsOnLeavingTheRow()
{
    start();
    showPage(1);
    DBGrid *g = grid();
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 5)); // 入库数量 of the first row
    QTest::keyClicks(g, QStringLiteral("2")); // opens the cell editor, replacing the cell's text
    QCOMPARE(view()->state(), State::Edit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(view()->state(), State::Browse);
    QCOMPARE(view()->currentPosition(), 1);
    QCOMPARE(m_app->ledger.query(QStringLiteral("select \"数量1\" from xmb where rowid = 1")), QStringList{QStringLiteral("2")});
    QCOMPARE(g->model()->data(g->model()->index(0, 7), Qt::DisplayRole).toString(), QStringLiteral("¥5.00"));
    QCOMPARE(m_app->boxes.texts, QStringList());
}

void TestQueries::computedCellsAreNotEditable()
{
    start();
    const QAbstractItemModel *model = grid()->model();
    for (int c : {7, 11, 12, 13, 14})
        QVERIFY(!(model->flags(model->index(0, c)) & Qt::ItemIsEditable));
    for (int c : {0, 5, 6, 10})
        QVERIFY(model->flags(model->index(0, c)) & Qt::ItemIsEditable);
}

void TestQueries::ctrlDeleteAsks_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("确定") << "确定" << 5;
    QTest::newRow("取消") << "取消" << 6;
}

void TestQueries::ctrlDeleteAsks()
{
    QFETCH(QString, answer);
    QFETCH(int, left);
    m_app->boxes.setAnswer(answer);
    start();
    showPage(1);
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_app->boxes.texts, QStringList{QStringLiteral("删除当前记录吗?")});
    QCOMPARE(m_app->boxes.captions, QStringList{QStringLiteral("确认")});
    QCOMPARE(m_app->ledger.count(), left);
    QCOMPARE(view()->recordCount(), left);
}

void TestQueries::insertAndAppendKeys()
{
    start();
    showPage(1);
    DBGrid *g = grid();
    g->setFocus();
    view()->next(); // second row
    QTest::keyClick(g, Qt::Key_Insert);
    QCOMPARE(view()->state(), State::Insert);
    QCOMPARE(view()->currentPosition(), 1);
    QCOMPARE(g->currentIndex().row(), 1);
    QCOMPARE(g->model()->rowCount(), 7);
    QTest::keyClick(g, Qt::Key_Escape); // nothing typed: the new row goes
    QCOMPARE(g->model()->rowCount(), 6);
    // The down arrow on the last row opens a new row after it.
    QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view()->currentPosition(), 5);
    QTest::keyClick(g, Qt::Key_Down);
    QCOMPARE(view()->state(), State::Insert);
    QCOMPARE(view()->currentPosition(), 6);
    QCOMPARE(g->currentIndex().row(), 6);
    QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view()->state(), State::Browse); // the untouched row was dropped
    QCOMPARE(view()->currentPosition(), 0);
    QCOMPARE(m_app->ledger.count(), 6);
}

void TestQueries::cancelOnExit()
{
    start();
    showPage(1);
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_Insert);
    QCOMPARE(view()->state(), State::Insert);
    m_app->form->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setFocus();
    QCOMPARE(view()->state(), State::Browse);
    QCOMPARE(view()->recordCount(), 6);
}

void TestQueries::escapeTwice()
{
    start();
    showPage(1);
    DBGrid *g = grid();
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 1)); // 凭证号
    QTest::keyClicks(g, QStringLiteral("V"));
    QWidget *editor = QApplication::focusWidget();
    QTest::keyClicks(editor, QStringLiteral("9"));
    QVERIFY(qobject_cast<DBEdit *>(editor));
    QCOMPARE(qobject_cast<DBEdit *>(editor)->text(), QStringLiteral("V9"));
    QTest::keyClick(editor, Qt::Key_Escape); // discards the typed text
    QCOMPARE(view()->state(), State::Edit);
    QVERIFY(view()->fieldByName(QStringLiteral("凭证号"))->isNull());
    QTest::keyClick(g, Qt::Key_Escape); // cancels the row's edit
    QCOMPARE(view()->state(), State::Browse);
    QCOMPARE(m_app->ledger.query(QStringLiteral("select count(*) from xmb where \"凭证号\" is not null")),
             QStringList{QStringLiteral("0")});
}

void TestQueries::gridFollowsTheCurrentRow()
{
    start();
    showPage(1);
    view()->last();
    QCOMPARE(grid()->currentIndex().row(), 5);
    QCOMPARE(grid("DBGrid3")->currentIndex().row(), 5);
    grid()->setCurrentIndex(grid()->model()->index(2, 0));
    QCOMPARE(view()->currentPosition(), 2);
    QCOMPARE(grid("DBGrid3")->currentIndex().row(), 2);
    QCOMPARE(m_app->form->findChild<DBEdit *>(QStringLiteral("DBEdit2"))->text(), QStringLiteral("3"));
}

void TestQueries::refusedPostKeepsTheGridOnTheRow()
{
    m_app->ledger.refuseNegativeStockIn();
    for (int i = 0; i < 3; ++i)
        m_app->ledger.addRow(QStringLiteral("合同号, 数量1"), {QStringLiteral("R%1").arg(i), 1});
    start();
    showPage(1);
    DBGrid *g = grid();
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 5)); // 入库数量
    QTest::keyClicks(g, QStringLiteral("-"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_app->boxes.texts.size(), 1);
    QVERIFY2(m_app->boxes.texts[0].contains(QStringLiteral("CHECK constraint failed")), qPrintable(m_app->boxes.texts.value(0)));
    QCOMPARE(view()->state(), State::Edit);
    QCOMPARE(view()->currentPosition(), 0);
    QTRY_COMPARE(g->currentIndex().row(), 0);
    QCOMPARE(m_app->ledger.query(QStringLiteral("select \"数量1\" from xmb where rowid = 1")), QStringList{QStringLiteral("1")});
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestQueries test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_queries.moc"
