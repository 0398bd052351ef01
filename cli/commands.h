// The sub-commands of qvx-imaq; each registers itself on the application and runs from its callback.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/session.h"

namespace qvxcli {

void addHwinfoCommand(CLI::App& app, const GlobalOptions& options);
void addDescribeCommand(CLI::App& app, const GlobalOptions& options);
void addGrabCommand(CLI::App& app, const GlobalOptions& options);
void addGetCommand(CLI::App& app, const GlobalOptions& options);
void addSetCommand(CLI::App& app, const GlobalOptions& options);

} // namespace qvxcli
