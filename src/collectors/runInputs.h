#pragma once

#include "collectors/RunSettings.h"
#include "text/Text.h"

#include <cstdint>
#include <string_view>
#include <variant>

namespace velmora {

/// The sort suffix of the 销量 choice; 综合 is "".
inline constexpr std::string_view kSalesSortSuffix = "&sort=sale-desc";

/// The run's input controls as they read at a press of the start button (texts in code page 936).
struct RunInputs {
    Text keyword{};            ///< the keyword box: a search keyword or a shop address
    Text priceLow{};           ///< the lower price box
    Text priceHigh{};          ///< the upper price box
    Text pages{};              ///< the page box
    bool tmallOnly = false;    ///< 只采集天猫 ticked
    bool filterTicked = false; ///< 过滤词 ticked
    Text filterWord{};         ///< the filter word box
};

/// Which collector a run uses.
enum class RunMode { Keyword, Shop };

/// A run that the inputs allow: the settings it starts with and its collector.
struct RunPlan {
    Text keyword{};
    Text querySuffix{};
    std::int32_t pageLimit = 0;
    RunMode mode = RunMode::Keyword;
};

/// The message to show for inputs that fail a check ("关键字没有填写!", "价格区间填写错误!"), or
/// the run they start.
using RunCheck = std::variant<Text, RunPlan>;

/// Checks the keyword and the price range and works out the run; the same on every press.
RunCheck checkRunInputs(const RunInputs& inputs);

/// Puts the filter switch and word into the settings; done on every press, before the checks.
void applyFilterInputs(const RunInputs& inputs, RunSettings& settings);

/// Puts the plan's keyword, query suffix and page limit into the settings at the start of a run.
void applyRunPlan(const RunPlan& plan, RunSettings& settings);

/// The price-range and Tmall-only parameters of the keyword search, the price texts as typed.
Text querySuffixFor(const Text& priceLow, const Text& priceHigh, bool tmallOnly);

/// Shop mode when the keyword holds "http" (exact bytes, anywhere), keyword mode otherwise.
RunMode runModeFor(std::string_view keyword);

/// The log line that starts a run of the mode: "搜索关键词开始！" or "搜索店铺开始！".
Text runStartMessage(RunMode mode);

} // namespace velmora
