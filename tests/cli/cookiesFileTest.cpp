#include "cli/cookiesFile.h"

#include "tempDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora {
namespace {

TEST(CookiesFile, ReadsNetscapeLinesAndSkipsCommentsAndBlankLines) {
    const std::string content =
        "# Netscape HTTP Cookie File\n"
        "\n"
        ".market.localhost\tTRUE\t/\tFALSE\t0\tcookie2\tabc123\r\n"
        "#HttpOnly_shop1.market.localhost\tFALSE\t/dir\tTRUE\t4102444800\t_tb_token_\tx=y\n"
        "item.market.localhost\tfalse\t/\tfalse\t0\tempty\n"
        "   \n";
    auto parsed = parseCookiesFile(content);
    ASSERT_TRUE(std::holds_alternative<std::vector<Cookie>>(parsed)) << std::get<std::string>(parsed);
    const std::vector<Cookie> expected = {
        {"market.localhost", true, "/", false, false, 0, "cookie2", "abc123"},
        {"shop1.market.localhost", false, "/dir", true, true, 4102444800, "_tb_token_", "x=y"},
        {"item.market.localhost", false, "/", false, false, 0, "empty", ""},
    };
    EXPECT_EQ(std::get<std::vector<Cookie>>(parsed), expected);
}

TEST(CookiesFile, LineOfAnotherShapeIsAnError) {
    const std::pair<const char*, const char*> cases[] = {
        {"# c\nname=value\n", "line 2: expected 7 tab-separated fields, found 1"},
        {"a\tTRUE\t/\tFALSE\tsoon\tn\tv\n", "line 1: the expiry \"soon\" is not a number"},
        {".\tTRUE\t/\tFALSE\t0\tn\tv\n", "line 1: no domain"},
        {"a\tTRUE\t/\tFALSE\t0\tn\tv\textra\n", "line 1: expected 7 tab-separated fields, found 8"},
    };
    for (const auto& [content, error] : cases) {
        auto parsed = parseCookiesFile(content);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << content;
        EXPECT_EQ(std::get<std::string>(parsed), error);
    }
}

TEST(CookiesFile, LoadPutsTheCookiesIntoTheSharedStore) {
    CookieStore::shared().clear();
    const test::TempDirectory directory;
    const std::string path = (directory.path() / "cookies.txt").string();
    std::ofstream(path) << ".market.localhost\tTRUE\t/\tFALSE\t0\tcookie2\tsigned-in\n";
    ASSERT_EQ(loadCookiesFile(path), std::nullopt);
    const std::vector<Cookie> stored = CookieStore::shared().list();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].domain, "market.localhost");
    EXPECT_EQ(stored[0].name, "cookie2");
    EXPECT_EQ(stored[0].value, "signed-in");
    CookieStore::shared().clear();
}

TEST(CookiesFile, UnreadableFileIsAnError) {
    const auto error = loadCookiesFile("/nonexistent/cookies.txt");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, "cannot read /nonexistent/cookies.txt: No such file or directory");
    const test::TempDirectory directory;
    const auto ofDirectory = loadCookiesFile(directory.path());
    ASSERT_TRUE(ofDirectory.has_value());
    EXPECT_TRUE(ofDirectory->ends_with("Is a directory")) << *ofDirectory;
}

} // namespace
} // namespace velmora
