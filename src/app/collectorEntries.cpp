#include "app/WorkerEntries.h"

namespace velmora {

namespace {

// Stand-ins until the collectors are built: each returns at once, like a run that finds nothing.
void searchKeyword(RunView&, const RunSettings&) {}
void crawlShop(RunView&, const RunSettings&) {}

} // namespace

WorkerEntries collectorEntries() {
    return {searchKeyword, crawlShop};
}

} // namespace velmora
