#pragma once

#include "AppFixture.h"
#include "market/MarketServer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace velmora::test {

/// Where a run is when the user stops it or closes the window.
enum class StopPoint {
    InsideRequest,   ///< a request held by the simulator (stalled, dripping or delayed)
    InsideUiCall,    ///< the worker waits for the UI thread to carry out one of its calls
    InsidePause,     ///< the shop crawl's pause between two attempts to find the search address
    BetweenListings, ///< just after a row appeared
    AnyMoment,       ///< a random time after the start, the run possibly finished
};

inline constexpr std::array kStopPoints = {StopPoint::InsideRequest, StopPoint::InsideUiCall,
                                           StopPoint::InsidePause, StopPoint::BetweenListings,
                                           StopPoint::AnyMoment};

/// "inside a request" ...
const char* stopPointName(StopPoint point);

/// What one stop (or close) did.
struct StopRecord {
    bool reached = false;    ///< the run got to the point before the stop
    bool idleAtStop = false; ///< as the press returned, the button read 采集 and the boxes were open
    bool hidden = false;     ///< after a close: the window was gone from the screen
    std::chrono::nanoseconds toIdle{}; ///< from the press until the UI thread served its next event
    bool workerGone = false;           ///< every worker ended within the patience
    std::chrono::nanoseconds toGone{}; ///< from the press until every worker had ended
    Screen atStop;                     ///< the window as the press returned
    Screen afterwards;                 ///< the window once the worker had ended and the UI had caught up
};

/// Starts runs of the real collectors in the real window against the marketplace simulator and ends
/// them at chosen points, the way a user would: the stop button, or Esc on the window. Each choice
/// within a point (mode, request, fault, timing) comes from the seed. UI thread only.
class StopDrill {
public:
    StopDrill();
    ~StopDrill();
    StopDrill(const StopDrill&) = delete;
    StopDrill& operator=(const StopDrill&) = delete;

    /// One run in the drill's window, stopped with the button at `point`.
    StopRecord stopRun(StopPoint point, std::uint32_t seed);

    /// One run in a window of its own, closed with Esc at `point`.
    StopRecord closeDuringRun(StopPoint point, std::uint32_t seed);

private:
    struct Plan;
    Plan plan(StopPoint point, std::uint32_t seed);
    bool startAndReach(const Shell& shell, const Plan& plan);
    StopRecord end(const Shell& shell, const std::function<void()>& press);

    market::MarketServer server_;
    std::unique_ptr<Shell> shell_;
};

} // namespace velmora::test
