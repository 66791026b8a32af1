#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The digits after the first "id=" of a link, in any letter case ("" when there are none).
Text extractItemId(std::string_view link);

} // namespace velmora
