#include "collectors/runInputs.h"

#include "text/codePages.h"
#include "text/numbers.h"
#include "text/search.h"

namespace velmora {

namespace {

// Equal bounds must pass although the texts may read as slightly different doubles.
constexpr double kPriceTolerance = 1e-7;

} // namespace

RunCheck checkRunInputs(const RunInputs& inputs) {
    if (inputs.keyword.empty()) {
        return utf8ToAnsi("关键字没有填写!");
    }
    const double high = textToNumber(inputs.priceHigh);
    const double low = textToNumber(inputs.priceLow);
    // Written as "not (>=)" so that a NaN also fails the check.
    if (!(high - low >= -kPriceTolerance)) {
        return utf8ToAnsi("价格区间填写错误!");
    }
    return RunPlan{inputs.keyword, querySuffixFor(inputs.priceLow, inputs.priceHigh, inputs.tmallOnly),
                   textToInt(inputs.pages), runModeFor(inputs.keyword)};
}

void applyFilterInputs(const RunInputs& inputs, RunSettings& settings) {
    settings.setFilterEnabled(inputs.filterTicked);
    settings.setFilterWord(inputs.filterWord);
}

void applyRunPlan(const RunPlan& plan, RunSettings& settings) {
    settings.setPageLimit(plan.pageLimit);
    settings.setQuerySuffix(plan.querySuffix);
    settings.setKeyword(plan.keyword);
}

Text querySuffixFor(const Text& priceLow, const Text& priceHigh, bool tmallOnly) {
    Text suffix;
    if (textToInt(priceHigh) > 0) {
        suffix = "&filter=reserve_price%5B" + priceLow + "%2C" + priceHigh + "%5D";
    }
    suffix += tmallOnly ? "&tab=mall" : "&tab=all";
    return suffix;
}

RunMode runModeFor(std::string_view keyword) {
    return findText(keyword, "http") == -1 ? RunMode::Keyword : RunMode::Shop;
}

Text runStartMessage(RunMode mode) {
    return utf8ToAnsi(mode == RunMode::Keyword ? "搜索关键词开始！" : "搜索店铺开始！");
}

} // namespace velmora
