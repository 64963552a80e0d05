// The record entry page driven with the mouse and keyboard: the editors'
// character rules, automatic editing, Escape, the hand-over of typed text,
// "添加记录" with each mouse button, saving and moving.
#include "application.h"
#include "bitbtn.h"
#include "datasetaction.h"
#include "dbedit.h"
#include "dm.h"
#include "main.h"
#include "querydataset.h"
#include "mainwindowfixture.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace zarn;
using State = QueryDataset::State;

namespace {

// Types any text, Chinese included, one key event per character.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown),
                        Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace

class TestEntryPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init();
    void cleanup();
    void layout();
    void characterRules_data();
    void characterRules();
    void computedEditorsAreReadOnly();
    void typingStartsAnEdit();
    void escapeRestoresTheFieldText();
    void leftClickOnAddRecord();
    void rightClickOnAddRecord();
    void twoClicksLeaveOneBlankRow();
    void amountFollowsWhenLeavingTheEditor();
    void nextPostsTheChangedRow();
    void saveButtonPosts();
    void refusedDateKeepsTheFocus();
    void databaseRefusalLeavesRowPending();
    void closedViewEmptiesEditors();

private:
    void start(int rows, bool refuseNegative = false);
    DBEdit *editor(const char *name) const { return m_app->form->findChild<DBEdit *>(QString::fromLatin1(name)); }
    QPushButton *button(const char *name) const
    {
        return m_app->form->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    QueryDataset *view() const { return m_app->view(); }
    void idle() { test::runUntilIdle(); }

    std::unique_ptr<test::MainWindowFixture> m_app;
};

void TestEntryPage::init()
{
    m_app = std::make_unique<test::MainWindowFixture>();
}

void TestEntryPage::cleanup()
{
    m_app.reset();
}

void TestEntryPage::start(int rows, bool refuseNegative)
{
    if (refuseNegative)
        m_app->ledger.refuseNegativeStockIn();
    for (int i = 0; i < rows; ++i)
        m_app->ledger.addRow(QStringLiteral("合同号, 卡号, 数量1, 收入"),
                          {QStringLiteral("HT-%1").arg(i), QStringLiteral("C%1").arg(i), 10 + i, 100});
    m_app->open();
    idle();
}

void TestEntryPage::layout()
{
    start(1);
    struct Expect
    {
        const char *editor;
        QRect geometry;
        const char *field;
    };
    const Expect expected[] = {
        {"DBEdit4", {90, 10, 81, 21}, "合同号"},   {"DBEdit12", {288, 9, 138, 21}, "凭证号"},
        {"DBEdit10", {511, 9, 73, 21}, "日期"},    {"DBEdit1", {86, 46, 113, 21}, "卡号"},
        {"DBEdit11", {288, 46, 138, 21}, "产品名称"}, {"DBEdit2", {82, 130, 73, 21}, "数量1"},
        {"DBEdit6", {382, 118, 81, 21}, "数量2"},  {"DBEdit9", {383, 156, 86, 21}, "收汇"},
        {"DBEdit5", {84, 181, 85, 21}, "收入"},    {"DBEdit8", {385, 191, 86, 21}, "汇率"},
        {"DBEdit3", {86, 223, 99, 21}, "合计"},    {"DBEdit7", {384, 228, 107, 21}, "销售金额"},
    };
    for (const Expect &e : expected) {
        DBEdit *box = editor(e.editor);
        QVERIFY2(box, e.editor);
        QCOMPARE(box->geometry(), e.geometry);
        QCOMPARE(box->dataField(), QString::fromUtf8(e.field));
    }
    QCOMPARE(editor("DBEdit4")->text(), QStringLiteral("HT-0"));
    QCOMPARE(editor("DBEdit2")->alignment() & Qt::AlignRight, Qt::AlignRight);
    QCOMPARE(editor("DBEdit4")->alignment() & Qt::AlignLeft, Qt::AlignLeft);
    QCOMPARE(editor("DBEdit3")->text(), QStringLiteral("¥1,000.00"));
    QCOMPARE(editor("DBEdit4")->maxLength(), 50);
    QCOMPARE(editor("DBEdit1")->maxLength(), 10);
    // Tab order: card number first, voucher number last, then the buttons.
    const char *order[] = {"DBEdit1", "DBEdit2", "DBEdit9", "DBEdit10", "DBEdit11", "DBEdit3",
                           "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit12"};
    QWidget *w = editor(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        QCOMPARE(w->objectName(), QString::fromLatin1(order[i]));
    }
    QCOMPARE(button("BitBtn5")->text(), QStringLiteral("添加记录"));
    QCOMPARE(button("BitBtn10")->geometry(), QRect(416, 8, 81, 41));
    QVERIFY(!button("BitBtn5")->icon().isNull());
}

void TestEntryPage::characterRules_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter in quantity") << "DBEdit2" << "a" << "";
    QTest::newRow("signed quantity") << "DBEdit2" << "-5" << "-5";
    QTest::newRow("point in quantity") << "DBEdit2" << "1.5" << "15";
    QTest::newRow("decimal price") << "DBEdit5" << "+2.5" << "+2.5";
    QTest::newRow("comma in price") << "DBEdit5" << "1,5" << "15";
    QTest::newRow("letters in rate") << "DBEdit8" << "7x1" << "71";
    QTest::newRow("anything in a text") << "DBEdit11" << "Q235B 热轧" << "Q235B 热轧";
    QTest::newRow("card number length") << "DBEdit1" << "ABCDEFGHIJKLMN" << "ABCDEFGHIJ";
    QTest::newRow("date characters") << "DBEdit10" << "2024-3-5" << "2024-3-5";
}

