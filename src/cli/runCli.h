#pragma once

#include "http/CancelToken.h"

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

/// Exit statuses of the command.
inline constexpr int kExitFinished = 0;   ///< the run reached its summary line
inline constexpr int kExitEndedEarly = 1; ///< no page count, no shop search address, or the output failed
inline constexpr int kExitInvalidInput =
    2; ///< bad options, a failed check, unreadable cookies or output file
inline constexpr int kExitInterrupted = 130; ///< stopped by Ctrl-C (128 + SIGINT, as shells report it)

/// Where the command meets the world.
struct CliEnvironment {
    std::ostream& out;                 ///< standard output: rows, unless --output names a file
    std::ostream& err;                 ///< standard error: log lines, notices, messages
    bool errIsTerminal = false;        ///< show the status text as a progress line on `err`
    std::shared_ptr<CancelToken> stop; ///< cancelled on Ctrl-C: the run stops as 停止 stops it
    /// The shop collector's pause between attempts to find the search address; tests shorten it.
    std::chrono::milliseconds attemptPause{1500};
};

/// Runs velmora-cli with its arguments (UTF-8, without the program name) on the calling thread and
/// returns the exit status.
int runCli(const std::vector<std::string>& args, const CliEnvironment& env);

} // namespace velmora
