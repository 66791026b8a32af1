#pragma once

#include <QIcon>

namespace velmora {

/// The window's own 32 x 32 icon: a shopping bag with a magnifier, drawn in code.
QIcon appIcon();

} // namespace velmora
