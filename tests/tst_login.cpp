// The login dialog driven as a user would: the user list, the login rule,
// Esc, the close box and the failures of a closed or odd user table.
#include "application.h"
#include "dm.h"
#include "login.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zarn;

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void userListAndFocus();
    void loginRule_data();
    void loginRule();
    void escapeAndCloseBoxEndTheRun();
    void nullUserNameStopsTheFill();
    void missingDatabase();

private:
    // Creates the data module and the dialog over the given users.
    void start(const QString &usersSql);
    QComboBox *names() const { return m_login->findChild<QComboBox *>(QStringLiteral("ComboBox1")); }
    QLineEdit *password() const { return m_login->findChild<QLineEdit *>(QStringLiteral("MaskEdit1")); }
    QPushButton *button(const char *name) const
    {
        return m_login->findChild<QPushButton *>(QString::fromLatin1(name));
    }

    std::unique_ptr<test::LedgerFixture> m_fixture;
    std::unique_ptr<test::MessageBoxCatcher> m_boxes;
    std::unique_ptr<Tdm2> m_dm;
    std::unique_ptr<Tdenglu> m_login;
    int m_mainWindowRuns = 0;
};

void TestLogin::init()
{
    Application::instance()->resetTerminateRequest();
    m_fixture = std::make_unique<test::LedgerFixture>();
    m_boxes = std::make_unique<test::MessageBoxCatcher>();
    m_mainWindowRuns = 0;
}

void TestLogin::cleanup()
{
    m_login.reset();
    m_dm.reset();
    dm2 = nullptr;
    m_boxes.reset();
    m_fixture.reset();
    Application::instance()->resetTerminateRequest();
}

void TestLogin::start(const QString &usersSql)
{
    if (!usersSql.isEmpty())
        m_fixture->exec(usersSql);
    m_dm = std::make_unique<Tdm2>(nullptr);
    dm2 = m_dm.get();
    m_login = std::make_unique<Tdenglu>();
    m_login->setMainWindowRunner([this](Tdenglu *owner) {
        ++m_mainWindowRuns;
        QVERIFY(!owner->isVisible()); // hidden while the main window runs
    });
    m_login->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_login.get()));
}

