#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <exception>

class QMessageBox;

namespace zarn {

// The application object: derives the title from the program file's name,
// shows errors that reach the top of an event in the default error box, and
// ends the run through a posted terminate request.
class Application final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    Application(int &argc, char **argv);
    ~Application() override;

    static Application *instance();

    // The program file's name without directory, cut at its first full stop,
    // every character after the first in lower case.
    static QString titleFromProgramPath(const QString &path);
    QString title() const;

    // The message with "." added unless it is empty or ends in a character
    // whose code is not above that of the full stop.
    static QString withFullStop(const QString &message);
    static QString messageOf(const std::exception &error);

    // The default error handler: a stop-icon box captioned with the title.
    void handleException(const std::exception &error);
    // A question box with "确定" and "取消"; true for "确定".
    bool confirm(const QString &caption, const QString &text);
    // The last-resort box for an error that escapes start-up.
    void showLastResortError(const std::exception &error);
    static QString lastResortText(const std::exception &error, const QString &programName);

    // Posts a quit request; the loop that takes it sets the terminate flag
    // and every running loop ends.
    void terminate();
    bool isTerminated() const { return m_terminated; }
    // Drops a pending request and clears the flag, so that one process can
    // run several sign-ins in a row (tests).
    void resetTerminateRequest();

    // The first window created through the form-creation call.
    QWidget *mainForm() const { return m_mainForm; }
    void registerForm(QWidget *form);

    bool notify(QObject *receiver, QEvent *event) override;

signals:
    // Emitted with every error box just before it runs; tests close it.
    void messageBoxAboutToShow(QMessageBox *box);
    void terminateRequested();

protected:
    bool event(QEvent *event) override;

private:
    void loadTranslations();

    bool m_terminated = false;
    QPointer<QWidget> m_mainForm;
};

} // namespace zarn
