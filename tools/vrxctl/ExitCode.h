#pragma once

namespace vrxctl {

// What vrxctl tells the shell; listed in every --help.
enum ExitCode {
    Success = 0,
    NotConfirmed = 1,  // no reply, wrong echo, verify mismatch; for scan and discover: nothing found
    BadInput = 2,      // bad input or usage
    SocketFailure = 3, // bind refused, address in use, no privilege, send refused, no route
    Interrupted = 130, // Ctrl+C: as the shell reports a program ended by it (128 + SIGINT)
    Terminated = 143   // SIGTERM (128 + SIGTERM), after the work done so far was reported
};

} // namespace vrxctl
