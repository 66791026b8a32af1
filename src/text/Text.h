#pragma once

#include <string>
#include <vector>

namespace velmora {

/// A byte string in code page 936 (GBK); "" is the empty text. Lengths count bytes,
/// positions are 1-based byte positions.
using Text = std::string;

/// A length and that many bytes, zero bytes allowed (HTTP bodies).
using Bytes = std::string;

/// The pieces of a split text, in order.
using TextList = std::vector<Text>;

} // namespace velmora