void TestEntryPage::characterRules()
{
    QFETCH(QString, editor);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    start(1);
    DBEdit *box = m_app->form->findChild<DBEdit *>(editor);
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, typed);
    QCOMPARE(box->text(), shown);
    QCOMPARE(view()->state(), State::Edit);
}

void TestEntryPage::computedEditorsAreReadOnly()
{
    start(1);
    for (const char *name : {"DBEdit3", "DBEdit7"}) {
        DBEdit *box = editor(name);
        const QString before = box->text();
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), before);
        QCOMPARE(view()->state(), State::Browse);
    }
    idle();
    QVERIFY(!button("BitBtn10")->isEnabled());
}

void TestEntryPage::typingStartsAnEdit()
{
    start(2);
    QVERIFY(!button("BitBtn10")->isEnabled());
    QVERIFY(!button("BitBtn1")->isEnabled()); // just opened: at the start
    QVERIFY(button("BitBtn3")->isEnabled());
    QTest::mouseClick(editor("DBEdit12"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit12"), QStringLiteral("V"));
    QCOMPARE(view()->state(), State::Edit);
    idle();
    QVERIFY(button("BitBtn10")->isEnabled());
}

void TestEntryPage::escapeRestoresTheFieldText()
{
    start(1);
    DBEdit *box = editor("DBEdit4");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, QStringLiteral("XYZ"));
    QCOMPARE(box->text(), QStringLiteral("HT-0XYZ"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->text(), QStringLiteral("HT-0"));
    QCOMPARE(box->selectedText(), QStringLiteral("HT-0"));
    QVERIFY(!box->isModified());
}

void TestEntryPage::leftClickOnAddRecord()
{
    start(2);
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    QCOMPARE(view()->state(), State::Insert);
    QCOMPARE(view()->recordCount(), 3);
    for (DBEdit *box : m_app->form->findChildren<DBEdit *>())
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    QCOMPARE(QApplication::focusWidget(), editor("DBEdit4"));
    idle();
    QVERIFY(button("BitBtn10")->isEnabled());
}

void TestEntryPage::rightClickOnAddRecord()
{
    start(2);
    DBEdit *card = editor("DBEdit1");
    QTest::mouseClick(card, Qt::LeftButton);
    QTest::keyClicks(card, QStringLiteral("77"));
    QCOMPARE(card->text(), QStringLiteral("C077"));
    QTest::mouseClick(button("BitBtn5"), Qt::RightButton);
    QCOMPARE(view()->state(), State::Edit); // typing started the edit; no row was added
    QCOMPARE(view()->recordCount(), 2);
    QCOMPARE(QApplication::focusWidget(), editor("DBEdit4"));
    // The typed card number was replaced by the field's before it was handed over.
    QCOMPARE(card->text(), QStringLiteral("C0"));
    QCOMPARE(view()->fieldByName(QStringLiteral("卡号"))->displayText(), QStringLiteral("C0"));
}

void TestEntryPage::twoClicksLeaveOneBlankRow()
{
    start(1);
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    idle();
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    idle();
    QCOMPARE(view()->recordCount(), 2);
    QTest::mouseClick(button("BitBtn10"), Qt::LeftButton);
    QCOMPARE(m_app->ledger.count(), 2);
    QCOMPARE(m_app->ledger.query(QStringLiteral("select count(*) from xmb where \"合同号\" is null")),
             QStringList{QStringLiteral("1")});
}

void TestEntryPage::amountFollowsWhenLeavingTheEditor()
{
    start(0);
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    QTest::mouseClick(editor("DBEdit2"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit2"), QStringLiteral("10"));
    QTest::mouseClick(editor("DBEdit5"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit5"), QStringLiteral("2.5"));
    QCOMPARE(editor("DBEdit3")->text(), QStringLiteral("¥0.00")); // not at each keystroke
    QTest::mouseClick(editor("DBEdit4"), Qt::LeftButton);          // leave the price editor
    QCOMPARE(editor("DBEdit3")->text(), QStringLiteral("¥25.00"));
    QCOMPARE(editor("DBEdit5")->text(), QStringLiteral("2.5"));
}

void TestEntryPage::nextPostsTheChangedRow()
{
    start(2);
    QTest::mouseClick(editor("DBEdit11"), Qt::LeftButton);
    typeText(editor("DBEdit11"), QStringLiteral("电解铜"));
    QTest::mouseClick(button("BitBtn3"), Qt::LeftButton); // 下一条
    QCOMPARE(view()->state(), State::Browse);
    QCOMPARE(editor("DBEdit4")->text(), QStringLiteral("HT-1"));
    QCOMPARE(m_app->ledger.query(QStringLiteral("select \"产品名称\" from xmb where \"合同号\" = 'HT-0'")),
             QStringList{QStringLiteral("电解铜")});
}

void TestEntryPage::saveButtonPosts()
{
    start(0);
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit4"), QStringLiteral("KS-9"));
    QTest::mouseClick(editor("DBEdit10"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit10"), QStringLiteral("2024-3-5"));
    idle();
    // The focus stays in the date editor: "保存修改" hands both texts over.
    QTest::mouseClick(button("BitBtn10"), Qt::LeftButton);
    QCOMPARE(view()->state(), State::Browse);
    QCOMPARE(m_app->ledger.query(QStringLiteral("select \"合同号\", \"日期\" from xmb")),
             QStringList{QStringLiteral("KS-9|2024-03-05 00:00:00")});
    QCOMPARE(editor("DBEdit10")->text(), QStringLiteral("2024/3/5"));
    QCOMPARE(m_app->boxes.texts, QStringList());
}

void TestEntryPage::refusedDateKeepsTheFocus()
{
    start(1);
    DBEdit *date = editor("DBEdit10");
    QTest::mouseClick(date, Qt::LeftButton);
    QTest::keyClicks(date, QStringLiteral("2024-2-30"));
    QTest::mouseClick(editor("DBEdit4"), Qt::LeftButton);
    QCOMPARE(m_app->boxes.texts, QStringList{QStringLiteral("'2024-2-30' 不是一个有效的日期和时间.")});
    m_app->form->activateWindow(); // as the window system does when the box closes
    QVERIFY(QTest::qWaitForWindowActive(m_app->form.get()));
    QCOMPARE(QApplication::focusWidget(), date);
    QCOMPARE(date->selectedText(), QStringLiteral("2024-2-30"));
    QCOMPARE(view()->state(), State::Edit);
    // Changing the page through the menu is refused while the text stays.
    m_app->form->findChild<QAction *>(QStringLiteral("N10"))->trigger();
    QCOMPARE(m_app->boxes.texts.size(), 2);
    auto *pages = m_app->form->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    QCOMPARE(pages->currentIndex(), 0);
    // Escape restores the field's text; then the page changes.
    QTest::keyClick(date, Qt::Key_Escape);
    QCOMPARE(date->text(), QString());
    m_app->form->findChild<QAction *>(QStringLiteral("N10"))->trigger();
    QCOMPARE(pages->currentIndex(), 1);
}

void TestEntryPage::databaseRefusalLeavesRowPending()
{
    start(0, true);
    QTest::mouseClick(button("BitBtn5"), Qt::LeftButton);
    QTest::mouseClick(editor("DBEdit2"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit2"), QStringLiteral("-5"));
    idle();
    QTest::mouseClick(button("BitBtn10"), Qt::LeftButton);
    QCOMPARE(m_app->boxes.texts.size(), 1);
    QVERIFY2(m_app->boxes.texts[0].contains(QStringLiteral("CHECK constraint failed")), qPrintable(m_app->boxes.texts[0]));
    QCOMPARE(view()->state(), State::Insert);
    QCOMPARE(editor("DBEdit2")->text(), QStringLiteral("-5"));
    QCOMPARE(m_app->ledger.count(), 0);
}

void TestEntryPage::closedViewEmptiesEditors()
{
    start(2);
    view()->close();
    idle();
    for (DBEdit *box : m_app->form->findChildren<DBEdit *>())
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    for (const char *name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn10"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QTest::mouseClick(editor("DBEdit4"), Qt::LeftButton);
    QTest::keyClicks(editor("DBEdit4"), QStringLiteral("x"));
    QCOMPARE(editor("DBEdit4")->text(), QString());
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestEntryPage test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_entrypage.moc"
