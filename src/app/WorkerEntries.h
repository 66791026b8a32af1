#pragma once

#include "collectors/Endpoints.h"
#include "collectors/RunSettings.h"
#include "collectors/RunView.h"

#include <functional>

namespace velmora {

/// What a worker thread runs: one collector over its run's view of the window and the settings.
using WorkerEntry = std::function<void(RunView& view, const RunSettings& settings)>;

/// The worker entries of the two modes.
struct WorkerEntries {
    WorkerEntry keyword; ///< the keyword search
    WorkerEntry shop;    ///< the shop crawl (the keyword holds "http")
};

/// The entries the program runs: the two collectors, talking to `endpoints`.
WorkerEntries collectorEntries(const Endpoints& endpoints = Endpoints::marketplace());

} // namespace velmora
