#pragma once

namespace zarn {

// The program's entry: splash screen, data module, login dialog, one
// second's wait, then the message loop until the application terminates.
// Returns the process exit code.
int runApplication(int argc, char **argv);

} // namespace zarn
