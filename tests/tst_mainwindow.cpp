// The main window frame: the dataset actions' enabling rules, activation,
// page switching, the clock, the about box and the exit command.
#include "about.h"
#include "application.h"
#include "datasetaction.h"
#include "dm.h"
#include "main.h"
#include "querydataset.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace zarn;
using Kind = DatasetAction::Kind;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init();
    void cleanup();
    void windowSettings();
    void actionRules_data();
    void actionRules();
    void actionsNeedTheMainWindowActive();
    void menuItemsFollowActions();
    void activation();
    void columnSelectors();
    void clock();
    void exitLeavesPendingRowUnwritten();

private:
    void start(int rows);
    QTabWidget *pages() const { return m_app->form->findChild<QTabWidget *>(QStringLiteral("PageControl1")); }
    QWidget *page(const char *name) const { return m_app->form->findChild<QWidget *>(QString::fromLatin1(name)); }
    QueryDataset *view() const { return m_app->view(); }
    QString enabledActions() const;

    std::unique_ptr<test::MainWindowFixture> m_app;
};

void TestMainWindow::init()
{
    Application::instance()->resetTerminateRequest();
    m_app = std::make_unique<test::MainWindowFixture>();
}

void TestMainWindow::cleanup()
{
    m_app.reset();
}

void TestMainWindow::start(int rows)
{
    for (int i = 0; i < rows; ++i)
        m_app->ledger.addRow(QStringLiteral("合同号"), {QStringLiteral("R%1").arg(i)});
    m_app->open();
}

QString TestMainWindow::enabledActions() const
{
    // One letter per action in list order, upper case when enabled.
    QString letters;
    const char names[] = "fpnlideo";
    int i = 0;
    for (DatasetAction *action : m_app->form->ActionList1->actions()) {
        action->update();
        const QChar letter = QChar::fromLatin1(names[i++]);
        letters += action->isEnabled() ? letter.toUpper() : letter;
    }
    return letters;
}

void TestMainWindow::windowSettings()
{
    start(0);
    QCOMPARE(m_app->form->windowTitle(), QStringLiteral("财务管理系统应用程序"));
    QCOMPARE(pages()->size(), QSize(951, 459));
    QCOMPARE(pages()->count(), 3);
    QCOMPARE(pages()->tabText(0), QStringLiteral("增添记录"));
    QCOMPARE(pages()->tabText(1), QStringLiteral("查询信息"));
    QCOMPARE(pages()->tabText(2), QStringLiteral("打印数据"));
    QCOMPARE(pages()->currentWidget(), page("TabSheet1"));
    QCOMPARE(m_app->form->minimumSize(), m_app->form->maximumSize()); // fixed size
    const QList<QMenu *> menus = m_app->form->menuBar()->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
    QStringList titles;
    for (QAction *a : m_app->form->menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, (QStringList{QStringLiteral("菜单项[&M] "), QStringLiteral("编辑[&E] "), QStringLiteral("帮助[&H] ")}));
    QCOMPARE(m_app->form->statusText(0), QStringLiteral("Kestrune"));
    QCOMPARE(m_app->form->statusText(1), QStringLiteral("2003年6月10日"));
    QCOMPARE(m_app->form->statusText(2), QStringLiteral("当前时间"));
}

void TestMainWindow::actionRules_data()
{
    // Letters: first, prior, next, last, insert, delete, edit, post; upper case = enabled.
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("empty ledger") << 0 << "" << "fpnlIdEo";
    QTest::newRow("first row") << 3 << "" << "fpNLIDEo";
    QTest::newRow("back onto the first row") << 3 << "next prior" << "FPNLIDEo";
    QTest::newRow("prior at the first row") << 3 << "next prior prior" << "fpNLIDEo";
    QTest::newRow("last row") << 3 << "last" << "FPnlIDEo";
    QTest::newRow("insert") << 3 << "insert" << "FPNLIDeO";
    QTest::newRow("insert into empty") << 0 << "insert" << "FPNLIDeO";
    QTest::newRow("edit") << 3 << "edit" << "fpNLIDeO";
    QTest::newRow("view closed") << 3 << "close" << "fpnlideo";
}

void TestMainWindow::actionRules()
{
    QFETCH(int, rows);
    QFETCH(QString, steps);
    QFETCH(QString, enabled);
    start(rows);
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"next")
            view()->next();
        else if (step == u"prior")
            view()->prior();
        else if (step == u"last")
            view()->last();
        else if (step == u"insert")
            view()->insert();
        else if (step == u"edit")
            view()->edit();
        else if (step == u"close")
            view()->close();
    }
    QCOMPARE(enabledActions(), enabled);
}

