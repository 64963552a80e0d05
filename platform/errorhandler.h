#pragma once

#include <exception>
#include <functional>

namespace zarn {

// The application's default error handler, reachable from layers that have
// no widgets of their own (the data module reports its start-up opens
// through it). The application object installs itself; until then errors go
// to the log.
using ErrorHandler = std::function<void(const std::exception &)>;
void setErrorHandler(ErrorHandler handler);
void showError(const std::exception &error);

} // namespace zarn
