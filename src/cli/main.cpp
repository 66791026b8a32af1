#include "cli/interruptWatch.h"
#include "cli/runCli.h"

#include <iostream>

#include <unistd.h>

int main(int argc, char** argv) {
    // Before any other thread exists, so that every thread inherits the blocked SIGINT.
    const velmora::InterruptWatch interrupts;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const velmora::CliEnvironment env{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, interrupts.token()};
    return velmora::runCli(args, env);
}
