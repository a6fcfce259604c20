// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace kelmora {

// What the command line asks for: `kelmora [FILE]`. --help and --version answer on standard
// output, a mistake on standard error, and then the program ends with `exitStatus` (0, or 2 for
// a mistake) before it needs a display.
struct CommandLine {
    std::optional<int> exitStatus;
    QString listFile; // a selection list to load at start, or empty
};

CommandLine readCommandLine(int &argc, char *argv[]);

} // namespace kelmora
