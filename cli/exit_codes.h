// The exit codes of qvx-imaq and the errors that lead to them.
#pragma once

#include <stdexcept>

namespace qvxcli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,    // the command could not do its work: device, format, camera file, files, timeout
    kExitUsage = 2,      // the command line itself is wrong: unknown option, a value out of range
    kExitNotApplied = 3, // the camera does not deliver what was asked (format, region, property, device)
    // A signal ends the program with 128 + its number (130 for SIGINT, 143 for SIGTERM).
};

// What the user typed cannot be right, whatever the camera; exits with kExitUsage.
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The adaptor or the camera did not take what the user asked for; exits with kExitNotApplied unless the
// user accepted it with --keep-going.
class NotAppliedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qvxcli
