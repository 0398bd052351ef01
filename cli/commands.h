// The sub-commands of qvx-imaq; each registers itself on the application and runs from its callback.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/session.h"

namespace qvxcli {

// An empty value is a mistake, never "not given": refused like any wrong value (exit code 2).
inline CLI::Option* refuseEmpty(CLI::Option* option) {
    return option->check(CLI::Validator(
        [](std::string& value) {
            return value.empty() ? std::string("an empty value is no value; leave the option out instead")
                                 : std::string();
        },
        "", "non-empty"));
}

void addHwinfoCommand(CLI::App& app, const GlobalOptions& options);
void addDescribeCommand(CLI::App& app, const GlobalOptions& options);
void addGrabCommand(CLI::App& app, const GlobalOptions& options);
void addGetCommand(CLI::App& app, const GlobalOptions& options);
void addSetCommand(CLI::App& app, const GlobalOptions& options);

} // namespace qvxcli
