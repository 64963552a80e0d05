#include "application.h"

#include "errorhandler.h"
#include "errors.h"
#include "fonts.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <memory>
#include <typeinfo>

namespace zarn {

namespace {
const QEvent::Type kQuitRequest = QEvent::Type(QEvent::registerEventType());
}

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The login dialog ends the run itself; hiding it must not.
    setQuitOnLastWindowClosed(false);
    loadTranslations();
    installFontSubstitutions();
    setStyle(QStringLiteral("Fusion")); // the flat look of every window
    setErrorHandler([this](const std::exception &error) { handleException(error); });
}

Application::~Application()
{
    setErrorHandler({});
}

Application *Application::instance()
{
    return static_cast<Application *>(QCoreApplication::instance());
}

void Application::loadTranslations()
{
    // The toolkit's own texts the user meets (buttons, context menus) are
    // Chinese whatever the system's language.
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QString::fromLatin1(name), directory)) {
            translator->setParent(this);
            installTranslator(translator.release());
        }
    }
}

QString Application::titleFromProgramPath(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    const auto dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString Application::title() const
{
    return titleFromProgramPath(applicationFilePath());
}

QString Application::withFullStop(const QString &message)
{
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

QString Application::messageOf(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const Error *>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}

void Application::handleException(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, title(), withFullStop(messageOf(error)), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    emit messageBoxAboutToShow(&box);
    box.exec();
}

bool Application::confirm(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    emit messageBoxAboutToShow(&box);
    return box.exec() == QMessageBox::Ok;
}

QString Application::lastResortText(const std::exception &error, const QString &programName)
{
    const auto *own = dynamic_cast<const Error *>(&error);
    const QString kind = own ? QString::fromLatin1(own->kind()) : QStringLiteral("Exception");
    const QString message = messageOf(error);
    const QString position = QStringLiteral("%1").arg(qulonglong(quintptr(&typeid(error))), 8, 16, QChar(u'0')).toUpper();
    return QStringLiteral("异常 %1 发生在模块 %2 中的 %3 位置.\n%4%5")
        .arg(kind, programName, position, message,
             !message.isEmpty() && !message.endsWith(u'.') ? QStringLiteral(".") : QString());
}

void Application::showLastResortError(const std::exception &error)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("应用程序错误"),
                    lastResortText(error, QFileInfo(applicationFilePath()).fileName()), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setWindowModality(Qt::ApplicationModal);
    emit messageBoxAboutToShow(&box);
    box.exec();
}

void Application::terminate()
{
    postEvent(this, new QEvent(kQuitRequest));
    emit terminateRequested();
}

void Application::resetTerminateRequest()
{
    removePostedEvents(this, kQuitRequest);
    m_terminated = false;
}

void Application::registerForm(QWidget *form)
{
    if (!m_mainForm)
        m_mainForm = form;
}

bool Application::event(QEvent *event)
{
    if (event->type() == kQuitRequest) {
        m_terminated = true;
        exit(0);
        return true;
    }
    return QApplication::event(event);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        // The top of an event: show the error, abandon the event, go on.
        handleException(error);
    }
    return false;
}

} // namespace zarn
