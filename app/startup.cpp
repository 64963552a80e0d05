#include "startup.h"

#include "application.h"
#include "dm.h"
#include "login.h"
#include "logosrc.h"
#include "main.h"
#include "modal.h"

#include <QIcon>
#include <QThread>
#include <memory>

namespace zarn {

namespace {

// What the login dialog runs after a correct password: the main window,
// owned by the dialog, shown modally.
void runMainWindow(Tdenglu *owner)
{
    auto *form = new TForm1(owner);
    form->setObjectName(QStringLiteral("Form1"));
    showModal(form);
}

} // namespace

int runApplication(int argc, char **argv)
{
    Application app(argc, argv); // 1. initialise the toolkit
    app.setWindowIcon(QIcon(QStringLiteral(":/mainicon.png")));

    // Owned by the start-up sequence in creation order and destroyed
    // last-created first: the windows before the data module.
    std::unique_ptr<Tdm2> dataModule;
    std::unique_ptr<Tdenglu> login;
    try {
        auto logo = std::make_unique<Tlogo>(); // 2.
        logo->show();                          // 3. in front, painted before the slow steps
        logo->raise();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        logo->repaint();

        dataModule = std::make_unique<Tdm2>(nullptr); // 4. opens connection, ledger, users
        dm2 = dataModule.get();

        login = std::make_unique<Tdenglu>(); // 5. fills the user list; the main window
        login->setMainWindowRunner(runMainWindow);

        QThread::msleep(1000); // 6.
        logo->hide();          // 7.
        logo.reset();
    } catch (const std::exception &error) {
        app.showLastResortError(error);
        return 1;
    }

    // 8. The main window (the login dialog) shows, centred; the loop runs until terminated.
    app.mainForm()->show();
    app.exec();

    // 9. The login dialog with the main window first, then the data module.
    login.reset();
    dataModule.reset();
    return 0;
}

} // namespace zarn