void TestLogin::userListAndFocus()
{
    start(QStringLiteral("insert into new values ('C', '1'), ('A', '2'), ('B', '3'), ('A', '4')"));
    QStringList listed;
    for (int i = 0; i < names()->count(); ++i)
        listed << names()->itemText(i);
    QCOMPARE(listed, (QStringList{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")}));
    QCOMPARE(names()->currentIndex(), 0);
    QCOMPARE(names()->currentText(), QStringLiteral("C"));
    QTRY_COMPARE(QApplication::focusWidget(), button("BitBtn1"));
    QCOMPARE(m_login->windowTitle(), QStringLiteral("登录"));
    QCOMPARE(m_login->size(), QSize(243, 162));
    // Tab order: 登录, 取消, the name box, the password box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button("BitBtn2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(names()->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == names());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), password());
    QCOMPARE(m_boxes->texts, QStringList());
}

void TestLogin::loginRule_data()
{
    QTest::addColumn<QString>("users");
    QTest::addColumn<QString>("name");     // typed over the selection; empty: keep the selection
    QTest::addColumn<QString>("typed");    // password
    QTest::addColumn<bool>("ends");        // the run ends
    QTest::addColumn<bool>("signedIn");    // the main window ran
    const QString abc = QStringLiteral("insert into new values ('A', 'pa'), ('B', 'Pb'), ('C', null), ('D', '')");
    QTest::newRow("selected name, right password") << abc << "" << "pa" << true << true;
    QTest::newRow("typed name, right password") << abc << "B" << "Pb" << true << true;
    QTest::newRow("wrong password") << abc << "B" << "pb" << true << false;
    QTest::newRow("password with a blank") << abc << "A" << "pa " << true << false;
    QTest::newRow("unknown name") << abc << "Z" << "pa" << false << false;
    QTest::newRow("name in other case") << abc << "a" << "pa" << false << false;
    QTest::newRow("name with a blank") << abc << "A " << "pa" << false << false;
    QTest::newRow("Null password matches nothing") << abc << "C" << "" << true << false;
    QTest::newRow("empty password matches empty") << abc << "D" << "" << true << true;
    const QString twice = QStringLiteral("insert into new values ('A', 'first'), ('A', 'second')");
    QTest::newRow("duplicate name: first row") << twice << "A" << "first" << true << true;
    QTest::newRow("duplicate name: other row") << twice << "A" << "second" << true << false;
    QTest::newRow("empty user table") << QString() << "A" << "" << false << false;
}

void TestLogin::loginRule()
{
    QFETCH(QString, users);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(bool, ends);
    QFETCH(bool, signedIn);
    start(users);
    QSignalSpy terminate(Application::instance(), &Application::terminateRequested);
    if (!name.isEmpty()) {
        names()->lineEdit()->selectAll();
        QTest::keyClicks(names()->lineEdit(), name);
    }
    QTest::keyClicks(password(), typed);
    QTest::mouseClick(button("BitBtn1"), Qt::LeftButton);
    QCOMPARE(terminate.count() > 0, ends);
    QCOMPARE(m_mainWindowRuns, signedIn ? 1 : 0);
    QCOMPARE(m_boxes->texts, QStringList()); // never a message
    if (!ends) {
        QVERIFY(m_login->isVisible());
        QCOMPARE(password()->text(), typed);
        // The user may try again: any number of times, nothing happens.
        QTest::mouseClick(button("BitBtn1"), Qt::LeftButton);
        QCOMPARE(terminate.count(), 0);
    }
}

void TestLogin::escapeAndCloseBoxEndTheRun()
{
    start(QStringLiteral("insert into new values ('A', 'a')"));
    QSignalSpy terminate(Application::instance(), &Application::terminateRequested);
    QTest::keyClick(m_login.get(), Qt::Key_Escape);
    QCOMPARE(terminate.count(), 1);
    m_login->close();
    QCOMPARE(terminate.count(), 2);
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    QCOMPARE(terminate.count(), 3);
    QCOMPARE(m_mainWindowRuns, 0);
    // Enter in the password box presses 登录.
    Application::instance()->resetTerminateRequest();
    QTest::mouseClick(password(), Qt::LeftButton);
    QTest::keyClicks(password(), QStringLiteral("a"));
    QTest::keyClick(password(), Qt::Key_Return);
    QCOMPARE(m_mainWindowRuns, 1);
}

void TestLogin::nullUserNameStopsTheFill()
{
    start(QStringLiteral("insert into new values ('A', 'a'), ('B', 'b'), (null, 'c'), ('D', 'd')"));
    QCOMPARE(m_boxes->texts, QStringList{QStringLiteral("不能进行变量转换: 类型 (Null) 到 类型 (String)")});
    QCOMPARE(names()->count(), 2);
    QCOMPARE(names()->currentIndex(), -1);
    QCOMPARE(names()->currentText(), QString());
    QVERIFY(m_login->isVisible());
}

void TestLogin::missingDatabase()
{
    QFile::remove(m_fixture->path());
    start(QString());
    // Three from the data module's opens, the fourth from the dialog's fill.
    QCOMPARE(m_boxes->texts.size(), 4);
    QVERIFY(m_boxes->texts[3].startsWith(QStringLiteral("找不到文件 '")));
    QCOMPARE(m_boxes->captions.value(0), Application::instance()->title());
    QCOMPARE(names()->count(), 0);
    QVERIFY(!QFile::exists(m_fixture->path()));
    QSignalSpy terminate(Application::instance(), &Application::terminateRequested);
    QTest::mouseClick(button("BitBtn1"), Qt::LeftButton);
    QCOMPARE(m_boxes->texts.value(4), QStringLiteral("ADOTable1: 无法在关闭的数据集上执行该操作."));
    QCOMPARE(terminate.count(), 0);
    QVERIFY(m_login->isVisible());
    QTest::mouseClick(button("BitBtn2"), Qt::LeftButton);
    QCOMPARE(terminate.count(), 1);
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestLogin test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_login.moc"
