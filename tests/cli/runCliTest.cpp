#include "cliFixture.h"

#include "cli/cliOptions.h"
#include "output/ResultRow.h"
#include "output/rowLines.h"
#include "rowReaders.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora {
namespace {

using market::RequestKind;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<std::string> kTitles(kColumnTitles.begin(), kColumnTitles.end());
const std::vector<std::string> kKeys(kColumnKeys.begin(), kColumnKeys.end());

Rows withHeader(Rows rows) {
    rows.insert(rows.begin(), kTitles);
    return rows;
}

class CliRun : public test::CliFixture {};

struct FormatCase {
    const char* name;
    LineFormat format;
};

class CliFormatTest : public test::CliFixture, public testing::WithParamInterface<FormatCase> {};

TEST_P(CliFormatTest, KeywordRunWritesHeaderAndEveryRowAndExitsZero) {
    server.setKeyword("cli format", {.listingCount = 5});
    const char* names[] = {"csv", "tsv", "jsonl"};
    const test::CliResult result = run({"--format", names[int(GetParam().format)], "cli format"});

    EXPECT_EQ(result.status, kExitFinished) << result.err;
    const Rows expected = keywordRows(server.listings("cli format"));
    ASSERT_EQ(expected.size(), 5u);
    switch (GetParam().format) {
    case LineFormat::Csv:
        EXPECT_EQ(test::readCsv(result.out), withHeader(expected));
        break;
    case LineFormat::Tsv:
        EXPECT_EQ(test::readTsv(result.out), withHeader(expected));
        break;
    case LineFormat::JsonLines:
        EXPECT_EQ(test::readJsonLines(result.out, kKeys), expected);
        break;
    }
    EXPECT_EQ(test::logMessages(result.err),
              (std::vector<std::string>{"搜索关键词开始！", "关键词：cli format 页数：1", "1/1",
                                        "采集完毕，共计：5 条数据！"}));
    EXPECT_TRUE(test::notices(result.err).empty());
    EXPECT_EQ(result.err.find('\r'), std::string::npos) << "no progress line off a terminal";
}

INSTANTIATE_TEST_SUITE_P(Formats, CliFormatTest,
                         testing::Values(FormatCase{"Csv", LineFormat::Csv},
                                         FormatCase{"Tsv", LineFormat::Tsv},
                                         FormatCase{"JsonLines", LineFormat::JsonLines}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliRun, SortPriceTmallAndPagesShapeTheSearchAsTheWindowsBoxesDo) {
    server.setKeyword("cli options", {.listingCount = 400});
    const test::CliResult result = run({"--sort", "sales", "--price-low", "10", "--price-high", "500",
                                        "--tmall-only", "--pages", "1", "cli options"});
    EXPECT_EQ(result.status, kExitFinished) << result.err;

    const market::SearchOptions options{.bySales = true, .minPrice = 10, .maxPrice = 500, .tmallOnly = true};
    auto listings = server.listings("cli options", options);
    ASSERT_GT(listings.size(), 44u) << "the page limit must cut the walk short";
    listings.resize(44);
    EXPECT_EQ(test::readCsv(result.out), withHeader(keywordRows(listings)));

    const auto requests = server.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().kind, RequestKind::KeywordFirstLook);
    EXPECT_TRUE(
        requests.front().target.ends_with("?q=cli+options&sort=sale-desc&filter=reserve_price%5B10%2C500%5D"
                                          "&tab=mall"))
        << requests.front().target;
    EXPECT_EQ(requestsOfKind(RequestKind::ResultPage), 1);
}

TEST_F(CliRun, FilterKeepsTheListingsWhoseLinkHoldsTheWord) {
    server.setKeyword("cli filter", {.listingCount = 30});
    const test::CliResult result = run({"--filter", "tmall", "--format", "tsv", "cli filter"});
    EXPECT_EQ(result.status, kExitFinished) << result.err;

    std::vector<market::Listing> kept;
    for (const market::Listing& listing : server.listings("cli filter")) {
        if (listing.detailUrlField.find("tmall") != std::string::npos) {
            kept.push_back(listing);
        }
    }
    ASSERT_FALSE(kept.empty());
    ASSERT_LT(kept.size(), 30u);
    EXPECT_EQ(test::readTsv(result.out), withHeader(keywordRows(kept)));
}

TEST_F(CliRun, NoPageCountEndsWithStatusOneAndTheHeaderAlone) {
    const test::CliResult result = run({"nopager cli"});
    EXPECT_EQ(result.status, kExitEndedEarly);
    EXPECT_EQ(result.out, headerLine(LineFormat::Csv));
    EXPECT_EQ(test::logMessages(result.err),
              (std::vector<std::string>{"搜索关键词开始！", "关键词：nopager cli 页数：", "获取页数失败！"}));
}

TEST_F(CliRun, ShopRunSignedInThroughCookiesFileWalksTheShop) {
    const std::string shopId = "123457";
    market::ShopSettings shop = server.shopSettings(shopId);
    shop.itemCount = 30;
    shop.pageSize = 24;
    shop.layout = market::ShopLayout::Plain;
    shop.noSalesEvery = 0;
    server.setShop(shopId, shop);
    const std::string cookies = signInCookiesFile();

    const test::CliResult result =
        run({"--cookies", cookies, "--format", "jsonl", server.url("shop" + shopId, "/")});
    EXPECT_EQ(result.status, kExitFinished) << result.err;

    Rows expected;
    for (int page = 1; page <= server.shopPageCount(shopId); ++page) {
        for (const market::ShopItem& item : server.shopItems(shopId, page)) {
            expected.push_back({std::to_string(expected.size() + 1), "http:" + item.link, item.title,
                                shop.nick, item.saleNum});
        }
    }
    ASSERT_EQ(expected.size(), 30u);
    EXPECT_EQ(test::readJsonLines(result.out, kKeys), expected);
    EXPECT_EQ(test::logMessages(result.err),
              (std::vector<std::string>{"搜索店铺开始！", "店铺ID：" + shopId, "Userid：" + shop.nick,
                                        "获取地址成功！！", "第：1 页", "第：2 页", "第：3 页",
                                        "获取完毕，3 页 30 条数据！"}));
    EXPECT_TRUE(test::notices(result.err).empty()) << "no sign-in notice when the cookie works";
}

TEST_F(CliRun, ShopRunWithoutSignInNamesTheSignInAddressAndExitsOne) {
    const std::string address = server.url("shop123457", "/");
    const test::CliResult result = run({address});
    EXPECT_EQ(result.status, kExitEndedEarly);
    EXPECT_EQ(result.out, headerLine(LineFormat::Csv));
    EXPECT_EQ(test::notices(result.err),
              (std::vector<std::string>{
                  "velmora-cli: the shop's item search wants a signed-in client; sign in at " + address,
                  "velmora-cli: --cookies FILE can carry a sign-in: a Netscape cookies.txt holding the "
                  "marketplace's cookies of a signed-in browser"}));
    const auto messages = test::logMessages(result.err);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "获取地址失败！返回！");
    EXPECT_EQ(requestsOfKind(RequestKind::ShopSearchPage), 21);
}

