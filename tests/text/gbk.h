#pragma once

#include "text/codePages.h"

namespace velmora::test {

/// The code page 936 form of a text written in the (UTF-8) source.
inline Text gbk(std::string_view utf8) {
    return utf8ToAnsi(utf8);
}

} // namespace velmora::test