void TestMainWindow::actionsNeedTheMainWindowActive()
{
    start(3);
    QCOMPARE(enabledActions(), QStringLiteral("fpNLIDEo"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(enabledActions(), QStringLiteral("fpnlideo"));
    // A disabled action does nothing when run.
    m_app->form->DataSetNext1->execute();
    QCOMPARE(view()->currentPosition(), 0);
}

void TestMainWindow::menuItemsFollowActions()
{
    start(0);
    auto *insertItem = m_app->form->findChild<QAction *>(QStringLiteral("N15"));
    auto *deleteItem = m_app->form->findChild<QAction *>(QStringLiteral("N16"));
    auto *postItem = m_app->form->findChild<QAction *>(QStringLiteral("N18"));
    m_app->form->ActionList1->updateVisible();
    for (DatasetAction *action : m_app->form->ActionList1->actions())
        action->update();
    QVERIFY(insertItem->isEnabled());
    QVERIFY(!deleteItem->isEnabled());
    QVERIFY(!postItem->isEnabled());
    insertItem->trigger(); // 添加记录
    QCOMPARE(view()->state(), QueryDataset::State::Insert);
    m_app->form->DataSetPost1->update();
    QVERIFY(postItem->isEnabled());
    postItem->trigger(); // 保存记录: a row of Nulls
    QCOMPARE(m_app->ledger.count(), 1);
    m_app->form->DataSetDelete1->update();
    deleteItem->trigger(); // 删除记录: no question asked
    QCOMPARE(m_app->ledger.count(), 0);
    QCOMPARE(m_app->boxes.texts, QStringList());
}

void TestMainWindow::activation()
{
    start(2);
    auto *tabs = pages();
    // The about box is modal: closing it leaves the page in view.
    tabs->setCurrentWidget(page("TabSheet3"));
    auto *about = m_app->form->findChild<QAction *>(QStringLiteral("N5"));
    QTimer::singleShot(100, [this] {
        auto *box = m_app->form->findChild<TAboutBox *>();
        QVERIFY(box && box->isVisible());
        QTest::keyClick(box, Qt::Key_Return);
    });
    about->trigger();
    m_app->form->activateWindow(); // as the window system gives the focus back
    QVERIFY(QTest::qWaitForWindowActive(m_app->form.get()));
    QTest::qWait(50);
    QCOMPARE(tabs->currentWidget(), page("TabSheet3"));
    QCOMPARE(m_app->form->findChildren<TAboutBox *>().size(), 1);

    // A non-modal window of the application: coming back activates the window.
    QWidget preview;
    preview.show();
    preview.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    QCOMPARE(tabs->currentWidget(), page("TabSheet3"));
    m_app->form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_app->form.get()));
    QTRY_COMPARE(tabs->currentWidget(), page("TabSheet1"));
    // The current row is left as it was.
    QCOMPARE(view()->currentPosition(), 0);
}

void TestMainWindow::columnSelectors()
{
    start(3);
    view()->next();
    view()->edit();
    for (const char *name : {"ComboBox1", "ComboBox3"}) {
        auto *selector = m_app->form->findChild<QComboBox *>(QString::fromLatin1(name));
        QVERIFY(selector);
        QVERIFY(!selector->isVisible());
        QCOMPARE(selector->count(), 17);
        QCOMPARE(selector->currentText(), QStringLiteral("合同号"));
        QCOMPARE(selector->itemText(16), QStringLiteral("结存金额"));
        m_app->form->filldata(selector);
        QCOMPARE(selector->count(), 17);
    }
    QCOMPARE(view()->currentPosition(), 1);
    QCOMPARE(view()->state(), QueryDataset::State::Edit);
}

void TestMainWindow::clock()
{
    start(0);
    QCOMPARE(m_app->form->statusText(3), QString());
    QCOMPARE(m_app->form->statusText(4), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!m_app->form->statusText(4).isEmpty(), 3000);
    QCOMPARE(m_app->form->statusText(4), QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日")));
    QVERIFY(QTime::fromString(m_app->form->statusText(3), QStringLiteral("HH:mm:ss")).isValid());
}

void TestMainWindow::exitLeavesPendingRowUnwritten()
{
    start(1);
    view()->edit();
    view()->fieldByName(QStringLiteral("合同号"))->setText(QStringLiteral("changed"));
    QSignalSpy terminate(Application::instance(), &Application::terminateRequested);
    m_app->form->findChild<QAction *>(QStringLiteral("N14"))->trigger();
    QCOMPARE(terminate.count(), 1);
    m_app->form.reset();
    m_app->dm.reset();
    dm2 = nullptr;
    QCOMPARE(m_app->ledger.query(QStringLiteral("select \"合同号\" from xmb")), QStringList{QStringLiteral("R0")});
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
