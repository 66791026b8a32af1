#include "cli/cliOptions.h"

#include "text/codePages.h"

#include <functional>
#include <map>

namespace velmora {

const std::string_view kCliUsage =
    "usage: velmora-cli [options] KEYWORD_OR_SHOP_ADDRESS\n"
    "Collects the listings of a search keyword, or the items of a shop when the argument holds \"http\".\n"
    "  --sort default|sales     综合 (default) or 销量\n"
    "  --price-low TEXT         the lower price, digits and \"-\" (default empty)\n"
    "  --price-high TEXT        the upper price, digits and \"-\" (default empty)\n"
    "  --tmall-only             只采集天猫: Tmall listings only\n"
    "  --pages TEXT             the page limit, as typed (default 10)\n"
    "  --filter WORD            keep only the rows with WORD in a listing's link or a shop item's title\n"
    "  --market-domain D        send every request to a marketplace simulator under D\n"
    "  --cookies FILE           load a Netscape cookies.txt into the cookie store first (a shop sign-in)\n"
    "  --format csv|tsv|jsonl   the rows' format (default csv); tsv writes a backslash, tab, line feed and\n"
    "                           carriage return inside a cell as \\\\, \\t, \\n and \\r\n"
    "  --output FILE            write the rows to FILE (default standard output); a CSV file begins with\n"
    "                           the UTF-8 byte-order mark, standard output never does\n"
    "  -h, --help               show this text\n"
    "Rows go to the output as they are complete; the log goes to standard error.\n"
    "Exit status: 0 the run finished, 1 it ended early (no page count, no shop search address, output\n"
    "failure), 2 invalid input, 130 stopped by Ctrl-C.\n";

namespace {

using ValueSetter = std::function<std::optional<std::string>(CliOptions&, const std::string&)>;

/// The price boxes take only digits and "-", and the text goes into the search address as typed:
/// anything else could add parameters to it.
std::optional<std::string> priceText(Text& box, std::string_view option, const std::string& value) {
    if (value.find_first_not_of("0123456789-") != std::string::npos) {
        return std::string(option) + " takes digits and \"-\" only: " + value;
    }
    box = value;
    return std::nullopt;
}

const std::map<std::string, ValueSetter, std::less<>>& valueOptions() {
    static const std::map<std::string, ValueSetter, std::less<>> options = {
        {"--sort",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             if (v != "default" && v != "sales") {
                 return "--sort takes default or sales, not " + v;
             }
             o.bySales = v == "sales";
             return std::nullopt;
         }},
        {"--price-low",
         [](CliOptions& o, const std::string& v) { return priceText(o.inputs.priceLow, "--price-low", v); }},
        {"--price-high",
         [](CliOptions& o, const std::string& v) {
             return priceText(o.inputs.priceHigh, "--price-high", v);
         }},
        {"--pages",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             o.inputs.pages = utf8ToAnsi(v);
             return std::nullopt;
         }},
        {"--filter",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             o.inputs.filterTicked = true;
             o.inputs.filterWord = utf8ToAnsi(v);
             return std::nullopt;
         }},
        {"--market-domain",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             if (v.empty()) {
                 return std::string("--market-domain takes a domain");
             }
             o.marketDomain = v;
             return std::nullopt;
         }},
        {"--cookies",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             o.cookiesFile = v;
             return std::nullopt;
         }},
        {"--format",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             static const std::map<std::string, LineFormat, std::less<>> formats = {
                 {"csv", LineFormat::Csv}, {"tsv", LineFormat::Tsv}, {"jsonl", LineFormat::JsonLines}};
             const auto format = formats.find(v);
             if (format == formats.end()) {
                 return "--format takes csv, tsv or jsonl, not " + v;
             }
             o.format = format->second;
             return std::nullopt;
         }},
        {"--output",
         [](CliOptions& o, const std::string& v) -> std::optional<std::string> {
             o.outputFile = v;
             return std::nullopt;
         }},
    };
    return options;
}

} // namespace

std::variant<CliOptions, std::string> parseCliOptions(const std::vector<std::string>& args) {
    CliOptions options;
    options.inputs.pages = "10";
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--tmall-only") {
            options.inputs.tmallOnly = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, equals);
        const auto option = valueOptions().find(name);
        if (option == valueOptions().end()) {
            return "unknown option " + std::string(name);
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (at + 1 < args.size()) {
            value = args[++at];
        } else {
            return std::string(name) + " needs a value";
        }
        if (auto error = option->second(options, value)) {
            return *error;
        }
    }
    if (options.help) {
        return options;
    }
    if (positional.size() != 1) {
        return positional.empty() ? "no KEYWORD_OR_SHOP_ADDRESS given"
                                  : "one KEYWORD_OR_SHOP_ADDRESS expected, found " +
                                        std::to_string(positional.size()) + " (quote a keyword with spaces)";
    }
    options.inputs.keyword = utf8ToAnsi(positional.front());
    return options;
}

} // namespace velmora
