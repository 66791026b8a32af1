#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::fuzz {

/// The fuzzer's bytes read as bytes of option bits and then fields, separated by zero bytes
/// unless a target asks for another separator. A text of the system cannot hold a zero byte, so
/// that separator never cuts a field that the system could be given. Each field lives in a heap
/// block of exactly its length, so a read past its end is caught by AddressSanitizer instead of
/// landing in the next field.
class FuzzFields {
public:
    FuzzFields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    /// The next byte of option bits; 0 once the input is used up.
    std::uint8_t takeByte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    /// The bytes up to the next `separator` (all that is left when there is none); "" once used up.
    std::string_view takeField(char separator = '\0') { return own(takeUpTo(rest_.find(separator))); }

    /// All bytes that are left, zero bytes included.
    std::string_view takeRest() { return own(takeUpTo(std::string_view::npos)); }

    /// True once every byte has been taken.
    bool empty() const { return rest_.empty(); }

private:
    std::string_view takeUpTo(std::size_t end) {
        const std::string_view field = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return field;
    }

    std::string_view own(std::string_view field) {
        std::vector<char>& block = blocks_.emplace_back(field.begin(), field.end());
        return std::string_view(block.data(), block.size());
    }

    std::string_view rest_;
    std::vector<std::vector<char>> blocks_;
};

} // namespace velmora::fuzz
