#pragma once

namespace velmora {

/// Waits `milliseconds` on the calling thread, or less when its run is stopped meanwhile;
/// always true.
bool pauseWithEvents(int milliseconds);

} // namespace velmora
