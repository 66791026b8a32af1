#pragma once

#include "text/Text.h"

namespace velmora {

class ControlOperations;

/// Writes one line to the activity log: stamped on the calling thread with the local time now,
/// then added after everything in the log box in one call. Callable from any thread.
void logMessage(ControlOperations& operations, const Text& message);

} // namespace velmora
