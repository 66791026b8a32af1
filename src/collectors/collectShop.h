#pragma once

#include "collectors/RunContext.h"

namespace velmora {

/// Reads the shop of the run's address, finds its asynchronous item search (uncovering the
/// browser pane for a sign-in when the shop withholds it) and walks its item pages until a
/// page brings no new item.
RunOutcome collectShop(const RunContext& run);

} // namespace velmora
