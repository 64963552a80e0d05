#include "modal.h"

#include "application.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace zarn {

namespace {

// Ends the loop when the watched window is hidden.
class HideWatcher final : public QObject
{
public:
    HideWatcher(QWidget *window, QEventLoop *loop)
        : QObject(window), m_loop(loop)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            m_loop->quit();
        return false;
    }

private:
    QEventLoop *m_loop;
};

} // namespace

void showModal(QWidget *window)
{
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QEventLoop loop;
    auto watcher = std::make_unique<HideWatcher>(window, &loop);
    if (!Application::instance()->isTerminated())
        loop.exec(QEventLoop::DialogExec);
    watcher.reset();
    if (guard)
        guard->hide();
}

} // namespace zarn
