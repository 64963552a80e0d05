#include "errorhandler.h"

#include "errors.h"

#include <QDebug>

namespace zarn {

namespace {
ErrorHandler &installedHandler()
{
    static ErrorHandler handler;
    return handler;
}
} // namespace

void setErrorHandler(ErrorHandler handler)
{
    installedHandler() = std::move(handler);
}

void showError(const std::exception &error)
{
    if (installedHandler()) {
        installedHandler()(error);
        return;
    }
    if (const auto *own = dynamic_cast<const Error *>(&error))
        qWarning().noquote() << own->message();
    else
        qWarning() << error.what();
}

} // namespace zarn
