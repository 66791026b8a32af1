#pragma once

#include "collectors/Endpoints.h"
#include "collectors/RunSettings.h"
#include "collectors/RunView.h"

#include <chrono>

namespace velmora {

/// What a collector works with for one run. The run's cancel token is bound to the worker
/// thread (CancelScope), so the collector's requests and pauses observe it.
struct RunContext {
    RunView& view;
    const RunSettings& settings;
    const Endpoints& endpoints;
    /// The shop collector's pause between attempts to find the search address.
    std::chrono::milliseconds attemptPause{1500};
};

/// How a collector's run ended.
enum class RunOutcome {
    Finished,  ///< the summary line was written
    NoResults, ///< ended early: no page count, or no shop search address
    Stopped,   ///< the run was stopped
};

/// True when the run of the calling thread was stopped.
bool stopRequested();

} // namespace velmora
