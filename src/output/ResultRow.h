#pragma once

#include "text/Text.h"

#include <array>
#include <string_view>

namespace velmora {

/// One row of the result table: 序号, 宝贝链接, 宝贝名称, 卖家旺旺, 月销量, each a code page 936 text.
using ResultRow = std::array<Text, 5>;

/// The column titles of the result table, in UTF-8.
inline constexpr std::array<std::string_view, 5> kColumnTitles{"序号", "宝贝链接", "宝贝名称", "卖家旺旺",
                                                               "月销量"};

/// The keys that name the cells of a row in JSON, in column order.
inline constexpr std::array<std::string_view, 5> kColumnKeys{"number", "link", "title", "seller",
                                                             "monthlySales"};

} // namespace velmora
