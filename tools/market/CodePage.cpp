#include "market/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <type_traits>

namespace velmora::market {

namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Opening a converter loads a gconv module; one per thread and direction keeps every answer fast.
iconv_t converter(const char* to, const char* from, IconvHandle& slot) {
    if (!slot) {
        iconv_t handle = iconv_open(to, from);
        if (handle == reinterpret_cast<iconv_t>(-1))
            return handle;
        slot.reset(handle);
    }
    iconv(slot.get(), nullptr, nullptr, nullptr, nullptr);
    return slot.get();
}

// Converts with iconv; on a byte it cannot take, writes `replacement` and skips `skip(input)` bytes.
template <typename Skip>
std::string convert(iconv_t handle, std::string_view input, std::string_view replacement, Skip skip) {
    std::string out;
    if (handle == reinterpret_cast<iconv_t>(-1))
        return out;
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: an invalid or incomplete sequence.
        out.resize(written);
        out += replacement;
        written = out.size();
        out.resize(written + inLeft * 2 + 16);
        const std::size_t skipped = std::min(inLeft, skip(std::string_view(in, inLeft)));
        in += skipped;
        inLeft -= skipped;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(written);
    return out;
}

std::size_t utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::max<std::size_t>(1, std::min(length, rest.size()));
}

} // namespace

std::string utf8ToGbk(std::string_view utf8) {
    thread_local IconvHandle slot;
    return convert(converter("CP936", "UTF-8", slot), utf8, "?", utf8SequenceLength);
}

std::string gbkToUtf8(std::string_view gbk) {
    thread_local IconvHandle slot;
    return convert(converter("UTF-8", "CP936", slot), gbk, "\xEF\xBF\xBD",
                   [](std::string_view) -> std::size_t { return 1; });
}

} // namespace velmora::market
