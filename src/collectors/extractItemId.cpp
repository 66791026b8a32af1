#include "collectors/extractItemId.h"

#include "text/RegexObject.h"

namespace velmora {

Text extractItemId(std::string_view link) {
    RegexObject matcher;
    matcher.execute(R"re(id=(\d+))re", link);
    return matcher.subMatchText(1, 1);
}

} // namespace velmora
