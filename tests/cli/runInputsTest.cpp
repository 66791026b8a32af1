#include "collectors/runInputs.h"

#include "text/codePages.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct QuerySuffixCase {
    const char* low;
    const char* high;
    bool tmallOnly;
    const char* suffix;
};

TEST(QuerySuffix, PriceParameterOnlyWithAPositiveUpperPriceAndTheTabAlways) {
    const QuerySuffixCase cases[] = {
        {"10", "50", false, "&filter=reserve_price%5B10%2C50%5D&tab=all"},
        {"", "", true, "&tab=mall"},
        {"", "100", false, "&filter=reserve_price%5B%2C100%5D&tab=all"},
        {"50", "50", false, "&filter=reserve_price%5B50%2C50%5D&tab=all"},
        {"0", "0", false, "&tab=all"},
        {"-5", "-1", false, "&tab=all"},
        {"007", "0100", true, "&filter=reserve_price%5B007%2C0100%5D&tab=mall"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(querySuffixFor(c.low, c.high, c.tmallOnly), c.suffix) << c.low << " - " << c.high;
    }
}

struct CheckCase {
    const char* name;
    RunInputs inputs;
    const char* message; ///< UTF-8; "" when the run starts
};

class CheckRunInputsTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckRunInputsTest, RejectsAnEmptyKeywordThenAnInvertedPriceRange) {
    const RunCheck check = checkRunInputs(GetParam().inputs);
    if (*GetParam().message) {
        ASSERT_TRUE(std::holds_alternative<Text>(check));
        EXPECT_EQ(std::get<Text>(check), utf8ToAnsi(GetParam().message));
    } else {
        EXPECT_TRUE(std::holds_alternative<RunPlan>(check));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CheckRunInputsTest,
    testing::Values(
        CheckCase{"EmptyKeyword", {.keyword = ""}, "关键字没有填写!"},
        CheckCase{"EmptyKeywordBeforeBadPrices",
                  {.keyword = "", .priceLow = "9", .priceHigh = "1"},
                  "关键字没有填写!"},
        CheckCase{"SingleSpaceKeyword", {.keyword = " "}, ""},
        CheckCase{"LowerPriceWithoutUpper", {.keyword = "a", .priceLow = "10"}, "价格区间填写错误!"},
        CheckCase{
            "LowerAboveUpper", {.keyword = "a", .priceLow = "51", .priceHigh = "50"}, "价格区间填写错误!"},
        CheckCase{"EqualPrices", {.keyword = "a", .priceLow = "50", .priceHigh = "50"}, ""},
        CheckCase{"ZeroPrices", {.keyword = "a", .priceLow = "0", .priceHigh = "0"}, ""},
        CheckCase{"NegativeRange", {.keyword = "a", .priceLow = "-9", .priceHigh = "-1"}, ""},
        CheckCase{
            "PricesThatAreNoNumbersReadAsZero", {.keyword = "a", .priceLow = "x", .priceHigh = "-"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckRunInputs, PlanCarriesKeywordQuerySuffixAndPageLimit) {
    const RunInputs inputs{.keyword = utf8ToAnsi("连衣裙"),
                           .priceLow = "10",
                           .priceHigh = "50",
                           .pages = "3页",
                           .tmallOnly = true};
    const RunCheck check = checkRunInputs(inputs);
    ASSERT_TRUE(std::holds_alternative<RunPlan>(check));
    const RunPlan& plan = std::get<RunPlan>(check);
    EXPECT_EQ(plan.keyword, utf8ToAnsi("连衣裙"));
    EXPECT_EQ(plan.querySuffix, "&filter=reserve_price%5B10%2C50%5D&tab=mall");
    EXPECT_EQ(plan.pageLimit, 3);
    EXPECT_EQ(plan.mode, RunMode::Keyword);
}

TEST(CheckRunInputs, PageBoxWithoutANumberGivesPageLimitZero) {
    for (const char* pages : {"", "ten", "-"}) {
        const RunCheck check = checkRunInputs({.keyword = "a", .pages = pages});
        ASSERT_TRUE(std::holds_alternative<RunPlan>(check));
        EXPECT_EQ(std::get<RunPlan>(check).pageLimit, 0) << pages;
    }
}

TEST(RunMode, ShopWhenTheKeywordHoldsLowerCaseHttpAnywhere) {
    const std::pair<const char*, RunMode> cases[] = {
        {"http://shop123.taobao.com/", RunMode::Shop},
        {"https://shop1.example/", RunMode::Shop},
        {"see http in the middle", RunMode::Shop},
        {"HTTPS://shop1.example/", RunMode::Keyword},
        {"htt p", RunMode::Keyword},
        {"连衣裙", RunMode::Keyword},
    };
    for (const auto& [keyword, mode] : cases) {
        EXPECT_EQ(runModeFor(utf8ToAnsi(keyword)), mode) << keyword;
    }
    EXPECT_EQ(runStartMessage(RunMode::Keyword), utf8ToAnsi("搜索关键词开始！"));
    EXPECT_EQ(runStartMessage(RunMode::Shop), utf8ToAnsi("搜索店铺开始！"));
}

TEST(RunSettingsFromInputs, FilterAndPlanFillTheirFields) {
    RunSettings settings;
    applyFilterInputs({.filterTicked = true, .filterWord = "taobao"}, settings);
    applyRunPlan({.keyword = "k", .querySuffix = "&tab=all", .pageLimit = 7}, settings);
    EXPECT_TRUE(settings.filterEnabled());
    EXPECT_EQ(settings.filterWord(), "taobao");
    EXPECT_EQ(settings.keyword(), "k");
    EXPECT_EQ(settings.querySuffix(), "&tab=all");
    EXPECT_EQ(settings.pageLimit(), 7);
}

} // namespace
} // namespace velmora
