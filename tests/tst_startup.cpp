// The application object: title, error boxes, the terminate request and the
// last-resort box; the splash screen.
#include "application.h"
#include "errors.h"
#include "logosrc.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace zarn;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void title_data();
    void title();
    void fullStopRule_data();
    void fullStopRule();
    void errorBoxAtTheTopOfAnEvent();
    void terminateEndsEveryLoop();
    void lastResortText();
    void splashScreen();
};

void TestStartup::title_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "/usr/bin/zarn" << "zarn";
    QTest::newRow("extension cut") << "/opt/ZARN.EXE" << "Zarn";
    QTest::newRow("first full stop") << "/x/Ledger.Tool.exe" << "Ledger";
    QTest::newRow("mixed case") << "C:/apps/MyLedger" << "Myledger";
}

void TestStartup::title()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(Application::titleFromProgramPath(path), title);
}

void TestStartup::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "abc" << "abc.";
    QTest::newRow("digit") << "12" << "12.";
    QTest::newRow("chinese") << "无法打开" << "无法打开.";
    QTest::newRow("ideographic full stop") << "完成。" << "完成。.";
    QTest::newRow("full stop") << "done." << "done.";
    QTest::newRow("blank") << "a " << "a ";
    QTest::newRow("bracket") << "(x)" << "(x)";
    QTest::newRow("quote") << "'zarn.mdb'" << "'zarn.mdb'";
    QTest::newRow("empty") << "" << "";
}

void TestStartup::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(Application::withFullStop(message), shown);
}

void TestStartup::errorBoxAtTheTopOfAnEvent()
{
    auto *app = Application::instance();
    QString caption, text, button;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    auto connection = connect(app, &Application::messageBoxAboutToShow, this, [&](QMessageBox *box) {
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        button = box->buttons().value(0)->text();
        QTimer::singleShot(0, box, &QMessageBox::accept);
    });
    // An error raised in a handler is shown, and the loop goes on.
    bool afterwards = false;
    QTimer::singleShot(0, app, [] { throw DatabaseError(QStringLiteral("ADOQuery1: 数据集不在修改或插入模式")); });
    QTimer::singleShot(10, app, [&] { afterwards = true; });
    QTRY_VERIFY(afterwards);
    disconnect(connection);
    QCOMPARE(caption, app->title());
    QCOMPARE(text, QStringLiteral("ADOQuery1: 数据集不在修改或插入模式."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(button, QStringLiteral("确定"));
}

void TestStartup::terminateEndsEveryLoop()
{
    auto *app = Application::instance();
    QVERIFY(!app->isTerminated());
    QEventLoop outer, inner;
    bool innerEnded = false;
    QTimer::singleShot(0, &outer, [&] {
        app->terminate();
        app->terminate(); // a second request does no harm
        inner.exec();
        innerEnded = true;
    });
    outer.exec();
    QVERIFY(innerEnded);
    QVERIFY(app->isTerminated());
}

void TestStartup::lastResortText()
{
    const QString text = Application::lastResortText(DatabaseError(QStringLiteral("资源无法读取")), QStringLiteral("zarn"));
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(QStringLiteral("异常 EDatabaseError 发生在模块 zarn 中的 ")), qPrintable(lines[0]));
    QVERIFY(lines[0].endsWith(QStringLiteral(" 位置.")));
    QCOMPARE(lines[1], QStringLiteral("资源无法读取."));
    QVERIFY(Application::lastResortText(Error(QStringLiteral("done.")), QStringLiteral("zarn")).endsWith(QStringLiteral("\ndone.")));
}

void TestStartup::splashScreen()
{
    Tlogo logo;
    QCOMPARE(logo.size(), QSize(300, 200));
    QVERIFY(logo.windowFlags() & Qt::FramelessWindowHint);
    auto *image = logo.findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->pixmap().size(), QSize(300, 200));
    QCOMPARE(image->geometry(), QRect(0, 0, 300, 200));
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