struct InvalidCase {
    const char* name;
    std::vector<std::string> args;
    std::string err;
};

class CliInvalidInputTest : public test::CliFixture, public testing::WithParamInterface<InvalidCase> {};

TEST_P(CliInvalidInputTest, ExitsTwoWithTheMessageAndSendsNoRequest) {
    const test::CliResult result = run(GetParam().args);
    EXPECT_EQ(result.status, kExitInvalidInput);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(server.requests().empty());
}

const std::string kTryHelp = "Try 'velmora-cli --help'.\n";

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliInvalidInputTest,
    testing::Values(
        InvalidCase{"EmptyKeyword", {""}, "关键字没有填写!\n"},
        InvalidCase{"LowerPriceWithoutUpper", {"--price-low", "10", "kw"}, "价格区间填写错误!\n"},
        InvalidCase{"UnknownOption", {"--bogus", "kw"}, "velmora-cli: unknown option --bogus\n" + kTryHelp},
        InvalidCase{"NoKeyword", {}, "velmora-cli: no KEYWORD_OR_SHOP_ADDRESS given\n" + kTryHelp},
        InvalidCase{"PriceWithLetters",
                    {"--price-high", "5x", "kw"},
                    "velmora-cli: --price-high takes digits and \"-\" only: 5x\n" + kTryHelp},
        InvalidCase{"UnreadableCookies",
                    {"--cookies", "/nonexistent/c.txt", "kw"},
                    "velmora-cli: cannot read /nonexistent/c.txt: No such file or directory\n" + kTryHelp},
        InvalidCase{"UnwritableOutput",
                    {"--output", "/nonexistent/out.csv", "kw"},
                    "velmora-cli: cannot write /nonexistent/out.csv: No such file or directory\n" +
                        kTryHelp}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliRun, FailedCheckLeavesTheOutputFileAlone) {
    const std::string path = file("untouched.csv");
    std::ofstream(path) << "old rows";
    EXPECT_EQ(run({"--output", path, ""}).status, kExitInvalidInput);
    EXPECT_EQ(test::readFile(path), "old rows");
}

