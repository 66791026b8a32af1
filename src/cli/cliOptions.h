#pragma once

#include "collectors/runInputs.h"
#include "output/rowLines.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora {

/// What the command line asks for.
struct CliOptions {
    RunInputs inputs;                        ///< the boxes and ticks of the window, in code page 936
    bool bySales = false;                    ///< --sort sales
    std::optional<std::string> marketDomain; ///< --market-domain
    std::optional<std::string> cookiesFile;  ///< --cookies, a file name as given
    LineFormat format = LineFormat::Csv;     ///< --format
    std::optional<std::string> outputFile;   ///< --output, a file name as given
    bool help = false;                       ///< --help
};

/// The usage text, UTF-8, ending with a line feed.
extern const std::string_view kCliUsage;

/// Reads the arguments (UTF-8, without the program name): the options, or what is wrong with them.
/// Options take their value as the next argument or after "="; "--" ends the options.
std::variant<CliOptions, std::string> parseCliOptions(const std::vector<std::string>& args);

} // namespace velmora
