#include "cli/cliOptions.h"

#include "text/codePages.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

CliOptions parsed(const std::vector<std::string>& args) {
    auto result = parseCliOptions(args);
    if (const std::string* error = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << *error;
        return {};
    }
    return std::get<CliOptions>(result);
}

TEST(CliOptions, DefaultsAreTheWindowsInitialState) {
    const CliOptions options = parsed({"连衣裙"});
    EXPECT_EQ(options.inputs.keyword, utf8ToAnsi("连衣裙"));
    EXPECT_EQ(options.inputs.priceLow, "");
    EXPECT_EQ(options.inputs.priceHigh, "");
    EXPECT_EQ(options.inputs.pages, "10");
    EXPECT_FALSE(options.inputs.tmallOnly);
    EXPECT_FALSE(options.inputs.filterTicked);
    EXPECT_FALSE(options.bySales);
    EXPECT_EQ(options.format, LineFormat::Csv);
    EXPECT_FALSE(options.marketDomain || options.cookiesFile || options.outputFile || options.help);
}

TEST(CliOptions, EveryOptionTakesItsValueSeparateOrAfterEquals) {
    for (const bool joined : {false, true}) {
        const std::vector<std::pair<std::string, std::string>> pairs = {
            {"--sort", "sales"},    {"--price-low", "10"}, {"--price-high", "-50"},
            {"--pages", "三"},      {"--filter", "天猫"},  {"--market-domain", "m.localhost:1"},
            {"--cookies", "c.txt"}, {"--format", "jsonl"}, {"--output", "o=1.json"}};
        std::vector<std::string> args;
        for (const auto& [name, value] : pairs) {
            if (joined) {
                args.push_back(name + "=" + value);
            } else {
                args.push_back(name);
                args.push_back(value);
            }
        }
        args.push_back("--tmall-only");
        args.push_back("kw");
        const CliOptions options = parsed(args);
        EXPECT_TRUE(options.bySales);
        EXPECT_EQ(options.inputs.priceLow, "10");
        EXPECT_EQ(options.inputs.priceHigh, "-50");
        EXPECT_EQ(options.inputs.pages, utf8ToAnsi("三"));
        EXPECT_TRUE(options.inputs.filterTicked);
        EXPECT_EQ(options.inputs.filterWord, utf8ToAnsi("天猫"));
        EXPECT_EQ(options.marketDomain, "m.localhost:1");
        EXPECT_EQ(options.cookiesFile, "c.txt");
        EXPECT_EQ(options.format, LineFormat::JsonLines);
        EXPECT_EQ(options.outputFile, "o=1.json");
        EXPECT_TRUE(options.inputs.tmallOnly);
        EXPECT_EQ(options.inputs.keyword, "kw");
    }
}

TEST(CliOptions, DoubleDashLetsAKeywordBeginWithADash) {
    EXPECT_EQ(parsed({"--", "--sort"}).inputs.keyword, "--sort");
    EXPECT_EQ(parsed({"-"}).inputs.keyword, "-");
    EXPECT_EQ(parsed({"--filter", "", ""}).inputs.keyword, "");
    EXPECT_TRUE(parsed({"--filter", "", ""}).inputs.filterTicked);
}

TEST(CliOptions, HelpNeedsNoKeyword) {
    EXPECT_TRUE(parsed({"--help"}).help);
}

struct BadArgsCase {
    std::vector<std::string> args;
    std::string error;
};

TEST(CliOptions, BadArgumentsSayWhatIsWrong) {
    const BadArgsCase cases[] = {
        {{}, "no KEYWORD_OR_SHOP_ADDRESS given"},
        {{"a", "b"}, "one KEYWORD_OR_SHOP_ADDRESS expected, found 2 (quote a keyword with spaces)"},
        {{"--bogus", "a"}, "unknown option --bogus"},
        {{"-x", "a"}, "unknown option -x"},
        {{"a", "--pages"}, "--pages needs a value"},
        {{"--sort", "price", "a"}, "--sort takes default or sales, not price"},
        {{"--format", "xlsx", "a"}, "--format takes csv, tsv or jsonl, not xlsx"},
        {{"--price-low", "1.5", "a"}, "--price-low takes digits and \"-\" only: 1.5"},
        {{"--price-high=5&x=1", "a"}, "--price-high takes digits and \"-\" only: 5&x=1"},
        {{"--market-domain=", "a"}, "--market-domain takes a domain"},
    };
    for (const auto& c : cases) {
        auto result = parseCliOptions(c.args);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.error;
        EXPECT_EQ(std::get<std::string>(result), c.error);
    }
}

} // namespace
} // namespace velmora