TEST_F(CliRun, OutputFileGetsTheRowsAndCsvFilesTheByteOrderMark) {
    server.setKeyword("cli file", {.listingCount = 3});
    const Rows expected = keywordRows(server.listings("cli file"));
    for (const auto& [format, mark] :
         {std::pair{"csv", std::string(kUtf8ByteOrderMark)}, std::pair{"jsonl", std::string()}}) {
        const std::string path = file(std::string("output.") + format);
        const test::CliResult result = run({"--format", format, "--output", path, "cli file"});
        EXPECT_EQ(result.status, kExitFinished) << result.err;
        EXPECT_EQ(result.out, "");
        const std::string content = test::readFile(path);
        ASSERT_EQ(content.substr(0, mark.size()), mark) << format;
        const std::string_view rows = std::string_view(content).substr(mark.size());
        EXPECT_EQ(mark.empty() ? test::readJsonLines(rows, kKeys) : test::readCsv(rows),
                  mark.empty() ? expected : withHeader(expected));
    }
}

/// A stream that takes `limit` bytes and fails at the next one, like a full disk or a closed pipe.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t limit) : limit_(limit) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()) || written_ >= limit_) {
            return traits_type::eof();
        }
        ++written_;
        return c;
    }

private:
    std::size_t limit_;
    std::size_t written_ = 0;
};

TEST_F(CliRun, OutputFailureStopsTheRunWithStatusOne) {
    server.setKeyword("cli full", {.listingCount = 10});
    FailingBuffer buffer(headerLine(LineFormat::Csv).size());
    std::ostream out(&buffer);
    const test::CliResult result = run({"cli full"}, &out);
    EXPECT_EQ(result.status, kExitEndedEarly);
    EXPECT_EQ(test::notices(result.err),
              std::vector<std::string>{"velmora-cli: cannot write the rows to standard output"});
    EXPECT_EQ(requestsOfKind(RequestKind::ItemDetail), 1) << "the run stops at the first row it cannot write";
}

TEST_F(CliRun, OutputThatCannotTakeTheHeaderEndsBeforeAnyRequest) {
    const test::CliResult result = run({"--output", "/dev/full", "cli full"});
    EXPECT_EQ(result.status, kExitEndedEarly);
    EXPECT_EQ(test::notices(result.err),
              std::vector<std::string>{"velmora-cli: cannot write the rows to /dev/full"});
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CliRun, StopKeepsTheCompleteRowsAndExits130) {
    server.setKeyword("cli stop", {.listingCount = 10});
    auto stop = std::make_shared<CancelToken>();
    market::FaultRule stall;
    stall.type = market::FaultType::Stall;
    stall.kind = RequestKind::ItemDetail;
    stall.firstRequest = 3;
    server.addFault(stall);
    // Stop while the third row waits for its sales figure, as Ctrl-C would.
    server.setRequestObserver([stop](const market::RequestRecord& record) {
        if (record.fault == market::FaultType::Stall) {
            stop->cancel();
        }
    });
    const test::CliResult result = run({"cli stop"}, nullptr, false, stop);
    server.setRequestObserver(nullptr);

    EXPECT_EQ(result.status, kExitInterrupted);
    Rows expected = keywordRows(server.listings("cli stop"));
    expected.resize(2);
    EXPECT_EQ(test::readCsv(result.out), withHeader(expected));
    const auto messages = test::logMessages(result.err);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "1/1") << "no summary after a stop";
}

TEST_F(CliRun, StatusTextIsAProgressLineOnATerminal) {
    server.setKeyword("cli status", {.listingCount = 2});
    const test::CliResult result = run({"cli status"}, nullptr, true);
    EXPECT_EQ(result.status, kExitFinished);
    EXPECT_NE(result.err.find("\r\x1b[K1/1 _ 数量：1"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\r\x1b[K1/1 _ 数量：2"), std::string::npos) << result.err;
    // Log lines push the progress line down rather than mixing with it, and the end takes it away.
    EXPECT_NE(result.err.find("\r\x1b[K" + std::string("1/1 _ 数量：2") + "\r\x1b[K"), std::string::npos);
    EXPECT_TRUE(result.err.ends_with("\r\x1b[K")) << result.err;
    EXPECT_EQ(test::logMessages(result.err).back(), "采集完毕，共计：2 条数据！");
}

TEST_F(CliRun, HelpPrintsTheUsageAndExitsZero) {
    const test::CliResult result = run({"--help"});
    EXPECT_EQ(result.status, kExitFinished);
    EXPECT_EQ(result.out, kCliUsage);
    EXPECT_TRUE(server.requests().empty());
}

} // namespace
} // namespace velmora
