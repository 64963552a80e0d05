#include "startup.h"

#include "application.h"
#include "dm.h"
#include "logosrc.h"

#include <QIcon>
#include <QThread>
#include <memory>

namespace zarn {

int runApplication(int argc, char **argv)
{
    Application app(argc, argv); // 1. initialise the toolkit
    app.setWindowIcon(QIcon(QStringLiteral(":/mainicon.png")));

    // Owned by the start-up sequence in creation order, so that they are
    // destroyed last-created first: the windows before the data module.
    std::unique_ptr<Tdm2> dataModule;
    try {
        auto logo = std::make_unique<Tlogo>(); // 2.
        logo->show();                          // 3. in front, painted before the slow steps
        logo->raise();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        logo->repaint();

        dataModule = std::make_unique<Tdm2>(nullptr); // 4. opens connection, ledger, users
        dm2 = dataModule.get();

        // 5. The login dialog joins here; it becomes the main window.

        QThread::msleep(1000); // 6.
        logo->hide();          // 7.
        logo.reset();
    } catch (const std::exception &error) {
        app.showLastResortError(error);
        return 1;
    }

    // 8. Run until terminated; without a login dialog there is nothing to run.
    if (app.mainForm()) {
        app.mainForm()->show();
        app.exec();
    }
    // 9. The windows go first, then the data module with its views.
    dataModule.reset();
    return 0;
}

} // namespace zarn
